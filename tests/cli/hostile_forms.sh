#!/usr/bin/env bash
# Form files that are no forms or that a save would change: FIFOs, devices
# and folders are refused at once with the open message; forms past 1,024
# fields or figures are refused naming the first item beyond; a form whose
# text would not read back is not written by format.
set -u
zrk="$1"
data="$2"
examples="$data/../../examples"
# The designer beside zrk in the build tree, when it was built.
tabrik="$(dirname "$zrk")/../../editor/shell/tabrik"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"

# Runs the command with a deadline: status 124 when it had to be killed.
quickly() { timeout -s KILL 5 "$@"; }
elapsed_ms() { # command...: runs it and prints how long it took
  local start end
  start=$(date +%s%N)
  quickly "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

mkfifo "$tmp/fifo.zrk"
mkdir "$tmp/folder.zrk"
for form in "$tmp/fifo.zrk" /dev/zero "$tmp/folder.zrk"; do
  quickly "$zrk" check "$form" 2>"$tmp/err"
  status=$?
  expect "check $form: exit 1 (was $status)" test $status -eq 1
  expect "check $form: the open message" grep -q '帳票パラメータがオープンできません' "$tmp/err"
  expect "check $form: within a second" test "$(elapsed_ms "$zrk" check "$form")" -lt 1000
  quickly "$zrk" print "$form" "$examples/invoice.dat" --pdf "$tmp/out.pdf" 2>/dev/null
  expect "print $form: refused (was $?)" test $? -ne 0 -a $? -ne 124
  if [ -x "$tabrik" ]; then
    quickly "$tabrik" --design-sheet "$form" --pdf "$tmp/sheet.pdf" >/dev/null 2>&1
    status=$?
    expect "design sheet of $form: refused (was $status)" test $status -ne 0 -a $status -ne 124
  fi
done

# Forms past the limits.
base='BASE TITLE="T", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=60, FONT="F"-9, LTYPE=1-3;'
items() { # count statement
  local i
  for ((i = 0; i < $1; i++)); do echo "$2"; done
}
{ echo "$base"; items 1025 'FIELD LOCATE=(1, 1)-(5, 1);'; } >"$tmp/fields.zrk"
{ echo "$base"; items 1025 'RECT LOCATE=(1, 1)-(5, 5);'; } >"$tmp/figures.zrk"
{ echo "$base"; items 1024 'FIELD LOCATE=(1, 1)-(5, 1);'; items 1024 'RECT LOCATE=(1, 1)-(5, 5);'; } >"$tmp/full.zrk"
while IFS='|' read -r name message; do
  form="$tmp/$name.zrk"
  "$zrk" check "$form" 2>"$tmp/err"
  expect "check $name: exit 1" test $? -eq 1
  expect "check $name: the limit message" grep -q "$message" "$tmp/err"
  "$zrk" format "$form" "$tmp/formatted.zrk" 2>"$tmp/err"
  expect "format $name: exit 1" test $? -eq 1
  expect "format $name: nothing written" test ! -e "$tmp/formatted.zrk"
  "$zrk" print "$form" "$examples/invoice.dat" --pdf "$tmp/out.pdf" 2>"$tmp/err"
  expect "print $name: refused" test $? -ne 0
  expect "print $name: the limit message" grep -q "$message" "$tmp/err"
done <<ROWS
fields|ﾌｨｰﾙﾄﾞ情報（1025行） - 登録限度に達しています
figures|図形情報（1025行） - 登録限度に達しています
ROWS
"$zrk" check "$tmp/full.zrk"
expect "1,024 of each pass" test $? -eq 0
"$zrk" format "$tmp/full.zrk" "$tmp/formatted.zrk"
expect "1,024 of each are written" test "$(grep -c '^FIELD\|^RECT' "$tmp/formatted.zrk")" = 2048

# In a form with tags the tag is written before the position: a tag holding
# LOCATE would hide it, and the written form would not be readable.
printf '%s\r\n' 'BASE TITLE="T", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=60, TAGMODE=ON, FONT="F"-9, LTYPE=1-3;' \
  'FIELD LOCATE=(1, 1)-(5, 1), TAG="LOCATE";' >"$tmp/tagged.zrk"
echo old >"$tmp/old.zrk"
"$zrk" format "$tmp/tagged.zrk" "$tmp/old.zrk" 2>"$tmp/err"
expect "format of a form it cannot write back: exit 1" test $? -eq 1
expect "format names the field" grep -q 'ﾌｨｰﾙﾄﾞ情報（1行） - 保存すると内容が変わる値があります' "$tmp/err"
expect "format leaves the old file" test "$(cat "$tmp/old.zrk")" = old

finish
