// SPDX-License-Identifier: GPL-3.0-or-later
// Scores the marked characters of CPP (Chinese Polyphones with Pinyin, Park
// and Lee 2020) for Molvane's two reading modes, pinyin-pro and npm
// `pinyin`, with and without tones; then, for Molvane's word readings, each
// polyphonic character with 20 or more examples against always giving that
// character its commonest label in the same set (an upper bound of the
// published "majority vote", which counts on the training split).
// The set is split once by sentence index: even sentences are the study
// half, whose errors may be looked at (CPP_STUDY_ERRORS=1 prints them for
// the word readings), odd ones the held-out half, only measured; both halves
// and the whole are reported.
//
//   node cpp_accuracy.mjs DATA_DIR words.txt chars.txt
// DATA_DIR holds dev.sent (one sentence a line, the character marked with
// U+2581 on each side) and dev.lb (its reading: letters, tone digit, 5 the
// neutral one, ü as u:). words.txt, chars.txt: bench/word_readings_dump's
// readings of the sentences with the marks removed, one line each, in order.
import fs from 'node:fs';
import { createRequire } from 'node:module';

const require = createRequire(process.cwd() + '/');
const pinyinPro = require('pinyin-pro').pinyin;
const npmPinyinModule = require('pinyin');
const npmPinyin = npmPinyinModule.default || npmPinyinModule.pinyin || npmPinyinModule;

const [dataDir, wordsPath, charsPath] = process.argv.slice(2);
const lines = (path) => fs.readFileSync(path, 'utf8').split('\n').filter((l) => l !== '');
const sentences = lines(`${dataDir}/dev.sent`);
const labels = lines(`${dataDir}/dev.lb`);
if (sentences.length !== labels.length) throw new Error('dev.sent and dev.lb differ in length');
const isHan = (c) => c >= '\u4e00' && c <= '\u9fa5';
const mark = '\u2581';

// "lüe4", "lu:e4", "nv3", "le5", "le" -> "lue4"-style letters and tone 0-4.
function normalise(reading) {
  const s = String(reading).toLowerCase();
  const digit = s.match(/[0-5]/);
  const tone = digit ? Number(digit[0]) % 5 : 0;
  let letters = s.replace(/[0-9]/g, '').replace(/u:/g, 'v').replace(/ü/g, 'v');
  if (letters === 'lve' || letters === 'nve') letters = letters[0] + 'ue';
  return `${letters}${tone}`;
}

// Each sentence: the plain text, the marked character's place in it, its
// place among the sentence's characters of U+4E00 to U+9FA5, and the run of
// such characters that holds it with its offset there.
const items = sentences.map((sentence, i) => {
  const at = sentence.indexOf(mark);
  const plain = sentence.split(mark).join('');
  const chars = [...plain];
  const place = [...sentence.slice(0, at)].length;
  let start = place;
  while (start > 0 && isHan(chars[start - 1])) start--;
  let end = place + 1;
  while (end < chars.length && isHan(chars[end])) end++;
  return {
    plain, chars, place, label: normalise(labels[i]), character: chars[place],
    hanBefore: chars.slice(0, place).filter(isHan).length,
    hanCount: chars.filter(isHan).length,
    run: chars.slice(start, end).join(''), offset: place - start,
  };
});

function molvane(path) {
  const readings = lines(path);
  let at = 0;
  return items.map((item) => {
    const reading = readings[at + item.hanBefore];
    at += item.hanCount;
    return reading === '-' ? '' : reading;
  });
}

const readers = [
  ['molvane --readings=words', molvane(wordsPath)],
  ['molvane --readings=chars', molvane(charsPath)],
  ['pinyin-pro 3.29.4', items.map((item) => {
    const all = pinyinPro(item.plain, { type: 'array', toneType: 'num' });
    // One entry a character; where the library groups otherwise, the run alone.
    if (all.length === item.chars.length) return normalise(all[item.place]);
    return normalise(pinyinPro(item.run, { type: 'array', toneType: 'num' })[item.offset]);
  })],
  ['pinyin 4.0.0 (npm, segmented)', items.map((item) =>
    normalise(npmPinyin(item.run, { segment: true, style: npmPinyin.STYLE_TONE2 })[item.offset][0]))],
];

const percent = (n, d) => `${((100 * n) / d).toFixed(2)}%`;
const halves = [['whole', () => true], ['study (even)', (i) => i % 2 === 0],
  ['held-out (odd)', (i) => i % 2 === 1]];
console.log(`CPP development set: ${items.length} marked characters ` +
  `(study half ${Math.ceil(items.length / 2)}, held-out half ${Math.floor(items.length / 2)})`);
console.log(`| reader | ${halves.map(([h]) => `${h} with tones | ${h} without tones`).join(' | ')} |`);
console.log(`|---|${halves.map(() => '---|---|').join('')}`);
for (const [name, got] of readers) {
  const cells = halves.map(([, keep]) => {
    const kept = got.map((g, i) => i).filter(keep);
    const toned = kept.filter((i) => got[i] === items[i].label).length;
    const toneless = kept.filter((i) => got[i].slice(0, -1) === items[i].label.slice(0, -1)).length;
    return `${percent(toned, kept.length)} | ${percent(toneless, kept.length)}`;
  });
  console.log(`| ${name} | ${cells.join(' | ')} |`);
}
console.log('Published, test split, with tones: pypinyin 86.13%, majority vote 92.08%, ' +
  'g2pM 97.31%, BERT 97.85%, g2pW 99.08%.');
if (process.env.CPP_STUDY_ERRORS) {
  readers[0][1].forEach((got, i) => {
    if (i % 2 === 0 && got !== items[i].label) {
      console.log(`error\t${i}\t${items[i].character}\t${got}\t${items[i].label}\t${sentences[i]}`);
    }
  });
}

// Classes: Molvane's word readings beside the commonest label of the class.
const classes = new Map();
readers[0][1].forEach((got, i) => {
  const item = items[i];
  if (!classes.has(item.character)) classes.set(item.character, { n: 0, right: 0, labels: new Map() });
  const c = classes.get(item.character);
  c.n++;
  c.right += got === item.label;
  c.labels.set(item.label, (c.labels.get(item.label) || 0) + 1);
});
const below = [];
let large = 0;
for (const [character, c] of classes) {
  if (c.n < 20) continue;
  large++;
  const commonest = Math.max(...c.labels.values());
  if (c.right < commonest) below.push(`${character} ${c.right}/${c.n} (commonest ${commonest})`);
}
console.log(`Classes of 20 or more examples: ${large}; word readings below the class's ` +
  `commonest label: ${below.length}${below.length ? `: ${below.join(', ')}` : ''}`);
