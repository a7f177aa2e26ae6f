#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Generate the character model of the braille decoder (back/).

Writes back/tables/char_bigrams.txt (or the file named on the command line):

    "<c> <cost>" lines, then "<c1><c2> <cost>" lines, UTF-8, sorted.

The first kind is every character's cost alone: -ln P(c) in tenths, rounded.
The second is the cost of c2 right after c1: -ln P(c2 | c1) in tenths,
rounded, for the pairs whose share of the text is at least MIN_SHARE.

Rules:
- The source is open-gram's word trigram model as Debian's sunpinyin-data
  packages it (lm_sc.t3g, CC BY-SA 3.0), read through sunpinyin-utils'
  tslminfo (its ARPA form: costs are -ln P), and its lexicon (the word
  strings of pydict_sc.bin, in word-id order: the header's first word is the
  count and its third the offset of the strings, UCS-4 each ending in 0).
- Only words made wholly of characters U+4E00 to U+9FA5 count (the ones the
  converters read); the model's special words (ids below 100) are left out.
- Each word spreads its probability P(w) over its characters (one share
  each) and over the pairs inside it. Each listed word pair spreads
  P(w1) P(w2 | w1) over the pair that joins them (the last character of w1
  and the first of w2). Pairs the model leaves to back-off get nothing: the
  decoder mixes in the single character's probability for those.
- P(c2 | c1) is a pair's share over the shares of all pairs starting with
  c1; P(c) a character's share over all shares.
"""
import math
import os
import struct
import subprocess
import sys
from collections import defaultdict

DATA = "/usr/lib/x86_64-linux-gnu/sunpinyin/data"
MIN_SHARE = 2e-8
FIRST_HAN, LAST_HAN = 0x4E00, 0x9FA5


def lexicon(path):
    data = open(path, "rb").read()
    count, _, offset = struct.unpack("<3I", data[:12])
    words, pos = [], offset
    while len(words) < count:
        end = pos
        while data[end:end + 4] != b"\0\0\0\0":
            end += 4
        words.append(data[pos:end].decode("utf-32-le"))
        pos = end + 4
    return words


def han(word):
    return word != "" and all(FIRST_HAN <= ord(c) <= LAST_HAN for c in word)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "..", "back", "tables", "char_bigrams.txt")
    words = lexicon(os.path.join(DATA, "pydict_sc.bin"))
    arpa = subprocess.Popen(["tslminfo", "-v", os.path.join(DATA, "lm_sc.t3g")],
                            stdout=subprocess.PIPE, text=True)
    unigram = {}
    singles = defaultdict(float)
    pairs = defaultdict(float)
    level = 0
    for line in arpa.stdout:
        if line.startswith("\\"):
            level = int(line[1])
            if level == 3:
                break
            continue
        fields = line.split()
        if level == 1:
            wid = int(fields[0])
            if wid < 100 or wid >= len(words) or not han(words[wid]):
                continue
            p = math.exp(-float(fields[1]))
            unigram[wid] = p
            word = words[wid]
            for c in word:
                singles[c] += p
            for i in range(len(word) - 1):
                pairs[word[i:i + 2]] += p
        elif level == 2:
            first, second = int(fields[0]), int(fields[1])
            if first not in unigram or second not in unigram:
                continue
            p = unigram[first] * math.exp(-float(fields[2]))
            pairs[words[first][-1] + words[second][0]] += p
    arpa.stdout.close()
    arpa.wait()

    total = sum(singles.values())
    starting = defaultdict(float)
    for pair, share in pairs.items():
        starting[pair[0]] += share
    pair_total = sum(pairs.values())
    with open(out, "w", encoding="utf-8") as f:
        for c in sorted(singles):
            f.write("%s %d\n" % (c, round(-10 * math.log(singles[c] / total))))
        for pair in sorted(pairs):
            share = pairs[pair]
            if share / pair_total < MIN_SHARE:
                continue
            f.write("%s %d\n" % (pair, round(-10 * math.log(share / starting[pair[0]]))))


if __name__ == "__main__":
    main()
