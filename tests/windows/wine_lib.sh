# Wine on the test's private Xvfb, for the Windows integration tests. Source
# after lib.sh and start_xvfb, then call wine_start.
#
# The prefix is the one ./test.sh made for the whole run (MIRAVEL_WINEPREFIX,
# with its locale folder MIRAVEL_WINE_LOCPATH), else a private one made here
# and removed at the end. Either way this test's wineserver, and every Wine
# process it serves, is ended on exit.
PROBE="$MIRAVEL_BUILD/tests/windows/miravel_win32_probe.exe"
_OWN_PREFIX=0
_WINE_UP=0
_SOUND_SET=0

wine_stop() {
  [ "$_WINE_UP" = 1 ] || return 0
  _WINE_UP=0
  # A shared prefix is left as it was found.
  [ "$_SOUND_SET" = 1 ] && timeout 20 wine reg delete 'HKCU\Software\Wine\Drivers' /v Audio /f \
    </dev/null >/dev/null 2>&1
  timeout 10 wineserver -k >/dev/null 2>&1
  timeout 10 wineserver -w >/dev/null 2>&1
  [ "$_OWN_PREFIX" = 1 ] && rm -rf "$WINEPREFIX"
  return 0
}
trap 'wine_stop; cleanup' EXIT

# wine_env: the environment of every Wine call (no Mono or Gecko prompts, no
# menu entries, no debug output, code page 932).
wine_env() {
  export WINEARCH=win64 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
  if [ -n "${MIRAVEL_WINE_LOCPATH:-}" ]; then
    export LOCPATH="$MIRAVEL_WINE_LOCPATH"
  else
    export LOCPATH="$WORK/locale"
    mkdir -p "$LOCPATH"
    localedef -i ja_JP -f UTF-8 "$LOCPATH/ja_JP.UTF-8" >/dev/null 2>&1
  fi
  export LANG=ja_JP.UTF-8
  # Wine links a prefix's user folders (the desktop, the documents) into the
  # home it was made with, and the file chooser cannot list its places once
  # they are gone: a shared prefix gets the home beside it, which lives as
  # long as the prefix, whichever test happens to make it.
  if [ -n "${MIRAVEL_WINEPREFIX:-}" ]; then
    export WINEPREFIX="$MIRAVEL_WINEPREFIX"
    export HOME="$(dirname "$MIRAVEL_WINEPREFIX")/home"
  else
    export WINEPREFIX="$WORK/prefix"
    export HOME="$WORK/home"
    _OWN_PREFIX=1
  fi
  mkdir -p "$HOME"
}

# wine_start: a wineserver kept for the whole test, the prefix made if need
# be, with Managed=N (without a window manager a destroyed managed window
# blocks for 2 s).
wine_start() {
  wine_env
  _WINE_UP=1
  mkdir -p "$WINEPREFIX"
  wineserver -p >/dev/null 2>&1
  timeout 60 wine cmd /c exit </dev/null >/dev/null 2>&1
  timeout 20 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
    </dev/null >/dev/null 2>&1
}

# probe ARGS...: runs the Win32 probe, carriage returns dropped.
probe() { timeout 20 wine "$PROBE" "$@" </dev/null 2>/dev/null | tr -d '\r'; }

# The renderer by itself: start_renderer, still_running, ended_cleanly,
# end_renderer and run_case, run through Wine.
RENDERER_RUN=wine
source "$MIRAVEL_SOURCE/tests/integration/renderer/renderer_lib.sh"

# wine_capture_sound FILE: from now on, what Wine programs started by this
# test play goes to FILE as raw PCM in real time (FILE.format holds
# "RATE CHANNELS BITS"), through a private ALSA configuration whose default
# device is the file plugin; the Wine side sees one ordinary wave device.
wine_capture_sound() {
  local out=$1 conf="$WORK/asound.conf"
  cat >"$conf" <<CONF
pcm.!default {
  type file
  slave.pcm "null"
  file "|$MIRAVEL_SOURCE/tests/windows/pcm_pace.pl $out %r %c %b"
  format "raw"
}
pcm.null {
  type null
}
CONF
  export ALSA_CONFIG_PATH="$conf"
  _SOUND_SET=1
  timeout 20 wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f \
    </dev/null >/dev/null 2>&1
}

# sound_stat FILE: duration in seconds and rough frequency in Hz of the PCM
# captured in FILE ("SECONDS HZ"), as sox measures them on the first channel.
sound_stat() {
  local rate channels bits
  read -r rate channels bits <"$1.format"
  sox -t raw -r "$rate" -c "$channels" -b "$bits" -e signed -L "$1" -n remix 1 stat 2>&1 |
    awk '/^Length/ { s = $3 } /^Rough/ { f = $3 } END { printf "%.2f %d\n", s, f }'
}
