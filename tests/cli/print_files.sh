#!/usr/bin/env bash
# zrk print to PDF and PNG: pages, paper, texts and pixel positions checked
# with poppler and PIL on the real output.
set -u
zrk="$1"
data="$2"
examples="$data/../../examples"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"
info() { pdfinfo "$1" | sed -n "s/^$2: *//p"; }

# The example: three A4 portrait pages, titled after the form, text extractable.
"$zrk" print "$examples/invoice.zrk" "$examples/invoice.dat" --pdf "$tmp/invoice.pdf" 2>"$tmp/err"
expect "example prints" test $? -eq 0
expect "no messages" test ! -s "$tmp/err"
expect "three pages" test "$(info "$tmp/invoice.pdf" Pages)" = 3
expect "A4 portrait" sh -c "pdfinfo '$tmp/invoice.pdf' | grep -Eq 'Page size: *595(\.[0-9]+)? x 84[12](\.[0-9]+)? pts \(A4\)'"
expect "document title" test "$(info "$tmp/invoice.pdf" Title)" = "請求書"
pdftotext "$tmp/invoice.pdf" - | tr -d ' \n' >"$tmp/text"
for word in 株式会社東西物産 南北工業株式会社 有限会社中央商会 ご請求金額 102,080 INV-2026-1203 お振込手数料; do
  expect "text $word" grep -q "$word" "$tmp/text"
done
expect "fonts embedded" sh -c "pdffonts '$tmp/invoice.pdf' | grep -q 'IPA.*yes'"

# Another paper: the form is scaled onto B4, turned to the form's direction.
"$zrk" print "$examples/invoice.zrk" "$examples/invoice.dat" --pdf "$tmp/b4.pdf" --paper b4 --dpi 300
expect "B4 paper" sh -c "pdfinfo '$tmp/b4.pdf' | grep -q 'Page size: *72[89].* x 103[12].*'"

# A landscape form: landscape pages, 130 lines of 60 rows make 3 pages, and a
# missing bitmap is reported once for the whole job.
"$zrk" print "$data/landscape.zrk" "$data/landscape.dat" --pdf "$tmp/land.pdf" 2>"$tmp/err"
expect "landscape prints" test $? -eq 0
expect "landscape pages" test "$(info "$tmp/land.pdf" Pages)" = 3
expect "landscape size" sh -c "pdfinfo '$tmp/land.pdf' | grep -q 'Page size: *103[12].* x 72[89]'"
expect "bitmap message once" test "$(grep -c 'イメージのオープンに失敗しました（NO-SUCH-LOGO.BMP）' "$tmp/err")" = 1
expect "constant text" sh -c "pdftotext '$tmp/land.pdf' - | tr -d ' ' | grep -q 横向き帳票"

# PNG pages: one file per page, white paper, lines and fills where the grid puts them.
"$zrk" print "$data/geometry.zrk" "$data/geometry.dat" --png "$tmp/page-%03d.png"
expect "png prints" test $? -eq 0
expect "two png pages" test -f "$tmp/page-001.png" -a -f "$tmp/page-002.png" -a ! -e "$tmp/page-003.png"
expect "pixels" /usr/bin/python3 - "$tmp/page-001.png" <<'PY'
import sys
from PIL import Image
im = Image.open(sys.argv[1]).convert("RGB")
assert im.size == (1240, 1753), im.size           # A4 at 150 dpi
# 150 dpi: 5 mm = 29 px from the corner; cell 14 x 28 px; origin 0.
dark = lambda p: sum(im.getpixel(p)) < 200
white = lambda p: im.getpixel(p) == (255, 255, 255)
assert white((5, 5))
# Horizontal line along the top of row 11 from the middle of column 1 to column 80.
assert dark((500, 29 + 10 * 28)) and white((500, 29 + 10 * 28 - 1)) and white((500, 29 + 10 * 28 + 1))
assert dark((29 + 7, 309)) and white((29 + 6, 309)) and white((29 + 7 + 79 * 14 + 1, 309))
# Fill from (x1 + 1, y1 + 1) to (x2, y2) exclusive: x 37..161, y 562..644.
red = lambda p: im.getpixel(p) == (255, 0, 0)
assert red((37, 562)) and red((161, 644)) and white((36, 600)) and white((162, 600))
assert white((100, 561)) and white((100, 645))
# Dense dots on the vertical line at column 40: dots of 2 px, gaps of 4 px.
x = 29 + 39 * 14 + 7
column = [dark((x, y)) for y in range(29 + 29 * 28, 29 + 40 * 28)]
runs, n = [], 0
for d in column + [False]:
    if d: n += 1
    elif n: runs.append(n); n = 0
