#!/usr/bin/env bash
# The .deb as apt and lintian see it: control fields, files in their places,
# Depends computed and complete, and lintian without errors. Usage:
# deb_check.sh PACKAGE.deb
set -u
deb="$1"
source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"
require_tools dpkg-deb lintian
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
field() { dpkg-deb --field "$deb" "$1"; }

expect "package name" test "$(field Package)" = tabrik
expect "version" test -n "$(field Version)"
expect "section" test "$(field Section)" = text
expect "maintainer" grep -Eq '^.+ <[^@ ]+@[^@ ]+>$' <<<"$(field Maintainer)"
depends=$(field Depends)
echo "Depends: $depends"
for package in fonts-ipafont-mincho fonts-ipafont-gothic libcups2 libc6 libqt6widgets6 libqt6printsupport6; do
  expect "depends on $package" grep -q "\b$package\b" <<<"$depends"
done

dpkg-deb --contents "$deb" | sed 's/ -> .*//' | awk '{print $NF}' | sed 's|^\./|/|' >"$tmp/contents"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)
for file in /usr/bin/zrk /usr/bin/tabrik "/usr/lib/$multiarch/libZRK.so.1" /usr/include/zrk.h \
  "/usr/lib/$multiarch/pkgconfig/zrk.pc" "/usr/lib/$multiarch/cmake/ZRK/ZRKConfig.cmake" \
  /usr/share/man/man1/zrk.1.gz /usr/share/man/man1/tabrik.1.gz /usr/share/applications/tabrik.desktop \
  /usr/share/mime/packages/tabrik.xml /usr/share/icons/hicolor/48x48/apps/tabrik.png \
  /usr/share/bash-completion/completions/zrk /usr/share/doc/tabrik/copyright /usr/share/doc/tabrik/changelog.gz; do
  expect "in the package: $file" grep -qx -- "$file" "$tmp/contents"
done
# Under /usr, the pkg-config file names /usr.
dpkg-deb --extract "$deb" "$tmp/root"
expect "no packaged file searches the current folder" bash "$(dirname "${BASH_SOURCE[0]}")/runpath_check.sh" "$tmp/root"
expect "pkg-config prefix is /usr" grep -qx 'prefix=/usr' "$tmp/root/usr/lib/$multiarch/pkgconfig/zrk.pc"
expect "ldconfig trigger" sh -c "dpkg-deb --ctrl-tarfile '$deb' | tar -xO ./triggers | grep -qx 'activate-noawait ldconfig'"
expect "shlibs for libZRK" sh -c "dpkg-deb --ctrl-tarfile '$deb' | tar -xO ./shlibs | grep -q '^libZRK 1 tabrik'"

lintian --no-tag-display-limit "$deb" >"$tmp/lintian" 2>&1
cat "$tmp/lintian"
expect "lintian without errors" sh -c "! grep -q '^E:' '$tmp/lintian'"

finish
