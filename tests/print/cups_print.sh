#!/usr/bin/env bash
# Real printing: a private cupsd with a cups-pdf queue as the default, the
# example printed through ZRK_Print (by the C caller) and through zrk. cups-pdf
# re-renders every job with Ghostscript, which loses the text, so pages and
# paper are checked on its output, texts on the document handed to CUPS
# (held in the spool); print_files.sh checks the same texts written with --pdf.
# Needs root; skipped (status 77) otherwise.
set -u
caller="$1"
zrk="$2"
source_dir="$3"
examples="$source_dir/examples"
data="$source_dir/tests/data"
source "$source_dir/tests/print/private_cupsd.sh"
cupsd_test_session

source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"
info() { pdfinfo "$1" 2>/dev/null | sed -n "s/^$2: *//p"; }

# The PDF cups-pdf wrote for the jobs since the marker, once the queue is idle.
job_pdf() {
  local found=""
  cupsd_wait_idle 30 || return 1
  for i in $(seq 1 50); do
    found=$(find "$out_dir" -maxdepth 1 -name '*.pdf' -newer "$tmp/marker" 2>/dev/null | head -n 1)
    [ -n "$found" ] && break
    sleep 0.1
  done
  [ -n "$found" ] || return 1
  echo "$found"
}
mark() { sleep 1; touch "$tmp/marker"; sleep 1; }

# 1. ZRK_Print from C on the default queue: three A4 portrait pages.
mark
"$caller" "$examples/invoice.zrk" "$examples/invoice.dat" "CONTROL PRINTER=Default;" >"$tmp/out" 2>"$tmp/err"
expect "C caller prints" grep -qx 'ZRK_Print: 0' "$tmp/out"
expect "C caller no messages" test ! -s "$tmp/err" -o -z "$(grep -v QStandardPaths "$tmp/err")"
pdf=$(job_pdf)
made+=("$pdf")
expect "C caller job printed" test -n "$pdf"
expect "C caller three pages" test "$(info "$pdf" Pages)" = 3
expect "C caller A4 portrait" test "$(info "$pdf" 'Page size')" = "595 x 842 pts (A4)"

# 2. zrk on the named queue, held in the spool first: the document handed to
#    CUPS keeps the texts; then released, cups-pdf prints three pages.
cupsdisable PDF
mark
"$zrk" print "$examples/invoice.zrk" "$examples/invoice.dat" --printer PDF >"$tmp/out" 2>"$tmp/err"
expect "zrk prints" test $? -eq 0
expect "zrk names the job" grep -qE '^request id is PDF-[0-9]+ \([0-9]+ bytes\)$' "$tmp/out"
job=$(sed -n 's/^request id is PDF-\([0-9]*\).*/\1/p' "$tmp/out")
spooled="$(cupsd_spool_dir)/d$(printf '%05d' "${job:-0}")-001"
expect "held job in the spool" test -f "$spooled"
expect "spooled size as reported" grep -q "($(stat -c %s "$spooled" 2>/dev/null) bytes)" "$tmp/out"
expect "spooled three pages" test "$(info "$spooled" Pages)" = 3
expect "spooled document title" test "$(info "$spooled" Title)" = "請求書"
pdftotext "$spooled" - 2>/dev/null | tr -d ' \n' >"$tmp/text"
for word in 株式会社東西物産 南北工業株式会社 ご請求金額 102,080 お振込手数料; do
  expect "spooled text $word" grep -q "$word" "$tmp/text"
done
cupsenable PDF
pdf=$(job_pdf)
made+=("$pdf")
expect "zrk job printed" test -n "$pdf"
expect "zrk three pages" test "$(info "$pdf" Pages)" = 3
expect "zrk A4 portrait" test "$(info "$pdf" 'Page size')" = "595 x 842 pts (A4)"

# 2b. A part of the job (--pages 2-) on a held queue: the document handed to
#     CUPS holds the job's pages 2 and 3 alone; cancelled before release.
cupsdisable PDF
"$zrk" print "$examples/invoice.zrk" "$examples/invoice.dat" --printer PDF --pages 2- >"$tmp/out" 2>/dev/null
expect "part prints" test $? -eq 0
job=$(sed -n 's/^request id is PDF-\([0-9]*\).*/\1/p' "$tmp/out")
spooled="$(cupsd_spool_dir)/d$(printf '%05d' "${job:-0}")-001"
expect "part spooled two pages" test "$(info "$spooled" Pages)" = 2
page_words() { pdftotext -f "$1" -l "$1" "$spooled" - 2>/dev/null | tr -d ' \n'; }
expect "part starts with the job's page 2" grep -q 南北工業株式会社 <<<"$(page_words 1)"
expect "part ends with the job's page 3" grep -q 有限会社中央商会 <<<"$(page_words 2)"
expect "part leaves out page 1" test -z "$(pdftotext "$spooled" - 2>/dev/null | tr -d ' \n' | grep 東西物産)"
cancel -a PDF
cupsenable PDF

