#!/usr/bin/env bash
# A large job split into parts as the README shows: zrk pages counts it, GNU
# parallel prints the parts with print --pages (here on three local job
# slots), qpdf puts them together. The result must be the whole job, page for
# page. Then the rules of a part: its ends, a part past the end, ranges that
# are none, the last-row rule on the job's last page, PNG names and records.
set -u
zrk="$1"
data="$2"
examples="$data/../../examples"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"
require_tools parallel qpdf pdftotext pdfinfo
npages() { qpdf --show-npages "$1" 2>/dev/null; }
# The text of page N of a PDF.
page_text() { pdftotext -layout -f "$2" -l "$2" "$1" - 2>/dev/null; }

form="$examples/invoice.zrk"
# 25 pages of 60 rows, the last one half full, each page naming itself in
# its first rows, so that pages out of order or repeated would show.
job="$tmp/job.dat"
awk 'BEGIN {
  for (line = 0; line < 24 * 60 + 30; line++) {
    page = int(line / 60) + 1; row = line % 60 + 1
    if (row <= 3) printf "   PAGE %03d ROW %02d  %s\n", page, row, substr("ABCDEFGHIJKLMNOPQRSTUVWXY", page, 1)
    else print ""
  }
}' >"$job"
"$zrk" print "$form" "$job" --pdf "$tmp/whole.pdf" 2>"$tmp/err"
expect "the whole job prints" test $? -eq 0

# 1. The recipe.
total=$("$zrk" pages "$form" "$job" 2>"$tmp/err")
expect "zrk pages counts 25" test "$total" = 25
expect "zrk pages says nothing else" test ! -s "$tmp/err"
expect "the whole job has as many" test "$(npages "$tmp/whole.pdf")" = "$total"
size=7
seq 1 "$size" "$total" | awk -v size="$size" '{ printf "%d-%d\n", $1, $1 + size - 1 }' >"$tmp/ranges"
parallel --will-cite -j 3 "$zrk" print "$form" "$job" --pages {} --pdf "$tmp/part-{#}.pdf" <"$tmp/ranges"
expect "every part prints" test $? -eq 0
parts=()
for i in $(seq 1 "$(wc -l <"$tmp/ranges")"); do parts+=("$tmp/part-$i.pdf"); done
expect "four parts" test "${#parts[@]}" -eq 4
expect "the last part holds what is left" test "$(npages "$tmp/part-4.pdf")" = 4
qpdf --empty --pages "${parts[@]}" -- "$tmp/merged.pdf"
expect "qpdf merges" test $? -eq 0
expect "merged count is zrk pages" test "$(npages "$tmp/merged.pdf")" = "$total"
same=0
for page in $(seq 1 "$total"); do
  [ "$(page_text "$tmp/merged.pdf" "$page")" = "$(page_text "$tmp/whole.pdf" "$page")" ] && same=$((same + 1))
done
expect "merged text equals the whole job page by page" test "$same" -eq "$total"
expect "pages are told apart" test "$(page_text "$tmp/merged.pdf" 9 | grep -c 'PAGE 009')" -eq 3

