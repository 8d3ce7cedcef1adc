#!/usr/bin/env bash
# Jobs that meet a fault on the way: a display that does not answer, a file
# that cannot be read to its end, a page that cannot be written. Each ends
# with its message and exit status, never with an abort or a partial output
# that looks complete. Read errors come from the shim that
# ZRK_READ_ERROR_SHIM names, preloaded into zrk.
set -u
zrk="$1"
data="$2"
examples="$data/../../examples"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"
pages() { pdfinfo "$1" 2>/dev/null | sed -n 's/^Pages: *//p'; }

cp "$examples/invoice.zrk" "$examples/invoice.dat" "$examples/logo.bmp" "$tmp/"
form="$tmp/invoice.zrk"
dat="$tmp/invoice.dat"

# Displays: an X display that nobody serves (a session whose server went
# away). Files print on the offscreen platform; the preview says it cannot
# be shown. Also when the user named the X platform.
display=99
while [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
for platform in "" xcb; do
  run() { env -u WAYLAND_DISPLAY -u WAYLAND_SOCKET DISPLAY=":$display" QT_QPA_PLATFORM="$platform" "$zrk" "$@"; }
  rm -f "$tmp/shown.pdf"
  run print "$form" "$dat" --pdf "$tmp/shown.pdf" 2>"$tmp/err"
  expect "print without an answering display ($platform)" test $? -eq 0
  expect "all pages without a display ($platform)" test "$(pages "$tmp/shown.pdf")" = 3
  run view "$form" "$dat" 2>"$tmp/err"
  expect "view without an answering display is 253 ($platform)" test $? -eq 253
  expect "view says why ($platform)" grep -q 'プレビューを表示できません（ディスプレイがありません）' "$tmp/err"
done

# Read errors: the file fails with EIO after a number of its bytes. The data
# file is read twice (pages counted, then printed), so half its size fails
# the count and one and a half its size fails the printing half way. An
# output that was there before stays as it was.
preload="${ZRK_READ_ERROR_SHIM:-}"
expect "read error shim given" test -f "$preload"
# A sanitized zrk needs its runtime first among the preloaded libraries.
asan=$(ldd "$zrk" | awk '/libasan/ {print $3}')
[ -n "$asan" ] && preload="$asan:$preload"
size() { stat -c %s "$1"; }
failing() {
  local file="$1" after="$2"
  shift 2
  env LD_PRELOAD="$preload" ZRK_READ_FAIL_PATH="/$(basename "$file")" ZRK_READ_FAIL_AFTER="$after" "$zrk" "$@"
}
while IFS='|' read -r what file after output status message; do
  [ -z "$what" ] && continue
  rm -rf "$tmp/out" && mkdir "$tmp/out"
  echo "before" >"$tmp/out/old.pdf"
  if [ "$output" = pdf ]; then target=(--pdf "$tmp/out/old.pdf"); else target=(--png "$tmp/out/p-%d.png" --dpi 30); fi
  failing "$file" "$(($(size "$file") * after / 2))" print "$form" "$dat" "${target[@]}" 2>"$tmp/err"
  expect "$what: exit $status" test $? -eq "$status"
  expect "$what: says $message" grep -q "$message" "$tmp/err"
  expect "$what: one message" test "$(wc -l <"$tmp/err")" -eq 1
  expect "$what: old output untouched" test "$(cat "$tmp/out/old.pdf")" = before
  expect "$what: no last page" test ! -e "$tmp/out/p-3.png"
  expect "$what: nothing else left" test "$(ls "$tmp/out" | grep -v -e '^old.pdf$' -e '^p-[12].png$')" = ""
done <<ROWS
data while counting|$dat|1|pdf|254|帳票データがオープンできません
data while printing|$dat|3|pdf|254|帳票データがオープンできません
data while printing PNG|$dat|3|png|254|帳票データがオープンできません
form half read|$form|1|pdf|255|帳票パラメータがオープンできません
ROWS

# A PNG page that cannot be written (its name is taken by a folder) stops the
# job there: the output error, and no later page is drawn.
rm -rf "$tmp/out" && mkdir -p "$tmp/out/p-2.png"
"$zrk" print "$form" "$dat" --png "$tmp/out/p-%d.png" --dpi 30 2>"$tmp/err"
expect "unwritable page is 245" test $? -eq 245
expect "unwritable page named" grep -q "p-2.png" "$tmp/err"
expect "page before it written" test -s "$tmp/out/p-1.png"
expect "no page after it" test ! -e "$tmp/out/p-3.png"

# A full runtime folder: the private copy of standard input moves on to
# $TMPDIR (here half way through the data), and only when no folder can hold
# it does the job fail, with the system's reason after the message.
mkdir -m 700 "$tmp/xdg" "$tmp/tmpdir"
full() {
  local under="$1" after="$2"
  shift 2
  env LD_PRELOAD="$preload" XDG_RUNTIME_DIR="$tmp/xdg" TMPDIR="$tmp/tmpdir" ZRK_WRITE_FULL_UNDER="$under" \
    ZRK_WRITE_FULL_AFTER="$after" "$zrk" "$@"
}
"$zrk" print "$form" "$dat" --pdf "$tmp/whole.pdf"
full "$tmp/xdg" "$(($(size "$dat") / 2))" print "$form" - --pdf "$tmp/moved.pdf" <"$dat" 2>"$tmp/err"
expect "full runtime folder: printed" test $? -eq 0 -a ! -s "$tmp/err"
expect "full runtime folder: the whole data" test "$(pdftotext "$tmp/moved.pdf" -)" = "$(pdftotext "$tmp/whole.pdf" -)"
full / 0 print "$form" - --pdf "$tmp/none.pdf" <"$dat" 2>"$tmp/err"
expect "no folder holds the copy: 254" test $? -eq 254
expect "no folder holds the copy: the reason" \
  grep -qx 'エラー: その他 - 帳票データがオープンできません（No space left on device）' "$tmp/err"
expect "no copy left" test -z "$(find "$tmp/xdg" "$tmp/tmpdir" -mindepth 1)"

finish
