#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Cross-check the five constant tables against each other.

Reads the tables from TABLE_DIR (default: engine/tables of this repository)
and checks what the converters rely on: every character once, every
dictionary syllable found in both braille tables and typable in shuangpin,
the braille tables in step, and the sizes the program is built with.
Needs no Debian package, so it also runs on the committed files alone.

Usage: verify_tables.py [TABLE_DIR]
"""

import collections
import os
import re
import sys

HAN = "\u4e00-\u9fa5"

EXPECTED_DICTIONARY_ENTRIES = 20888
EXPECTED_WUBI_LINES = 6765
EXPECTED_WUBI_THREE_LETTER = 832
EXPECTED_SYLLABLES = 409
EXPECTED_CURRENT_LINES = 430
EXPECTED_CURRENT_GBK_BYTES = 5559
EXPECTED_DOUBLE_GBK_BYTES = 5220
EXPECTED_SHUANGPIN_BYTES = 185

CURRENT_SAMPLES = ["12-35=ba", "1245-346=ju", "145-256=dong", "34=zhi",
                   "1345-346=nv"]
DOUBLE_SAMPLES = ["23456-245=a", "25-14=you", "346-15=dong", "156-12=ju",
                  "14-12=zhi", "123456-24=nue", "24-12=bu", "235-125=fiao",
                  "35-245=er"]
WUBI_SAMPLES = {"中": "khk", "国": "lgyi", "汉": "icy", "字": "pbf",
                "的": "rqyy", "了": "bnh", "是": "jghu", "我": "trnt",
                "爱": "epdc", "工": "aaaa", "宋": "psu", "么": "tcu",
                "丶": "yyll", "讠": "yyn", "慝": "aadn", "葚": "aadn"}
DICTIONARY_SAMPLES = ["行hang2", "长zhang3", "的de0", "了le0", "着zhe0",
                      "君jun10", "军jun10", "俊jun40", "骏jun40",
                      "么me0", "宋song4", "凇song1", "崧song1"]
# Its only reading, yo, is not among the syllables the tables spell.
NOT_IN_DICTIONARY = "哟"

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def read(table_dir, name):
    with open(os.path.join(table_dir, name), "rb") as f:
        data = f.read()
    return data.decode("utf-8")


def gbk_size(name, text):
    try:
        return len(text.encode("gbk"))
    except UnicodeEncodeError as e:
        check(False, f"{name}: not GBK-encodable: {e}")
        return -1


def check_dictionary(text):
    check("\n" not in text and "\r" not in text,
          "dictionary: contains a line break")
    entries = text.split(",")
    check(len(entries) == EXPECTED_DICTIONARY_ENTRIES,
          f"dictionary: {len(entries)} entries, "
          f"expected {EXPECTED_DICTIONARY_ENTRIES}")
    parsed = {}
    tones = collections.Counter()
    for entry in entries:
        m = re.fullmatch(f"([{HAN}])([a-z]{{1,6}})(\\d{{1,2}})", entry)
        if not check(m, f"dictionary: malformed entry {entry!r}"):
            continue
        ch, letters, tone = m.groups()
        # jun carries tones 1 and 4 as "10" and "40", everything else one
        # digit.
        allowed = {"0", "1", "2", "3", "4"}
        if letters == "jun":
            allowed = {"0", "10", "2", "3", "40"}
        check(tone in allowed, f"dictionary: bad tone in {entry!r}")
        check(ch not in parsed, f"dictionary: {ch} occurs twice")
        parsed[ch] = (letters, tone)
        tones[tone] += 1
    for sample in DICTIONARY_SAMPLES:
        check(sample in entries, f"dictionary: {sample} missing")
    for ch in NOT_IN_DICTIONARY:
        check(ch not in parsed, f"dictionary: {ch} has an entry")
    return parsed, tones


def check_wubi(text):
    lines = text.split("\r\n")
    check(not text.endswith("\r\n"), "wubi: line break after the last line")
    check(len(lines) == EXPECTED_WUBI_LINES,
          f"wubi: {len(lines)} lines, expected {EXPECTED_WUBI_LINES}")
    codes = {}
    for line in lines:
        m = re.fullmatch(f"([a-y]{{3,4}})\\|([{HAN}])", line)
        if not check(m, f"wubi: malformed line {line!r}"):
            continue
        code, ch = m.groups()
        check(ch not in codes, f"wubi: {ch} occurs twice")
        codes[ch] = code
    three = sum(1 for c in codes.values() if len(c) == 3)
    check(three == EXPECTED_WUBI_THREE_LETTER,
          f"wubi: {three} three-letter codes, "
          f"expected {EXPECTED_WUBI_THREE_LETTER}")
    for ch, code in WUBI_SAMPLES.items():
        check(codes.get(ch) == code,
              f"wubi: {ch} has {codes.get(ch)}, expected {code}")
    return codes


def check_current(text):
    check(text.endswith("\r\n"), "current braille: last line unterminated")
    lines = text.split("\r\n")[:-1]
    check(len(lines) == EXPECTED_CURRENT_LINES,
          f"current braille: {len(lines)} lines, "
          f"expected {EXPECTED_CURRENT_LINES}")
    rows = [ln for ln in lines if not re.fullmatch("[一二三四五六七八九十]+", ln)]
    for ln in rows:
        check(re.fullmatch(r"[1-6]+(-[1-6]+)?=[a-z]+", ln),
              f"current braille: malformed row {ln!r}")
    # The program pairs these two searches entry by entry.
    syllables = re.findall("[a-z]+", text)
    dots = re.findall(r"[\d-]+", text)
    check(len(syllables) == len(dots) == EXPECTED_SYLLABLES,
          f"current braille: {len(syllables)} syllables, {len(dots)} cells")
    check(len(set(syllables)) == len(syllables),
          "current braille: a syllable occurs twice")
    for sample in CURRENT_SAMPLES:
        check(sample in rows, f"current braille: {sample} missing")
    check(lines[-1] == "134-26=me", "current braille: me is not last")
    return set(syllables)


def check_double(text):
    check(text.endswith("\r\n"), "double braille: last line unterminated")
    lines = text.split("\r\n")[:-1]
    for ln in lines:
        check(re.fullmatch(r"[1-6]+-[1-6]+=[a-z]+", ln),
              f"double braille: malformed line {ln!r}")
    syllables = re.findall("[a-z]+", text)
    initials = re.findall(r"\d+(?=-)", text)
    finals = re.findall(r"(?<=-)\d+", text)
    check(len(lines) == len(syllables) == len(initials) == len(finals)
          == EXPECTED_SYLLABLES,
          f"double braille: {len(lines)} lines, {len(syllables)} syllables")
    check(len(set(syllables)) == len(syllables),
          "double braille: a syllable occurs twice")
    for sample in DOUBLE_SAMPLES:
        check(sample in lines, f"double braille: {sample} missing")
    if "me" in syllables:
        i = syllables.index("me")
        check(syllables[i - 1:i + 2] == ["mao", "me", "mei"],
              "double braille: me is not between mao and mei")
    return set(syllables)


def shuangpin_key(rows, part):
    # Same scan as the converter: from the last row back.
    for row in reversed(rows):
        if part in row:
            return row[0]
    return ""


def check_shuangpin(text, dictionary_syllables):
    rows = [line.split("|") for line in text.split("\r\n")]
    check(len(rows) == 27, f"shuangpin: {len(rows)} rows, expected 27")
    for syl in sorted(dictionary_syllables):
        initial = re.match("[^aoeiuv]+", syl)
        final = re.search("[aoeiuv][a-z]*", syl)
        check(initial is None or shuangpin_key(rows, initial.group()),
              f"shuangpin: no key for the initial of {syl}")
        check(final and shuangpin_key(rows, final.group()),
              f"shuangpin: no key for the final of {syl}")


def default_table_dir():
    return os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(
        os.path.abspath(__file__)))), "engine", "tables")


def main(argv):
    table_dir = argv[1] if len(argv) > 1 else default_table_dir()
    names = {
        "dictionary": "pinyin_dictionary.txt",
        "wubi": "wubi_table.txt",
        "current": "current_braille_table.txt",
        "double": "double_braille_table.txt",
        "shuangpin": "shuangpin_table.txt",
    }
    texts = {key: read(table_dir, name) for key, name in names.items()}

    parsed, tones = check_dictionary(texts["dictionary"])
    wubi = check_wubi(texts["wubi"])
    current = check_current(texts["current"])
    double = check_double(texts["double"])
    dictionary_syllables = {letters for letters, _ in parsed.values()}
    check_shuangpin(texts["shuangpin"], dictionary_syllables)

    check(current == double, "braille tables: syllable sets differ: "
          f"{sorted(current ^ double)}")
    for syl in sorted(dictionary_syllables - current):
        check(False, f"current braille: no row for {syl}")
    for syl in sorted(dictionary_syllables - double):
        check(False, f"double braille: no row for {syl}")

    sizes = {key: gbk_size(names[key], text) for key, text in texts.items()}
    for key, expected in (("current", EXPECTED_CURRENT_GBK_BYTES),
                          ("double", EXPECTED_DOUBLE_GBK_BYTES),
                          ("shuangpin", EXPECTED_SHUANGPIN_BYTES)):
        check(sizes[key] == expected,
              f"{names[key]}: {sizes[key]} GBK bytes, expected {expected}")

    for key, name in names.items():
        print(f"{name}: {len(texts[key].encode('utf-8'))} UTF-8 bytes, "
              f"{sizes[key]} GBK bytes")
    print(f"dictionary: {len(parsed)} entries, "
          f"{len(dictionary_syllables)} syllables; tones " +
          ", ".join(f"{t}={n}" for t, n in sorted(tones.items())))
    print(f"wubi: {len(wubi)} characters; without a dictionary entry: "
          + " ".join(sorted(set(wubi) - set(parsed))))
    print(f"braille: {len(current)} syllables, "
          f"{len(current - dictionary_syllables)} unused by the dictionary: "
          + " ".join(sorted(current - dictionary_syllables)))

    if failures:
        for message in failures:
            print("FAIL: " + message, file=sys.stderr)
        print(f"{len(failures)} check(s) failed", file=sys.stderr)
        return 1
    print("all table checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
