#!/usr/bin/env bash
# Pages drawn on several threads: PDF and PNG outputs are the same bytes
# whatever --jobs says, on forms with bitmaps, barcodes, several faces and
# data with bytes that are no character; warnings and messages come once per
# job, as with one thread; a failed output fails alike; --jobs is checked.
set -u
zrk="$1"
data="$2"
examples="$data/../../examples"
source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"
require_tools cmp
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export SOURCE_DATE_EPOCH=0

# Twelve pages of invoices, and the example's data cut into the pages of
# another form, so that double-byte characters are split at line ends.
for i in 1 2 3 4; do cat "$examples/invoice.dat"; done >"$tmp/invoices.dat"
cases=(
  "$examples/invoice.zrk $tmp/invoices.dat"
  "$data/shop-invoice.zrk $examples/invoice.dat"
  "$data/landscape.zrk $data/landscape.dat"
  "$data/barcode-statements.zrk $examples/invoice.dat"
  "$examples/delivery-tags.zrk $examples/delivery-tags.dat"
)
for pair in "${cases[@]}"; do
  set -- $pair
  name=$(basename "$1" .zrk)
  "$zrk" print "$1" "$2" --jobs 1 --pdf "$tmp/$name-1.pdf" 2>"$tmp/$name-1.err"
  expect "$name: --jobs 1 prints" test $? -eq 0
  for jobs in 2 3 8; do
    "$zrk" print "$1" "$2" --jobs "$jobs" --pdf "$tmp/$name-$jobs.pdf" 2>"$tmp/$name-$jobs.err"
    expect "$name: --jobs $jobs prints" test $? -eq 0
    expect "$name: PDF of --jobs $jobs is that of --jobs 1" cmp -s "$tmp/$name-1.pdf" "$tmp/$name-$jobs.pdf"
    expect "$name: messages of --jobs $jobs are those of --jobs 1" cmp -s "$tmp/$name-1.err" "$tmp/$name-$jobs.err"
  done
  mkdir -p "$tmp/png1-$name" "$tmp/png3-$name"
  "$zrk" print "$1" "$2" --jobs 1 --dpi 72 --png "$tmp/png1-$name/p-%d.png"
  "$zrk" print "$1" "$2" --jobs 3 --dpi 72 --png "$tmp/png3-$name/p-%d.png"
  expect "$name: PNG pages of --jobs 3 are those of --jobs 1" diff -r -q "$tmp/png1-$name" "$tmp/png3-$name"
done

# A barcode whose content cannot be encoded on most pages, and a bitmap that
# is not there: each reported once, naming the first page.
cat >"$tmp/warn.utf8" <<'FORM'
BASE TITLE="警告", SIZE=A5, DIRECTION=P, COLUMN=40, ROW=4, FONT="ＭＳ 明朝"-10;
FIELD TAG="J13", LOCATE=(1, 1)-(13, 1);
BARCODE LOCATE=(2, 2)-(26, 4), TYPE=JAN13, FIELD="J13";
BITMAP LOCATE=(30, 1)-(39, 4), FILE="NO-SUCH.BMP";
FORM
iconv -f UTF-8 -t CP932 "$tmp/warn.utf8" >"$tmp/warn.zrk"
awk 'BEGIN { for (p = 1; p <= 9; p++) printf "%s\n\n\n\n", (p == 1 ? "4901234567894" : "49012X" p) }' >"$tmp/warn.dat"
"$zrk" print "$tmp/warn.zrk" "$tmp/warn.dat" --jobs 1 --pdf "$tmp/warn-1.pdf" 2>"$tmp/warn-1.err"
"$zrk" print "$tmp/warn.zrk" "$tmp/warn.dat" --jobs 4 --pdf "$tmp/warn-4.pdf" 2>"$tmp/warn-4.err"
expect "barcode warned once, for page 2" test "$(grep -c '2 ページ目のバーコード' "$tmp/warn-4.err")" = 1
expect "no other barcode warning" test "$(grep -c 'バーコード' "$tmp/warn-4.err")" = 1
expect "bitmap message once" test "$(grep -c 'NO-SUCH.BMP' "$tmp/warn-4.err")" = 1
expect "messages as with one thread" cmp -s "$tmp/warn-1.err" "$tmp/warn-4.err"
expect "PDF as with one thread" cmp -s "$tmp/warn-1.pdf" "$tmp/warn-4.pdf"

# An output that cannot be written fails as with one thread.
"$zrk" print "$examples/invoice.zrk" "$tmp/invoices.dat" --jobs 3 --pdf /dev/full 2>"$tmp/full.err"
expect "a full device is 245" test $? -eq 245
expect "a full device says so" grep -q "No space left on device\|空き領域" "$tmp/full.err"

# --jobs takes 1 to 64, and only for files.
for bad in 0 65 x -1 ""; do
  "$zrk" print "$examples/invoice.zrk" "$examples/invoice.dat" --jobs "$bad" --pdf "$tmp/bad.pdf" 2>"$tmp/bad.err"
  expect "--jobs '$bad' is a usage error" test $? -eq 2
  expect "--jobs '$bad' says the range" grep -q "1 to 64" "$tmp/bad.err"
done
"$zrk" print "$examples/invoice.zrk" "$examples/invoice.dat" --jobs 2 --printer nowhere 2>"$tmp/printer.err"
expect "--jobs with a printer is a usage error" test $? -eq 2
expect "no PDF was left by a refused run" test ! -e "$tmp/bad.pdf"
finish
