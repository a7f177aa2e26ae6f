#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Converts one corpus with molvane-convert (all five notations, and the two
# braille notations and pinyin in full-text mode: punctuation, digits,
# letters and line breaks kept, Unicode braille patterns) and with two tools
# people use today, in the same run, alternating, and prints each one's
# median whole-process time and the ratios:
#   - pinyin-pro (npm, pinned), full pinyin without tones, non-Chinese removed;
#   - lou_translate (Debian liblouis-bin) with zh-chn.ctb, current braille.
# The corpus is the `chinese` file of Debian's fortunes-zh and a ten-fold
# concatenation of it; a hundred-fold one (about 200 MB) shows that time stays
# linear and peak memory bounded (MOLVANE_RUNS_X100 runs, default 3). Peers
# and corpus go into a scratch folder, never into the project. It also checks
# that the hundred-fold output is the single one a hundred times over, and
# that every notation's output on the whole corpus equals the output with
# every cache and shortcut switched off. molvane-convert runs with --exact,
# so it writes what the window would show. Its CPU time is also set beside
# that of a plain table-lookup program (bench/floor.cpp: decode, one array
# lookup a character, write), the least such a conversion can cost.
# Goals: every notation at least 7 times as fast as pinyin-pro (full pinyin
# and Wubi 15 times) and 20 times as fast as lou_translate, within 12 times
# the floor's CPU time, and under 64 MB on the ten- and hundred-fold corpus.
#
#   bash bench/compare.sh [--skip-identity] [RUNS]      (RUNS >= 5, default 5)
#
# The identity check runs the engine without shortcuts over the whole corpus,
# which takes the better part of an hour; --skip-identity leaves it out.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
identity=1
if [ "${1:-}" = "--skip-identity" ]; then
  identity=0
  shift
fi
runs=${1:-5}
[ "$runs" -ge 5 ] || { echo "RUNS must be at least 5" >&2; exit 2; }
runs100=${MOLVANE_RUNS_X100:-3}
scratch=${MOLVANE_SCRATCH:-/tmp/molvane-compare}
pinyin_pro_version=3.29.4
mkdir -p "$scratch"

. scripts/deps.sh
molvane_install "${MOLVANE_BUILD_PACKAGES[@]}" time
# Node.js may come from elsewhere than Debian; install Debian's only if absent.
command -v node >/dev/null && command -v npm >/dev/null || molvane_install nodejs npm

# Debian packages unpacked into the scratch folder, not installed.
unpack() {
  local pkg=$1
  [ -e "$scratch/.unpacked-$pkg" ] && return
  (cd "$scratch" && apt-get download "$pkg" >/dev/null 2>&1 || { apt-get update -qq && apt-get download "$pkg"; })
  dpkg -x "$scratch"/"${pkg}"_*.deb "$scratch/root"
  touch "$scratch/.unpacked-$pkg"
}
for pkg in fortunes-zh liblouis-bin liblouis20 liblouis-data; do unpack "$pkg"; done

if [ ! -d "$scratch/node_modules/pinyin-pro" ]; then
  (cd "$scratch" && npm init -y >/dev/null && npm install --silent "pinyin-pro@$pinyin_pro_version" >/dev/null)
fi
cat > "$scratch/pinyin.js" <<'JS'
const fs = require('fs');
const { pinyin } = require('pinyin-pro');
const text = fs.readFileSync(process.argv[2], 'utf8');
process.stdout.write(pinyin(text, { toneType: 'none', removeNonZh: true, separator: ' ' }));
JS

corpus="$scratch/chinese.txt"
cp "$scratch/root/usr/share/games/fortunes/chinese" "$corpus"
corpus10="$scratch/chinese10.txt"
: > "$corpus10"
for _ in $(seq 10); do cat "$corpus" >> "$corpus10"; done
corpus100="$scratch/chinese100.txt"
for _ in $(seq 10); do cat "$corpus10"; done > "$corpus100"

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DMOLVANE_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target molvane-convert >/dev/null
convert="$root/build/release/app/molvane-convert"
g++ -O2 -std=c++20 bench/floor.cpp -o "$scratch/floor"

