#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Braille back into characters, measured by a round trip: a text's Chinese
# characters -> braille -> characters, compared one by one (bench/back_roundtrip),
# for Molvane's decoder and, on the same lines, for liblouis's own
# back-translation of its Chinese tables (Debian liblouis-bin).
#
# Usage: bench/back_roundtrip.sh BUILD_DIR [TEXT...]
#   default texts: fortunes-zh's chinese, samples/passage.txt and, with Debian's
#   manpages-zh installed, the modern prose of its section 8 pages (every
#   text line of at least 15 Chinese characters, troff requests and font
#   changes left out). None of them is in the decoder's data.
set -eu
build=${1:?usage: back_roundtrip.sh BUILD_DIR [TEXT...]}
shift
here=$(cd "$(dirname "$0")" && pwd)
tool="$build/bench/back_roundtrip"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if [ $# -eq 0 ]; then
  set -- /usr/share/games/fortunes/chinese "$here/../samples/passage.txt"
  if [ -d /usr/share/man/zh_CN/man8 ]; then
    python3 - "$scratch/manpages-zh-man8.txt" <<'PY'
import glob, gzip, re, sys
with open(sys.argv[1], "w", encoding="utf-8") as out:
    for page in sorted(glob.glob("/usr/share/man/zh_CN/man8/*.gz")):
        for line in gzip.open(page).read().decode("utf-8", "replace").split("\n"):
            if line.startswith((".", "'")):
                continue
            line = re.sub(r"\\f[BIRP]", "", line)
            if len(re.findall("[\u4e00-\u9fa5]", line)) >= 15:
                out.write(line + "\n")
PY
    set -- "$@" "$scratch/manpages-zh-man8.txt"
  fi
fi

for text in "$@"; do
  echo "## $text"
  "$tool" "$text"
  if command -v lou_translate >/dev/null; then
    "$tool" --han "$text" >"$scratch/han.txt"
    for table in zhcn-cbs.ctb zh-chn.ctb zhcn-g1.ctb; do
      lou_translate --forward "$table" <"$scratch/han.txt" 2>/dev/null >"$scratch/braille.txt"
      lou_translate --backward "$table" <"$scratch/braille.txt" 2>/dev/null >"$scratch/back.txt"
      printf 'liblouis %s: ' "$table"
      "$tool" --compare "$scratch/han.txt" "$scratch/back.txt"
    done
  fi
done
