#!/usr/bin/env bash
# The designer on a real desktop, as a person and a screen reader meet it:
# Xvfb, the openbox window manager, a D-Bus session with the accessibility
# bus, and tabrik opening the bundled example. desktop_road.py finds the
# window, the buttons and the edit palette over AT-SPI, presses a tool button
# and reads its state, draws a field with the mouse, copies and pastes it,
# undoes and redoes the paste, moves the drawn field to row 30 in its
# property sheet and saves with the keys; the saved form must hold two
# fields more, one of them on row 30. A barcode drawn with the tool named
# バーコード must show its modules and be saved as a BARCODE statement (then it
# is deleted, so that the checks that follow meet the form as it was). Many items
# taken with a band are stepped a column right and back with the arrow keys:
# the form saves them a column on, and the canvas comes back pixel for pixel. Then the window
# is closed as its close box does (wmctrl -c) and the program must end
# cleanly and leave its settings behind. On the way the zoom and line-course
# lists are picked from by name, a frame-only rectangle is clicked on its
# drawn edge at 150 %, and, with a private CUPS server to give a printer
# (root and cups-pdf), the design sheet's dialog must announce its name.
# Last, desktop_road_sheets.py steps over typed input in the rectangle's
# sheet (the question), is refused an end column 95 with its reason, and
# sets UpdateMove in the options dialog, which the settings file must hold.
#
#   desktop_road.sh TABRIK REPOSITORY
#
# Exits 77 (skipped) when a piece of the desktop is not installed.
set -uo pipefail
tabrik=$1
repo=$2
here=$(dirname "$(realpath "$0")")
source "$repo/tests/support/expect.sh"
source "$repo/tests/print/private_cupsd.sh"

source "$repo/tests/support/desktop_session.sh"
desktop_session_need desktop_road

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  cupsd_stop
  desktop_session_stop
  rm -rf "$work"
}
trap cleanup EXIT
desktop_session_start desktop_road "$work"

if cupsd_available >/dev/null && cupsd_start "$work/cups"; then
  export DESKTOP_ROAD_QUEUE=PDF
else
  echo "desktop_road: no private CUPS server; the printer's name is not read"
fi
cp "$repo/examples/invoice.zrk" "$repo/examples/logo.bmp" "$work/"
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$tabrik" "$work/invoice.zrk" >"$work/tabrik.log" 2>&1 &
designer=$!
pids+=("$designer")

fields_before=$(grep -ac '^FIELD' "$work/invoice.zrk")
on_row_30() { grep -ac '^FIELD LOCATE=([0-9]*, 30)-' "$work/invoice.zrk"; }
row30_before=$(on_row_30)
export DESKTOP_ROAD_FORM="$work/invoice.zrk"
expect "the window, its buttons, a pressed tool and a drawn field over AT-SPI" /usr/bin/python3 "$here/desktop_road.py"
expect "the saved form holds the drawn and the pasted field" test "$(grep -ac '^FIELD' "$work/invoice.zrk")" -eq $((fields_before + 2))
expect "the drawn field saved on the row typed into its sheet" test "$(on_row_30)" -eq $((row30_before + 1))
wmctrl -l -x > "$work/windows.log" 2>&1
# wmctrl converts titles through the locale: a UTF-8 one reads them.
expect "the window reached by the window manager" env LC_ALL=C.UTF-8 wmctrl -c "Tabrik ["
ended=1
for _ in $(seq 100); do kill -0 "$designer" 2>/dev/null || { ended=0; break; }; sleep 0.1; done
expect "tabrik ends when its window is closed" test "$ended" -eq 0
if [ "$ended" -eq 0 ]; then
  wait "$designer"
  expect "tabrik exits with status 0" test $? -eq 0
fi
expect "the settings written on close" grep -q "ModeKeep=0" "$work/config/tabrik/tabrik.ini"
expect "UpdateMove from the options dialog written on close" grep -q "UpdateMove=1" "$work/config/tabrik/tabrik.ini"
if [ "$failed" -ne 0 ]; then
  for log in tabrik windows openbox atspi xvfb; do echo "--- $log said:"; cat "$work/$log.log"; done
fi
finish
