#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Converts one corpus with molvane-convert (all five notations, and the two
braille notations and pinyin in full-text mode: punctuation, digits, letters
and line breaks kept, Unicode braille patterns) and with two tools people use
today, in the same run, alternating, and prints each one's median
whole-process time and the ratios:
  - pinyin-pro (npm, pinned), full pinyin without tones, non-Chinese removed;
  - lou_translate (Debian liblouis-bin) with zh-chn.ctb, current braille.
The corpus is the `chinese` file of Debian's fortunes-zh and a ten-fold
concatenation of it; a hundred-fold one (about 200 MB) shows that time stays
linear and peak memory bounded (MOLVANE_RUNS_X100 runs, default 3). Peers and
corpus go into a scratch folder (MOLVANE_SCRATCH, default
/tmp/molvane-compare), never into the project. It also checks that the
hundred-fold output is the single one a hundred times over, and that every
notation's output on the whole corpus equals the output with every cache and
shortcut switched off. molvane-convert runs with --exact, so it writes what
the window would show. Its CPU time is also set beside that of a plain
table-lookup program (bench/floor.cpp: decode, one array lookup a character,
write), the least such a conversion can cost.
Goals: every notation at least 7 times as fast as pinyin-pro (full pinyin and
Wubi 15 times) and 20 times as fast as lou_translate, within 12 times the
floor's CPU time, and under 64 MB on the ten- and hundred-fold corpus.
Current braille laid out in BRF pages (--braille=brf) is timed too: 10 times
as fast as lou_translate, its memory no larger on the hundred-fold corpus.

  python3 bench/compare.py [--skip-identity] [RUNS]      (RUNS >= 5, default 5)