# 3. A landscape form on the default queue (PRINTER=Default, any case): the
#    document is landscape, and the printer turns it once onto its portrait
#    A4 paper, so the form's left edge (its first column of text) lies along
#    the bottom of the paper. Turned twice, it would lie along the top.
cupsdisable PDF
mark
"$zrk" print "$data/landscape.zrk" "$data/landscape.dat" --control "CONTROL PRINTER=default;" >"$tmp/out" 2>/dev/null
expect "landscape prints" test $? -eq 0
job=$(sed -n 's/^request id is PDF-\([0-9]*\).*/\1/p' "$tmp/out")
spooled="$(cupsd_spool_dir)/d$(printf '%05d' "${job:-0}")-001"
expect "landscape document" sh -c "pdfinfo '$spooled' | grep -q 'Page size: *842 x 595'"
cupsenable PDF
pdf=$(job_pdf)
made+=("$pdf")
expect "landscape pages" test "$(info "$pdf" Pages)" = 3
expect "landscape on A4 paper" test "$(info "$pdf" 'Page size')" = "595 x 842 pts (A4)"
pdftoppm -r 20 -gray -f 1 -l 1 "$pdf" "$tmp/land" 2>/dev/null
expect "landscape turned once" /usr/bin/python3 - "$tmp"/land*.pgm <<'PY'
import sys
from PIL import Image, ImageOps
im = Image.open(sys.argv[1])
box = ImageOps.invert(im.convert("L")).getbbox()
assert box is not None, "blank page"
left, top, right, bottom = box
assert top > im.size[1] * 0.6 and right - left > bottom - top, (im.size, box)
PY

# 4. Failures: an unknown queue is -3; a queue that refuses jobs is -11 with
#    the print system's words, through zrk and through ZRK_Print; so is a
#    document that cannot be started.
"$zrk" print "$examples/invoice.zrk" "$examples/invoice.dat" --printer NO_SUCH_QUEUE >"$tmp/out" 2>"$tmp/err"
expect "unknown queue is 253" test $? -eq 253
expect "unknown queue message" grep -q 'プリンタＤＣの獲得に失敗しました' "$tmp/err"
expect "unknown queue named" grep -q 'no printer named NO_SUCH_QUEUE' "$tmp/err"

cupsreject PDF
"$zrk" print "$examples/invoice.zrk" "$examples/invoice.dat" --printer PDF >"$tmp/out" 2>"$tmp/err"
expect "refused job is 245" test $? -eq 245
expect "refused job message" grep -q 'プリンタが使用できません' "$tmp/err"
expect "refused job, CUPS's words" grep -q 'the print system refused the job on PDF: .*accept' "$tmp/err"
expect "refused job not reported as taken" test ! -s "$tmp/out"
"$caller" "$examples/invoice.zrk" "$examples/invoice.dat" "CONTROL PRINTER=Default;" >"$tmp/out" 2>"$tmp/err"
expect "ZRK_Print refused job is -11" grep -qx 'ZRK_Print: -11' "$tmp/out"
cupsaccept PDF

# The temporary folder is a plain file, so the print file cannot be made
# (root writes anywhere else).
touch "$tmp/not-a-dir"
TMPDIR="$tmp/not-a-dir" "$zrk" print "$examples/invoice.zrk" "$examples/invoice.dat" --printer PDF >"$tmp/out" 2>"$tmp/err"
expect "unstartable document is 245" test $? -eq 245
expect "unstartable document message" grep -q 'プリンタが使用できません' "$tmp/err"
expect "unstartable document reason" grep -q 'cannot create the print file' "$tmp/err"
TMPDIR="$tmp/not-a-dir" "$caller" "$examples/invoice.zrk" "$examples/invoice.dat" "CONTROL PRINTER=Default;" >"$tmp/out" 2>"$tmp/err"
expect "ZRK_Print unstartable document is -11" grep -qx 'ZRK_Print: -11' "$tmp/out"

finish
