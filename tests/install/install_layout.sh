#!/usr/bin/env bash
# The install as a user and a C developer meet it: cmake --install into a
# temporary DESTDIR, then the programs, the library, pkg-config, the CMake
# package, the desktop entry, the file type, the man pages and the bash
# completion, each used from there.
set -u
build="$1"
version="$2"
libdir="$3" # lib/<multiarch>
source_dir="$4"
prefix=/usr/local
source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"
require_tools cc pkg-config desktop-file-validate man update-mime-database readelf nm pdfinfo
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
root="$tmp/root"
here="$root$prefix"
# No print server answers, no default printer, no display.
export CUPS_SERVER=127.0.0.1:9 QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$tmp/config"
unset PRINTER LPDEST DISPLAY WAYLAND_DISPLAY

# Shows a log when the step before it failed.
shown() { cat "$1"; return 1; }
DESTDIR="$root" cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 || shown "$tmp/install.log"
expect "cmake --install" test $? -eq 0

# Every file in its Debian place.
for file in bin/zrk bin/tabrik "$libdir/libZRK.so.$version" include/zrk.h "$libdir/pkgconfig/zrk.pc" \
  "$libdir/cmake/ZRK/ZRKConfig.cmake" "$libdir/cmake/ZRK/ZRKConfigVersion.cmake" \
  share/man/man1/zrk.1.gz share/man/man1/tabrik.1.gz share/applications/tabrik.desktop \
  share/mime/packages/tabrik.xml share/bash-completion/completions/zrk \
  share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128}/apps/tabrik.png \
  share/doc/tabrik/copyright share/doc/tabrik/changelog.gz share/doc/tabrik/examples/invoice.zrk; do
  expect "installed: $file" test -f "$here/$file"
