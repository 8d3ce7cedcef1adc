#!/usr/bin/env bash
# Barcodes as printed: every symbol on PNG pages at 300 dpi is read back by
# readers that share no code with the encoder (zbarimg; zxing-cpp for Data
# Matrix and PDF417 as well) and must give the content of its page's data:
# constants and the trimmed text of fields, check digits added where the
# content leaves them out, Shift-JIS data as the same characters. A content
# that cannot be encoded leaves its page printing and is reported once.
set -u
zrk="$1"
source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"
require_tools zbarimg iconv python3
tmp=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$tmp"' EXIT

cat > "$tmp/form.utf8" <<'FORM'
BASE TITLE="バーコード", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=60, LMARGIN=5, TMARGIN=5, FONT="ＭＳ 明朝"-10;
FIELD TAG="J13", LOCATE=(1, 1)-(13, 1);
FIELD TAG="J8", LOCATE=(15, 1)-(22, 1);
FIELD TAG="C39", LOCATE=(24, 1)-(33, 1);
FIELD TAG="NW7", LOCATE=(35, 1)-(44, 1);
FIELD TAG="ITF", LOCATE=(46, 1)-(55, 1);
FIELD TAG="C128", LOCATE=(57, 1)-(80, 1);
FIELD TAG="GS1", LOCATE=(1, 2)-(30, 2);
FIELD TAG="QR", LOCATE=(31, 2)-(50, 2);
FIELD TAG="DM", LOCATE=(51, 2)-(65, 2);
FIELD TAG="PDF", LOCATE=(66, 2)-(80, 2);
FIELD TAG="POST", LOCATE=(1, 3)-(30, 3);
BARCODE LOCATE=(2, 5)-(26, 9), TYPE=JAN13, FIELD="j13", HRI=ON;
BARCODE LOCATE=(30, 5)-(48, 9), TYPE=JAN8, FIELD="J8", HRI=ON;
BARCODE LOCATE=(52, 5)-(79, 9), TYPE=CODE39, FIELD="C39", HRI=ON;
BARCODE LOCATE=(2, 12)-(26, 16), TYPE=NW7, FIELD="NW7", HRI=ON;
BARCODE LOCATE=(30, 12)-(48, 16), TYPE=ITF, FIELD="ITF", HRI=ON;
BARCODE LOCATE=(52, 12)-(79, 16), TYPE=CODE128, FIELD="C128", HRI=ON;
BARCODE LOCATE=(2, 19)-(40, 23), TYPE=GS1128, FIELD="GS1", HRI=ON;
BARCODE LOCATE=(44, 19)-(56, 26), TYPE=QR, FIELD="QR", ECC=M;
BARCODE LOCATE=(60, 19)-(72, 26), TYPE=DATAMATRIX, FIELD="DM";
BARCODE LOCATE=(2, 29)-(50, 36), TYPE=PDF417, FIELD="PDF";
BARCODE LOCATE=(54, 30)-(79, 32), TYPE=JPPOST, FIELD="POST";
BARCODE LOCATE=(2, 40)-(26, 44), TYPE=CODE128, CONST="FIXED-1";
FORM
iconv -f UTF-8 -t CP932 "$tmp/form.utf8" > "$tmp/form.zrk"

# Three pages of 60 rows: each value at its field's columns, counted in
# Shift-JIS bytes.
python3 - "$tmp/data.dat" <<'DATA'
import sys
columns = [(1, 1), (15, 1), (24, 1), (35, 1), (46, 1), (57, 1), (1, 2), (31, 2), (51, 2), (66, 2), (1, 3)]
pages = [
    ["490123456789", "4912345", " AB-12", "A1234B", "12345678", "Slip-0001",
     "[01]04912345123459[10]AB1", "請求書12345", "DM-PAGE-1", "PDF417 p1", "263002313-1"],
    ["4569951116179", "96385074", "ZRK-2", "B998877C", "9876543210", "page two",
     "[01]14912345123456[21]X2", "QR page 2", "データ2", "PDF417 p2", "10700141-3-2-B604"],
    # Letters in the JAN code, every other field empty.
    ["49012345678X"] + [""] * 10,
]
out = b""
for values in pages:
    rows = [bytearray(b" " * 80) for _ in range(60)]
    for (col, row), value in zip(columns, values):
        b = value.encode("cp932")
        rows[row - 1][col - 1:col - 1 + len(b)] = b
    out += b"".join(bytes(r).rstrip() + b"\n" for r in rows)
