#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine and runs the main job on the
# bundled example: checks the example form, writes it in the designer's
# layout, and renders it, filled with its three pages of data, to
# out/example.pdf.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
mkdir -p out
build/runtime/cli/zrk check examples/invoice.zrk
echo "examples/invoice.zrk: the form passes the check"
build/runtime/cli/zrk format examples/invoice.zrk out/invoice-normalised.zrk
echo "wrote out/invoice-normalised.zrk (the form in the designer's layout)"
build/runtime/cli/zrk print examples/invoice.zrk examples/invoice.dat --pdf out/example.pdf
pdfinfo out/example.pdf | grep -E '^(Title|Pages|Page size):'
echo "wrote out/example.pdf"
