#!/usr/bin/env bash
# A PDF without any printer, on a real desktop (Xvfb, openbox, the
# accessibility bus) with no print server at all: the design sheet's dialog
# names "PDF ファイル" as its printer, its OK opens Qt's print dialog, whose
# "PDF ファイルに出力" and file name are answered over AT-SPI
# (pdf_desktop_road.py); the sheet must come out as a PDF that pdftotext
# reads. Then 印刷 goes through the runtime's own print dialog, answered the
# same way: the form's PDF, written by the runtime's direct PDF writer.
#
#   pdf_desktop_road.sh TABRIK REPOSITORY
#
# Exits 77 (skipped) when a piece of the desktop is not installed.
set -uo pipefail
tabrik=$1
repo=$2
here=$(dirname "$(realpath "$0")")
source "$repo/tests/support/expect.sh"

source "$repo/tests/support/desktop_session.sh"
desktop_session_need pdf_desktop_road pdftotext pdfinfo pdffonts

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  desktop_session_stop
  rm -rf "$work"
}
trap cleanup EXIT
desktop_session_start pdf_desktop_road "$work"

# A closed port: no print server answers, so there is no printer at all.
export CUPS_SERVER=127.0.0.1:9
unset PRINTER LPDEST
cp "$repo/examples/invoice.zrk" "$repo/examples/logo.bmp" "$work/"
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$tabrik" "$work/invoice.zrk" >"$work/tabrik.log" 2>&1 &
designer=$!
pids+=("$designer")

expect "the sheet and the form printed to PDF files through the print dialogs" \
  /usr/bin/python3 "$here/pdf_desktop_road.py" "$work/sheet.pdf" "$work/form.pdf"
pdftotext "$work/sheet.pdf" - 2>/dev/null | tr -d ' \n' >"$work/sheet.txt"
expect "the sheet's PDF is the design sheet" test "$(pdfinfo "$work/sheet.pdf" 2>/dev/null | sed -n 's/^Title: *//p')" = "設計用紙 [請求書]"
for word in 名称： 請求書 ご請求金額; do
  expect "the sheet's PDF reads $word" grep -q "$word" "$work/sheet.txt"
done
expect "the form's PDF is the example form" test "$(pdfinfo "$work/form.pdf" 2>/dev/null | sed -n 's/^Title: *//p')" = "請求書"
expect "the form's PDF embeds its fonts" sh -c "pdffonts '$work/form.pdf' | awk 'NR > 2 && \$(NF-4) != \"yes\" { bad = 1 } END { exit bad }'"
expect "the form's PDF reads 請求書" sh -c "pdftotext '$work/form.pdf' - | tr -d ' \n' | grep -q 請求書"
if [ "$failed" -ne 0 ]; then
  for log in tabrik openbox atspi xvfb; do echo "--- $log said:"; cat "$work/$log.log"; done
fi
finish
