#!/usr/bin/env bash
# The design and entry sheets on a real queue: a private cupsd with a
# cups-pdf queue, tabrik's --printer road. The documents are held in the
# spool first, so their texts and paper can be read (cups-pdf re-renders and
# loses the text), then released and printed. Needs root; skipped (status 77)
# otherwise.
set -u
tabrik="$1"
source_dir="$2"
examples="$source_dir/examples"
source "$source_dir/tests/print/private_cupsd.sh"
cupsd_test_session

source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"
info() { pdfinfo "$1" 2>/dev/null | sed -n "s/^$2: *//p"; }
mark() { sleep 1; touch "$tmp/marker"; sleep 1; }
# The document of the newest held job.
held() {
  local job
  job=$(lpstat -o PDF 2>/dev/null | sed -n 's/^PDF-\([0-9]*\) .*/\1/p' | sort -n | tail -n 1)
  echo "$(cupsd_spool_dir)/d$(printf '%05d' "${job:-0}")-001"
}

# 1. The design sheet of the example, held: a landscape A4 document named
#    after the form, with the grid paper's texts and the form's samples.
cupsdisable PDF
"$tabrik" --design-sheet "$examples/invoice.zrk" --printer PDF >"$tmp/out" 2>"$tmp/err"
expect "design sheet printed" test $? -eq 0
spooled=$(held)
expect "design sheet held" test -f "$spooled"
expect "design sheet title" test "$(info "$spooled" Title)" = "設計用紙 [請求書]"
expect "design sheet one page" test "$(info "$spooled" Pages)" = 1
expect "design sheet landscape A4" sh -c "pdfinfo '$spooled' | grep -Eq 'Page size: *84[12](\.[0-9]+)? x 595'"
pdftotext "$spooled" - 2>/dev/null | tr -d ' \n' >"$tmp/text"
for word in 名称： 日付： 備考： 請求書 ご請求金額 XXXXXXXX 9999999; do
  expect "design sheet text $word" grep -q "$word" "$tmp/text"
done

# 2. The entry sheet in portrait, held: no form texts.
"$tabrik" --entry-sheet --portrait --printer PDF >"$tmp/out" 2>"$tmp/err"
expect "entry sheet printed" test $? -eq 0
spooled=$(held)
expect "entry sheet title" test "$(info "$spooled" Title)" = "記入用紙"
expect "entry sheet portrait A4" sh -c "pdfinfo '$spooled' | grep -Eq 'Page size: *595(\.[0-9]+)? x 84[12]'"
expect "entry sheet has no form text" sh -c "! pdftotext '$spooled' - | grep -q XXXX"

# 3. Released, both come out of cups-pdf as one page each.
mark
cupsenable PDF
cupsd_wait_idle 60
for i in $(seq 1 50); do
  [ "$(find "$out_dir" -maxdepth 1 -name '*.pdf' -newer "$tmp/marker" 2>/dev/null | wc -l)" -ge 2 ] && break
  sleep 0.2
done
mapfile -t printed < <(find "$out_dir" -maxdepth 1 -name '*.pdf' -newer "$tmp/marker" 2>/dev/null)
made+=("${printed[@]}")
expect "two sheets printed" test "${#printed[@]}" -eq 2
for pdf in "${printed[@]}"; do
  expect "printed sheet is one A4 page" sh -c "test \"\$(pdfinfo '$pdf' | sed -n 's/^Pages: *//p')\" = 1 &&
    pdfinfo '$pdf' | grep -q 'A4'"
done

# 4. Failures: an unknown queue cannot be opened; a queue that refuses jobs
#    cannot be used.
"$tabrik" --design-sheet "$examples/invoice.zrk" --printer NO_SUCH_QUEUE >"$tmp/out" 2>"$tmp/err"
expect "unknown queue fails" test $? -eq 1
expect "unknown queue message" grep -q '設計用紙の印刷に失敗しました' "$tmp/err"
cupsreject PDF
"$tabrik" --entry-sheet --printer PDF >"$tmp/out" 2>"$tmp/err"
expect "refused job fails" test $? -eq 1
expect "refused job message" grep -q 'プリンタが使用できません' "$tmp/err"
cupsaccept PDF

finish
