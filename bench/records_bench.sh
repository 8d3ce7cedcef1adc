#!/bin/bash
# The cost of filling a form from CSV records by name: `zrk print --pdf` on
# N CSV records grouped by invoice number (ten detail lines to an invoice, so
# N/10 pages) against the same pages given as a hand-made character image,
# best of --repeat runs each, both drawn on one thread (--jobs 1), so one
# core is compared with one core. The conversion should cost under 10 % of
# the render, and the peak memory should not grow with the number of records
# (they are streamed): reported for --records and a tenth of it.
#
#   bench/records_bench.sh [--zrk PATH] [--records N] [--repeat N]
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(dirname "$HERE")
ZRK=${ZRK:-$ROOT/build/runtime/cli/zrk}
RECORDS=100000
REPEAT=3
while [ $# -gt 0 ]; do
    case $1 in
    --zrk) ZRK=$2; shift 2 ;;
    --records) RECORDS=$2; shift 2 ;;
    --repeat) REPEAT=$2; shift 2 ;;
    -h | --help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "records_bench.sh: unknown argument '$1'" >&2; exit 2 ;;
    esac
done
if [ ! -x /usr/bin/time ]; then
    echo "records_bench.sh: needs /usr/bin/time (Debian package time)" >&2
    exit 2
fi

WORK=$(mktemp -d /tmp/zrk-records-bench.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
export QT_QPA_PLATFORM=offscreen SOURCE_DATE_EPOCH=0
export XDG_RUNTIME_DIR="$WORK/xdg"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

# An invoice form with a ten-line detail (ITEM, QTY, PRICE), its records as
# UTF-8 CSV and the same pages as a Shift-JIS character image.
/usr/bin/python3 - "$WORK" "$RECORDS" <<'PY'
import sys
work, records = sys.argv[1], int(sys.argv[2])
form = ['BASE TITLE="請求書", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=30, LMARGIN=10, TMARGIN=10, '
        'FONT="ＭＳ 明朝"-10, LTYPE=1-2, TCOLOR=#000000, LCOLOR=#000000, MCOLOR=#E0E0E0;',
        'FIELD LOCATE=(1, 1)-(10, 1), TAG="NO";',
        'FIELD LOCATE=(60, 1)-(79, 1), TAG="DATE";',
        'FIELD LOCATE=(1, 3)-(40, 3), TAG="CUSTOMER", FONT="ＭＳ ゴシック"-12;']
for row in range(6, 16):
    form += ['FIELD LOCATE=(1, %d)-(40, %d), TAG="ITEM";' % (row, row),
             'FIELD LOCATE=(45, %d)-(50, %d), TAG="QTY", CENTER=ON;' % (row, row),
             'FIELD LOCATE=(55, %d)-(64, %d), TAG="PRICE";' % (row, row)]
form += ['FIELD LOCATE=(55, 18)-(64, 18), TAG="TOTAL";', 'RECT LOCATE=(1, 5)-(65, 16), LTYPE=1-3;']
open(work + '/bench.zrk', 'wb').write(('\r\n'.join(form) + '\r\n').encode('cp932'))

def image_page(no, date, customer, details, total):
    rows = [b''] * 30
    def put(row, col, text):
        rows[row - 1] = rows[row - 1].ljust(col - 1) + text.encode('cp932')
    put(1, 1, no); put(1, 60, date); put(3, 1, customer)
    for i, (item, qty, price) in enumerate(details):
        put(6 + i, 1, item); put(6 + i, 45, qty); put(6 + i, 55, price)
    put(18, 55, total)
    return rows

with open(work + '/bench.csv', 'w', encoding='utf-8', newline='') as csv, \
        open(work + '/bench.dat', 'wb') as dat:
    csv.write('NO,DATE,CUSTOMER,ITEM,QTY,PRICE,TOTAL\r\n')
    for invoice in range(records // 10):
        no, date, customer = str(100000 + invoice), '2026-12-%02d' % (invoice % 28 + 1), '株式会社 見本商事 第%d営業所' % invoice
        details = [('品目 %d-%d "特"' % (invoice, i), str(i + 1), '%d,000' % (i + 3)) for i in range(10)]
        total = '%d,000' % sum(i + 3 for i in range(10))
        for item, qty, price in details:
            csv.write('%s,%s,%s,"%s",%s,"%s","%s"\r\n' % (no, date, customer, item.replace('"', '""'), qty, price, total))
        dat.write(b'\n'.join(image_page(no, date, customer, details, total)) + b'\n')
PY
head -n "$((RECORDS / 10 + 1))" "$WORK/bench.csv" >"$WORK/tenth.csv"

# best_of COMMAND...: the shortest wall time and the shortest processor time
# (user + system) of REPEAT runs, in seconds to the millisecond (the
# difference sought is a few hundredths of a second); processor time is the
# steadier figure on a machine shared with other work.
best_of() {
    /usr/bin/python3 - "$REPEAT" "$@" <<'PY'
import os, subprocess, sys, time
repeat, command = int(sys.argv[1]), sys.argv[2:]
wall = cpu = float('inf')
for _ in range(repeat):
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    if status != 0:
        sys.exit('records_bench.sh: failed: ' + ' '.join(command))
    wall = min(wall, time.perf_counter() - start)
    cpu = min(cpu, usage.ru_utime + usage.ru_stime)
print('%.3f %.3f' % (wall, cpu))
PY
}
peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }

pages=$((RECORDS / 10))
echo "zrk print --jobs 1 --pdf, $RECORDS CSV records grouped into $pages invoices (one page each), best of $REPEAT; $(nproc) cores"
read -r IMAGE_WALL IMAGE_CPU < <(best_of "$ZRK" print "$WORK/bench.zrk" "$WORK/bench.dat" --jobs 1 \
    --pdf "$WORK/image.pdf")
read -r CSV_WALL CSV_CPU < <(best_of "$ZRK" print "$WORK/bench.zrk" "$WORK/bench.csv" --data-format csv \
    --group-by NO --jobs 1 --pdf "$WORK/csv.pdf")
cmp -s "$WORK/image.pdf" "$WORK/csv.pdf" || echo "records_bench.sh: the CSV document differs" >&2
printf '%-36s %9s %9s\n' "" "wall s" "cpu s"
printf '%-36s %9.3f %9.3f\n' "character image (the render alone)" "$IMAGE_WALL" "$IMAGE_CPU"
printf '%-36s %9.3f %9.3f\n' "CSV records, --group-by NO" "$CSV_WALL" "$CSV_CPU"
printf '%-36s %8.1f%% %8.1f%%\n' "conversion against the render" \
    "$(awk "BEGIN { print ($CSV_WALL / $IMAGE_WALL - 1) * 100 }")" \
    "$(awk "BEGIN { print ($CSV_CPU / $IMAGE_CPU - 1) * 100 }")"
printf '%-36s %9s KiB\n' "peak RSS, $((RECORDS / 10)) records" \
    "$(peak_kib "$ZRK" print "$WORK/bench.zrk" "$WORK/tenth.csv" --data-format csv --group-by NO --jobs 1 \
        --pdf "$WORK/t.pdf")"
printf '%-36s %9s KiB\n' "peak RSS, $RECORDS records" \
    "$(peak_kib "$ZRK" print "$WORK/bench.zrk" "$WORK/bench.csv" --data-format csv --group-by NO --jobs 1 \
        --pdf "$WORK/c.pdf")"
