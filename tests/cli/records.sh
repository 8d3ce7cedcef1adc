#!/usr/bin/env bash
# zrk print on records by name: the same invoices as CSV (grouped, from a
# file, from standard input, through the control text), as JSON and as a
# hand-made character image make byte-identical PDFs; malformed records fail
# with the data code and name line and column; cut values and unknown names
# are warned about once.
set -u
zrk="$1"
data="$2"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"
require_tools python3 pdftotext iconv
export SOURCE_DATE_EPOCH=0
export XDG_RUNTIME_DIR="$tmp/xdg"
mkdir -m 700 "$XDG_RUNTIME_DIR"
form="$data/records.zrk"

# Invoice 1 has four details for a three-line slot: it continues on a second
# page with NO, DATE, NAME and TOTAL repeated.
cat >"$tmp/in.csv" <<'CSV'
NO,DATE,NAME,ITEM,QTY,TOTAL
1001,2026-12-08,山田商店,りんご,3,"1,200"
1001,2026-12-08,山田商店,"みかん ""特""",5,"1,200"
1001,2026-12-08,山田商店,ぶどう,1,"1,200"
1001,2026-12-08,山田商店,バナナ,2,"1,200"
1002,2026-12-09,鈴木商事,なし,7,700
CSV
cat >"$tmp/in.json" <<'JSON'
{"pages": [
  {"no": 1001, "date": "2026-12-08", "name": "山田商店", "item": ["りんご", "みかん \"特\"", "ぶどう", "バナナ"],
   "qty": [3, 5, 1, 2], "total": "1,200"},
  {"NO": "1002", "DATE": "2026-12-09", "NAME": "鈴木商事", "ITEM": ["なし"], "QTY": [7], "TOTAL": 700}
]}
JSON
# The character image by hand: 12 lines a page, values at their columns.
python3 - "$tmp/hand.dat" <<'PY'
import sys
def page(no, date, name, details, total):
    rows = [b''] * 12
    def put(row, col, text):
        rows[row - 1] = rows[row - 1].ljust(col - 1) + text.encode('cp932')
    put(1, 1, no); put(1, 30, date); put(3, 1, name)
    for i, (item, qty) in enumerate(details):
        put(5 + i, 1, item); put(5 + i, 25, qty)
    put(10, 25, total)
    return rows
lines = page('1001', '2026-12-08', '山田商店', [('りんご', '3'), ('みかん "特"', '5'), ('ぶどう', '1')], '1,200')
lines += page('1001', '2026-12-08', '山田商店', [('バナナ', '2')], '1,200')
lines += page('1002', '2026-12-09', '鈴木商事', [('なし', '7')], '700')
open(sys.argv[1], 'wb').write(b'\r\n'.join(lines) + b'\r\n')
PY