# 2. Parts, drawn in turn and on worker threads:
#    RANGE | exit | the job's pages it holds (FIRST-LAST) | message.
for jobs in 1 3; do
  while IFS='|' read -r range status pages message; do
    [ -z "$range$status" ] && continue
    what="'$range' (--jobs $jobs)"
    rm -f "$tmp/part.pdf"
    "$zrk" print "$form" "$job" --pages "$range" --jobs "$jobs" --pdf "$tmp/part.pdf" 2>"$tmp/err"
    expect "$what: exit $status" test $? -eq "$status"
    if [ -n "$message" ]; then
      expect "$what: says $message" grep -qF -- "$message" "$tmp/err"
      expect "$what: no output" test ! -e "$tmp/part.pdf"
      continue
    fi
    first=${pages%-*}
    last=${pages#*-}
    expect "$what: $pages" test "$(npages "$tmp/part.pdf")" = $((last - first + 1))
    same=0
    for page in $(seq "$first" "$last"); do
      [ "$(page_text "$tmp/part.pdf" $((page - first + 1)))" = "$(page_text "$tmp/whole.pdf" "$page")" ] &&
        same=$((same + 1))
    done
    expect "$what: the job's pages $pages" test "$same" -eq $((last - first + 1))
  done <<ROWS
3-5|0|3-5|
22-|0|22-25|
-2|0|1-2|
25|0|25-25|
20-40|0|20-25|
26-30|254||帳票データ - 指定のページがありません（26ページ目から、全25ページ）
99-|254||帳票データ - 指定のページがありません（99ページ目から、全25ページ）
0|2||--pages のページ範囲に誤りがあります: '0'
0-3|2||--pages のページ範囲に誤りがあります: '0-3'
5-3|2||--pages のページ範囲に誤りがあります: '5-3'
-|2||--pages のページ範囲に誤りがあります: '-'
abc|2||--pages のページ範囲に誤りがあります: 'abc'
1-2-3|2||--pages のページ範囲に誤りがあります: '1-2-3'
99999999999|2||--pages のページ範囲に誤りがあります: '99999999999'
ROWS
done

# 3. The last-row rule belongs to the job's last page: a part that ends
#    before it draws its own last page uncut, the part that holds it cuts it,
#    and PNG files keep the job's page numbers; in turn and on workers. The
#    job: pages of 60, 60 and 1 rows.
head -n 60 "$data/geometry.dat" >"$tmp/sixty.dat"
cat "$tmp/sixty.dat" "$data/geometry.dat" >"$tmp/three.dat"
lastrow=(--control "CONTROL LASTROW=35;" --dpi 40)
"$zrk" print "$data/geometry.zrk" "$tmp/three.dat" "${lastrow[@]}" --jobs 1 --png "$tmp/whole-%d.png"
expect "geometry job has three pages" test "$("$zrk" pages "$data/geometry.zrk" "$tmp/three.dat")" = 3
# The cut shows on a full page: as the last page of a one-page job it differs.
"$zrk" print "$data/geometry.zrk" "$tmp/sixty.dat" "${lastrow[@]}" --png "$tmp/one-%d.png"
expect "a full page cut differs from it uncut" bash -c "! cmp -s '$tmp/one-1.png' '$tmp/whole-2.png'"
for jobs in 1 2; do
  for range in 1-2 2-3; do
    out="$tmp/png-$jobs-$range"
    mkdir "$out"
    "$zrk" print "$data/geometry.zrk" "$tmp/three.dat" "${lastrow[@]}" --pages "$range" --jobs "$jobs" \
      --png "$out/p-%d.png"
    expect "PNG $range (--jobs $jobs): named by the job's pages" \
      test "$(ls "$out" | tr '\n' ' ')" = "p-${range%-*}.png p-${range#*-}.png "
    for page in $(seq "${range%-*}" "${range#*-}"); do
      expect "PNG $range (--jobs $jobs): page $page as in the job" cmp -s "$out/p-$page.png" "$tmp/whole-$page.png"
    done
  done
done

# 4. Records: CSV from a file and JSON from standard input (kept in a private
#    file, read from the part's first page) give the pages of the whole job.
{
  echo "CUSTOMER,NUMBER,DATE,TOTAL"
  for i in 1 2 3 4 5 6; do echo "CUSTOMER $i,NO-$i,2026/12/0$i,${i}000"; done
} >"$tmp/records.csv"
/usr/bin/python3 -c 'import json; print(json.dumps([{"CUSTOMER": "C%d" % i, "NUMBER": "J-%d" % i} for i in range(1, 7)]))' \
  >"$tmp/records.json"
expect "CSV pages" test "$("$zrk" pages "$form" "$tmp/records.csv" --data-format csv)" = 6
expect "JSON pages from standard input" test "$("$zrk" pages "$form" - --data-format json <"$tmp/records.json")" = 6
for format in csv json; do
  "$zrk" print "$form" "$tmp/records.$format" --data-format "$format" --pdf "$tmp/$format-whole.pdf"
  "$zrk" print "$form" - --data-format "$format" --pages 4-5 --pdf "$tmp/$format-part.pdf" <"$tmp/records.$format"
  expect "$format part has two pages" test "$(npages "$tmp/$format-part.pdf")" = 2
  expect "$format part is pages 4 and 5" test \
    "$(page_text "$tmp/$format-part.pdf" 1)$(page_text "$tmp/$format-part.pdf" 2)" = \
    "$(page_text "$tmp/$format-whole.pdf" 4)$(page_text "$tmp/$format-whole.pdf" 5)"
done

# 5. zrk pages fails as print does: no form, no data, an empty file.
while IFS='|' read -r what form_file data_file status message; do
  [ -z "$what" ] && continue
  "$zrk" pages "$form_file" "$data_file" >"$tmp/out" 2>"$tmp/err"
  expect "pages $what: exit $status" test $? -eq "$status"
  expect "pages $what: says $message" grep -qF "$message" "$tmp/err"
  expect "pages $what: prints no number" test ! -s "$tmp/out"
done <<ROWS
without a form|$tmp/none.zrk|$job|255|帳票パラメータがオープンできません
without data|$form|$tmp/none.dat|254|帳票データがオープンできません
on empty data|$form|$data/empty.dat|254|帳票データがオープンできません
ROWS

finish
