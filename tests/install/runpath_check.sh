#!/usr/bin/env bash
# Every program and shared library under the given folders (or the given
# files) searches only absolute folders or folders relative to itself
# ($ORIGIN) for its libraries. The dynamic loader reads an empty run-path
# element, or a relative one, against the current folder: a library planted
# where the user starts the program would be loaded into it. Usage:
# runpath_check.sh FOLDER-OR-FILE...
set -u
if ! command -v readelf >/dev/null; then
  echo "SKIP: readelf is not installed (binutils)"
  exit 77
fi

checked=0
bad=0
elves=0
# Reads one file's RPATH and RUNPATH and reports every element that is
# neither absolute nor $ORIGIN-based.
check_file() {
  local file="$1" value elements element
  while IFS= read -r value; do
    checked=$((checked + 1))
    IFS=':' read -r -a elements <<<"$value"
    # read -a drops one trailing empty field: "a:" gives "a" alone.
    [[ "$value" == *: ]] && elements+=("")
    [[ -z "$value" ]] && elements=("")
    for element in "${elements[@]}"; do
      # shellcheck disable=SC2016 # the loader's token, not a shell variable
      case "$element" in
        /* | '$ORIGIN' | '$ORIGIN/'* | '${ORIGIN}' | '${ORIGIN}/'*) ;;
        *)
          echo "FAILED: $file: run path [$value] has the element '${element}', read against the current folder"
          bad=$((bad + 1))
          ;;
      esac
    done
  done < <(readelf -d "$file" 2>/dev/null | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]$/\2/p')
  elves=$((elves + 1))
}

is_elf() { [ "$(head -c 4 "$1" 2>/dev/null | od -An -tx1 | tr -d ' \n')" = 7f454c46 ]; }

for place in "$@"; do
  # Programs are executable; shared libraries end in .so or .so.N.
  while IFS= read -r -d '' file; do
    is_elf "$file" && check_file "$file"
  done < <(find "$place" -type f \( -perm -u+x -o -name '*.so' -o -name '*.so.*' \) ! -name '*.o' -print0)
done
echo "$elves ELF files read, $checked run paths, $bad unsafe elements"
if [ "$elves" -eq 0 ]; then
  echo "FAILED: no program or library found under $*"
  exit 1
fi
[ "$bad" -eq 0 ]
