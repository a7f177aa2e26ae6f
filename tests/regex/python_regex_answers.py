#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Answers regex searches with Python's third-party `regex` module, an engine
written independently of ours, for the differential test.

Reads one JSON object per line: {"p": pattern, "s": subject, "f": flag
letters (i, m, s, r), "pos": start}. Writes one line per case: "none",
"timeout", "error", or the spans of groups 0..n as "start,end" separated by
spaces ("-1,-1" for a group that took no part). Right-to-left cases search the
whole subject in reverse; the caller's pattern already bounds where an
attempt may begin.
"""
import json
import sys

import regex

FLAGS = {"i": regex.IGNORECASE, "m": regex.MULTILINE, "s": regex.DOTALL, "r": regex.REVERSE}


def answer(case):
    flags = regex.VERSION0
    for letter in case["f"]:
        flags |= FLAGS[letter]
    try:
        compiled = regex.compile(case["p"], flags)
        if "r" in case["f"]:
            match = compiled.search(case["s"], timeout=2)
        else:
            match = compiled.search(case["s"], pos=case["pos"], timeout=2)
    except TimeoutError:
        return "timeout"
    except regex.error:
        return "error"
    if match is None:
        return "none"
    return " ".join("%d,%d" % match.span(g) for g in range(compiled.groups + 1))


def main():
    out = sys.stdout
    for line in sys.stdin:
        if line.strip():
            out.write(answer(json.loads(line)) + "\n")
    out.flush()


if __name__ == "__main__":
    main()
