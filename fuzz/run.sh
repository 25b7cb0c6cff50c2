#!/bin/sh
# fuzz/run.sh [SECONDS] [HARNESS...]
#
# Builds the fuzz harnesses with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz, then runs each HARNESS (ehc_load,
# hex_load, processor, asm_source, grid_keys, step_back; all six when none
# is named) for SECONDS seconds (60 when not given), one after the other,
# starting from its corpus fuzz/corpus/HARNESS and, for the loaders, with
# its dictionary. New inputs gather in build-fuzz/fuzz/new/HARNESS; at the
# end the corpus keeps its named seeds and the fewest inputs that reach
# every edge reached so far.
# A crash, hang, leak or broken rule stops that harness with the input
# saved in build-fuzz/fuzz/found/HARNESS/; the script then goes on and ends
# with status 1.
set -eu
cd "$(dirname "$0")/.."

seconds=${1:-60}
[ $# -gt 0 ] && shift
harnesses=${*:-ehc_load hex_load processor asm_source grid_keys step_back}

targets=""
for harness in $harnesses; do targets="$targets fuzz_$harness"; done
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORBEN_FUZZ_ENGINE=ON -DORBEN_BUILD_UI=ON -DORBEN_BUILD_BENCHMARKS=OFF >/dev/null
# shellcheck disable=SC2086
cmake --build build-fuzz --target $targets

export QT_QPA_PLATFORM=offscreen
hashed='.*/[0-9a-f]{40}'  # the name libFuzzer gives an input: its SHA-1
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0"
status=0
for harness in $harnesses; do
  corpus=fuzz/corpus/$harness
  new=build-fuzz/fuzz/new/$harness
  found=build-fuzz/fuzz/found/$harness
  merged=build-fuzz/fuzz/merged/$harness
  mkdir -p "$new" "$found"
  dict=""
  options=""
  case $harness in
    ehc_load) dict=-dict=fuzz/ehc.dict ;;
    hex_load) dict=-dict=fuzz/hex.dict ;;
    asm_source) dict=-dict=fuzz/asm.dict ;;
    # Qt keeps caches of its own from one input to the next, so every input
    # of the grid looks as if it leaked and would be searched for leaks, at
    # the cost of a scan of the whole heap; leaks are searched for at exit.
    grid_keys) options=-detect_leaks=0 ;;
  esac
  echo "== $harness: $seconds s"
  # shellcheck disable=SC2086
  if ! build-fuzz/fuzz/fuzz_$harness -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$found/" $dict $options "$new" "$corpus"; then
    echo "== $harness found a fault: the input is in $found/" >&2
    status=1
  fi
  # The fewest inputs that reach every edge the corpus and the new inputs
  # reach (hit counts aside) replace the fuzzer's finds in the corpus,
  # named by their SHA-1; the named seeds stay. Every input found stays in
  # $new for the next run.
  rm -rf "$merged" && mkdir -p "$merged"
  # shellcheck disable=SC2086
  if build-fuzz/fuzz/fuzz_$harness -merge=1 -use_counters=0 $dict "$merged" "$corpus" "$new" \
    >"$merged.log" 2>&1; then
    seeds=$(find "$corpus" -regextype posix-extended -type f ! -regex "$hashed" -exec sha1sum {} + | cut -c1-40)
    find "$corpus" -regextype posix-extended -type f -regex "$hashed" -delete
    for input in "$merged"/*; do
      [ -f "$input" ] || continue
      echo "$seeds" | grep -qx "$(basename "$input")" || cp "$input" "$corpus/"
    done
    echo "== $harness: corpus of $(find "$corpus" -type f | wc -l) inputs"
  else
    echo "== $harness: merging failed, corpus left as it was (see $merged.log)" >&2
    status=1
  fi
done
exit $status