open(sys.argv[1], "wb").write(out)
DATA

"$zrk" print --png "$tmp/page-%d.png" --dpi 300 "$tmp/form.zrk" "$tmp/data.dat" 2> "$tmp/stderr"
expect "the job prints every page" test $? -eq 0 -a -f "$tmp/page-3.png"
expect "one warning, naming page 3, the item and the reason" \
  test "$(grep -c 'バーコード' "$tmp/stderr")" -eq 1 -a \
  "$(grep -c '3 ページ目のバーコード（図形 1、JAN13、フィールド J13）' "$tmp/stderr")" -eq 1

zbar() { zbarimg -q "$1" 2>/dev/null | sort; }
expect_zbar() {
  local n="$1"
  shift
  local got want
  got=$(zbar "$tmp/page-$n.png")
  want=$(printf '%s\n' "$@" | sort)
  [ "$got" = "$want" ] || { echo "page $n, zbarimg read:"; echo "$got"; echo "expected:"; echo "$want"; return 1; }
}
expect "page 1 read by zbarimg" expect_zbar 1 EAN-13:4901234567894 EAN-8:49123456 CODE-39:AB-12 \
  Codabar:A1234B I2/5:12345678 CODE-128:Slip-0001 CODE-128:010491234512345910AB1 \
  QR-Code:請求書12345 CODE-128:FIXED-1
expect "page 2 read by zbarimg" expect_zbar 2 EAN-13:4569951116179 EAN-8:96385074 CODE-39:ZRK-2 \
  Codabar:B998877C I2/5:9876543210 "CODE-128:page two" CODE-128:011491234512345621X2 \
  "QR-Code:QR page 2" CODE-128:FIXED-1
expect "page 3: only the constant, and a cross" expect_zbar 3 CODE-128:FIXED-1

# zxing-cpp: the 2D codes that zbar does not read, and the QR codes again.
if [ -n "${ZXING_DECODE:-}" ] && [ -x "$ZXING_DECODE" ]; then
  zxing() { "$ZXING_DECODE" "$1" | grep -E '^(QRCode|DataMatrix|PDF417):' | sort; }
  expect_zxing() {
    local n="$1"
    shift
    local got want
    got=$(zxing "$tmp/page-$n.png")
    want=$(printf '%s\n' "$@" | sort)
    [ "$got" = "$want" ] || { echo "page $n, zxing read:"; echo "$got"; echo "expected:"; echo "$want"; return 1; }
  }
  expect "page 1 read by zxing" expect_zxing 1 QRCode:請求書12345 DataMatrix:DM-PAGE-1 "PDF417:PDF417 p1"
  expect "page 2 read by zxing" expect_zxing 2 "QRCode:QR page 2" DataMatrix:データ2 "PDF417:PDF417 p2"
else
  echo "zxing_decode not built: Data Matrix and PDF417 not read back"
fi

# The same job as a PDF: the symbols are vector rectangles (no image in the
# document) and read back the same once the PDF is rasterised.
if command -v pdftoppm >/dev/null && command -v pdfimages >/dev/null; then
  "$zrk" print --pdf "$tmp/job.pdf" "$tmp/form.zrk" "$tmp/data.dat" 2>/dev/null
  expect "the PDF job prints" test $? -eq 0
  expect "no image in the PDF" test "$(pdfimages -list "$tmp/job.pdf" | tail -n +3 | wc -l)" -eq 0
  pdftoppm -r 300 -png "$tmp/job.pdf" "$tmp/pdf"
  for n in 1 2 3; do cp "$tmp/pdf-$n.png" "$tmp/page-$n.png"; done
  expect "PDF page 1 read by zbarimg" expect_zbar 1 EAN-13:4901234567894 EAN-8:49123456 CODE-39:AB-12 \
    Codabar:A1234B I2/5:12345678 CODE-128:Slip-0001 CODE-128:010491234512345910AB1 \
    QR-Code:請求書12345 CODE-128:FIXED-1
  expect "PDF page 3: only the constant" expect_zbar 3 CODE-128:FIXED-1
  if [ -n "${ZXING_DECODE:-}" ] && [ -x "$ZXING_DECODE" ]; then
    expect "PDF page 2 read by zxing" expect_zxing 2 "QRCode:QR page 2" DataMatrix:データ2 "PDF417:PDF417 p2"
  fi
fi
finish
