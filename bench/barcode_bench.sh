#!/bin/bash
# Pages a second of `zrk print FORM DATA --pdf` for a page with 20 QR codes
# and 20 Code 128 symbols whose contents come from the data (a different
# content on every page, so no page is served from the job's cache alone),
# against the same form and data without the barcodes. Also the same job
# where every page carries the same contents (all from the cache), and the
# QR codes alone (their cost a page, less the plain page, over 20).
#
#   bench/barcode_bench.sh [--zrk PATH] [--pages N] [--work DIR] [--keep]
#
# ZRK in the environment works like --zrk.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(dirname "$HERE")
ZRK=${ZRK:-$ROOT/build/runtime/cli/zrk}
PAGES=1000
WORK=
KEEP=0

usage() { sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit "${1:-0}"; }
while [ $# -gt 0 ]; do
    case $1 in
    --zrk) ZRK=$2; shift 2 ;;
    --pages) PAGES=$2; shift 2 ;;
    --work) WORK=$2; shift 2 ;;
    --keep) KEEP=1; shift ;;
    -h | --help) usage 0 ;;
    *) echo "barcode_bench.sh: unknown argument '$1'" >&2; usage 2 >&2 ;;
    esac
done
[ -x "$ZRK" ] || { echo "barcode_bench.sh: no zrk at $ZRK (build it, or give --zrk)" >&2; exit 2; }
if [ -z "$WORK" ]; then WORK=$(mktemp -d); else mkdir -p "$WORK"; fi
[ "$KEEP" = 1 ] || trap 'rm -rf "$WORK"' EXIT

# 40 rows of 80 columns: row k holds field Fk (columns 1-40). Barcodes 1-20
# are QR codes of F1-F20 in a 4 x 5 grid, 21-40 Code 128 of F21-F40.
python3 - "$WORK" "$PAGES" <<'GEN'
import sys
work, pages = sys.argv[1], int(sys.argv[2])
base = 'BASE TITLE="BENCH", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=60, LMARGIN=5, TMARGIN=5, FONT="MS Gothic"-8;\n'
fields = "".join(f'FIELD TAG="F{k}", LOCATE=(41, {k})-(80, {k});\n' for k in range(1, 41))
codes = ""
for k in range(20):
    c, r = 1 + (k % 4) * 10, 1 + (k // 4) * 6
    codes += f'BARCODE LOCATE=({c}, {r})-({c + 8}, {r + 4}), TYPE=QR, FIELD="F{k + 1}";\n'
for k in range(20):
    c, r = 1 + (k % 2) * 20, 31 + (k // 2) * 3
    codes += f'BARCODE LOCATE=({c}, {r})-({c + 18}, {r + 1}), TYPE=CODE128, FIELD="F{k + 21}", HRI=ON;\n'
open(f"{work}/plain.zrk", "w").write(base + fields)
open(f"{work}/codes.zrk", "w").write(base + fields + codes)
open(f"{work}/qr.zrk", "w").write(base + fields + "".join(l + "\n" for l in codes.splitlines() if "TYPE=QR" in l))
def data(name, vary):
    with open(f"{work}/{name}", "w") as out:
        for p in range(pages):
            n = p if vary else 0
            for k in range(1, 61):
                out.write(" " * 40 + (f"INV-{n:06d}-{k:02d} https://example.jp/{n}" if k <= 40 else "") + "\n")
data("vary.dat", True)
data("same.dat", False)
GEN

run() {
    local form=$1 dat=$2 start end
    start=$(date +%s.%N)
    "$ZRK" print "$WORK/$form" "$WORK/$dat" --pdf "$WORK/out.pdf" 2>/dev/null
    end=$(date +%s.%N)
    python3 -c "t=$end-$start; print(f'{t:7.2f} s  {$PAGES/t:8.1f} pages/s  {1000*t/$PAGES:6.2f} ms/page')"
}
echo "$PAGES pages, --pdf ($ZRK)"
printf '  without barcodes            '; run plain.zrk vary.dat
printf '  40 barcodes, new contents   '; run codes.zrk vary.dat
printf '  40 barcodes, same contents  '; run codes.zrk same.dat
printf '  the 20 QR codes alone       '; run qr.zrk vary.dat
ls -l "$WORK/out.pdf" | awk '{print "  PDF of the last run: " $5 " bytes"}'
