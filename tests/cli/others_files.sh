#!/usr/bin/env bash
# Files of other users: a replaced file keeps its owner, group and mode; an
# output that a user could not give back to its owner is refused rather than
# taken over, except a form the user may write, which is rewritten in place. Needs root to make files of others (skipped otherwise).
set -u
zrk="$1"
data="$2"
examples="$data/../../examples"
form="$examples/invoice.zrk"
dat="$examples/invoice.dat"
[ "$(id -u)" = 0 ] || exit 77
command -v setpriv >/dev/null || exit 77
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"
source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"
owner() { stat -c '%u:%g %a' "$1"; }
nobody() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
theirs() { # path mode: an old file of uid/gid 65534
  echo old >"$1"
  chown 65534:65534 "$1"
  chmod "$2" "$1"
}

# Root replaces a file of another user: the file stays theirs.
theirs "$tmp/report.pdf" 640
"$zrk" print "$form" "$dat" --pdf "$tmp/report.pdf"
expect "pdf over another's file" test $? -eq 0
expect "pdf keeps owner, group and mode" test "$(owner "$tmp/report.pdf")" = "65534:65534 640"
expect "pdf is replaced" sh -c "pdfinfo '$tmp/report.pdf' | grep -q 'Pages: *3'"
theirs "$tmp/page-1.png" 600
"$zrk" print "$data/geometry.zrk" "$data/geometry.dat" --png "$tmp/page-%d.png"
expect "png over another's page" test $? -eq 0
expect "png keeps owner, group and mode" test "$(owner "$tmp/page-1.png")" = "65534:65534 600"
expect "png page is replaced" test "$(head -c 4 "$tmp/page-1.png" | tail -c 3)" = PNG
theirs "$tmp/form.zrk" 664
"$zrk" format "$form" "$tmp/form.zrk"
expect "format over another's form" test $? -eq 0
expect "format keeps owner, group and mode" test "$(owner "$tmp/form.zrk")" = "65534:65534 664"
expect "form is replaced" test "$(head -c 2 "$tmp/form.zrk")" = "//"

# A user who may write a file of root's but could not give a new one back
# to root: the print outputs are refused and stay root's and as they were; a
# form is rewritten in place (its old bytes copied beside it first), so it
# stays root's with its mode and nothing is left beside it.
mkdir -m 777 "$tmp/shared"
for name in open.pdf open.zrk open-1.png; do
  echo old >"$tmp/shared/$name"
  chmod 666 "$tmp/shared/$name"
done
nobody "$zrk" print "$form" "$dat" --pdf "$tmp/shared/open.pdf" 2>"$tmp/err"
expect "pdf over root's file is 245" test $? -eq 245
expect "pdf refusal: the system's words" grep -qx 'zrk print: Operation not permitted' "$tmp/err"
nobody "$zrk" print "$data/geometry.zrk" "$data/geometry.dat" --png "$tmp/shared/open-%d.png" 2>"$tmp/err"
expect "png over root's file is 245" test $? -eq 245
nobody "$zrk" format "$form" "$tmp/shared/open.zrk" 2>"$tmp/err"
expect "format over root's writable form" test $? -eq 0
expect "format in place keeps root's owner and mode" test "$(owner "$tmp/shared/open.zrk")" = "0:0 666"
expect "format in place reads back" "$zrk" check "$tmp/shared/open.zrk"
for name in open.pdf open-1.png; do
  expect "$name stays root's and old" test "$(owner "$tmp/shared/$name") $(cat "$tmp/shared/$name")" = "0:0 666 old"
done
expect "nothing left behind" test "$(ls -A "$tmp/shared" | wc -l)" = 3

# A form of root:staff 0664 in a set-group-ID folder of staff, saved by a
# member of staff: written in place, still root:staff 0664.
mkdir "$tmp/group"
chown 0:4242 "$tmp/group"
chmod 2775 "$tmp/group"
echo old >"$tmp/group/form.zrk"
chown 0:4242 "$tmp/group/form.zrk"
chmod 664 "$tmp/group/form.zrk"
staff() { setpriv --reuid=65534 --regid=65534 --groups=4242 "$@"; }
staff "$zrk" format "$form" "$tmp/group/form.zrk" 2>"$tmp/err"
expect "a member saves the group's form" test $? -eq 0
expect "the group's form stays root:staff 0664" test "$(owner "$tmp/group/form.zrk")" = "0:4242 664"
expect "the group's form is the new one" cmp -s <("$zrk" format "$form" /dev/stdout) "$tmp/group/form.zrk"
expect "nothing left in the group folder" test "$(ls -A "$tmp/group" | wc -l)" = 1
# A member who may not write the form is still refused, and the form stays.
chmod 644 "$tmp/group/form.zrk"
cp "$tmp/group/form.zrk" "$tmp/before.zrk"
staff "$zrk" format "$form" "$tmp/group/form.zrk" 2>"$tmp/err"
expect "a read-only group form is refused" test $? -eq 1
expect "the read-only group form stays" cmp -s "$tmp/before.zrk" "$tmp/group/form.zrk"

finish
