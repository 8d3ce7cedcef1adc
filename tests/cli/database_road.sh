#!/usr/bin/env bash
# Records from a real SQLite database print straight into a form by name:
# sqlite3 -csv piped into zrk print --data-format csv --group-by, two
# invoices of 3 and 25 detail lines on a form of 20. Every value is looked
# for in its field's cells on its page with pdftotext; the same invoices as
# JSON (made by sqlite3 too) give the same PDF byte for byte.
set -u
zrk="$1"
data="$2"
source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"
require_tools sqlite3 pdftotext pdfinfo /usr/bin/python3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export SOURCE_DATE_EPOCH=0
export XDG_RUNTIME_DIR="$tmp/xdg"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# The form, written by hand and put in the designer's layout.
"$zrk" format "$data/shop-invoice.zrk" "$tmp/invoice.zrk"
expect "the hand-written form formats" test $? -eq 0
form="$tmp/invoice.zrk"

sqlite3 "$tmp/shop.db" <<'SQL'
CREATE TABLE invoices (invoice_no TEXT PRIMARY KEY, customer TEXT, issued TEXT);
CREATE TABLE lines (invoice_no TEXT, line_no INTEGER, item TEXT, qty INTEGER, price INTEGER);
INSERT INTO invoices VALUES ('INV-0001', '山田商店', '2026/04/01'), ('INV-0002', '株式会社見本', '2026/04/02');
INSERT INTO lines VALUES ('INV-0001', 1, '鉛筆', 12, 80), ('INV-0001', 2, 'ノート', 5, 150),
                         ('INV-0001', 3, '消しゴム', 7, 60);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 25)
INSERT INTO lines SELECT 'INV-0002', i, printf('部品%02d', i), i, 100 + i FROM n;
SQL
expect "shop.db is built" test -s "$tmp/shop.db"

# Column names in lower case: names match tags without regard to case.
query="SELECT i.invoice_no, i.customer, i.invoice_no AS number, i.issued AS date,
         (SELECT sum(qty * price) FROM lines t WHERE t.invoice_no = i.invoice_no) AS total,
         l.item, l.qty, l.price, l.qty * l.price AS amount
       FROM invoices i JOIN lines l USING (invoice_no) ORDER BY i.invoice_no, l.line_no"
sqlite3 -csv -header "$tmp/shop.db" "$query" >"$tmp/records.csv"
sqlite3 -csv -header "$tmp/shop.db" "$query" |
  "$zrk" print "$form" - --data-format csv --group-by INVOICE_NO --pdf - >"$tmp/csv.pdf" 2>"$tmp/err"
expect "the pipeline prints" test $? -eq 0
# The grouping column is no tag of the form: at most that is named.
expect "no other warning" test "$(grep -v 'invoice_no$' "$tmp/err")" = ""
expect "three pages" test "$(pdfinfo "$tmp/csv.pdf" | awk '/^Pages:/ { print $2 }')" = 3

# zrk template names what the query has to give: every name of the form is
# a column of it.
"$zrk" template "$form" >"$tmp/template.csv"
expect "template prints" test $? -eq 0
header=$(head -1 "$tmp/records.csv" | tr -d '\r' | tr '[:lower:]' '[:upper:]')
for name in $(head -1 "$tmp/template.csv" | tr -d '\r' | tr , ' '); do
  expect "the query gives $name" grep -qw "$name" <<<"$header"
done

# The template's examples are what the form takes: printed back as CSV and
# as JSON, every name is a tag and every value fits its field (no warning).
for format in csv json; do
  option=()
  [ "$format" = json ] && option=(--json)
  "$zrk" template "${option[@]}" "$form" |
    "$zrk" print "$form" - --data-format "$format" --pdf "$tmp/template-$format.pdf" 2>"$tmp/err"
  expect "the $format template prints back without a warning" test $? -eq 0 -a ! -s "$tmp/err"
done
# A form without tags has no template: said, with status 1 and nothing printed.
"$zrk" template "$data/geometry.zrk" >"$tmp/none" 2>"$tmp/err"
expect "no template without tags" test $? -eq 1 -a ! -s "$tmp/none"
expect "and it says why" grep -q 'タグを付けた項目がないため' "$tmp/err"

