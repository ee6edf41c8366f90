#!/usr/bin/env bash
# Builds the Linux programs and tests with sanitizers in build-sanitize/ and
# runs the unit tests and the integration tests that can run there. Every
# sanitized program writes its reports to build-sanitize/sanitizer-reports/
# (compiled in, so programs started by a daemon or as another user do too);
# at the end they are counted, and the run fails when a test failed or a
# report names the project's own code. Leaks of the libraries are suppressed
# by tests/sanitize/leaks.supp.
# Usage: scripts/sanitize.sh [SANITIZERS]   (default: address,undefined)
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$(pwd)
sanitizers=${1:-address,undefined}
build=build-sanitize
reports="$source_dir/$build/sanitizer-reports"
started=$(date +%s)

# Integration tests left out, and why:
# - package_*: they build a Debian package of the programs just built and
#   install it; a sanitized package is not what they are about.
excluded='^package_'

scripts/deps.sh build run test sanitize

nice -n 10 cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMIRAVEL_SANITIZE="$sanitizers" -DMIRAVEL_SANITIZE_LOG_DIR="$reports" >/dev/null
nice -n 10 cmake --build "$build" -j"$(nproc)"

# Fresh reports; other users (the tests' daemon user, nobody) write here too.
rm -rf "$reports"
mkdir -p "$reports"
chmod 1777 "$reports"
symbolizer=$(command -v llvm-symbolizer || command -v llvm-symbolizer-14 || true)
[ -n "$symbolizer" ] && export ASAN_SYMBOLIZER_PATH="$symbolizer"

failed=()
(cd "$build" && nice -n 10 ctest -L unit -j"$(nproc)" --timeout 240 --output-on-failure) ||
  failed+=("unit tests")
# A sanitized program runs at a fraction of its speed, and some checks give a
# program a second to react (to a key, to a signal): on a busy machine such a
# check may miss its second. A failed test gets one more try; the reports of
# both tries are counted.
(cd "$build" && nice -n 10 ctest -L integration -E "$excluded" --repeat until-pass:2 --timeout 600 \
  --output-on-failure) || failed+=("integration tests")

# One report is one error of AddressSanitizer, one leak (each "Direct leak"
# or "Indirect leak" record) or one "runtime error" of UndefinedBehaviorSanitizer,
# with the stack lines after it. It names project code when a line of it
# lies in this tree (a source file here, or a program built here). Stacks are
# taken by frame pointers, so an allocation inside a library built without
# them shows that library's frame alone: such reports are tallied by the
# library instead.
find "$reports" -type f | sort >"$reports.list"
summary=$(awk -v tree="$source_dir/" -v list="$reports.list" '
  BEGIN { while ((getline name < list) > 0) ARGV[ARGC++] = name }
  function finish() {
    if (title == "") return
    total++
    kind[kindOf]++
    if (ours) { project++; print "  project: " file ": " title }
    else where[place == "" ? "unknown" : place]++
    title = ""
  }
  FNR == 1 { finish(); file = FILENAME; sub(".*/", "", file) }
  /ERROR: AddressSanitizer|ERROR: [A-Za-z]+Sanitizer: (SEGV|BUS|FPE|ILL|stack-overflow)|^(Direct|Indirect) leak of|runtime error:/ {
    finish()
    title = $0
    sub(/^==[^ ]*==/, "", title)
    kindOf = /leak of/ ? "leak" : (/runtime error:/ ? "undefined behaviour" : "memory error")
    ours = 0
    place = ""
  }
  title != "" && index($0, tree) { ours = 1 }
  # The first frame outside the sanitizer runtime: the library of the report.
  title != "" && place == "" && /^ *#[0-9]+ / && !/libsanitizer|libasan|__interceptor|operator new/ {
    place = $0
    if (match(place, /\([^()+]*\+0x/)) place = substr(place, RSTART + 1, RLENGTH - 4)
    sub(".*/", "", place)
  }
  END {
    finish()
    line = ""
    for (p in where) line = line sprintf("%s %d, ", p, where[p])
    if (line != "") print "  elsewhere, by library: " substr(line, 1, length(line) - 2)
    printf "reports: %d (memory errors %d, leaks %d, undefined behaviour %d); naming project code: %d\n",
      total, kind["memory error"], kind["leak"], kind["undefined behaviour"], project
  }')
rm -f "$reports.list"
[ -n "$summary" ] || summary="reports: 0 (memory errors 0, leaks 0, undefined behaviour 0); naming project code: 0"
files=$(find "$reports" -type f | wc -l)
elapsed=$(( $(date +%s) - started ))

echo
echo "== sanitize.sh ($sanitizers): $files report files in $reports"
echo "$summary"
printf 'took %dm%02ds\n' $((elapsed / 60)) $((elapsed % 60))
status=0
if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  status=1
fi
if ! echo "$summary" | tail -n1 | grep -q 'naming project code: 0$'; then
  echo "FAILED: sanitizer reports name project code"
  status=1
fi
exit $status