The identity check runs the engine without shortcuts over the whole corpus,
which takes the better part of an hour; --skip-identity leaves it out.
Standard library only.
"""

import collections
import filecmp
import glob
import hashlib
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PINYIN_PRO_VERSION = "3.29.4"
NOTATIONS = ["current-braille", "double-braille", "shuangpin", "pinyin", "wubi"]
FULL_NOTATIONS = ["current-braille", "double-braille", "pinyin"]
# Current braille laid out in BRF pages for an embosser (40 x 25, paragraphs
# joined, page numbers): the whole path from text to the embosser's file.
BOOK_ARGUMENTS = ["-n", "current-braille", "--braille=brf"]
PINYIN_JS = """const fs = require('fs');
const { pinyin } = require('pinyin-pro');
const text = fs.readFileSync(process.argv[2], 'utf8');
process.stdout.write(pinyin(text, { toneType: 'none', removeNonZh: true, separator: ' ' }));
"""
# pinyin-pro as most people call it: words read in context, tone marks, the
# rest of the text kept; the peer of molvane-convert's own defaults.
PINYIN_DEFAULT_JS = """const fs = require('fs');
const { pinyin } = require('pinyin-pro');
const text = fs.readFileSync(process.argv[2], 'utf8');
process.stdout.write(pinyin(text));
"""


def arguments(argv):
    identity = True
    if argv and argv[0] == "--skip-identity":
        identity = False
        argv = argv[1:]
    runs = int(argv[0]) if argv else 5
    if runs < 5:
        print("RUNS must be at least 5", file=sys.stderr)
        sys.exit(2)
    return identity, runs


def install(*packages):
    """The Debian packages through scripts/deps.sh, when they are missing."""
    script = '. scripts/deps.sh && molvane_install "$@"'
    subprocess.run(["bash", "-c", script, "install", *packages], cwd=ROOT, check=True)


def build_packages():
    script = '. scripts/deps.sh && echo "${MOLVANE_BUILD_PACKAGES[@]}"'
    out = subprocess.run(["bash", "-c", script], cwd=ROOT, check=True,
                         capture_output=True, text=True).stdout
    return out.split()


def unpack(scratch, package):
    """A Debian package unpacked into the scratch folder, not installed."""
    marker = os.path.join(scratch, ".unpacked-" + package)
    if os.path.exists(marker):
        return
    download = ["apt-get", "download", package]
    if subprocess.run(download, cwd=scratch, capture_output=True).returncode != 0:
        subprocess.run(["apt-get", "update", "-qq"], check=True)
        subprocess.run(download, cwd=scratch, check=True)
    debs = glob.glob(os.path.join(scratch, package + "_*.deb"))
    subprocess.run(["dpkg", "-x", debs[0], os.path.join(scratch, "root")], check=True)
    open(marker, "w").close()


def prepare_peers(scratch):
    install(*build_packages())
    # Node.js may come from elsewhere than Debian; Debian's only if absent.
    if not (shutil.which("node") and shutil.which("npm")):
        install("nodejs", "npm")
    for package in ["fortunes-zh", "liblouis-bin", "liblouis20", "liblouis-data"]:
        unpack(scratch, package)
    if not os.path.isdir(os.path.join(scratch, "node_modules", "pinyin-pro")):
        quiet = {"stdout": subprocess.DEVNULL, "check": True, "cwd": scratch}
        subprocess.run(["npm", "init", "-y"], **quiet)
        subprocess.run(["npm", "install", "--silent", "pinyin-pro@" + PINYIN_PRO_VERSION], **quiet)
    with open(os.path.join(scratch, "pinyin.js"), "w") as script:
        script.write(PINYIN_JS)
    with open(os.path.join(scratch, "pinyin_default.js"), "w") as script:
        script.write(PINYIN_DEFAULT_JS)


def prepare_corpora(scratch):
    """The corpus, and its ten-fold and hundred-fold concatenations."""
    corpus = os.path.join(scratch, "chinese.txt")
    shutil.copyfile(os.path.join(scratch, "root/usr/share/games/fortunes/chinese"), corpus)
    with open(corpus, "rb") as f:
        text = f.read()
    paths = [corpus]
    for times, name in [(10, "chinese10.txt"), (100, "chinese100.txt")]:
        paths.append(os.path.join(scratch, name))
        with open(paths[-1], "wb") as f:
            for _ in range(times):
                f.write(text)
    return paths


def build_programs(scratch):
    quiet = {"stdout": subprocess.DEVNULL, "check": True, "cwd": ROOT}
    subprocess.run(["cmake", "-S", ".", "-B", "build/release", "-DCMAKE_BUILD_TYPE=Release",
                    "-DMOLVANE_TESTS=OFF"], **quiet)
    subprocess.run(["cmake", "--build", "build/release", "-j%d" % os.cpu_count(),
                    "--target", "molvane-convert"], **quiet)
    floor = os.path.join(scratch, "floor")
    subprocess.run(["g++", "-O2", "-std=c++20", "bench/floor.cpp", "-o", floor], **quiet)
    return os.path.join(ROOT, "build/release/app/molvane-convert"), floor


class Measurements:
    """Wall and CPU seconds of every run by name, and the peak resident KB."""

    def __init__(self):
        self.wall = collections.defaultdict(list)
        self.cpu = collections.defaultdict(list)
        self.peak = collections.defaultdict(int)

    def measure(self, name, command, stdin=None, env=None):
        """Wall time from the clock; CPU time (user and system) and peak memory
        of the process and the children it waited for, as time(1) reports."""
        with open(stdin or os.devnull, "rb") as source:
            start = time.perf_counter()
            process = subprocess.Popen(command, stdin=source, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL, env=env)
            _, status, usage = os.wait4(process.pid, 0)
            end = time.perf_counter()
        # A run that fails is timed all the same; the checks below catch it.
        process.returncode = os.waitstatus_to_exitcode(status)
        self.wall[name].append(round(end - start, 3))
        self.cpu[name].append(round(usage.ru_utime + usage.ru_stime, 3))
        self.peak[name] = max(self.peak[name], usage.ru_maxrss)

    def tree_peak(self, name, command):
        """Peak memory of a command and its worker processes together (time(1)
        gives the largest single process only): their resident sizes summed,
        sampled every 10 ms in runs of their own, so the sampling costs no timed
        run anything."""
        process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        peak = 0
        while process.poll() is None:
            pids = [process.pid] + children(process.pid)
            peak = max(peak, sum(resident_kb(pid) for pid in pids))
            time.sleep(0.01)
        self.peak[name] = max(self.peak[name], peak)

    def median_wall(self, name):
        return median(self.wall[name])

    def median_cpu(self, name):
        return median(self.cpu[name])

    def peak_mb(self, name):
        return self.peak[name] // 1024


def children(pid):
    found = []
    for path in glob.glob("/proc/%d/task/*/children" % pid):
        try:
            with open(path) as f:
                found += [int(child) for child in f.read().split()]
        except OSError:
            pass
    return found


def resident_kb(pid):
    try:
        with open("/proc/%d/statm" % pid) as f:
            return int(f.read().split()[1]) * os.sysconf("SC_PAGE_SIZE") // 1024
    except (OSError, IndexError, ValueError):
        return 0


def median(values):
    """The median to the millisecond, as the table shows it and the ratios use it."""
    ordered = sorted(values)
    n = len(ordered)
    if n == 0:
        return 0.0
    middle = ordered[n // 2] if n % 2 else (ordered[n // 2 - 1] + ordered[n // 2]) / 2
    return round(middle, 3)


def ratio(a, b):
    return "%.1f" % (a / b) if b > 0 else "inf"


def at_least(formatted, want):
    return float(formatted) >= want


def full_arguments(notation):
    return ["--text=full"] if notation == "pinyin" else ["--text=full", "--braille=unicode"]


def floor_table(notation):
    return "wubi" if notation == "wubi" else "pinyin"


def timed_runs(m, runs, runs100, programs, corpora, scratch):
    convert, floor = programs
    corpus, corpus10, corpus100 = corpora
    louis = os.path.join(scratch, "root/usr")
    louis_env = dict(os.environ, LD_LIBRARY_PATH=os.path.join(louis, "lib/x86_64-linux-gnu"),
                     LOUIS_TABLEPATH=os.path.join(louis, "share/liblouis/tables"))
    tables = os.path.join(ROOT, "engine/tables")
    for i in range(1, runs + 1):
        for n in NOTATIONS:
            m.measure("molvane " + n, [convert, "--exact", "-n", n, corpus])
        # On the ten-fold corpus the floor takes long enough to measure well.
        for t in ["pinyin", "wubi"]:
            m.measure("floor %s x10" % t, [floor, t, tables], stdin=corpus10)
        m.measure("pinyin-pro", ["node", os.path.join(scratch, "pinyin.js"), corpus])
        for n in FULL_NOTATIONS:
            m.measure("molvane %s full" % n, [convert, *full_arguments(n), "-n", n, corpus])
        m.measure("lou_translate", [os.path.join(louis, "bin/lou_translate"), "zh-chn.ctb"],
                  stdin=corpus, env=louis_env)
        m.measure("pinyin-pro default",
                  ["node", os.path.join(scratch, "pinyin_default.js"), corpus])
        for n in NOTATIONS:
            m.measure("molvane %s default" % n, [convert, "-n", n, corpus])
        for n in NOTATIONS:
            m.measure("molvane %s x10" % n, [convert, "--exact", "-n", n, corpus10])
        m.measure("molvane book", [convert, *BOOK_ARGUMENTS, corpus])
        print("run %d of %d done" % (i, runs), file=sys.stderr)
    for i in range(1, runs100 + 1):
        for n in NOTATIONS:
            m.measure("molvane %s x100" % n, [convert, "--exact", "-n", n, corpus100])
        m.measure("molvane current-braille full x100",
                  [convert, "--text=full", "--braille=unicode", "-n", "0", corpus100])
        m.measure("molvane book x100", [convert, *BOOK_ARGUMENTS, corpus100])
        print("hundred-fold run %d of %d done" % (i, runs100), file=sys.stderr)
    for n in NOTATIONS:
        for suffix, text in [("", corpus), (" x10", corpus10), (" x100", corpus100)]:
            m.tree_peak("molvane " + n + suffix, [convert, "--exact", "-n", n, text])
            m.tree_peak("molvane %s default%s" % (n, suffix), [convert, "-n", n, text])
    for suffix, text in [("", corpus), (" x10", corpus10), (" x100", corpus100)]:
        m.tree_peak("molvane book" + suffix, [convert, *BOOK_ARGUMENTS, text])


def notation_table(m, runs, runs100, corpora):
    """The main table; False when a notation misses a goal."""
    sizes = [os.path.getsize(path) for path in corpora]
    print("\nCorpus: fortunes-zh chinese (%d bytes), ten-fold: %d bytes, hundred-fold: %d bytes; "
          "%d runs (%d hundred-fold), medians of whole-process wall time\n" % (*sizes, runs, runs100))
    print("| tool | median s | peak MB | vs pinyin-pro | vs lou_translate | CPU s | x10 CPU s "
          "| x10 CPU / floor | x10 median s | x10 / x1 | x10 peak MB | x100 median s | x100 / x1 "
          "| x100 peak MB |")
    print("|---|---|---|---|---|---|---|---|---|---|---|---|---|---|")
    pp, lt = m.median_wall("pinyin-pro"), m.median_wall("lou_translate")
    print("| pinyin-pro %s | %.3f | %d | 1.0 | | %.3f | | | | | | | | |"
          % (PINYIN_PRO_VERSION, pp, m.peak_mb("pinyin-pro"), m.median_cpu("pinyin-pro")))
    print("| lou_translate zh-chn | %.3f | %d | | 1.0 | %.3f | | | | | | | | |"
          % (lt, m.peak_mb("lou_translate"), m.median_cpu("lou_translate")))
    for t in ["pinyin", "wubi"]:
        name = "floor %s x10" % t
        print("| floor (%s lookup) | | | | | | %.3f | 1.0 | %.3f | | %d | | | |"
              % (t, m.median_cpu(name), m.median_wall(name), m.peak_mb(name)))
    met = True
    for n in NOTATIONS:
        met = notation_row(m, n, pp, lt) and met
    return met


def notation_row(m, n, pp, lt):
    name = "molvane " + n
    t, t10, t100 = (m.median_wall(name + s) for s in ["", " x10", " x100"])
    cpu10 = m.median_cpu(name + " x10")
    vf = ratio(cpu10, m.median_cpu("floor %s x10" % floor_table(n)))
    vp, vl = ratio(pp, t), ratio(lt, t)
    scale, scale100 = ratio(t10, t), ratio(t100, t)
    peak10, peak100 = m.peak_mb(name + " x10"), m.peak_mb(name + " x100")
    print("| molvane %s | %.3f | %d | %s | %s | %.3f | %.3f | %s | %.3f | %s | %d | %.3f | %s | %d |"
          % (n, t, m.peak_mb(name), vp, vl, m.median_cpu(name), cpu10, vf, t10, scale, peak10,
             t100, scale100, peak100))
    want = 15 if n in ("pinyin", "wubi") else 7
    met = (at_least(vp, want) and at_least(vl, 20) and float(vf) <= 12 and float(scale) <= 11
           and peak10 < 64 and float(scale100) <= 105 and peak100 < 64)
    if not met:
        print("   target missed: " + n, file=sys.stderr)
    return met


def default_table(m):
    """molvane-convert's own defaults (full text, word readings, braille words
    together, pinyin with tone marks, shuangpin and Wubi lines kept) beside
    lou_translate and pinyin-pro's own default; False when a goal is missed:
    braille 20 times as fast as lou_translate, pinyin 7 times as fast as
    pinyin-pro, under 64 MB on the ten- and hundred-fold corpus."""
    print("\n| default | median s | peak MB | x10 peak MB | x100 peak MB | vs lou_translate "
          "| vs pinyin-pro default |\n|---|---|---|---|---|---|---|")
    lt, pp = m.median_wall("lou_translate"), m.median_wall("pinyin-pro default")
    print("| pinyin-pro %s default | %.3f | %d | | | | 1.0 |"
          % (PINYIN_PRO_VERSION, pp, m.peak_mb("pinyin-pro default")))
    met = True
    for n in NOTATIONS:
        name = "molvane %s default" % n
        t = m.median_wall(name)
        vl, vp = ratio(lt, t), ratio(pp, t)
        peaks = [m.peak_mb(name + s) for s in ["", " x10", " x100"]]
        print("| molvane %s | %.3f | %d | %d | %d | %s | %s |" % (n, t, *peaks, vl, vp))
        braille = n in ("current-braille", "double-braille")
        ok = peaks[1] < 64 and peaks[2] < 64
        ok = ok and (not braille or at_least(vl, 20)) and (n != "pinyin" or at_least(vp, 7))
        if not ok:
            print("   target missed: %s default" % n, file=sys.stderr)
            met = False
    return met


def full_text_table(m):
    """Full text against lou_translate, and its hundred-fold peak held to the
    default mode's; False when a goal is missed."""
    print("\n| full text | median s | peak MB | vs lou_translate |\n|---|---|---|---|")
    lt = m.median_wall("lou_translate")
    met = True
    for n in FULL_NOTATIONS:
        name = "molvane %s full" % n
        t = m.median_wall(name)
        vl = ratio(lt, t)
        print("| molvane %s --text=full | %.3f | %d | %s |" % (n, t, m.peak_mb(name), vl))
        if n != "pinyin" and not at_least(vl, 7):
            print("   target missed: %s full" % n, file=sys.stderr)
            met = False
    name = "molvane current-braille full x100"
    peak100 = m.peak_mb(name)
    print("| molvane current-braille --text=full x100 | %.3f | %d | |"
          % (m.median_wall(name), peak100))
    # Bounded as the default mode is: within a quarter of its hundred-fold peak.
    if peak100 * 4 > m.peak_mb("molvane current-braille x100") * 5:
        print("   target missed: full-text peak memory", file=sys.stderr)
        met = False
    return met