notations=(current-braille double-braille shuangpin pinyin wubi)
full_notations=(current-braille double-braille pinyin)
full_args() { [ "$1" = pinyin ] && echo "--text=full" || echo "--text=full --braille=unicode"; }
declare -A times cpu mem
measure() {  # name, command...
  local name=$1
  shift
  local out start end
  # Wall time to the millisecond from the clock; CPU time (user and system)
  # and peak memory from time(1).
  start=$(date +%s%N)
  /usr/bin/time -o "$scratch/time.out" -f "%U %S %M" "$@" >/dev/null 2>/dev/null || true
  end=$(date +%s%N)
  out=$(tail -n 1 "$scratch/time.out" | awk '{ print $3 }')
  times[$name]+="$(awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }') "
  cpu[$name]+="$(tail -n 1 "$scratch/time.out" | awk '{ printf "%.3f", $1 + $2 }') "
  mem[$name]=$(( ${mem[$name]:-0} > out ? ${mem[$name]:-0} : out ))
}
# Peak memory of a command and its worker processes together: time(1) gives
# the largest single process only. Their resident sizes, summed, sampled
# every 10 ms in runs of their own so that the sampling costs no timed run
# anything.
tree_peak() {  # name, command...
  local name=$1 pid peak=0 sum
  shift
  "$@" >/dev/null 2>/dev/null &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    sum=$({ ps -o rss= -p "$pid" --ppid "$pid" 2>/dev/null || true; } | awk '{ s += $1 } END { print s + 0 }')
    [ "$sum" -gt "$peak" ] && peak=$sum
    sleep 0.01
  done
  wait "$pid" || true
  mem[$name]=$(( ${mem[$name]:-0} > peak ? ${mem[$name]:-0} : peak ))
}
floor_of() {  # notation -> the floor's table
  [ "$1" = wubi ] && echo wubi || echo pinyin
}
for i in $(seq "$runs"); do
  for n in "${notations[@]}"; do measure "molvane $n" "$convert" --exact -n "$n" "$corpus"; done
  # On the ten-fold corpus the floor takes long enough for time(1)'s
  # hundredths of a second.
  for t in pinyin wubi; do
    measure "floor $t x10" sh -c "'$scratch/floor' $t '$root/engine/tables' < '$corpus10'"
  done
  measure "pinyin-pro" node "$scratch/pinyin.js" "$corpus"
  for n in "${full_notations[@]}"; do
    # shellcheck disable=SC2046
    measure "molvane $n full" "$convert" $(full_args "$n") -n "$n" "$corpus"
  done
  measure "lou_translate" sh -c "LD_LIBRARY_PATH='$scratch/root/usr/lib/x86_64-linux-gnu' LOUIS_TABLEPATH='$scratch/root/usr/share/liblouis/tables' '$scratch/root/usr/bin/lou_translate' zh-chn.ctb < '$corpus'"
  for n in "${notations[@]}"; do measure "molvane $n x10" "$convert" --exact -n "$n" "$corpus10"; done
  echo "run $i of $runs done" >&2
done
for i in $(seq "$runs100"); do
  for n in "${notations[@]}"; do measure "molvane $n x100" "$convert" --exact -n "$n" "$corpus100"; done
  measure "molvane current-braille full x100" "$convert" --text=full --braille=unicode -n 0 "$corpus100"
  echo "hundred-fold run $i of $runs100 done" >&2
done
for n in "${notations[@]}"; do
  tree_peak "molvane $n" "$convert" --exact -n "$n" "$corpus"
  tree_peak "molvane $n x10" "$convert" --exact -n "$n" "$corpus10"
  tree_peak "molvane $n x100" "$convert" --exact -n "$n" "$corpus100"
done

