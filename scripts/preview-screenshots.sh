#!/usr/bin/env bash
# Screenshots of the preview window on the example form under Xvfb: one at
# 100 % and one of the whole page ("CONTROL SCALE=AUTO;").
#
#   scripts/preview-screenshots.sh [OUTPUT_FOLDER]     (default: out)
#
# Writes OUTPUT_FOLDER/preview-100.png and OUTPUT_FOLDER/preview-page.png.
# BUILD_DIR names the build folder (default: build); zrk and zrk_screenshot
# are built there when missing. Needs xvfb-run (packages xvfb, xauth).
set -euo pipefail
self=$(realpath "$0")
repo=$(dirname "$self")/..
out=$(realpath -m "${1:-$repo/out}")
cd "$repo"

build=${BUILD_DIR:-build}
zrk=$build/runtime/cli/zrk
grabber=$build/bench/zrk_screenshot
screen_size=1280x1024x24
form=examples/invoice.zrk
data=examples/invoice.dat

if [ -z "${ZRK_SCREENSHOT_INNER:-}" ]; then
  if [ ! -x "$zrk" ] || [ ! -x "$grabber" ]; then
    cmake --build "$build" --target zrk zrk_screenshot
  fi
  command -v xvfb-run >/dev/null || { echo "preview-screenshots: xvfb-run is missing (package xvfb)" >&2; exit 1; }
  mkdir -p "$out"
  # -br: a black root window, so that the grabber can tell an empty screen.
  exec env ZRK_SCREENSHOT_INNER=1 xvfb-run -a -s "-screen 0 $screen_size -br" "$self" "$out"
fi

export QT_QPA_PLATFORM=xcb
viewer=""
stop_viewer() {
  if [ -n "$viewer" ] && kill -0 "$viewer" 2>/dev/null; then
    kill "$viewer" 2>/dev/null || true
    wait "$viewer" 2>/dev/null || true
  fi
  viewer=""
}
trap stop_viewer EXIT

# shot NAME CONTROL: opens the preview, waits until the screen has settled,
# saves it and closes the preview.
shot() {
  local control=$2 png="$out/$1.png"
  "$zrk" view "$form" "$data" --control "$control" &
  viewer=$!
  local status=0
  "$grabber" "$png" 30 || status=$?
  if ! kill -0 "$viewer" 2>/dev/null; then
    wait "$viewer" || echo "preview-screenshots: zrk view ended early with status $?" >&2
    viewer=""
    return 1
  fi
  stop_viewer
  if [ "$status" -ne 0 ]; then
    echo "preview-screenshots: $png may show the window before it settled" >&2
    return 1
  fi
  echo "wrote $png ($control)"
}

shot preview-100 "CONTROL SCALE=100;"
shot preview-page "CONTROL SCALE=AUTO;"
