#!/usr/bin/env bash
# tabrik where no display answers (no DISPLAY, an X server that is not there,
# no QT_QPA_PLATFORM): help, version and usage errors need none, the window
# says so in one line and exits 1, the sheets are still written; nothing aborts.
set -u
tabrik="$1"
source_dir="$2"
form="$source_dir/examples/invoice.zrk"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "$source_dir/tests/support/expect.sh"
unset DISPLAY WAYLAND_DISPLAY WAYLAND_SOCKET QT_QPA_PLATFORM
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp"
mkdir -p "$HOME"
run() { timeout 30 "$tabrik" "$@" >"$tmp/out" 2>"$tmp/err"; }
lines() { grep -cv '^QStandardPaths' "$1"; }

run --version
expect "--version exit 0" test $? -eq 0
expect "--version text" grep -qx "tabrik [0-9][0-9.]*" "$tmp/out"

for help in --help -h --help-all; do
  run "$help"
  expect "$help exit 0" test $? -eq 0
  for option in --help --version --design-sheet --entry-sheet --pdf --printer --portrait --paper FORM; do
    expect "$help lists $option" grep -q -- "$option" "$tmp/out"
  done
  # One language: Japanese, with no English words of Qt's own help.
  expect "$help no English" sh -c "! grep -Eqi 'usage|options:|displays|arguments:' '$tmp/out'"
done

# Help and version that cannot be written fail with the reason.
for args in --help --version; do
  timeout 30 "$tabrik" $args >/dev/full 2>"$tmp/err"
  expect "$args to a full standard output fails" test $? -eq 1
  expect "$args full standard output: the words" grep -qx 'tabrik: standard output: No space left on device' "$tmp/err"
done

# The window asked for, with and without a form, where no display answers:
# a dead X display number and no DISPLAY at all.
dead=99
while [ -e "/tmp/.X11-unix/X$dead" ]; do dead=$((dead + 1)); done
for display in "" ":$dead"; do
  for args in "$form" ""; do
    what="DISPLAY='$display' form='$args'"
    if [ -n "$display" ]; then export DISPLAY="$display"; else unset DISPLAY; fi
    run $args
    expect "$what exit 1" test $? -eq 1
    expect "$what one line" test "$(lines "$tmp/err")" -eq 1
    expect "$what message" grep -q 'ディスプレイがありません' "$tmp/err"
  done
done
unset DISPLAY
expect "no settings written" test ! -e "$tmp/config/tabrik/tabrik.ini"

# Usage errors are told before any display is looked for.
for args in "--no-such-option" "--pdf $tmp/x.pdf" "--paper B4 $form"; do
  run $args
  expect "usage error '$args' exit 2" test $? -eq 2
  expect "usage error '$args' message" grep -q 'tabrik --help' "$tmp/err"
done

# The sheets still need no display and no platform named.
run --design-sheet "$form" --pdf "$tmp/design.pdf"
expect "design sheet written" test $? -eq 0 -a -s "$tmp/design.pdf"
run --entry-sheet --pdf "$tmp/entry.pdf"
expect "entry sheet written" test $? -eq 0 -a -s "$tmp/entry.pdf"

# Qt's own -platform argument still reaches the application object.
TABRIK_QUIT_AFTER_FIRST_PAINT=1 run -platform offscreen "$form"
expect "-platform offscreen starts the window" test $? -eq 0
expect "-platform offscreen painted" grep -q 'first frame painted' "$tmp/err"

finish