def book_table(m):
    """Braille pages for the embosser against lou_translate, which writes
    lines only; False when a goal is missed: 10 times as fast, and the
    hundred-fold peak (every process summed) within a quarter of the
    ten-fold one, so memory does not grow with the text."""
    print("\n| BRF pages | median s | peak MB | x10 peak MB | x100 median s | x100 peak MB "
          "| vs lou_translate |\n|---|---|---|---|---|---|---|")
    lt, t = m.median_wall("lou_translate"), m.median_wall("molvane book")
    peaks = [m.peak_mb("molvane book" + s) for s in ["", " x10", " x100"]]
    vl = ratio(lt, t)
    print("| molvane %s | %.3f | %d | %d | %.3f | %d | %s |"
          % (" ".join(BOOK_ARGUMENTS), t, peaks[0], peaks[1], m.median_wall("molvane book x100"),
             peaks[2], vl))
    met = at_least(vl, 10) and peaks[2] * 4 <= peaks[1] * 5
    if not met:
        print("   target missed: BRF pages", file=sys.stderr)
    return met


def output_digest(command, times=1):
    """MD5 of a command's standard output repeated `times` times; a single
    output is read in chunks, since the hundred-fold one runs to gigabytes."""
    digest = hashlib.md5()
    if times > 1:
        output = subprocess.run(command, stdout=subprocess.PIPE).stdout
        for _ in range(times):
            digest.update(output)
        return digest.hexdigest()
    with subprocess.Popen(command, stdout=subprocess.PIPE) as process:
        for chunk in iter(lambda: process.stdout.read(1 << 20), b""):
            digest.update(chunk)
    return digest.hexdigest()


