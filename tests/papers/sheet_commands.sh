#!/usr/bin/env bash
# tabrik's sheets without a window: --design-sheet and --entry-sheet written
# to PDF, their kinds and paper, and the failures with their exit codes and
# Japanese messages.
set -u
tabrik="$1"
source_dir="$2"
examples="$source_dir/examples"
data="$source_dir/tests/data"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "$source_dir/tests/support/expect.sh"
info() { pdfinfo "$1" 2>/dev/null | sed -n "s/^$2: *//p"; }
# Standard error without Qt's notes about the environment.
messages() { grep -v '^QStandardPaths' "$tmp/err"; }
unset DISPLAY WAYLAND_DISPLAY

# The example fits both kinds: landscape unless asked for portrait.
"$tabrik" --design-sheet "$examples/invoice.zrk" --pdf "$tmp/design.pdf" 2>"$tmp/err"
expect "design sheet written" test $? -eq 0
expect "design sheet no messages" test -z "$(messages)"
expect "design sheet title" test "$(info "$tmp/design.pdf" Title)" = "設計用紙 [請求書]"
expect "design sheet landscape A4" test "$(info "$tmp/design.pdf" 'Page size')" = "841.89 x 595.276 pts (A4)"
expect "design sheet today" sh -c "pdftotext '$tmp/design.pdf' - | grep -q '$(date +%Y/%m/%d)'"
"$tabrik" --design-sheet "$examples/invoice.zrk" --pdf "$tmp/portrait.pdf" --portrait --paper b4 2>"$tmp/err"
expect "portrait B4 written" test $? -eq 0
expect "portrait B4" sh -c "pdfinfo '$tmp/portrait.pdf' | grep -Eq 'Page size: *728.* x 1031.*'"

# "-" is standard output, as for zrk: through a pipe, and no file called "-".
(cd "$tmp" && "$tabrik" --design-sheet "$examples/invoice.zrk" --pdf - 2>"$tmp/err" | cat >"$tmp/piped.pdf"
    exit "${PIPESTATUS[0]}")
expect "standard output written" test $? -eq 0
expect "standard output is the sheet" test "$(info "$tmp/piped.pdf" Title)" = "設計用紙 [請求書]"
expect "no file called -" test ! -e "$tmp/-"
(cd "$tmp" && "$tabrik" --entry-sheet --pdf - >"$tmp/redirected.pdf" 2>"$tmp/err")
expect "entry sheet to standard output" test "$(info "$tmp/redirected.pdf" Title)" = "記入用紙"
if command -v script >/dev/null; then
    (cd "$tmp" && script -qec "'$tabrik' --entry-sheet --pdf - 2>'$tmp/err'" /dev/null >/dev/null)
    expect "a terminal is a usage error" test $? -eq 2
    expect "terminal message" grep -q '標準出力が端末です' "$tmp/err"
    expect "no file called - for a terminal" test ! -e "$tmp/-"
fi

# A form too wide for the portrait sheet takes the landscape one, and refuses portrait.
"$tabrik" --design-sheet "$data/landscape.zrk" --pdf "$tmp/wide.pdf" 2>"$tmp/err"
expect "wide form landscape" test "$(info "$tmp/wide.pdf" 'Page size')" = "841.89 x 595.276 pts (A4)"
"$tabrik" --design-sheet "$data/landscape.zrk" --pdf "$tmp/refused.pdf" --portrait 2>"$tmp/err"
expect "wide form refuses portrait" test $? -eq 1
expect "wide form message" grep -q '縦型の設計用紙に収まりません' "$tmp/err"
expect "wide form no output" test ! -e "$tmp/refused.pdf"
# One too large for both is refused.
sed -e 's/COLUMN=80, ROW=60/COLUMN=140, ROW=80/' -e 's/SIZE=A4/SIZE=A3/' "$examples/invoice.zrk" >"$tmp/big.zrk"
"$tabrik" --design-sheet "$tmp/big.zrk" --pdf "$tmp/big.pdf" 2>"$tmp/err"
expect "large form refused" test $? -eq 1
expect "large form message" grep -q '設計用紙に収まりません' "$tmp/err"

# The entry sheet: the grid paper alone.
"$tabrik" --entry-sheet --portrait --pdf "$tmp/entry.pdf" 2>"$tmp/err"
expect "entry sheet written" test $? -eq 0
expect "entry sheet title" test "$(info "$tmp/entry.pdf" Title)" = "記入用紙"
expect "entry sheet portrait A4" test "$(info "$tmp/entry.pdf" 'Page size')" = "595.276 x 841.89 pts (A4)"
expect "entry sheet no form text" sh -c "! pdftotext '$tmp/entry.pdf' - | grep -q 'XXXX'"

# Failures: a form that cannot be read, an output that cannot be written, an
# output that would overwrite the form, and usage errors. Nothing is lost.
"$tabrik" --design-sheet "$tmp/none.zrk" --pdf "$tmp/none.pdf" 2>"$tmp/err"
expect "missing form fails" test $? -eq 1
expect "missing form message" grep -q 'エラー' "$tmp/err"
"$tabrik" --design-sheet "$examples/invoice.zrk" --pdf "$tmp/no/such/dir.pdf" 2>"$tmp/err"
expect "unwritable output fails" test $? -eq 1
expect "unwritable output message" grep -q '設計用紙の印刷に失敗しました' "$tmp/err"
cp "$examples/invoice.zrk" "$tmp/copy.zrk"
"$tabrik" --design-sheet "$tmp/copy.zrk" --pdf "$tmp/copy.zrk" 2>"$tmp/err"
expect "output over the form refused" test $? -eq 2
expect "form kept" cmp -s "$examples/invoice.zrk" "$tmp/copy.zrk"
"$tabrik" --entry-sheet 2>"$tmp/err"
expect "no output is a usage error" test $? -eq 2
"$tabrik" --entry-sheet --design-sheet "$examples/invoice.zrk" --pdf "$tmp/both.pdf" 2>"$tmp/err"
expect "both sheets is a usage error" test $? -eq 2
"$tabrik" --entry-sheet --pdf "$tmp/a5.pdf" --paper A5 2>"$tmp/err"
expect "other paper is a usage error" test $? -eq 2

finish
