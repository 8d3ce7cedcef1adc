#!/usr/bin/env bash
# zrk print with today's data and printers: UTF-8 data, print offsets,
# progress on a terminal, data from standard input and the PDF to standard
# output. Checked on the real output with poppler and PIL.
set -u
zrk="$1"
data="$2"
examples="$data/../../examples"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"
# Same creation date in every PDF, so that documents compare byte for byte;
# the private copies of the data go to a folder watched here.
export SOURCE_DATE_EPOCH=1700000000
export XDG_RUNTIME_DIR="$tmp/xdg"
mkdir -m 700 "$XDG_RUNTIME_DIR"
form="$examples/invoice.zrk"
sjis="$examples/invoice.dat"
no_spool_left() { test -z "$(ls -A "$XDG_RUNTIME_DIR")"; }

# The same text as Shift-JIS, as UTF-8 (with and without a byte-order mark):
# the same document, whichever way it is read.
cp "$sjis" "$tmp/sjis.dat"
iconv -f CP932 -t UTF-8 "$sjis" >"$tmp/utf8.dat"
{ printf '\xef\xbb\xbf'; cat "$tmp/utf8.dat"; } >"$tmp/bom.dat"
"$zrk" print "$form" "$sjis" --pdf "$tmp/sjis.pdf"
while read -r name file options; do
  "$zrk" print "$form" "$tmp/$file" --pdf "$tmp/$name.pdf" $options 2>"$tmp/err"
  expect "$name prints without messages" test $? -eq 0 -a ! -s "$tmp/err"
  expect "$name is the Shift-JIS document" cmp -s "$tmp/sjis.pdf" "$tmp/$name.pdf"
done <<EOF
utf8 utf8.dat --data-encoding utf-8
auto-utf8 utf8.dat --data-encoding AUTO
auto-bom bom.dat --data-encoding auto
bom bom.dat --control CONTROL,ENCODING=UTF-8;
auto-sjis sjis.dat --data-encoding auto
EOF
expect "no private copy left" no_spool_left

# zrk reads data as auto unless told: UTF-8 needs no option. Read as
# Shift-JIS on purpose, UTF-8 data (with or without its mark) or bytes no
# Shift-JIS holds print as they are with one warning naming the option;
# Shift-JIS data gives none.
notice='警告: 帳票データ - Shift-JIS のデータではないようです。UTF-8 で書かれているなら --data-encoding utf-8 を指定してください'
printf 'A\x80B\n' >"$tmp/notsjis.dat"
while read -r name file options; do
  "$zrk" print "$form" "$tmp/$file" --pdf "$tmp/$name.pdf" $options 2>"$tmp/err"
  expect "$name prints" test $? -eq 0
  if [ "$name" = default-utf8 ] || [ "$name" = sjis-as-sjis ]; then
    expect "$name gives no warning" test ! -s "$tmp/err"
  else
    expect "$name gives the one warning" test "$(cat "$tmp/err")" = "$notice"
  fi
done <<EOF
default-utf8 utf8.dat
sjis-as-sjis sjis.dat --data-encoding sjis
utf8-as-sjis utf8.dat --data-encoding sjis
bom-as-sjis bom.dat --control CONTROL,ENCODING=SJIS;
bytes-as-sjis notsjis.dat --data-encoding sjis
EOF
expect "auto by default is the Shift-JIS document" cmp -s "$tmp/sjis.pdf" "$tmp/default-utf8.pdf"

# The data file's worked example: a page is ROW lines; the tag-mode file
# prints the same first page as the row-mode one.
"$zrk" print "$examples/delivery.zrk" "$examples/delivery.dat" --png "$tmp/rows-%d.png" --dpi 100
expect "two pages of 16 lines" test -f "$tmp/rows-2.png" -a ! -e "$tmp/rows-3.png"
"$zrk" print "$examples/delivery-tags.zrk" "$examples/delivery-tags.dat" --png "$tmp/tags-%d.png" --dpi 100
expect "tag mode prints the row-mode page" cmp -s "$tmp/rows-1.png" "$tmp/tags-1.png"
pdftotext "$tmp/utf8.pdf" - | tr -d ' \n' | grep -q 株式会社東西物産
expect "UTF-8 text extractable" test $? -eq 0

