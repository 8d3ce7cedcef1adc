#!/usr/bin/env bash
# Builds the .deb: scripts/package.sh [OUT_FOLDER] (default out/). Reuses the
# build folder (build/, or $BUILD_DIR) and builds what is missing, then runs
# CPack's DEB generator; Depends comes from dpkg-shlibdeps and the packaging
# rules in packaging/CMakeLists.txt. Prints the path of the .deb.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${BUILD_DIR:-build}"
out_dir="$(mkdir -p "${1:-out}" && cd "${1:-out}" && pwd)"
for tool in dpkg-shlibdeps dpkg-deb cpack; do
  command -v "$tool" >/dev/null || { echo "package.sh: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
if [ -f "$build_dir/CMakeCache.txt" ] && grep -q '^ZRK_SANITIZE:BOOL=ON' "$build_dir/CMakeCache.txt"; then
  echo "package.sh: $build_dir is a sanitizer build; give BUILD_DIR of a plain one" >&2
  exit 1
fi
BUILD_DIR="$build_dir" scripts/build.sh >&2
staging="$build_dir/_package"
rm -rf "$staging"
cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$staging" >"$staging.log" 2>&1 || {
  cat "$staging.log" >&2
  exit 1
}
deb=$(find "$staging" -maxdepth 1 -name '*.deb' -print -quit)
[ -n "$deb" ] || { echo "package.sh: CPack wrote no .deb" >&2; exit 1; }
mv -f "$deb" "$out_dir/"
rm -rf "$staging"
echo "$out_dir/$(basename "$deb")"
