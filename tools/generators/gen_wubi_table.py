#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Generate the Wubi code table from Rime's wubi86 dictionary.

Writes wubi_table.txt into the output directory (default: engine/tables of
this repository): lines "code|character" joined by CR LF with none after
the last.  Source: wubi86.dict.yaml of Debian's rime-data-wubi package.

Usage: gen_wubi_table.py [OUTPUT_DIR] [WUBI86_DICT_YAML]
"""

import os
import sys

DEFAULT_SOURCE = "/usr/share/rime-data/wubi86.dict.yaml"

# Characters outside GB2312 that the table covers as well.
EXTRA_CHARACTERS = ["珮", "镕"]

# Lines moved to the end of the table, in this order.
LAST_CHARACTERS = ["议", "廊", "谇"]

# Codes starting with "z" are Rime's pinyin-lookup and symbol entries, not
# Wubi codes.
EXCLUDED_PREFIX = "z"


def gb2312_hanzi():
    """The level 1 and 2 hanzi of GB2312, in GB2312 order."""
    chars = []
    for row in range(0xB0, 0xF8):
        for cell in range(0xA1, 0xFF):
            try:
                chars.append(bytes([row, cell]).decode("gb2312"))
            except UnicodeDecodeError:
                pass  # unassigned cells at the end of row 0xD7
    return chars


def parse_dictionary(path):
    """character -> list of (code, weight) of its single-character entries."""
    codes = {}
    in_body = False
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not in_body:
                in_body = line == "..."
                continue
            if not line or line.startswith("#"):
                continue
            cols = line.split("\t")
            if len(cols) < 2 or len(cols[0]) != 1:
                continue
            weight = float(cols[2]) if len(cols) > 2 and cols[2] else 0
            codes.setdefault(cols[0], []).append((cols[1], weight))
    return codes


def best_code(entries):
    usable = [(len(code), weight, code) for code, weight in entries
              if not code.startswith(EXCLUDED_PREFIX)]
    if not usable:
        return None
    # Longest first, then the heaviest; max() keeps the first on a full tie.
    return max(usable, key=lambda u: (u[0], u[1]))[2]


def build_lines(codes):
    characters = gb2312_hanzi() + EXTRA_CHARACTERS
    missing = []
    rows = []
    for ch in characters:
        code = best_code(codes.get(ch, []))
        if code is None:
            missing.append(ch)
        else:
            rows.append((code, ch))
    if missing:
        raise SystemExit("no Wubi code for: " + " ".join(missing))
    last = [r for ch in LAST_CHARACTERS for r in rows if r[1] == ch]
    rest = sorted((r for r in rows if r[1] not in LAST_CHARACTERS),
                  key=lambda r: (r[0], ord(r[1])))
    return rest + last


def default_output_dir():
    return os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(
        os.path.abspath(__file__)))), "engine", "tables")


def main(argv):
    out_dir = argv[1] if len(argv) > 1 else default_output_dir()
    source = argv[2] if len(argv) > 2 else DEFAULT_SOURCE
    if not os.path.exists(source):
        print(f"{source} not found: apt-get install rime-data-wubi",
              file=sys.stderr)
        return 2
    rows = build_lines(parse_dictionary(source))
    text = "\r\n".join(f"{code}|{ch}" for code, ch in rows)
    os.makedirs(out_dir, exist_ok=True)
    data = text.encode("utf-8")
    with open(os.path.join(out_dir, "wubi_table.txt"), "wb") as f:
        f.write(data)
    short = sum(1 for code, _ in rows if len(code) == 3)
    print(f"wubi_table.txt: {len(rows)} lines ({short} with 3 letters), "
          f"{len(data)} UTF-8 bytes, {len(text.encode('gbk'))} GBK bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