# Characters that code page 932 lacks, bytes that are no UTF-8 and a
# character cut by the line's end become "？", counted, with the first line.
{
  head -n 3 "$tmp/utf8.dat"
  printf 'A\xf0\x9f\x98\x80B \xff C\n'
  sed -n 5,8p "$tmp/utf8.dat"
  printf '\xe5\xb8\n'
} >"$tmp/bad.dat"
"$zrk" print "$form" "$tmp/bad.dat" --pdf "$tmp/bad.pdf" --data-encoding utf-8 2>"$tmp/err"
expect "replacements still print" test $? -eq 0
expect "one warning with count and line" test "$(cat "$tmp/err")" = \
  "警告: 帳票データ - 変換できない文字を「？」に置き換えました（3文字、最初は4行目）"
expect "replaced characters printed as ？" test "$(pdftotext "$tmp/bad.pdf" - | grep -o '？' | wc -l)" = 3

# The pipeline: data from standard input, the PDF to standard output.
cat "$sjis" | "$zrk" print "$form" - --pdf - >"$tmp/pipe.pdf" 2>"$tmp/err"
expect "pipeline exits 0" test $? -eq 0 -a ! -s "$tmp/err"
expect "pipeline gives the file road's document" cmp -s "$tmp/sjis.pdf" "$tmp/pipe.pdf"
cat "$tmp/utf8.dat" | "$zrk" print "$form" - --pdf - --data-encoding auto | pdftotext - - | tr -d ' \n' >"$tmp/text"
for word in 株式会社東西物産 南北工業株式会社 ご請求金額 INV-2026-1203; do
  expect "UTF-8 pipeline text $word" grep -q "$word" "$tmp/text"
done
"$zrk" print "$form" - --pdf "$tmp/empty.pdf" </dev/null 2>"$tmp/err"
expect "empty standard input is 254" test $? -eq 254
expect "empty standard input message" grep -qx 'エラー: その他 - 帳票データがオープンできません' "$tmp/err"
expect "no private copy left after the pipelines" no_spool_left

# The private copy: mode 0600 in a folder of mode 0700, gone when a signal
# ends the command while it waits for its data (read as Shift-JIS, the copy
# starts at once; auto waits for the sample first).
mkfifo "$tmp/feed"
"$zrk" print "$form" - --pdf "$tmp/killed.pdf" --data-encoding sjis <"$tmp/feed" 2>/dev/null &
zrk_pid=$!
exec 3>"$tmp/feed"
spool=
for _ in $(seq 100); do
  spool=$(ls -d "$XDG_RUNTIME_DIR"/zrk-data-* 2>/dev/null) && [ -e "$spool/data" ] && break
  sleep 0.1
done
expect "private folder mode 0700" test "$(stat -c %a "$spool" 2>/dev/null)" = 700
expect "private file mode 0600" test "$(stat -c %a "$spool/data" 2>/dev/null)" = 600
kill -TERM "$zrk_pid"
wait "$zrk_pid"
expect "terminated by the signal" test $? -eq 143
exec 3>&-
expect "private copy removed on the signal" no_spool_left

# Print offsets at 150 dpi: 2.0 mm is 11 pixels, -1.5 mm is -8; everything on
# the page moves alike, on PNG and on PDF, whether given by --offset or by the
# control statement.
"$zrk" print "$data/geometry.zrk" "$data/geometry.dat" --png "$tmp/base-%d.png"
"$zrk" print "$data/geometry.zrk" "$data/geometry.dat" --png "$tmp/moved-%d.png" --offset 2.0,-1.5
"$zrk" print "$data/geometry.zrk" "$data/geometry.dat" --png "$tmp/keyed-%d.png" \
  --control "CONTROL XOFFSET=20, YOFFSET=-15;"