done
expect "SONAME link" test "$(readlink "$here/$libdir/libZRK.so.${version%%.*}")" = "libZRK.so.$version"
expect "development link" test "$(readlink "$here/$libdir/libZRK.so")" = "libZRK.so.${version%%.*}"
expect "SONAME" sh -c "readelf -d '$here/$libdir/libZRK.so.$version' | grep -q 'SONAME.*\[libZRK.so.${version%%.*}\]'"
nm -D --defined-only "$here/$libdir/libZRK.so.$version" | awk '{print $3}' | sort | tr '\n' ' ' >"$tmp/symbols"
expect "exactly the entry points exported" test "$(cat "$tmp/symbols")" = "ZRK_Print ZRK_View "
# The designer loads the library through its RUNPATH; zrk carries the runtime
# and needs none.
runpath() { readelf -d "$1" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p'; }
expect "tabrik's RUNPATH" test "$(runpath "$here/bin/tabrik")" = "\$ORIGIN/../$libdir"
expect "zrk without RUNPATH" test -z "$(runpath "$here/bin/zrk")"
expect "no installed file searches the current folder" bash "$(dirname "${BASH_SOURCE[0]}")/runpath_check.sh" "$root"

# The programs from the prefix, started from elsewhere.
cd "$tmp" || exit 1
expect "zrk --version" test "$("$here/bin/zrk" --version)" = "zrk $version"
expect "tabrik --version" test "$("$here/bin/tabrik" --version 2>/dev/null)" = "tabrik $version"
examples="$here/share/doc/tabrik/examples"
"$here/bin/zrk" print "$examples/invoice.zrk" "$examples/invoice.dat" --pdf "$tmp/invoice.pdf" 2>"$tmp/err"
expect "zrk print to PDF" test $? -eq 0
expect "three pages" test "$(pdfinfo "$tmp/invoice.pdf" | sed -n 's/^Pages: *//p')" = 3
expect "nothing written beside the programs" test "$(ls "$here/bin")" = "$(printf 'tabrik\nzrk')"

# A C program built with the prefix's pkg-config output, and one with its
# CMake package, reach the library: a missing form is -1 with its message.
pc() { PKG_CONFIG_LIBDIR="$here/$libdir/pkgconfig" PKG_CONFIG_SYSROOT_DIR="$root" pkg-config "$@"; }
expect "pkg-config version" test "$(pc --modversion zrk)" = "$version"
# shellcheck disable=SC2046,SC2086
cc ${ZRK_TEST_CFLAGS:-} "$examples/print_form.c" $(pc --cflags --libs zrk) -o "$tmp/print_form"
expect "C program builds with pkg-config" test $? -eq 0
LD_LIBRARY_PATH="$here/$libdir" "$tmp/print_form" "$tmp/none.zrk" "$examples/invoice.dat" >"$tmp/out" 2>"$tmp/err"
expect "missing form is -1" test "$(cat "$tmp/out")" = "ZRK_Print: -1"
expect "missing form message" grep -q '帳票パラメータがオープンできません' "$tmp/err"

# The README shows the same program.
sed -n '/^```c$/,/^```$/p' "$source_dir/README.md" | sed '1d;$d' >"$tmp/readme.c"
expect "README's C example is the installed one" sh -c "tail -n +4 '$examples/print_form.c' | cmp -s - '$tmp/readme.c'"

mkdir -p "$tmp/caller"
cp "$examples/print_form.c" "$tmp/caller/"
cat >"$tmp/caller/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.25)
project(caller C)
find_package(ZRK 1 REQUIRED)
add_executable(print_form print_form.c)
target_link_libraries(print_form PRIVATE ZRK::ZRK)
EOF
{ cmake -S "$tmp/caller" -B "$tmp/caller/build" -DCMAKE_PREFIX_PATH="$here" -DCMAKE_C_FLAGS="${ZRK_TEST_CFLAGS:-}" &&
  cmake --build "$tmp/caller/build"; } >"$tmp/caller.log" 2>&1 || shown "$tmp/caller.log"
expect "C program builds with find_package(ZRK)" test $? -eq 0
LD_LIBRARY_PATH="$here/$libdir" "$tmp/caller/build/print_form" "$tmp/none.zrk" "$examples/invoice.dat" >"$tmp/out" 2>/dev/null
expect "find_package program: missing form is -1" test "$(cat "$tmp/out")" = "ZRK_Print: -1"

# Desktop integration: the entry validates and opens form files; *.zrk is
# the form type once the MIME database is built.
expect "desktop entry validates" desktop-file-validate "$here/share/applications/tabrik.desktop"
expect "desktop entry opens forms" grep -qx 'MimeType=application/x-tabrik-form;' "$here/share/applications/tabrik.desktop"
mkdir -p "$tmp/data"
cp -r "$here/share/mime" "$tmp/data/mime"
XDG_DATA_DIRS="$tmp/data" update-mime-database "$tmp/data/mime" 2>"$tmp/mime.err"
expect "MIME description read without complaint" test ! -s "$tmp/mime.err"
cat "$tmp/mime.err"
expect "*.zrk is a form" grep -q '^[0-9]*:application/x-tabrik-form:\*\.zrk$' "$tmp/data/mime/globs2"

# Both man pages render without a warning.
for page in zrk tabrik; do
  MANWIDTH=80 man --warnings -l "$here/share/man/man1/$page.1.gz" >/dev/null 2>"$tmp/man.err"
  expect "man $page renders" test $? -eq 0
  expect "man $page without warnings" test ! -s "$tmp/man.err"
  cat "$tmp/man.err"
done

# The man page and the completion know every command and option zrk has.
manual=$(zcat "$here/share/man/man1/zrk.1.gz" | sed 's/\\-/-/g')
completion="$here/share/bash-completion/completions/zrk"
complete_line() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _zrk
    ((${#COMPREPLY[@]} == 0)) || printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" zrk "$@" 2>/dev/null |
    LC_ALL=C sort | tr '\n' ' '
}
commands=$("$here/bin/zrk" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z]*\) .*/\1/p')
expect "commands listed" test "$(echo "$commands" | wc -w)" -ge 5
for command in $commands; do
  expect "man: command $command" grep -q "^\.BI\? $command\b" <<<"$manual"
  expect "completion: command $command" grep -qw -- "$command" <<<"$(complete_line "")"
  for option in $("$here/bin/zrk" "$command" --help | grep -o '^ *\(-[a-z], \)\?--[a-z-]*' | grep -o -- '--[a-z-]*'); do
    expect "man: $command $option" grep -q -- "^\.B[IR]\? .*$option\b" <<<"$manual"
    expect "completion: $command $option" grep -q -- " $option " <<<" $(complete_line "$command" --)"
  done
done

# Values and files as the cursor's place asks for them.
mkdir -p "$tmp/files/sub"
touch "$tmp/files/a.zrk" "$tmp/files/B.ZRK" "$tmp/files/c.dat" "$tmp/files/d.pdf" "$tmp/files/e.png" "$tmp/files/f.csv"
cd "$tmp/files" || exit 1
while IFS='|' read -r words expected; do
  # shellcheck disable=SC2086
  expect "completes '$words'" test "$(complete_line $words '')" = "$expected"
done <<'EOF'
inspect --variant|designer preview print 
print --paper|A3 A4 A5 B4 B5 
view --data-encoding|auto sjis utf-8 
print --offset 1,1 --data-encoding utf-8 a.zrk|c.dat f.csv sub 
check|B.ZRK a.zrk sub 
print a.zrk|c.dat f.csv sub 
print --dpi 300 a.zrk|c.dat f.csv sub 
print a.zrk c.dat --pdf|d.pdf sub 
print a.zrk c.dat --png|e.png sub 
format a.zrk|B.ZRK a.zrk sub 
view --control|
EOF
cd "$tmp" || exit 1

finish
