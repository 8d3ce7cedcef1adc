#!/usr/bin/env bash
# Start-up of the designer to its first painted frame, with the example form
# named on the command line: tabrik quits right after the canvas's first paint
# (TABRIK_QUIT_AFTER_FIRST_PAINT=1) and prints the time since main() began;
# hyperfine times whole runs (process start to exit) on an Xvfb display and
# on the offscreen platform.
#
#   bench/tabrik_startup.sh [BUILD_FOLDER]      (default: build)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$repo/build}")
tabrik=$build/editor/shell/tabrik
[ -x "$tabrik" ] || cmake --build "$build" --target tabrik
command -v hyperfine >/dev/null || { echo "tabrik_startup: hyperfine is missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/run"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run TABRIK_QUIT_AFTER_FIRST_PAINT=1
run="$tabrik $repo/examples/invoice.zrk"

echo "== offscreen platform =="
QT_QPA_PLATFORM=offscreen $run 2>&1 | grep "first frame"
QT_QPA_PLATFORM=offscreen hyperfine --warmup 3 --runs 20 --style basic "$run"

if command -v xvfb-run >/dev/null; then
  echo "== Xvfb display (xcb) =="
  xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" bash -c "
    QT_QPA_PLATFORM=xcb $run 2>&1 | grep 'first frame'
    QT_QPA_PLATFORM=xcb hyperfine --warmup 3 --runs 20 --style basic '$run'"
fi
