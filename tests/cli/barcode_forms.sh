#!/usr/bin/env bash
# Forms with barcodes through zrk check, inspect and format.
set -u
zrk="$1"
data="$2"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"

# One barcode of each type, in the designer's layout.
form="$data/barcode-statements.zrk"
expect "check passes silently" test -z "$("$zrk" check "$form" 2>&1)"
"$zrk" inspect --variant print "$form" >"$tmp/json"
expect "inspect passes" test $? -eq 0
expect "inspect shows each barcode" /usr/bin/python3 - "$tmp/json" <<'PY'
import json, sys
figures = json.load(open(sys.argv[1]))["figures"]
assert [f["type"] for f in figures] == ["JAN13", "JAN8", "CODE39", "NW7", "ITF", "CODE128", "GS1128",
                                        "JPPOST", "QR", "DATAMATRIX", "PDF417"], figures
jan, qr = figures[0], figures[8]
assert jan == {"kind": 25, "startCol": 1, "startRow": 3, "endCol": 61, "endRow": 10, "type": "JAN13",
               "hri": 1, "ecc": "", "const": "4901234567894", "lineColor": 0, "loopDir": 0,
               "loopCount": 0, "loopPitch": 0}, jan
assert qr["field"] == "AMOUNT" and "const" not in qr and qr["ecc"] == "M" and qr["hri"] == 0, qr
assert qr["lineColor"] == 0x800000, qr
assert figures[9]["const"] == "TABRIK, DATAMATRIX"
PY
SOURCE_DATE_EPOCH=954547200 "$zrk" format "$form" "$tmp/out.zrk"
expect "format writes the same bytes" cmp "$form" "$tmp/out.zrk"

# A bad barcode: the reader's message, and inspect still shows the model.
"$zrk" check "$data/bad-barcode.zrk" >"$tmp/out" 2>"$tmp/err"
expect "check fails with 1" test $? -eq 1
expect "check names the barcode" grep -qx 'エラー: 図形情報（2行） - CONSTとFIELDは同時に指定できません' "$tmp/err"
"$zrk" inspect "$data/bad-barcode.zrk" >"$tmp/json" 2>/dev/null
expect "inspect of the bad form exits 1" test $? -eq 1
expect "inspect shows neither content" /usr/bin/python3 -c '
import json, sys; f = json.load(open(sys.argv[1]))["figures"][1]
assert f["type"] == "QR" and "const" not in f and "field" not in f, f' "$tmp/json"

finish
