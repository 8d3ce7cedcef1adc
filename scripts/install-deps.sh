#!/usr/bin/env bash
# Installs every Debian package that the build, the tests, the fuzz targets,
# the benchmarks and the examples need on a fresh Debian 12 machine.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6opengl6-dev
  libgl-dev
  nlohmann-json3-dev zlib1g-dev
  # Barcodes are encoded by libzint; the tests decode what we print with
  # zbar and zxing-cpp, and fill forms from a real SQLite database.
  libzint-dev zbar-tools libzxing-dev sqlite3
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang clang-format libclang-rt-14-dev llvm
  fonts-ipafont-mincho fonts-ipafont-gothic fontconfig
  poppler-utils
  # A job split over machines (README): GNU parallel runs the parts, qpdf
  # puts their PDF documents together.
  parallel qpdf
  python3 python3-reportlab python3-pil
  cups cups-client cups-bsd printer-driver-cups-pdf ghostscript
  cups-daemon cups-filters libcups2-dev
  xvfb xauth
  # The designer: Qt's Japanese texts, and its desktop test (a window manager,
  # a D-Bus session with the accessibility bus, a screen-reader client, window
  # and input robots) and start-up benchmark.
  qt6-translations-l10n
  openbox dbus dbus-x11 at-spi2-core python3-pyatspi xdotool wmctrl hyperfine
  # Installing and packaging: the .deb's tools and checkers, and what the
  # install test uses on the installed desktop entry, file type and man pages.
  dpkg-dev lintian desktop-file-utils shared-mime-info man-db file
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