median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{a[NR]=$1} END {printf "%.3f\n", (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
med() { echo "${times[$1]}" | median; }
medcpu() { echo "${cpu[$1]}" | median; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.1f", a / b; else print "inf" }'; }

pp=$(med "pinyin-pro")
lt=$(med "lou_translate")
status=0
printf '\nCorpus: %s (%s bytes), ten-fold: %s bytes, hundred-fold: %s bytes; %s runs (%s hundred-fold), medians of whole-process wall time\n\n' \
  "fortunes-zh chinese" "$(stat -c %s "$corpus")" "$(stat -c %s "$corpus10")" "$(stat -c %s "$corpus100")" "$runs" "$runs100"
printf '| tool | median s | peak MB | vs pinyin-pro | vs lou_translate | CPU s | x10 CPU s | x10 CPU / floor | x10 median s | x10 / x1 | x10 peak MB | x100 median s | x100 / x1 | x100 peak MB |\n'
printf '|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n'
printf '| pinyin-pro %s | %s | %s | 1.0 | | %s | | | | | | | | |\n' "$pinyin_pro_version" "$pp" "$(( ${mem[pinyin-pro]} / 1024 ))" "$(medcpu pinyin-pro)"
printf '| lou_translate zh-chn | %s | %s | | 1.0 | %s | | | | | | | | |\n' "$lt" "$(( ${mem[lou_translate]} / 1024 ))" "$(medcpu lou_translate)"
for t in pinyin wubi; do
  printf '| floor (%s lookup) | | | | | | %s | 1.0 | %s | | %s | | | |\n' "$t" "$(medcpu "floor $t x10")" "$(med "floor $t x10")" "$(( ${mem[floor $t x10]} / 1024 ))"
done
for n in "${notations[@]}"; do
  t=$(med "molvane $n")
  c=$(medcpu "molvane $n")
  c10=$(medcpu "molvane $n x10")
  vf=$(ratio "$c10" "$(medcpu "floor $(floor_of "$n") x10")")
  want=7
  case $n in pinyin | wubi) want=15 ;; esac
  t10=$(med "molvane $n x10")
  vp=$(ratio "$pp" "$t")
  vl=$(ratio "$lt" "$t")
  scale=$(ratio "$t10" "$t")
  peak10=$(( ${mem[molvane $n x10]} / 1024 ))
  t100=$(med "molvane $n x100")
  scale100=$(ratio "$t100" "$t")
  peak100=$(( ${mem[molvane $n x100]} / 1024 ))
  printf '| molvane %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n' "$n" "$t" "$(( ${mem[molvane $n]} / 1024 ))" \
    "$vp" "$vl" "$c" "$c10" "$vf" "$t10" "$scale" "$peak10" "$t100" "$scale100" "$peak100"
  awk -v vp="$vp" -v want="$want" -v vl="$vl" -v vf="$vf" -v s="$scale" -v m="$peak10" \
    -v s100="$scale100" -v m100="$peak100" \
    'BEGIN { exit !(vp >= want && vl >= 20 && vf <= 12 && s <= 11 && m < 64 && s100 <= 105 && m100 < 64) }' ||
    { echo "   target missed: $n" >&2; status=1; }
done

echo
printf '| full text | median s | peak MB | vs lou_translate |\n|---|---|---|---|\n'
for n in "${full_notations[@]}"; do
  t=$(med "molvane $n full")
  vl=$(ratio "$lt" "$t")
  printf '| molvane %s --text=full | %s | %s | %s |\n' "$n" "$t" "$(( ${mem[molvane $n full]} / 1024 ))" "$vl"
  [ "$n" = pinyin ] && continue
  awk -v vl="$vl" 'BEGIN { exit !(vl >= 7) }' || { echo "   target missed: $n full" >&2; status=1; }
done
t100=$(med "molvane current-braille full x100")
peak100=$(( ${mem[molvane current-braille full x100]} / 1024 ))
printf '| molvane current-braille --text=full x100 | %s | %s | |\n' "$t100" "$peak100"
# Bounded as the default mode is: within a quarter of its hundred-fold peak.
hanPeak100=$(( ${mem[molvane current-braille x100]} / 1024 ))
[ $((peak100 * 4)) -le $((hanPeak100 * 5)) ] ||
  { echo "   target missed: full-text peak memory" >&2; status=1; }

echo
echo "Checking that the hundred-fold output is the single one a hundred times over ..."
for n in "${notations[@]}"; do
  # With LF breaks each copy's output ends with the break that joins it to the next.
  "$convert" -n "$n" "$corpus" > "$scratch/one-$n.out"
  single=$(for _ in $(seq 100); do cat "$scratch/one-$n.out"; done | md5sum)
  if [ "$("$convert" -n "$n" "$corpus100" | md5sum)" = "$single" ]; then
    echo "  $n: identical"
  else
    echo "  $n: DIFFERENT" >&2
    status=1
  fi
done

[ "$identity" = 1 ] || exit $status
echo
echo "Checking outputs against the engine with every cache and shortcut off ..."
for n in "${notations[@]}"; do
  "$convert" --exact -n "$n" "$corpus" > "$scratch/fast-$n.out"
  "$convert" --exact --no-shortcuts -n "$n" "$corpus" > "$scratch/plain-$n.out"
  if cmp -s "$scratch/fast-$n.out" "$scratch/plain-$n.out"; then
    echo "  $n: identical ($(stat -c %s "$scratch/fast-$n.out") bytes)"
  else
    echo "  $n: DIFFERENT" >&2
    status=1
  fi
done
exit $status