expect "control statement offset equals --offset" cmp -s "$tmp/moved-1.png" "$tmp/keyed-1.png"
"$zrk" print "$data/geometry.zrk" "$data/geometry.dat" --png "$tmp/back-%d.png" --offset -1.5,+2
"$zrk" print "$data/geometry.zrk" "$data/geometry.dat" --pdf "$tmp/base.pdf"
"$zrk" print "$data/geometry.zrk" "$data/geometry.dat" --pdf "$tmp/moved.pdf" --offset 2,-1.5
pdftoppm -r 150 -f 1 -l 1 -png "$tmp/base.pdf" "$tmp/pdfbase"
pdftoppm -r 150 -f 1 -l 1 -png "$tmp/moved.pdf" "$tmp/pdfmoved"
expect "offsets in pixels" /usr/bin/python3 - "$tmp" <<'PY'
import glob, sys
from PIL import Image, ImageChops
tmp = sys.argv[1]
def load(name):
    return Image.open(glob.glob(f"{tmp}/{name}")[0]).convert("L")
def shift_of(base, moved):
    # The shift that lays the moved page on the base page, pixel for pixel.
    w, h = base.size
    for dx in range(-15, 16):
        for dy in range(-15, 16):
            a = base.crop((max(0, -dx), max(0, -dy), min(w, w - dx), min(h, h - dy)))
            b = moved.crop((max(0, dx), max(0, dy), min(w, w + dx), min(h, h + dy)))
            if ImageChops.difference(a, b).getbbox() is None:
                return dx, dy
    return None
base = load("base-1.png")
assert base.getbbox() is not None and ImageChops.invert(base).getbbox() is not None
assert shift_of(base, load("moved-1.png")) == (11, -8), shift_of(base, load("moved-1.png"))
assert shift_of(base, load("back-1.png")) == (-8, 11), shift_of(base, load("back-1.png"))
# PDF rendered at 150 dpi: the ink moves by the same pixels.
ink = lambda im: ImageChops.invert(im.point(lambda v: 255 if v > 128 else 0)).getbbox()
b, m = ink(load("pdfbase-*.png")), ink(load("pdfmoved-*.png"))
assert (m[0] - b[0], m[1] - b[1]) in {(11, -8), (12, -8), (11, -9), (12, -9)}, (b, m)
PY

# Progress: on a terminal, pages of the total; nothing on a pipe or with --quiet.
if command -v script >/dev/null; then
  script -qc "'$zrk' print '$form' '$sjis' --pdf '$tmp/p.pdf'" /dev/null >"$tmp/tty" </dev/null
  expect "progress on a terminal" grep -q '印刷中 3/3 ページ .*ページ/秒  残り 0:00' "$tmp/tty"
  script -qc "'$zrk' print '$form' '$sjis' --pdf '$tmp/p.pdf' --quiet" /dev/null >"$tmp/tty" </dev/null
  expect "no progress with --quiet" test ! -s "$tmp/tty"
fi
"$zrk" print "$form" "$sjis" --pdf "$tmp/p.pdf" 2>&1 | cat >"$tmp/piped"
expect "no progress on a pipe" test ! -s "$tmp/piped"

# Bad values of the new options are usage errors; good edge values print.
while read -r options; do
  "$zrk" print "$form" "$sjis" --pdf "$tmp/x.pdf" $options 2>/dev/null
  expect "usage error: $options" test $? -eq 2
done <<'EOF'
--data-encoding latin1
--data-encoding
--offset 1,2,3
--offset 50.1,0
--offset 1.25,0
--offset 1
--offset ,1
--offset 1e1,0
EOF
"$zrk" print "$form" "$sjis" --pdf "$tmp/x.pdf" --offset=-50,50.0
expect "largest offsets print" test $? -eq 0
rm -f "$tmp/x.pdf"
"$zrk" print "$form" "$sjis" --pdf "$tmp/x.pdf" --control "CONTROL YOFFSET=1.5;" 2>"$tmp/err"
expect "bad control offset is 255" test $? -eq 255
expect "bad control offset message" grep -qx 'エラー: 制御情報 - YOFFSETの指定に誤りがあります' "$tmp/err"
expect "no output for a refused control value" test ! -e "$tmp/x.pdf"
finish
