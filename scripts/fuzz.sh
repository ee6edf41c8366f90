#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz/ with clang (address and
# undefined-behaviour checks on) in build-fuzz/, runs each for SECONDS
# seconds (default 60) from its seed corpus in the tree, and prints each
# target's runs, coverage and what it found. Inputs the fuzzer adds go to
# build-fuzz/fuzz-corpus/<target>/, crashing ones to
# build-fuzz/fuzz-findings/<target>/; a target's whole output is in
# build-fuzz/fuzz-logs/<target>.log. Fails when any target found something.
# Not part of ./test.sh; what it finds becomes a unit test, which is.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]   (default: every target)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
case "$seconds" in '' | *[!0-9]*) echo "fuzz.sh: SECONDS must be a number" >&2; exit 2 ;; esac
build=build-fuzz
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(command_line display_mode_options ini code_page wayland_input monitor_layout)
fi

scripts/deps.sh build fuzz

nice -n 10 cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRAVEL_SANITIZE=fuzzer-no-link,address,undefined \
  -DMIRAVEL_FUZZ=ON -DMIRAVEL_BUILD_BENCH=OFF >/dev/null
nice -n 10 cmake --build "$build" --target miravel_fuzz_targets -j"$(nproc)"

# Undefined behaviour ends the run like a crash, so that the input is kept.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
symbolizer=$(command -v llvm-symbolizer-14 || command -v llvm-symbolizer || true)
[ -n "$symbolizer" ] && export ASAN_SYMBOLIZER_PATH="$symbolizer"

mkdir -p "$build/fuzz-logs"
found=0
results=()
for target in "${targets[@]}"; do
  program="$build/fuzz/fuzz_$target"
  seeds="tests/fuzz/corpus/$target"
  [ -x "$program" ] && [ -d "$seeds" ] || { echo "fuzz.sh: no target '$target'" >&2; exit 2; }
  corpus="$build/fuzz-corpus/$target"
  findings="$build/fuzz-findings/$target"
  log="$build/fuzz-logs/$target.log"
  mkdir -p "$corpus" "$findings"
  echo "fuzzing $target for ${seconds}s"
  status=0
  nice -n 19 "$program" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" "$seeds" >"$log" 2>&1 || status=$?
  # The last status line; a target that broke on its seeds has none.
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
  cov=$( (grep -o 'cov: [0-9]*' "$log" || true) | tail -n1 | cut -d' ' -f2)
  features=$( (grep -o 'ft: [0-9]*' "$log" || true) | tail -n1 | cut -d' ' -f2)
  units=$( (grep -o 'corp: [0-9]*' "$log" || true) | tail -n1 | cut -d' ' -f2)
  what="nothing"
  if [ "$status" -ne 0 ]; then
    found=1
    # The first line that says what broke, and the input that did it.
    cause=$(grep -m1 -E 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|broken:' "$log" ||
      echo "exit status $status")
    cause=${cause#"$(pwd)/"}
    input=$(sed -n 's/.*Test unit written to //p' "$log" | tail -n1)
    what="FOUND: ${cause#*==*==} (input: ${input:-none kept})"
  fi
  results+=("$(printf '%-22s runs %-10s cov %-6s ft %-6s corpus %-5s %s' "$target" "${runs:-?}" \
    "${cov:-?}" "${features:-?}" "${units:-?}" "$what")")
done

echo
echo "== fuzz.sh: ${seconds}s per target"
printf '%s\n' "${results[@]}"
exit $found
