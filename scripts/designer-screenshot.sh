#!/usr/bin/env bash
# A screenshot of the designer under Xvfb with the bundled example form open:
# the window maximised by the openbox window manager (when installed) on a
# 1280 x 1024 screen, with fresh settings so that no earlier run moves it.
#
#   scripts/designer-screenshot.sh [OUTPUT_FOLDER]     (default: out)
#
# Writes OUTPUT_FOLDER/designer.png. BUILD_DIR names the build folder
# (default: build); tabrik and zrk_screenshot are built there when missing.
# Needs xvfb-run (packages xvfb, xauth).
set -euo pipefail
self=$(realpath "$0")
repo=$(dirname "$self")/..
out=$(realpath -m "${1:-$repo/out}")
cd "$repo"

build=${BUILD_DIR:-build}
tabrik=$build/editor/shell/tabrik
grabber=$build/bench/zrk_screenshot

if [ -z "${TABRIK_SCREENSHOT_INNER:-}" ]; then
  if [ ! -x "$tabrik" ] || [ ! -x "$grabber" ]; then
    cmake --build "$build" --target tabrik zrk_screenshot
  fi
  command -v xvfb-run >/dev/null || { echo "designer-screenshot: xvfb-run is missing (package xvfb)" >&2; exit 1; }
  mkdir -p "$out"
  # -br: a black root window, so that the grabber can tell an empty screen.
  exec env TABRIK_SCREENSHOT_INNER=1 xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96 -br" "$self" "$out"
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if command -v openbox >/dev/null; then
  openbox >/dev/null 2>&1 &
  pids+=($!)
  sleep 0.5
fi
export QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME=$work/config
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run
"$tabrik" examples/invoice.zrk &
pids+=($!)
designer=$!
png="$out/designer.png"
status=0
"$grabber" "$png" 30 || status=$?
if ! kill -0 "$designer" 2>/dev/null; then
  echo "designer-screenshot: tabrik ended early" >&2
  exit 1
fi
if [ "$status" -ne 0 ]; then
  echo "designer-screenshot: $png may show the window before it settled" >&2
  exit 1
fi
echo "wrote $png"
