// SPDX-License-Identifier: GPL-3.0-or-later
// Scores readings of every character of U+4E00 to U+9FA5 in a corpus against
// three references:
//   - agreement: two independent word-aware libraries, npm `pinyin`
//     (segmentit's segmentation and phrase list) and `@napi-rs/pinyin`
//     (jieba-rs segmentation and its own phrase list). A syllable counts where
//     the two agree; where they disagree it is left out (and counted).
//   - agreement and a curated dictionary, twice: the words of the text that
//     both libraries cut, then those that either cuts (segmentit's cut as npm
//     `pinyin` groups it; jieba's with its HMM off, as jieba-rs runs it, from
//     JIEBA_CUTS), looked up in CC-CEDICT among its words of two or more
//     characters with one toneless reading. Where the libraries agree and such
//     a word reads otherwise, the syllable is disputed: left out and counted,
//     given to no reader. Where they disagree, the word's reading is taken.
// Candidates: pinyin-pro and the dumps of both Molvane modes (one reading a
// line).
//
//   node word_accuracy.mjs CORPUS CEDICT_SIMPLIFIED_JS chars.txt words.txt JIEBA_CUTS
// JIEBA_CUTS: a line per run of characters of the range, in order, holding
// the lengths of its words.
import fs from 'node:fs';
import { pathToFileURL } from 'node:url';
import { createRequire } from 'node:module';

const require = createRequire(process.cwd() + '/');
const pinyinPro = require('pinyin-pro').pinyin;
const npmPinyinModule = require('pinyin');
const npmPinyin = npmPinyinModule.default || npmPinyinModule.pinyin || npmPinyinModule;
const napi = require('@napi-rs/pinyin');

const [corpusPath, cedictPath, charsPath, wordsPath, jiebaPath] = process.argv.slice(2);
const text = fs.readFileSync(corpusPath, 'utf8');
const isHan = (c) => c >= '\u4e00' && c <= '\u9fa5';

// "lüe4", "lu:e4", "nv3", "de", "me0", "zi5" -> letters (ü as v, üe after
// l and n as ue) and tone (0 neutral).
function normalise(reading) {
  const s = String(reading).toLowerCase();
  const digit = s.match(/[0-5]/);
  const tone = digit ? Number(digit[0]) % 5 : 0;
  let letters = s.replace(/[0-9]/g, '').replace(/u:/g, 'v').replace(/ü/g, 'v');
  if (letters === 'lve' || letters === 'nve') letters = letters[0] + 'ue';
  return { letters, tone };
}

// Characters with two or more toneless readings in CC-CEDICT.
const cedict = (await import(pathToFileURL(cedictPath).href)).default;
const polyphonic = new Set();
for (const [word, readings] of Object.entries(cedict)) {
  if (word.length !== 1 || !isHan(word)) continue;
  const letters = new Set(
    Object.keys(readings).filter((p) => p[0] === p[0].toLowerCase()).map((p) => normalise(p).letters));
  if (letters.size > 1) polyphonic.add(word);
}

// CC-CEDICT words of two or more characters with one toneless reading
// (among the readings that have entries of their own): word -> syllables,
// each with the tone all its readings give (-1 where they differ).
const settled = new Map();
for (const [word, readings] of Object.entries(cedict)) {
  if (word.length < 2 || ![...word].every(isHan)) continue;
  const found = new Set();
  let tones = null;
  for (const [pinyin, [entries]] of Object.entries(readings)) {
    if (!entries.length) continue;
    const syllables = pinyin.split(' ').map(normalise);
    found.add(syllables.length === word.length ? syllables.map((x) => x.letters).join(' ') : '?');
    const these = syllables.map((x) => x.tone);
    tones = tones === null ? these : tones.map((t, i) => (t === these[i] ? t : -1));
  }
  if (found.size === 1 && !found.has('?')) {
    const letters = [...found][0].split(' ');
    settled.set(word, letters.map((l, i) => ({ letters: l, tone: tones[i] })));
  }
}

// Word lengths of npm `pinyin`'s cut: its grouped readings, matched against
// the syllables one by one.
function groupLengths(syllables, groups) {
  const lengths = [];
  let at = 0;
  for (const group of groups) {
    let joined = '';
    const start = at;
    while (at < syllables.length && joined.length < group.length) joined += syllables[at++];
    if (joined !== group) return null;
    lengths.push(at - start);
  }
  return at === syllables.length ? lengths : null;
}

const jiebaCuts = fs.readFileSync(jiebaPath, 'utf8').split('\n');

// Runs of characters, each read by the libraries on its own (words never
// cross other characters).
const characters = [];
const reference = [];
const cutRuns = [];  // [start, run, spans of the first library, spans of the second]
const pro = [];
let left = 0;
let runNumber = 0;
for (const run of text.match(/[\u4e00-\u9fa5]+/g) || []) {
  const a = npmPinyin(run, { segment: true, style: npmPinyin.STYLE_TONE2 }).map((x) => x[0]);
  const groups = npmPinyin(run, { segment: true, group: true, style: npmPinyin.STYLE_TONE2 });
  const cuts = [groupLengths(a, groups.map((x) => x[0])),
                (jiebaCuts[runNumber++] || '').split(' ').filter(Boolean).map(Number)];
  const start = characters.length;
  const b = napi.pinyin(run, { style: 3, segment: true, segmenter: 'jieba' });
  const p = pinyinPro(run, { type: 'array', toneType: 'num' });
  for (let i = 0; i < run.length; ++i) {
    characters.push(run[i]);
    const ra = normalise(a.length === run.length ? a[i] : '?');
    const rb = normalise(b.length === run.length ? b[i] : '?');
    const agreed = ra.letters === rb.letters && ra.letters !== '?';
    if (!agreed) ++left;
    reference.push(agreed ? { letters: ra.letters, tone: ra.tone === rb.tone ? ra.tone : -1 } : null);
    pro.push(normalise(p.length === run.length ? p[i] : '?'));
  }
  cutRuns.push([start, run, ...cuts.map((lengths) => {
    const spans = new Set();
    if (lengths === null || lengths.reduce((x, y) => x + y, 0) !== run.length) return spans;
    let at = 0;
    for (const length of lengths) spans.add(`${at}+${length}`), (at += length);
    return spans;
  })]);
}

