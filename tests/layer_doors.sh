#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
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
  [cbs]="words fulltext platform"
  [back]="cbs words fulltext platform"
  [tools]="platform"
  [fulltext]=""
  [layout]=""
  # app/ (the executables and their libraries, app/window/ among them) may
  # use every layer below it, so it has no row.
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

# Program code names the libraries of its program header's table by
# descriptors declared by hand, as an import would, since it may include
# none of their headers. Such a declaration must be one that the library's
# door header publishes under the same name; nothing else of a library below
# may be declared by hand.
while IFS=$'\t' read -r file line space declaration; do
  case $space in molvane | "") continue ;; esac
  name=$(sed -nE 's/^extern const LibraryDescriptor (k[A-Za-z]+);$/\1/p' <<<"$declaration")
  if [ -z "$name" ] || [ ! -d "$space" ] ||
    ! grep -qs -- "^extern const LibraryDescriptor $name;" "$space"/*.h; then
    echo "$file:$line: $space::${name:-$declaration} is not a library descriptor that $space/ publishes"
    status=1
  fi
done < <(find engine ui -name '*.h' -o -name '*.cpp' | sort | xargs awk '
  FNR == 1 { depth = 0 }
  /^namespace [A-Za-z_:]* *\{/ { names[++depth] = $2 == "{" ? "" : $2 }
  /^}  \/\/ namespace/ { depth-- }
  /^extern / { sub(/ *\/\/.*/, ""); printf "%s\t%d\t%s\t%s\n", FILENAME, FNR, names[depth], $0 }')

# A backend (platform/headless/, platform/qt/) sees the core through the
# seam only: backend.h and the Win32 door, never the core's own records.
while IFS=: read -r file line include; do
  header=$(sed -E 's/.*#include +"([^"]+)".*/\1/' <<<"$include")
  case $header in
    platform/backend.h | platform/platform.h | platform/win32.h) ;;
    "$(cut -d/ -f1-2 <<<"$file")"/*) ;;  # its own folder
    platform/*)
      echo "$file:$line: a backend may include only the seam (platform/backend.h) and the Win32 door"
      status=1
      ;;
  esac
done < <(grep -rn --include='*.h' --include='*.cpp' -E '^#include +"' platform/headless platform/qt 2>/dev/null)

# The toolkit and the display server stay behind the platform's backend seam.
while IFS= read -r hit; do
  echo "$hit: only platform/qt/ may include Qt or X11 headers"
  status=1
done < <(grep -rn --include='*.h' --include='*.cpp' -E '#include +<(Q[A-Za-z]+|qt[a-z]*/|X11/)' \
  platform runtime regex window engine ui app tools fulltext layout words 2>/dev/null | grep -v '^platform/qt/')

[ $status -eq 0 ] && echo "layer doors kept"
exit $status
