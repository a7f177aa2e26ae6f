#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Hand-judged samples of where Molvane's word readings and pinyin-pro differ.

    judged_sample.py text modern|literature OUT
        Writes the text: "literature" is fortunes-zh's tang300 and song100
        (Tang and Song poems), "modern" the zh_CN man pages of section 1 of
        Debian's manpages-zh, in name order, their roff requests and font
        escapes removed, up to the line where 60,000 characters of U+4E00 to
        U+9FA5 are reached. FORTUNES and MANPAGES in the environment name the
        unpacked packages' roots (default /).
    judged_sample.py draw TEXT WORDS PRO COUNT SEED
        Prints a fixed-seed random sample of COUNT characters where the two
        readers differ (letters or tone), one a tab-separated row: place
        among the characters, character, context, Molvane, pinyin-pro, and
        two columns to fill by hand: the verdict (m: Molvane right, p:
        pinyin-pro right, b: both acceptable, n: neither) and why.
    judged_sample.py score TEXT WORDS PRO JUDGED
        Prints both readers' estimated errors per 10,000 characters: the
        disagreements the judged version had (the judged file's "#
        disagreements" line) times the share of judged rows each gets wrong.
        A row Molvane now reads as pinyin-pro did counts as pinyin-pro's
        verdict says, a reading neither judged as wrong; the estimate holds
        while the disagreements now are no more than then (new ones are
        not sampled). Agreements count as right, so these are lower bounds.

WORDS and PRO hold one reading a line for each character of the range
(bench/word_readings_dump words, bench/pinyin_pro_dump.mjs).
"""

import glob
import gzip
import os
import random
import re
import sys

HAN = re.compile("[\u4e00-\u9fa5]")
LIMIT = 60000
CONTEXT = 14


def text_of(kind):
    if kind == "literature":
        root = os.environ.get("FORTUNES", "/") + "/usr/share/games/fortunes/"
        parts = []
        for name in ("tang300", "song100"):
            with open(root + name, encoding="utf-8") as f:
                parts.append(re.sub("\x1b\\[[0-9;]*m", "", f.read()))
        return "".join(parts)
    root = os.environ.get("MANPAGES", "/") + "/usr/share/man/zh_CN/man1/"
    lines, count = [], 0
    for path in sorted(glob.glob(root + "*.gz")):
        with gzip.open(path, "rt", encoding="utf-8", errors="replace") as f:
            for line in f:
                line = re.sub(r"^[.'][A-Za-z]+\s?", "", line)
                line = re.sub(r"\\f[A-Z]|\\f\(..|\\[-&e(]", "", line)
                lines.append(line)
                count += len(HAN.findall(line))
                if count >= LIMIT:
                    return "".join(lines)
    return "".join(lines)


def load(text_path, words_path, pro_path):
    with open(text_path, encoding="utf-8") as f:
        text = f.read()
    places = [m.start() for m in HAN.finditer(text)]
    with open(words_path) as f:
        words = f.read().split()
    with open(pro_path) as f:
        pro = f.read().split()
    if not len(places) == len(words) == len(pro):
        sys.exit("the readings do not match the text: %d, %d, %d"
                 % (len(places), len(words), len(pro)))
    return text, places, words, pro


def context(text, at):
    left = text[max(0, at - CONTEXT):at].replace("\n", "/").replace("\t", " ")
    right = text[at + 1:at + 1 + CONTEXT].replace("\n", "/").replace("\t", " ")
    return "%s[%s]%s" % (left, text[at], right)


def draw(text_path, words_path, pro_path, count, seed):
    text, places, words, pro = load(text_path, words_path, pro_path)
    differ = [i for i in range(len(places)) if words[i] != pro[i]]
    print("# characters\t%d" % len(places))
    print("# disagreements\t%d" % len(differ))
    for i in sorted(random.Random(seed).sample(differ, min(count, len(differ)))):
        print("\t".join((str(i), text[places[i]], context(text, places[i]), words[i], pro[i],
                         "", "")))


def score(text_path, words_path, pro_path, judged_path):
    _, places, words, pro = load(text_path, words_path, pro_path)
    header, rows = {}, []
    with open(judged_path, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if line.startswith("#"):
                if len(fields) == 2 and fields[1].isdigit():
                    header[fields[0][2:]] = int(fields[1])
            elif len(fields) >= 6:
                rows.append(fields)
    characters, disagreements = header["characters"], header["disagreements"]
    if characters != len(places):
        sys.exit("the text has %d characters, the judged one %d: another package version?"
                 % (len(places), characters))
    # A row Molvane now reads as pinyin-pro did is right where pinyin-pro
    # was; a reading neither judged counts as wrong.
    wrong = {"m": 0, "p": sum(r[5] in ("m", "n") for r in rows)}
    for r in rows:
        now_read = words[int(r[0])]
        if now_read == r[3]:
            wrong["m"] += r[5] in ("p", "n")
        elif now_read == r[4]:
            wrong["m"] += r[5] in ("m", "n")
        else:
            wrong["m"] += 1
    same = sum(1 for r in rows if words[int(r[0])] == r[3] and pro[int(r[0])] == r[4])
    now = sum(1 for a, b in zip(words, pro) if a != b)
    for name, key in (("molvane --readings=words", "m"), ("pinyin-pro 3.29.4", "p")):
        errors = disagreements * wrong[key] / len(rows)
        print("| %s | %d of %d | %.1f |" % (name, wrong[key], len(rows),
                                            10000 * errors / characters))
    print("(%d characters, %d disagreements when judged, %d now; %d of the %d judged rows "
          "read as judged)" % (characters, disagreements, now, same, len(rows)))


def main():
    command = sys.argv[1] if len(sys.argv) > 1 else ""
    if command == "text" and len(sys.argv) == 4:
        with open(sys.argv[3], "w", encoding="utf-8") as f:
            f.write(text_of(sys.argv[2]))
    elif command == "draw" and len(sys.argv) == 7:
        draw(sys.argv[2], sys.argv[3], sys.argv[4], int(sys.argv[5]), int(sys.argv[6]))
    elif command == "score" and len(sys.argv) == 6:
        score(*sys.argv[2:6])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
