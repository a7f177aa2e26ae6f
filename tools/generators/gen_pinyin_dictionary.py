#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Generate the character-to-pinyin dictionary from Unihan.

Writes pinyin_dictionary.txt into the output directory (default:
engine/tables of this repository): entries "<character><letters><tone>"
joined by "," with no line break.  Source: Unihan_Readings.txt from
Debian's unicode-data package (plain, .bz2, or inside Unihan.zip).

Usage: gen_pinyin_dictionary.py [OUTPUT_DIR] [UNIHAN_READINGS]
"""

import bz2
import collections
import io
import os
import sys
import unicodedata
import zipfile

# The syllable inventory lives with the braille layout; no .pyc in tools/.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_braille_tables  # noqa: E402

SOURCE_CANDIDATES = [
    "/usr/share/unicode/Unihan_Readings.txt",
    "/usr/share/unicode/Unihan_Readings.txt.bz2",
    "/usr/share/unicode/Unihan.zip",
]

FIRST_CODE_POINT = 0x4E00
LAST_CODE_POINT = 0x9FA5

# Fields in order of preference.  The dictionary-keyed fields carry
# "location:reading,reading" groups separated by spaces.
PLAIN_FIELD = "kMandarin"
KEYED_FIELDS = ["kHanyuPinyin", "kXHC1983", "kTGHZ2013"]

# Entries pinned at the start and at the end of the text, in this order.
FIRST_ENTRIES = [
    ("吖", "a", "1"), ("阿", "a", "1"), ("啊", "a", "1"), ("锕", "a", "1"),
    ("錒", "a", "1"), ("嗄", "a", "2"), ("厑", "ei", "0"), ("哎", "ai", "1"),
    ("哀", "ai", "1"), ("唉", "ai", "1"), ("埃", "ai", "1"), ("挨", "ai", "1"),
]
LAST_ENTRIES = [
    ("孀", "shuang", "1"), ("孇", "shuang", "1"), ("騻", "shuang", "1"),
    ("焋", "zhuang", "4"), ("幢", "zhuang", "4"), ("撞", "zhuang", "4"),
    ("隹", "zhui", "1"), ("傱", "shuan", "3"),
]

# The one reading the converters give for these polyphonic characters.
PINNED_READINGS = [
    ("行", "hang", "2"), ("长", "zhang", "3"), ("的", "de", "0"),
    ("了", "le", "0"), ("着", "zhe", "0"), ("谁", "shui", "2"),
    ("八", "ba", "1"), ("女", "nv", "3"), ("呗", "bei", "0"),
    ("黑", "hei", "1"), ("累", "lei", "4"),
]

# Combining tone marks after NFD.
TONE_MARKS = {"\u0304": "1", "\u0301": "2", "\u030C": "3", "\u0300": "4"}
DIAERESIS = "\u0308"
CIRCUMFLEX = "\u0302"

# "jun" keeps a second tone digit for tones 1 and 4.
TWO_DIGIT_TONES = {("jun", "1"): "10", ("jun", "4"): "40"}


def find_source():
    for path in SOURCE_CANDIDATES:
        if os.path.exists(path):
            return path
    return None


def read_source(path):
    if path.endswith(".bz2"):
        with bz2.open(path, "rt", encoding="utf-8") as f:
            return f.read()
    if path.endswith(".zip"):
        with zipfile.ZipFile(path) as z:
            name = next(n for n in z.namelist()
                        if os.path.basename(n) == "Unihan_Readings.txt")
            return io.TextIOWrapper(z.open(name), encoding="utf-8").read()
    with open(path, encoding="utf-8") as f:
        return f.read()


def parse_fields(text):
    """code point -> {field: value} for the fields used here."""
    wanted = {PLAIN_FIELD, *KEYED_FIELDS}
    fields = collections.defaultdict(dict)
    for line in text.splitlines():
        if not line.startswith("U+"):
            continue
        cp, field, value = line.split("\t", 2)
        if field in wanted:
            fields[int(cp[2:], 16)][field] = value
    return fields


def candidate_readings(record):
    readings = list(record.get(PLAIN_FIELD, "").split())
    for field in KEYED_FIELDS:
        for group in record.get(field, "").split():
            readings.extend(r for r in group.split(":", 1)[1].split(",") if r)
    return readings


def normalize(reading):
    """Accented reading -> (letters, tone digit)."""
    tone = "0"
    letters = []
    for ch in unicodedata.normalize("NFD", reading):
        if ch in TONE_MARKS:
            tone = TONE_MARKS[ch]
        elif ch == DIAERESIS:
            if letters and letters[-1] == "u":
                letters[-1] = "v"
        elif ch == CIRCUMFLEX:
            pass  # ê is written e
        else:
            letters.append(ch)
    spelled = "".join(letters)
    spelled = spelled.replace("lve", "lue").replace("nve", "nue")
    return spelled, tone


def build_entries(fields):
    syllables = set(gen_braille_tables.syllables())
    pinned = {ch for ch, _, _ in FIRST_ENTRIES + LAST_ENTRIES}
    fixed = {ch: (letters, tone) for ch, letters, tone in PINNED_READINGS}
    middle = []
    for cp in range(FIRST_CODE_POINT, LAST_CODE_POINT + 1):
        ch = chr(cp)
        if ch in pinned:
            continue
        if ch in fixed:
            reading = fixed[ch]
        else:
            reading = next((r for r in map(normalize,
                                            candidate_readings(fields[cp]))
                            if r[0] in syllables), None)
            if reading is None:
                continue
        letters, tone = reading
        tone = TWO_DIGIT_TONES.get((letters, tone), tone)
        middle.append((ch, letters, tone))
    middle.sort(key=lambda e: (e[1], e[2], ord(e[0])))
    return FIRST_ENTRIES + middle + LAST_ENTRIES


def dictionary_text(entries):
    return ",".join(ch + letters + tone for ch, letters, tone in entries)


def default_output_dir():
    return os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(
        os.path.abspath(__file__)))), "engine", "tables")


def main(argv):
    out_dir = argv[1] if len(argv) > 1 else default_output_dir()
    source = argv[2] if len(argv) > 2 else find_source()
    if source is None or not os.path.exists(source):
        print("Unihan_Readings.txt not found: apt-get install unicode-data",
              file=sys.stderr)
        return 2
    entries = build_entries(parse_fields(read_source(source)))
    text = dictionary_text(entries)
    chars = [ch for ch, _, _ in entries]
    assert len(chars) == len(set(chars)), "a character occurs twice"
    not_gbk = []
    for ch in chars:
        try:
            ch.encode("gbk")
        except UnicodeEncodeError:
            not_gbk.append(ch)
    if not_gbk:
        print("not GBK-encodable: " + " ".join(
            f"U+{ord(c):04X}" for c in not_gbk), file=sys.stderr)
        return 1
    os.makedirs(out_dir, exist_ok=True)
    data = text.encode("utf-8")
    with open(os.path.join(out_dir, "pinyin_dictionary.txt"), "wb") as f:
        f.write(data)
    tones = collections.Counter(tone for _, _, tone in entries)
    print(f"pinyin_dictionary.txt: {len(entries)} entries, "
          f"{len({e[1] for e in entries})} syllables, {len(data)} UTF-8 "
          f"bytes, {len(text.encode('gbk'))} GBK bytes, {len(text)} chars")
    print("tones: " + ", ".join(f"{t}={n}" for t, n in sorted(tones.items())))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