def hundred_fold_identical(convert, corpus, corpus100):
    """With molvane-convert's defaults: the reader-ready output."""
    print("\nChecking that the hundred-fold output is the single one a hundred times over ...")
    same = True
    for n in NOTATIONS:
        # With LF breaks each copy's output ends with the break that joins it to the next.
        single = output_digest([convert, "-n", n, corpus], times=100)
        if output_digest([convert, "-n", n, corpus100]) == single:
            print("  %s: identical" % n)
        else:
            print("  %s: DIFFERENT" % n, file=sys.stderr)
            same = False
    return same


def shortcuts_identical(convert, corpus, scratch):
    print("\nChecking outputs against the engine with every cache and shortcut off ...")
    same = True
    for n in NOTATIONS:
        fast, plain = (os.path.join(scratch, "%s-%s.out" % (kind, n)) for kind in ["fast", "plain"])
        for path, extra in [(fast, []), (plain, ["--no-shortcuts"])]:
            with open(path, "wb") as out:
                subprocess.run([convert, "--exact", *extra, "-n", n, corpus], stdout=out)
        if filecmp.cmp(fast, plain, shallow=False):
            print("  %s: identical (%d bytes)" % (n, os.path.getsize(fast)))
        else:
            print("  %s: DIFFERENT" % n, file=sys.stderr)
            same = False
    return same


def main(argv):
    identity, runs = arguments(argv)
    runs100 = int(os.environ.get("MOLVANE_RUNS_X100", "3"))
    scratch = os.environ.get("MOLVANE_SCRATCH", "/tmp/molvane-compare")
    os.makedirs(scratch, exist_ok=True)
    prepare_peers(scratch)
    corpora = prepare_corpora(scratch)
    programs = build_programs(scratch)
    m = Measurements()
    timed_runs(m, runs, runs100, programs, corpora, scratch)
    met = notation_table(m, runs, runs100, corpora)
    met = full_text_table(m) and met
    met = default_table(m) and met
    met = book_table(m) and met
    met = hundred_fold_identical(programs[0], corpora[0], corpora[2]) and met
    if identity:
        met = shortcuts_identical(programs[0], corpora[0], scratch) and met
    return 0 if met else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