# Where each value must stand: the grid is measured on the form's own
# constants (請求書 at column 30, row 2 and 請求番号 at column 56, row 4).
pdftotext -bbox "$tmp/csv.pdf" "$tmp/words.html"
/usr/bin/python3 - "$tmp/records.csv" "$tmp/words.html" >"$tmp/placement" <<'PY'
import csv, re, sys
from html import unescape

pages = []
for page in re.findall(r'<page .*?</page>', open(sys.argv[2], encoding='utf-8').read(), re.S):
    pages.append([(float(a), float(b), float(c), unescape(w)) for a, b, c, w in re.findall(
        r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>', page)])

def first(words, text):
    return min((w for w in words if w[3] == text), key=lambda w: (w[1], w[0]))

title, number_label = first(pages[0], '請'), None
number_label = min((w for w in pages[0] if w[3] == '請' and w[1] > title[1] + 5), key=lambda w: w[1])
cell_w = (number_label[0] - title[0]) / (56 - 30)
cell_h = (number_label[1] - title[1]) / (4 - 2)
x0, y0 = title[0] - 29 * cell_w, title[1] - cell_h

def field_text(page, first_col, last_col, row):
    left, right = x0 + (first_col - 1) * cell_w - 1, x0 + last_col * cell_w + 1
    top = y0 + (row - 1) * cell_h
    words = [w for w in pages[page] if abs(w[1] - top) < cell_h / 3 and w[0] >= left and w[2] <= right]
    return ''.join(w[3] for w in sorted(words))

header_fields = {'customer': (3, 40, 4), 'number': (65, 78, 4), 'date': (65, 78, 5), 'total': (19, 38, 7)}
detail_fields = {'item': (4, 40), 'qty': (42, 48), 'price': (50, 60), 'amount': (62, 75)}
records = list(csv.DictReader(open(sys.argv[1], encoding='utf-8')))
invoices = []
for record in records:
    if not invoices or invoices[-1][0]['invoice_no'] != record['invoice_no']:
        invoices.append([])
    invoices[-1].append(record)
# Invoice 1 on page 1; invoice 2's lines 1-20 on page 2 and 21-25 on page 3.
layout = [(0, invoices[0], 0), (1, invoices[1][:20], 0), (2, invoices[1][20:], 20)]
bad = 0
for page, lines, skipped in layout:
    for name, (c1, c2, row) in header_fields.items():
        got = field_text(page, c1, c2, row)
        if got != lines[0][name]:
            bad += 1
            print(f'page {page + 1} {name}: {got!r} instead of {lines[0][name]!r}')
    for slot_line in range(20):
        for name, (c1, c2) in detail_fields.items():
            want = lines[slot_line][name] if slot_line < len(lines) else ''
            got = field_text(page, c1, c2, 10 + slot_line)
            if got != want:
                bad += 1
                print(f'page {page + 1} line {slot_line + 1} {name}: {got!r} instead of {want!r}')
print(f'{bad} misplaced')
PY
expect "every value in its field on its page" test "$(tail -1 "$tmp/placement")" = "0 misplaced"
grep -v '^0 misplaced' "$tmp/placement"

# The same invoices as JSON documents with arrays for the detail slots.
sqlite3 "$tmp/shop.db" "SELECT json_group_array(json(doc)) FROM (
    SELECT json_object('customer', customer, 'number', invoice_no, 'date', issued,
             'total', sum(qty * price), 'item', json_group_array(item), 'qty', json_group_array(qty),
             'price', json_group_array(price), 'amount', json_group_array(qty * price)) AS doc
    FROM (SELECT * FROM invoices JOIN lines USING (invoice_no) ORDER BY invoice_no, line_no)
    GROUP BY invoice_no ORDER BY invoice_no)" >"$tmp/invoices.json"
"$zrk" print "$form" "$tmp/invoices.json" --data-format json --pdf "$tmp/json.pdf"
expect "the JSON prints" test $? -eq 0
expect "JSON and CSV give the same PDF" cmp -s "$tmp/csv.pdf" "$tmp/json.pdf"
finish
