#!/usr/bin/env bash
# Where zrk writes: devices, FIFOs and the standard output are written
# directly and stay what they are; a regular file is replaced whole or not at
# all; a file the user may not write, and an input, are never written over;
# a failed standard output fails the command; control characters from a form
# never reach the terminal raw.
set -u
zrk="$1"
data="$2"
examples="$data/../../examples"
form="$examples/invoice.zrk"
dat="$examples/invoice.dat"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"
source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"
root() { [ "$(id -u)" = 0 ]; }
pages() { pdfinfo "$1" 2>/dev/null | sed -n 's/^Pages: *//p'; }
is_char() { [ -c "$1" ]; }
# A device node of our own when root; otherwise the system's, which a user
# could not replace even if zrk tried.
device() {
  if root; then mknod "$tmp/$1" c "$2" "$3" && echo "$tmp/$1"; else echo "/dev/$1"; fi
}
# Runs a command as a user without root's rights over files.
as_user() {
  if root; then setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; else "$@"; fi
}
SOURCE_DATE_EPOCH=954547200 "$zrk" format "$form" "$tmp/formatted.zrk"

# Devices: written in place, the node stays; a full device gives the system's words.
null=$(device null 1 3)
"$zrk" print "$form" "$dat" --pdf "$null"
expect "pdf to a null device" test $? -eq 0
"$zrk" format "$form" "$null"
expect "format to a null device" test $? -eq 0
if root; then
  for n in 1 2 3; do mknod "$tmp/null-$n" c 1 3; done
  "$zrk" print "$form" "$dat" --png "$tmp/null-%d"
  expect "png pages to null devices" test $? -eq 0
  expect "png devices stay devices" is_char "$tmp/null-3"
fi
expect "the null device stays a device" is_char "$null"
full=$(device full 1 7)
"$zrk" print "$form" "$dat" --pdf "$full" 2>"$tmp/err"
expect "pdf to a full device is 245" test $? -eq 245
expect "full device: the job's message" grep -qx 'エラー: その他 - プリンタが使用できません' "$tmp/err"
expect "full device: the system's words" grep -qx 'zrk print: No space left on device' "$tmp/err"
"$zrk" format "$form" "$full" 2>"$tmp/err"
expect "format to a full device fails" test $? -eq 1
expect "format: the system's words" grep -q 'No space left on device' "$tmp/err"
expect "the full device stays a device" is_char "$full"

# A full disk: the old file stays whole, no temporary file is left.
if root && mkdir "$tmp/small" && mount -t tmpfs -o size=48k tmpfs "$tmp/small" 2>/dev/null; then
  echo old >"$tmp/small/out.pdf"
  "$zrk" print "$form" "$dat" --pdf "$tmp/small/out.pdf" 2>"$tmp/err"
  expect "full disk is 245" test $? -eq 245
  expect "full disk: the system's words" grep -qx 'zrk print: No space left on device' "$tmp/err"
  expect "full disk: old file kept" test "$(cat "$tmp/small/out.pdf")" = old
  expect "full disk: nothing left behind" test "$(ls -A "$tmp/small")" = out.pdf
  umount "$tmp/small"
fi

# FIFOs: the reader gets the whole output; the FIFO stays a FIFO.
mkfifo "$tmp/fifo"
timeout 60 cat "$tmp/fifo" >"$tmp/from-fifo.pdf" &
timeout 60 "$zrk" print "$form" "$dat" --pdf "$tmp/fifo"
expect "pdf into a fifo" test $? -eq 0
wait
expect "the fifo's reader gets the document" test "$(pages "$tmp/from-fifo.pdf")" = 3
timeout 60 cat "$tmp/fifo" >"$tmp/from-fifo.zrk" &
SOURCE_DATE_EPOCH=954547200 timeout 60 "$zrk" format "$form" "$tmp/fifo"
expect "format into a fifo" test $? -eq 0
wait
expect "the fifo's reader gets the form" cmp "$tmp/formatted.zrk" "$tmp/from-fifo.zrk"
expect "the fifo stays a fifo" test -p "$tmp/fifo"

# The standard output: a pipe, a file, a file opened for appending.
"$zrk" print "$form" "$dat" --pdf /dev/stdout | cat >"$tmp/piped.pdf"
expect "pdf to a piped standard output" test "$(pages "$tmp/piped.pdf")" = 3
"$zrk" print "$form" "$dat" --pdf /dev/stdout >"$tmp/redirected.pdf"
expect "pdf to a redirected standard output" test "$(pages "$tmp/redirected.pdf")" = 3
echo "head" >"$tmp/appended"
SOURCE_DATE_EPOCH=954547200 "$zrk" format "$form" /dev/stdout >>"$tmp/appended"
expect "format appends to standard output" cmp <(echo head; cat "$tmp/formatted.zrk") "$tmp/appended"

