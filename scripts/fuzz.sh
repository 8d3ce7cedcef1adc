#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of
# seconds on its seed corpus; prints the number of executions of each.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
CC=clang CXX=clang++ cmake -S . -B build-fuzz "${generator[@]}" -DZRK_FUZZ=ON -DZRK_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=$(sed -n 's/^zrk_add_fuzzer(\([a-z_]*\) .*/\1/p' fuzz/CMakeLists.txt)
# shellcheck disable=SC2086
cmake --build build-fuzz -j"$(nproc)" --target $targets
export ASAN_OPTIONS="detect_leaks=0"
export QT_QPA_PLATFORM=offscreen
for name in $targets; do
  fuzzer=build-fuzz/fuzz/$name
  corpus_seed="fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  [ -d "$corpus_seed" ] && cp -r "$corpus_seed"/. "$work"/
  log=$(mktemp)
  if ! "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 "$work" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$name: FAILED"
    exit 1
  fi
  runs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' || true)
  [ -n "$runs" ] || runs=$(grep -Eo '^#[0-9]+' "$log" | tail -n 1 | tr -d '#')
  echo "$name: ${runs:-?} executions in ${seconds} s, no failure"
  rm -rf "$work" "$log"
done