// The reference with CC-CEDICT: its settled words where both libraries (or
// either) cut them. Where the libraries agree and the word reads otherwise,
// the syllable is disputed and left out; where they disagree, the word's
// reading is taken (unless two such words read it differently).
function curate(both) {
  const curated = reference.slice();
  const words = new Map();
  const conflicting = new Set();
  let disputed = 0;
  for (const [start, run, first, second] of cutRuns) {
    for (const span of new Set([...first, ...second])) {
      if (both && !(first.has(span) && second.has(span))) continue;
      const [at, length] = span.split('+').map(Number);
      const word = settled.get(run.slice(at, at + length));
      for (let i = 0; word && i < length; ++i) {
        const k = start + at + i;
        const r = reference[k];
        if (r !== null) {
          if (r.letters !== word[i].letters && curated[k] !== null) curated[k] = null, ++disputed;
        } else if (words.has(k) && words.get(k).letters !== word[i].letters) {
          conflicting.add(k);
        } else {
          words.set(k, word[i]);
        }
      }
    }
  }
  let taken = 0;
  for (const [k, syllable] of words)
    if (!conflicting.has(k)) curated[k] = { letters: syllable.letters, tone: syllable.tone }, ++taken;
  return { curated, disputed, taken };
}

function dump(path) {
  const lines = fs.readFileSync(path, 'utf8').split('\n');
  if (lines[lines.length - 1] === '') lines.pop();
  if (lines.length !== characters.length) throw new Error(`${path}: ${lines.length} readings`);
  return lines.map((l) => (l === '-' ? { letters: '-', tone: 0 } : normalise(l)));
}

function score(candidate, against) {
  const c = { all: [0, 0], poly: [0, 0], tones: [0, 0] };
  for (let i = 0; i < characters.length; ++i) {
    const r = against[i];
    if (r === null) continue;
    const right = candidate[i].letters === r.letters;
    c.all[0] += right; c.all[1] += 1;
    if (polyphonic.has(characters[i])) { c.poly[0] += right; c.poly[1] += 1; }
    // Tones where both references agree on a full tone: the neutral tone is
    // a convention the libraries do not share, so it is set aside.
    if (r.tone > 0) { c.tones[0] += right && candidate[i].tone === r.tone; c.tones[1] += 1; }
  }
  const pct = ([a, b]) => (100 * a / b).toFixed(2) + '%';
  return { toneless: pct(c.all), polyphonic: pct(c.poly), tones: pct(c.tones),
           counts: { toneless: c.all[1], polyphonic: c.poly[1], tones: c.tones[1] } };
}

const both = curate(true);
const either = curate(false);

// MOLVANE_ERRORS=N lists the N commonest misreadings of the word mode, with
// a context each, to see which rules and words are missing; those that
// CC-CEDICT disputes are marked.
if (process.env.MOLVANE_ERRORS) {
  const words = dump(wordsPath);
  const seen = new Map();
  for (let i = 0; i < characters.length; ++i) {
    const r = reference[i];
    if (r === null || words[i].letters === r.letters) continue;
    const key = `${characters[i]} ${words[i].letters}->${r.letters}${either.curated[i] === null ? ' (disputed)' : ''}`;
    const e = seen.get(key) || { n: 0, context: characters.slice(Math.max(0, i - 3), i + 4).join('') };
    e.n += 1;
    seen.set(key, e);
  }
  [...seen.entries()].sort((x, y) => y[1].n - x[1].n).slice(0, Number(process.env.MOLVANE_ERRORS))
    .forEach(([k, e]) => console.log(e.n, k, e.context));
}

const readers = {
  'pinyin-pro 3.29.4': pro,
  'molvane --readings=chars': dump(charsPath),
  'molvane --readings=words': dump(wordsPath),
};
console.log(`characters: ${characters.length}; left out where the libraries disagree: ${left}`);
const references = [
  ['agreement of the two libraries', reference],
  [`agreement and CC-CEDICT words both libraries cut (${both.disputed} disputed and left out, ` +
   `${both.taken} taken where the libraries disagree)`, both.curated],
  [`agreement and CC-CEDICT words either library cuts (${either.disputed} disputed and left out, ` +
   `${either.taken} taken where the libraries disagree)`, either.curated],
];
for (const [title, against] of references) {
  console.log(`\nReference: ${title}`);
  console.log('| reader | toneless syllables | syllables of polyphonic characters | syllables with tones |');
  console.log('|---|---|---|---|');
  let n;
  for (const [name, readings] of Object.entries(readers)) {
    const r = score(readings, against);
    console.log(`| ${name} | ${r.toneless} | ${r.polyphonic} | ${r.tones} |`);
    n = r.counts;
  }
  console.log(`(scored: ${n.toneless} syllables, ${n.polyphonic} of polyphonic characters, ${n.tones} with a full tone)`);
}
