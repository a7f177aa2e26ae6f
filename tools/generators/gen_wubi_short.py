#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Generate the Wubi 86 short codes (简码) of --wubi=short.

Writes words/tables/wubi_short.txt (or into the directory named on the
command line): "<character> <code>" a line, UTF-8, in character order, for
the characters whose short code is shorter than their full code.

Rules:
- The source is wubi86.dict.yaml of Debian's rime-data-wubi (LGPL-3), the
  dictionary the full codes of engine/tables/wubi_table.txt come from; its
  single-character entries, without the "z" codes (pinyin look-up).
- A character's full code is its longest code, the heaviest of equals, as
  gen_wubi_table.py takes it.
- Its short code is the shortest other code listed for it under which it
  comes first, the heaviest of the characters listed with that code: what a
  typist types, then the space bar. The one-letter codes are the 25 一级简码
  (的 r, 是 j, 中 k), one for each key by frequency, whatever the full code
  (我 q, 有 e, 不 i); the two- and three-letter ones, the 二级简码 and the
  三级简码 where the character leads, must begin the full code (经 xc is
  经's, but 经 is also x; 我 trn).
- Only characters U+4E00 to U+9FA5 (the ones the converters read).

Usage: gen_wubi_short.py [OUTPUT_DIR] [WUBI86_DICT_YAML]
"""
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_wubi_table  # noqa: E402

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def short_codes(codes):
    """character -> short code, where shorter than the full code."""
    leader = {}  # code -> (weight, character) of the heaviest character
    for han, entries in codes.items():
        for code, weight in entries:
            if not code.startswith(gen_wubi_table.EXCLUDED_PREFIX):
                leader[code] = max(leader.get(code, (weight, han)), (weight, han))
    short = {}
    for han, entries in codes.items():
        if not "\u4e00" <= han <= "\u9fa5":
            continue
        full = gen_wubi_table.best_code(entries)
        if full is None:
            continue
        for code in sorted({c for c, _ in entries}, key=len):
            if (len(code) < len(full) and (len(code) == 1 or full.startswith(code))
                    and leader[code][1] == han):
                short[han] = code
                break
    return short


def main(argv):
    out_dir = argv[1] if len(argv) > 1 else os.path.join(REPO, "words", "tables")
    source = argv[2] if len(argv) > 2 else gen_wubi_table.DEFAULT_SOURCE
    if not os.path.exists(source):
        print(f"{source} not found: apt-get install rime-data-wubi", file=sys.stderr)
        return 2
    short = short_codes(gen_wubi_table.parse_dictionary(source))
    os.makedirs(out_dir, exist_ok=True)
    with open(os.path.join(out_dir, "wubi_short.txt"), "w", encoding="utf-8", newline="\n") as f:
        for han in sorted(short):
            f.write(f"{han} {short[han]}\n")
    by_length = [sum(1 for c in short.values() if len(c) == n) for n in (1, 2, 3)]
    print("wubi_short.txt: %d characters (%d, %d, %d with 1, 2, 3 letters)"
          % (len(short), *by_length))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
