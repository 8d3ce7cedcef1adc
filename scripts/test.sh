#!/usr/bin/env bash
# Builds everything and runs every test (unit, gui, output, print).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${BUILD_DIR:-build}"
BUILD_DIR="$build_dir" scripts/build.sh "$@"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
