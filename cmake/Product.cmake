# What every package and program says about the product: its version, who
# makes it and the copyright line. The Debian package and the Windows
# programs' version resources and installer all take them from here.
set(MIRAVEL_VERSION "1.0.0" CACHE STRING "Version of the programs and packages")
set(MIRAVEL_VENDOR "Miravel developers" CACHE STRING "Who makes Miravel")
set(MIRAVEL_COPYRIGHT "Copyright 2026 the Miravel developers" CACHE STRING
  "The copyright line of the programs")
