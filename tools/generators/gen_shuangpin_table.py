#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Generate the shuangpin key table.

Writes shuangpin_table.txt into the output directory (default:
engine/tables of this repository): one line per key, the key followed by
each syllable part it types, every part preceded by "|"; lines joined by
CR LF with none after the last.

Usage: gen_shuangpin_table.py [OUTPUT_DIR]
"""

import os
import sys

# Key -> the initials and finals it types besides the key letter itself.
# Order matters: the converter scans rows from the last, so "v" (ü) in the
# y row wins over the v key's own letter.
ROWS = [
    ("a", []), ("b", ["ou"]), ("c", ["iao"]), ("d", ["uang", "iang"]),
    ("e", []), ("f", ["en"]), ("g", ["eng"]), ("h", ["ang"]), ("i", ["ch"]),
    ("j", ["an"]), ("k", ["ao"]), ("l", ["ai"]), ("m", ["ian"]),
    ("n", ["in"]), ("o", ["uo"]), ("p", ["un"]), ("q", ["iu"]),
    ("r", ["er", "uan"]), ("s", ["ong", "iong"]), ("t", ["ue"]),
    ("u", ["sh"]), ("v", ["zh", "ui"]), ("w", ["ua", "ia"]), ("x", ["ie"]),
    ("y", ["v", "uai"]), ("z", ["ei"]), (";", ["ing"]),
]


def table_text():
    return "\r\n".join("|".join([key] + parts) for key, parts in ROWS)


def default_output_dir():
    return os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(
        os.path.abspath(__file__)))), "engine", "tables")


def main(argv):
    out_dir = argv[1] if len(argv) > 1 else default_output_dir()
    os.makedirs(out_dir, exist_ok=True)
    text = table_text()
    data = text.encode("utf-8")
    with open(os.path.join(out_dir, "shuangpin_table.txt"), "wb") as f:
        f.write(data)
    print(f"shuangpin_table.txt: {len(ROWS)} lines, {len(data)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
