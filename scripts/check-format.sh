#!/usr/bin/env bash
# Fails when a C or C++ file of the tree differs from what clang-format makes
# of it with the project's .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' '*.c' | xargs -0 clang-format --dry-run -Werror