assert len(runs) > 20 and set(runs) <= {2, 3}, runs[:10]
PY

# Failures: exit status is the job's result as a byte, with the system's message.
"$zrk" print "$tmp/none.zrk" "$examples/invoice.dat" --pdf "$tmp/x.pdf" 2>"$tmp/err"
expect "missing form is 255" test $? -eq 255
expect "missing form message" grep -q '帳票パラメータがオープンできません' "$tmp/err"
"$zrk" print "$examples/invoice.zrk" "$data/empty.dat" --pdf "$tmp/x.pdf" 2>"$tmp/err"
expect "empty data is 254" test $? -eq 254
expect "empty data message" grep -qx 'エラー: その他 - 帳票データがオープンできません' "$tmp/err"
expect "no output for empty data" test ! -e "$tmp/x.pdf"
"$zrk" print "$examples/invoice.zrk" "$examples/invoice.dat" --pdf "$tmp/no/such/dir/x.pdf" 2>"$tmp/err"
expect "unwritable pdf is 245" test $? -eq 245
expect "unwritable pdf message" grep -qx 'エラー: その他 - プリンタが使用できません' "$tmp/err"
"$zrk" print "$examples/invoice.zrk" "$examples/invoice.dat" --png "$tmp/no/dir/p-%d.png" 2>"$tmp/err"
expect "unwritable png is 245" test $? -eq 245
"$zrk" print "$examples/invoice.zrk" "$examples/invoice.dat" --png "$tmp/p.png" 2>/dev/null
expect "png pattern without number is a usage error" test $? -eq 2
"$zrk" print "$examples/invoice.zrk" "$examples/invoice.dat" --png "$tmp/p-%s.png" 2>/dev/null
expect "png pattern with %s is a usage error" test $? -eq 2
# Without a file output the job goes to a printer: here no print server
# answers and there is no display for a dialog, so there is no printer (-3).
CUPS_SERVER=127.0.0.1:9 "$zrk" print "$examples/invoice.zrk" "$examples/invoice.dat" 2>"$tmp/err"
expect "no output and no printer is 253" test $? -eq 253
expect "no printer message" grep -q 'プリンタＤＣの獲得に失敗しました' "$tmp/err"
"$zrk" print "$examples/invoice.zrk" "$examples/invoice.dat" --pdf "$tmp/x.pdf" --printer PDF 2>/dev/null
expect "file and printer together is a usage error" test $? -eq 2
"$zrk" print "$examples/invoice.zrk" "$examples/invoice.dat" --pdf "$tmp/x.pdf" --dpi 0 2>/dev/null
expect "bad dpi is a usage error" test $? -eq 2
"$zrk" print "$examples/invoice.zrk" "$examples/invoice.dat" --pdf "$tmp/x.pdf" --paper letter 2>/dev/null
expect "bad paper is a usage error" test $? -eq 2

# LASTROW from the control statement cuts figures on the last page only.
"$zrk" print "$data/geometry.zrk" "$data/geometry.dat" --png "$tmp/cut-%d.png" --control "control lastrow=35;"
expect "lastrow" /usr/bin/python3 - "$tmp/cut-1.png" "$tmp/cut-2.png" <<'PY'
import sys
from PIL import Image
first, last = (Image.open(p).convert("RGB") for p in sys.argv[1:])
x = 29 + 39 * 14 + 7
y_below = 29 + 36 * 28  # row 37, inside the dotted line's rows 30..40
dark_run = lambda im: any(sum(im.getpixel((x, y))) < 200 for y in range(y_below, y_below + 12))
assert dark_run(first) and not dark_run(last)
PY

finish
