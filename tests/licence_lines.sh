#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every source file the project tracks names its licence in one of its first
# three lines, so a file copied out of the tree still says under what terms.
set -u
cd "$(dirname "$0")/.."
missing=0
while IFS= read -r file; do
  case "$file" in
    *.cpp | *.h | *.py | *.sh | *.mjs | *.list | *.tmpl | *.cmake | CMakeLists.txt | */CMakeLists.txt | .ci/run) ;;
    *) continue ;;
  esac
  if ! head -n 3 "$file" | grep -q 'SPDX-License-Identifier: GPL-3.0-or-later'; then
    echo "no licence line: $file"
    missing=1
  fi
done < <(git ls-files 2>/dev/null || find . -type f -not -path './build/*' | sed 's|^\./||')
exit $missing
