#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A poem's ruby page opened in a real browser: Chromium parses it with every
# character in <ruby> and its pinyin in <rt>, and draws it. The screenshot is
# kept in the build folder to be looked at.
#   ruby_in_browser.sh MOLVANE_CONVERT OUTPUT_DIR
# Exit 77 (skipped) only when Chromium is installed but cannot start here.
set -euo pipefail
convert=$1
out=$2
mkdir -p "$out"
command -v chromium >/dev/null || { echo "chromium is not installed (scripts/deps.sh)"; exit 1; }

printf '静夜思\n床前明月光，疑是地上霜。\n举头望明月，低头思故乡。\n<李白 & 杜甫>\n' |
  "$convert" -n pinyin --format=ruby > "$out/poem.html"

browser=(chromium --headless --no-sandbox --disable-gpu --no-first-run --user-data-dir="$out/profile")
if ! timeout 60 "${browser[@]}" --dump-dom "file://$out/poem.html" > "$out/poem.dom" 2> "$out/browser.log"; then
  echo "chromium could not start here; its log:"
  tail -5 "$out/browser.log"
  exit 77
fi
# The browser's own parse: 27 characters with their pinyin above them, the
# signs HTML gives a meaning to still text.
python3 - "$out/poem.dom" <<'PY'
import re, sys
dom = open(sys.argv[1], encoding="utf-8").read()
pairs = re.findall(r"<ruby>(.)<rt>([^<]+)</rt></ruby>", dom)
assert len(pairs) == 27, pairs
assert pairs[0] == ("静", "jìng") and pairs[-1] == ("甫", "fǔ"), pairs
assert "&lt;" in dom and "&amp;" in dom and "&gt;" in dom, dom
assert dom.count("<br>") == 4, dom
PY

timeout 60 "${browser[@]}" --window-size=900,500 --screenshot="$out/poem.png" \
  "file://$out/poem.html" >> "$out/browser.log" 2>&1
# Something was drawn: some rows of the picture hold more than the white page.
python3 - "$out/poem.png" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
at, idat, width, height, channels = 8, b"", 0, 0, 0
while at < len(data):
    length, kind = struct.unpack(">I4s", data[at:at + 8])
    body = data[at + 8:at + 8 + length]
    if kind == b"IHDR":
        width, height, depth, colour = struct.unpack(">IIBB", body[:10])
        channels = {2: 3, 6: 4}[colour]
    elif kind == b"IDAT":
        idat += body
    at += 12 + length
pixels = zlib.decompress(idat)
stride = width * channels + 1
inked = sum(1 for r in range(height)
            if any(b not in (0, 255) for b in pixels[r * stride + 1:(r + 1) * stride]))
assert inked > 60, "only %d rows hold ink" % inked
print("%d of %d rows hold ink" % (inked, height))
PY
echo "screenshot: $out/poem.png"
