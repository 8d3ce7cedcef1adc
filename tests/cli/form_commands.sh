#!/usr/bin/env bash
# zrk check, inspect and format on real files, through the installed binary.
set -u
zrk="$1"
data="$2"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"

# check: silent success, one message line and 1 on failure.
expect "check passes silently" test -z "$("$zrk" check "$data/reference.zrk" 2>&1)"
"$zrk" check "$data/bad-field.zrk" >"$tmp/out" 2>"$tmp/err"
expect "check fails with 1" test $? -eq 1
expect "check message" grep -qx 'エラー: ﾌｨｰﾙﾄﾞ情報（3行） - LOCATEの指定に誤りがあります' "$tmp/err"
expect "check prints nothing on stdout" test ! -s "$tmp/out"
"$zrk" check "$tmp/missing.zrk" 2>"$tmp/err"
expect "missing form fails" test $? -eq 1
expect "missing form message" grep -qx 'エラー: その他 - 帳票パラメータがオープンできません' "$tmp/err"

# inspect: JSON of the model as read, also when the check fails.
"$zrk" inspect "$data/handwritten.zrk" >"$tmp/json"
expect "inspect passes" test $? -eq 0
expect "inspect content" /usr/bin/python3 - "$tmp/json" <<'PY'
import json, sys
d = json.load(open(sys.argv[1]))
f = d["form"]
assert f["title"] == "見積書" and f["leftMargin"] == 55 and f["fontSize"] == 105, f
assert f["meshColor"] == 0xC0C0C0 and f["lineWidth"] == 3
assert d["fields"][0]["tag"] == "NAME" and d["fields"][0]["wide"] == 1
line, rect = d["figures"]
assert line["kind"] == 21 and line["course"] == 1 and line["lineType"] == 2 and "meshKind" not in line
assert rect["kind"] == 22 and rect["meshKind"] == 2 and rect["loopDir"] == 2 and rect["loopCount"] == 3
PY
"$zrk" inspect --variant print "$data/handwritten.zrk" >"$tmp/json"
expect "print variant widths" /usr/bin/python3 -c '
import json, sys; d = json.load(open(sys.argv[1]))
assert d["form"]["lineWidth"] == 2 and d["figures"][0]["lineWidth"] == 0' "$tmp/json"
"$zrk" inspect "$data/bad-field.zrk" >"$tmp/json" 2>"$tmp/err"
expect "inspect of a failing form exits 1" test $? -eq 1
expect "inspect of a failing form still prints the model" /usr/bin/python3 -c '
import json, sys; assert len(json.load(open(sys.argv[1]))["fields"]) == 3' "$tmp/json"
expect "inspect of a failing form reports" grep -q 'LOCATEの指定に誤りがあります' "$tmp/err"

# format: the designer's layout, byte for byte.
SOURCE_DATE_EPOCH=954547200 "$zrk" format "$data/reference.zrk" "$tmp/out.zrk"
expect "format passes" test $? -eq 0
expect "format reproduces the reference file" cmp "$data/reference.zrk" "$tmp/out.zrk"
SOURCE_DATE_EPOCH=954547200 "$zrk" format "$data/handwritten.zrk" "$tmp/hand.zrk"
"$zrk" inspect "$tmp/hand.zrk" >"$tmp/a.json"
"$zrk" inspect "$data/handwritten.zrk" >"$tmp/b.json"
expect "normalised form reads back the same" cmp "$tmp/a.json" "$tmp/b.json"
cp "$tmp/hand.zrk" "$tmp/keep.zrk"
"$zrk" format "$data/handwritten.zrk" "$tmp/nodir/out.zrk" 2>"$tmp/err"
expect "unwritable output fails" test $? -eq 1
expect "unwritable output message" grep -qx 'エラー: その他 - 帳票パラメータを保存できません' "$tmp/err"
"$zrk" format "$data/bad-field.zrk" "$tmp/hand.zrk" 2>/dev/null
expect "a failing form does not replace the output" cmp "$tmp/keep.zrk" "$tmp/hand.zrk"

# usage
"$zrk" >/dev/null 2>&1
expect "no command is a usage error" test $? -eq 2
"$zrk" check a b >/dev/null 2>&1
expect "extra argument is a usage error" test $? -eq 2
"$zrk" inspect --variant other "$data/reference.zrk" >/dev/null 2>&1
expect "unknown variant is a usage error" test $? -eq 2
"$zrk" frobnicate >/dev/null 2>&1
expect "unknown command is a usage error" test $? -eq 2
for command in check inspect format; do
  expect "$command --help" sh -c "\"$zrk\" $command --help | grep -q Usage"
done

finish
