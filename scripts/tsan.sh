#!/usr/bin/env bash
# Builds zrk with ThreadSanitizer (build-tsan) and prints PDF and PNG with
# --jobs 4 on the example, forms with barcodes, bitmaps and several faces, and
# a 40-page bench job; fails on any report or on output that differs from
# --jobs 1. Not part of CI (it takes a separate build); run it after changing
# how pages are drawn on threads.
set -euo pipefail
cd "$(dirname "$0")/.."
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
cmake -S . -B build-tsan "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZRK_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" -DCMAKE_C_FLAGS="-fsanitize=thread" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build build-tsan --target zrk -j"$(nproc)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen SOURCE_DATE_EPOCH=0 TSAN_OPTIONS="halt_on_error=1 exitcode=66"
python3 bench/make_render_bench.py "$work/bench" 40 >/dev/null 2>&1
zrk=build-tsan/runtime/cli/zrk
status=0
while read -r form data; do
  name=$(basename "$form" .zrk)
  for jobs in 1 4; do
    mkdir -p "$work/$name-$jobs"
    if ! "$zrk" print "$form" "$data" --quiet --jobs "$jobs" --pdf "$work/$name-$jobs.pdf" 2>"$work/err" ||
      ! "$zrk" print "$form" "$data" --quiet --jobs "$jobs" --dpi 100 --png "$work/$name-$jobs/p-%d.png" 2>>"$work/err"; then
      echo "FAILED: $name --jobs $jobs"; sed -n 1,40p "$work/err"; status=1
    fi
  done
  if cmp -s "$work/$name-1.pdf" "$work/$name-4.pdf" && diff -rq "$work/$name-1" "$work/$name-4" >/dev/null; then
    echo "ok: $name, no report, --jobs 4 as --jobs 1"
  else
    echo "FAILED: $name: --jobs 4 differs from --jobs 1"; status=1
  fi
done <<LIST
examples/invoice.zrk examples/invoice.dat
tests/data/barcode-statements.zrk examples/invoice.dat
tests/data/shop-invoice.zrk examples/invoice.dat
tests/data/landscape.zrk tests/data/landscape.dat
$work/bench/render.zrk $work/bench/render.dat
LIST
exit "$status"
