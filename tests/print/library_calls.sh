#!/usr/bin/env bash
# libZRK.so as an outside C caller sees it, without a print server: what it
# exports, and the failure results of ZRK_Print with their messages. The
# printing itself is checked on a real queue by cups_print.sh.
set -u
caller="$1"
library="$2"
source_dir="$3"
examples="$source_dir/examples"
data="$source_dir/tests/data"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# No print server answers here, and no default printer is named.
export CUPS_SERVER=127.0.0.1:9
unset PRINTER LPDEST DISPLAY WAYLAND_DISPLAY
source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"
results() { grep '^ZRK_Print:' "$tmp/out" | cut -d' ' -f2 | tr '\n' ' '; }

# Exactly the two entry points leave the library.
nm -D --defined-only "$library" | awk '{print $3}' | sort >"$tmp/symbols"
expect "exactly the entry points exported" test "$(tr '\n' ' ' <"$tmp/symbols")" = "ZRK_Print ZRK_View "

# Loaded by name through the library search path.
"$caller" "$tmp/none.zrk" "$examples/invoice.dat" >"$tmp/out" 2>"$tmp/err"
expect "loads by name, finds both entry points" test $? -eq 0
expect "missing form is -1" test "$(results)" = "-1 "
expect "missing form message" grep -q '帳票パラメータがオープンできません' "$tmp/err"

"$caller" "$examples/invoice.zrk" "$data/empty.dat" "CONTROL PRINTER=Default;" >"$tmp/out" 2>"$tmp/err"
expect "empty data is -2" test "$(results)" = "-2 "
expect "empty data message" grep -q '帳票データがオープンできません' "$tmp/err"
expect "no printer asked for empty data" test "$(grep -c 'プリンタ' "$tmp/err")" = 0

# No default printer: with PRINTER=Default, and without a display (no dialog
# can be answered) for a null control as well.
for control in "CONTROL PRINTER=Default;" "-" "CONTROL CANCEL=ON;"; do
  "$caller" "$examples/invoice.zrk" "$examples/invoice.dat" "$control" >"$tmp/out" 2>"$tmp/err"
  expect "no printer is -3 ($control)" test "$(results)" = "-3 "
  expect "no printer message ($control)" grep -q 'プリンタＤＣの獲得に失敗しました' "$tmp/err"
done

# Paths are kept whole: a form 300 bytes deep is read (the job gets as far as
# the printer).
deep="$tmp/$(printf 'd%.0s' $(seq 1 120))/$(printf 'e%.0s' $(seq 1 120))"
mkdir -p "$deep"
cp "$examples/invoice.zrk" "$examples/invoice.dat" "$examples/logo.bmp" "$deep/"
expect "deep path is long" test "${#deep}" -gt 260
"$caller" "$deep/invoice.zrk" "$deep/invoice.dat" "CONTROL PRINTER=Default;" >"$tmp/out" 2>"$tmp/err"
expect "long paths reach the printer" test "$(results)" = "-3 "

# Calls are independent: the library is loaded, called, unloaded three times
# and each call does the same.
"$caller" -n 3 "$examples/invoice.zrk" "$examples/invoice.dat" "CONTROL PRINTER=Default;" >"$tmp/out" 2>"$tmp/err"
expect "three calls alike" test "$(results)" = "-3 -3 -3 "
expect "three messages" test "$(grep -c 'プリンタＤＣの獲得に失敗しました' "$tmp/err")" = 3

# The preview needs a display: without one it says so and returns -3.
"$caller" -v "$examples/invoice.zrk" "$examples/invoice.dat" >"$tmp/out" 2>"$tmp/err"
expect "preview without a display is -3" grep -qx 'ZRK_View: -3' "$tmp/out"
expect "preview without a display message" grep -q 'ディスプレイがありません' "$tmp/err"

# Four threads call at once: the calls are served one after the other, each
# with its own result and message.
"$caller" -j 4 "$examples/invoice.zrk" "$examples/invoice.dat" "CONTROL PRINTER=Default;" >"$tmp/out" 2>"$tmp/err"
expect "four threads return" test $? -eq 0
expect "four threads alike" test "$(results)" = "-3 -3 -3 -3 "
expect "four thread messages" test "$(grep -c 'プリンタＤＣの獲得に失敗しました' "$tmp/err")" = 4

# An X display that nobody serves (the caller's session lost its server):
# printing goes on without a display, the preview says it has none; the
# caller's process is never aborted, also when the caller named the X platform.
display=99
while [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
for platform in "" xcb; do
  lost() { env DISPLAY=":$display" QT_QPA_PLATFORM="$platform" "$caller" "$@"; }
  lost "$examples/invoice.zrk" "$examples/invoice.dat" "CONTROL PRINTER=Default;" >"$tmp/out" 2>"$tmp/err"
  expect "print with a lost display returns ($platform)" test $? -eq 0
  expect "print with a lost display reaches the printer ($platform)" test "$(results)" = "-3 "
  lost -v "$examples/invoice.zrk" "$examples/invoice.dat" >"$tmp/out" 2>"$tmp/err"
  expect "preview with a lost display is -3 ($platform)" grep -qx 'ZRK_View: -3' "$tmp/out"
  expect "preview with a lost display says so ($platform)" grep -q 'ディスプレイがありません' "$tmp/err"
done

# The control statement's data and offset options: good values get as far as
# the printer, a refused value is -1 with its message before the form is read;
# UTF-8 data that had characters replaced warns once after the job.
iconv -f CP932 -t UTF-8 "$examples/invoice.dat" >"$tmp/utf8.dat"
printf '\xf0\x9f\x98\x80\n' >>"$tmp/utf8.dat"
export XDG_RUNTIME_DIR="$tmp/xdg"
mkdir -m 700 "$XDG_RUNTIME_DIR"
while IFS='|' read -r control result message; do
  "$caller" "$examples/invoice.zrk" "$tmp/utf8.dat" "$control" >"$tmp/out" 2>"$tmp/err"
  expect "$control is $result" test "$(results)" = "$result "
  expect "$control says $message" grep -q "$message" "$tmp/err"
done <<'EOF'
CONTROL PRINTER=Default, ENCODING=UTF-8, XOFFSET=-500, YOFFSET=+15;|-3|警告: 帳票データ - 変換できない文字を「？」に置き換えました（1文字、最初は181行目）
control printer=default, encoding=auto;|-3|（1文字、最初は181行目）
CONTROL PRINTER=Default, XOFFSET=501;|-1|エラー: 制御情報 - XOFFSETの指定に誤りがあります
CONTROL PRINTER=Default, YOFFSET=2mm;|-1|制御情報 - YOFFSETの指定に誤りがあります
CONTROL ENCODING=, PRINTER=Default;|-1|制御情報 - ENCODINGの指定に誤りがあります
EOF
expect "no private copy left by the library" test -z "$(ls -A "$XDG_RUNTIME_DIR")"
"$caller" -v "$examples/invoice.zrk" "$tmp/utf8.dat" "CONTROL ENCODING=SHIFT_JIS, XOFFSET=1" >"$tmp/out" 2>"$tmp/err"
expect "preview takes the options (no display: -3)" grep -qx 'ZRK_View: -3' "$tmp/out"

# When the search path does not find it, the caller's fallback full path does.
env -u LD_LIBRARY_PATH "$caller" -L "$library" "$tmp/none.zrk" "$examples/invoice.dat" >"$tmp/out" 2>"$tmp/err"
expect "loads by full path" test "$(results)" = "-1 "

finish
