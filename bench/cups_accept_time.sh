#!/usr/bin/env bash
# Time from the ZRK_Print call to the job accepted by CUPS, for the example
# form with 1 and with 100 pages, and the size of the document CUPS spooled.
# Runs a private cupsd (root only) with its queue stopped, so that each job
# stays in the spool as it was handed over; then lets cups-pdf print them and
# reports the size of its output as well.
#
#   bench/cups_accept_time.sh [BUILD_DIR] [RUNS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
runs="${2:-3}"
caller="$build/tests/c_caller"
export LD_LIBRARY_PATH="$build/runtime"
export QT_QPA_PLATFORM=offscreen
unset PRINTER LPDEST DISPLAY WAYLAND_DISPLAY
source "$root/tests/print/private_cupsd.sh"
if ! why=$(cupsd_available); then
  echo "cannot run: $why" >&2
  exit 1
fi
[ -x "$caller" ] || { echo "build first: $caller is missing" >&2; exit 1; }

tmp=$(mktemp -d)
chmod 755 "$tmp"
made=()
trap 'cupsd_stop; rm -f "${made[@]}"; rm -rf "$tmp"' EXIT
cupsd_start "$tmp/cups" >"$tmp/start.log" 2>&1 || { cat "$tmp/start.log" >&2; exit 1; }

# The example is 3 pages of 60 lines; 1 page is its first 60 lines, 100 pages
# the three pages repeated and cut at 6000 lines.
examples="$root/examples"
cp "$examples/invoice.zrk" "$examples/logo.bmp" "$tmp/"
head -n 60 "$examples/invoice.dat" >"$tmp/p1.dat"
for i in $(seq 1 34); do cat "$examples/invoice.dat"; done | head -n 6000 >"$tmp/p100.dat"

cupsdisable PDF
echo "ZRK_Print -> job accepted by CUPS (queue stopped, $runs runs each; seconds)"
declare -A spooled
for pages in 1 100; do
  times=()
  for run in $(seq 1 "$runs"); do
    out=$("$caller" -t "$tmp/invoice.zrk" "$tmp/p$pages.dat" "CONTROL PRINTER=Default;" 2>/dev/null)
    grep -qx 'ZRK_Print: 0' <<<"$out" || { echo "print failed: $out" >&2; exit 1; }
    times+=("$(sed -n 's/^seconds: //p' <<<"$out")")
  done
  job=$(lpstat -o PDF | tail -n 1 | sed -n 's/^PDF-\([0-9]*\).*/\1/p')
  file="$(cupsd_spool_dir)/d$(printf '%05d' "$job")-001"
  spooled[$pages]=$(stat -c %s "$file")
  sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
  printf '  %3d page(s): %s(min first)  spooled document %s bytes (%s pages)\n' \
    "$pages" "$sorted" "${spooled[$pages]}" "$(pdfinfo "$file" | sed -n 's/^Pages: *//p')"
done

echo "cups-pdf output once the queue runs:"
touch "$tmp/marker"
sleep 1
start=$(date +%s.%N)
cupsenable PDF
cupsd_wait_idle 600
echo "  all $(( 2 * runs )) jobs rendered in $(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }') s"
out_dir=$(cupsd_pdf_dir)
while IFS= read -r pdf; do
  made+=("$pdf")
  printf '  %s: %s pages, %s bytes\n' "$(basename "$pdf")" "$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')" "$(stat -c %s "$pdf")"
done < <(find "$out_dir" -maxdepth 1 -name '*.pdf' -newer "$tmp/marker" | sort)
