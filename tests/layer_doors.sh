#!/usr/bin/env bash
# Fails when a folder includes a header of a layer it may not use: each layer
# talks to the one below through its door only, and only platform/qt/ sees a
# toolkit. Run by ctest from the source folder.
set -u
cd "$(dirname "$0")/.."

# folder: the folders whose headers it may include (besides its own)
declare -A allowed=(
  [platform]="platform"
  [runtime]="platform"
  [regex]="runtime platform"
  [window]="runtime platform"
  [engine]="runtime constants"
  [ui]="engine runtime constants"
  [words]="runtime platform constants"
  [tools]="platform"
  [fulltext]=""
)

status=0
for folder in "${!allowed[@]}"; do
  [ -d "$folder" ] || continue
  permitted=" $folder ${allowed[$folder]} "
  while IFS=: read -r file line include; do
    target=$(sed -E 's/.*#include +"([^/"]+)\/.*/\1/' <<<"$include")
    [ "$target" = "$include" ] && continue  # a header beside the file
    case "$permitted" in
      *" $target "*) ;;
      *) echo "$file:$line: $folder/ may not include $target/ headers"; status=1 ;;
    esac
  done < <(grep -rn --include='*.h' --include='*.cpp' -E '^#include +"' "$folder" | grep -v '^platform/qt/')
done

# The toolkit and the display server stay behind the platform's backend seam.
while IFS= read -r hit; do
  echo "$hit: only platform/qt/ may include Qt or X11 headers"
  status=1
done < <(grep -rn --include='*.h' --include='*.cpp' -E '#include +<(Q[A-Za-z]+|qt[a-z]*/|X11/)' \
  platform runtime regex window engine ui app tools fulltext 2>/dev/null | grep -v '^platform/qt/')

[ $status -eq 0 ] && echo "layer doors kept"
exit $status