"$zrk" print "$form" "$tmp/hand.dat" --pdf "$tmp/hand.pdf" 2>"$tmp/err"
expect "hand-made image prints" test $? -eq 0 -a ! -s "$tmp/err"
"$zrk" print "$form" "$tmp/in.csv" --data-format csv --group-by no --pdf "$tmp/csv.pdf" 2>"$tmp/err"
expect "grouped CSV prints without messages" test $? -eq 0 -a ! -s "$tmp/err"
expect "grouped CSV is the hand-made document" cmp -s "$tmp/hand.pdf" "$tmp/csv.pdf"
"$zrk" print "$form" "$tmp/in.json" --data-format JSON --pdf "$tmp/json.pdf" 2>"$tmp/err"
expect "JSON prints without messages" test $? -eq 0 -a ! -s "$tmp/err"
expect "JSON is the hand-made document" cmp -s "$tmp/hand.pdf" "$tmp/json.pdf"
"$zrk" print "$form" - --data-format csv --group-by NO --pdf - <"$tmp/in.csv" >"$tmp/stdin.pdf"
expect "CSV from standard input to standard output" cmp -s "$tmp/hand.pdf" "$tmp/stdin.pdf"
"$zrk" print "$form" "$tmp/in.csv" --control "CONTROL FORMAT=CSV, GROUPBY=no;" --pdf "$tmp/control.pdf"
expect "FORMAT and GROUPBY in the control text" cmp -s "$tmp/hand.pdf" "$tmp/control.pdf"
iconv -f UTF-8 -t CP932 "$tmp/in.csv" >"$tmp/sjis.csv"
"$zrk" print "$form" "$tmp/sjis.csv" --data-format csv --group-by NO --data-encoding sjis --pdf "$tmp/sjis.pdf"
expect "Shift-JIS CSV when the encoding says so" cmp -s "$tmp/hand.pdf" "$tmp/sjis.pdf"
pdftotext -layout -f 2 -l 2 "$tmp/csv.pdf" - | tr -d ' ' >"$tmp/page2.txt"
expect "page 2 repeats the header" grep -qx '10012026-12-08' "$tmp/page2.txt"
expect "page 2 holds the fourth detail" grep -qx 'バナナ2' "$tmp/page2.txt"
expect "no private copy left" test -z "$(ls -A "$XDG_RUNTIME_DIR")"

# Malformed records: the data failure code and where the fault is.
printf 'NO,ITEM\n1,ok\n2,"open\n' >"$tmp/bad.csv"
"$zrk" print "$form" "$tmp/bad.csv" --data-format csv --pdf "$tmp/bad.pdf" 2>"$tmp/err"
expect "malformed CSV is 254" test $? -eq 254
expect "malformed CSV names line and column" \
  grep -qx 'エラー: 帳票データ - 3行目 3文字目: 引用符が閉じられていません' "$tmp/err"
expect "no output for malformed records" test ! -e "$tmp/bad.pdf"
printf '[{"NO": 1}\n {"NO": 2}]' >"$tmp/bad.json"
"$zrk" print "$form" "$tmp/bad.json" --data-format json --pdf "$tmp/bad.pdf" 2>"$tmp/err"
expect "JSON syntax error is 254" test $? -eq 254
expect "JSON syntax error names line and column" grep -q '2行目 2文字目' "$tmp/err"

# Warnings: two cut values counted once, each unknown name once.
printf 'NO,NAME,COLOR,color\n12345678901,あいうえおかきくけこさ,r,g\n1,x,b,b\n' >"$tmp/warn.csv"
"$zrk" print "$form" "$tmp/warn.csv" --data-format csv --pdf "$tmp/warn.pdf" 2>"$tmp/err"
expect "warnings still print" test $? -eq 0 -a -s "$tmp/warn.pdf"
expect "cut values counted" grep -qx '警告: 帳票データ - 欄に入りきらない値を切り詰めました（2件）' "$tmp/err"
expect "unknown name named once" grep -qx '警告: 帳票データ - 帳票にないタグの名前を無視しました：COLOR' "$tmp/err"
printf '[{"NO": "1"},\n {"NAME": "a\xe2\x82\xacb"}]' >"$tmp/euro.json"
"$zrk" print "$form" "$tmp/euro.json" --data-format json --pdf "$tmp/euro.pdf" 2>"$tmp/err"
expect "a character Shift-JIS lacks is named with its document's line" \
  grep -qx '警告: 帳票データ - 変換できない文字を「？」に置き換えました（1文字、最初は2行目）' "$tmp/err"
"$zrk" print "$form" "$tmp/in.csv" --group-by NO --pdf "$tmp/x.pdf" 2>/dev/null
expect "--group-by without csv is a usage error" test $? -eq 2
"$zrk" print "$form" "$tmp/in.csv" --control "CONTROL FORMAT=XML;" --pdf "$tmp/x.pdf" 2>"$tmp/err"
expect "an unknown FORMAT is refused" grep -qx 'エラー: 制御情報 - FORMATの指定に誤りがあります' "$tmp/err"
finish