# Outputs that name an input, by any spelling or link: refused with 2, inputs kept.
mkdir "$tmp/in"
cp "$form" "$tmp/in/form.zrk"
cp "$dat" "$tmp/in/data.dat"
ln -s data.dat "$tmp/in/soft.dat"
ln "$tmp/in/data.dat" "$tmp/in/hard.dat"
ln "$tmp/in/data.dat" "$tmp/in/page-002.png"
for out in "--pdf $tmp/in/form.zrk" "--pdf $tmp/in/../in/./data.dat" "--pdf $tmp/in/soft.dat" \
  "--pdf $tmp/in/hard.dat" "--png $tmp/in/page-%03d.png"; do
  # shellcheck disable=SC2086
  "$zrk" print "$tmp/in/form.zrk" "$tmp/in/data.dat" $out 2>"$tmp/err"
  expect "output onto an input is a usage error ($out)" test $? -eq 2
  expect "output onto an input says so ($out)" grep -q 'an input is never replaced' "$tmp/err"
done
expect "the form is kept" cmp "$form" "$tmp/in/form.zrk"
expect "the data is kept" cmp "$dat" "$tmp/in/data.dat"
expect "no pages written" test ! -e "$tmp/in/page-001.png"
"$zrk" print "$tmp/in/form.zrk" "$tmp/in/data.dat" --png "$tmp/in/page-%d.png" 2>/dev/null
expect "pages beside an input are written" test $? -eq 0 -a -f "$tmp/in/page-3.png"

# A file the user may not write (in a folder they may): refused, kept.
mkdir -m 777 "$tmp/shared"
cp "$tmp/formatted.zrk" "$tmp/shared/locked.zrk"
cp "$tmp/piped.pdf" "$tmp/shared/locked.pdf"
chmod 444 "$tmp/shared/locked.zrk" "$tmp/shared/locked.pdf"
chown 65534 "$tmp/shared/locked.zrk" "$tmp/shared/locked.pdf" 2>/dev/null
as_user "$zrk" format "$data/handwritten.zrk" "$tmp/shared/locked.zrk" 2>"$tmp/err"
expect "format onto a read-only file fails" test $? -eq 1
expect "format read-only: the message" grep -qx 'エラー: その他 - 帳票パラメータを保存できません' "$tmp/err"
expect "format read-only: the system's words" grep -q 'Permission denied' "$tmp/err"
expect "format read-only: the file is kept" cmp "$tmp/formatted.zrk" "$tmp/shared/locked.zrk"
as_user "$zrk" print "$form" "$dat" --pdf "$tmp/shared/locked.pdf" 2>"$tmp/err"
expect "pdf onto a read-only file is 245" test $? -eq 245
expect "pdf read-only: the file is kept" cmp "$tmp/piped.pdf" "$tmp/shared/locked.pdf"

# A standard output that fails fails the command, with the system's words.
"$zrk" inspect "$form" >/dev/full 2>"$tmp/err"
expect "inspect to a full standard output fails" test $? -eq 1
expect "full standard output: the words" grep -qx 'zrk: standard output: No space left on device' "$tmp/err"
"$zrk" inspect "$form" >&- 2>"$tmp/err"
expect "inspect to a closed standard output fails" test $? -eq 1
expect "closed standard output: the words" grep -qx 'zrk: standard output: Bad file descriptor' "$tmp/err"
"$zrk" --help >/dev/full 2>/dev/null
expect "help to a full standard output fails" test $? -ne 0
"$zrk" print "$form" "$dat" --pdf "$tmp/closed.pdf" >&-
expect "a closed standard output does not take a file's place" test "$(pages "$tmp/closed.pdf")" = 3

# Control characters from a form reach the terminal written out.
sed 's/NO-SUCH-LOGO.BMP/NO\x1b[31mLOGO\x7f.BMP/' "$data/landscape.zrk" >"$tmp/escape.zrk"
"$zrk" print "$tmp/escape.zrk" "$data/landscape.dat" --pdf "$tmp/escape.pdf" 2>"$tmp/err"
expect "escaped message" grep -q 'イメージのオープンに失敗しました（NO\\x1B\[31MLOGO\\x7F.BMP）' "$tmp/err"
expect "no raw control characters on standard error" test "$(tr -d '\n' <"$tmp/err" | tr -d '\000-\037\177' | wc -c)" = "$(tr -d '\n' <"$tmp/err" | wc -c)"
"$zrk" inspect "$tmp/escape.zrk" >"$tmp/json"
expect "no raw control characters in inspect" test "$(tr -d '\000-\011\013-\037\177' <"$tmp/json" | wc -c)" = "$(wc -c <"$tmp/json")"
expect "inspect keeps the name" /usr/bin/python3 -c '
import json, sys; d = json.load(open(sys.argv[1]))
assert d["figures"][0]["fileName"] == "NO\x1b[31MLOGO\x7f.BMP", d["figures"][0]' "$tmp/json"

finish
