#!/usr/bin/env bash
# Checks that every include of a project header names its folder from the
# source root and points down the map below: a folder may include itself and
# the folders listed for it, nothing else. Tests, benchmarks and fuzz targets
# may include any folder.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [formdesc]=""
  [platform]="formdesc"
  [render]="platform formdesc"
  [runtime/include]=""
  [runtime/data]="formdesc"
  [runtime/compose]="runtime/data render platform formdesc"
  [runtime/print]="runtime/compose runtime/data runtime/include render platform formdesc"
  [runtime/preview]="runtime/print runtime/compose runtime/data runtime/include render platform formdesc"
  [runtime/lib]="runtime/include runtime/preview runtime/print runtime/compose runtime/data render platform formdesc"
  [runtime/cli]="runtime/include runtime/preview runtime/print runtime/compose runtime/data render platform formdesc"
  [editor/document]="render platform formdesc"
  [editor/widgets]="platform formdesc"
  [editor/canvas]="editor/document render platform formdesc"
  [editor/sheets]="editor/widgets editor/document render platform formdesc"
  [editor/papers]="editor/canvas editor/widgets editor/document render platform formdesc"
  [editor/shell]="editor/papers editor/sheets editor/canvas editor/widgets editor/document render platform formdesc"
)
# Headers of a folder that others may include (the rest are its own).
declare -A entry=(
  [editor/sheets]="editor/sheets/PropertySheets.h"
  [editor/papers]="editor/papers/DesignSheetDialog.h editor/papers/EntrySheetDialog.h editor/papers/SheetCommand.h"
)

status=0
while IFS= read -r file; do
  folder=$(dirname "$file")
  [ -n "${allowed[$folder]+x}" ] || continue
  while IFS=: read -r line target; do
    target_folder=$(dirname "$target")
    if [ "$target_folder" = "." ]; then
      [ -f "$folder/$target" ] || [ -f "$target" ] || continue # generated (Version.h) or moc output
      echo "$file:$line: #include \"$target\" does not name its folder from the source root"
      status=1
      continue
    fi
    [ -d "$target_folder" ] || continue
    [ "$target_folder" = "$folder" ] && continue
    if [[ " ${allowed[$folder]} " != *" $target_folder "* ]]; then
      echo "$file:$line: $folder may not include $target"
      status=1
    elif [ -n "${entry[$target_folder]+x}" ] && [[ " ${entry[$target_folder]} " != *" $target "* ]]; then
      echo "$file:$line: $target is inside $target_folder; include its entry header"
      status=1
    fi
  done < <(grep -n '^#include "' "$file" | sed 's/^\([0-9]*\):#include "\([^"]*\)".*/\1:\2/')
done < <(git ls-files --cached --others --exclude-standard -- '*.h' '*.cpp' '*.c')
[ "$status" -eq 0 ] && echo "includes: every one follows the map"
exit "$status"
