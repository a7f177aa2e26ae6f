// SPDX-License-Identifier: GPL-3.0-or-later
// Prints pinyin-pro's reading of every character of U+4E00 to U+9FA5 in the
// UTF-8 text on standard input, one a line as bench/word_readings_dump
// prints them ("hang2", ü as v, 0 for the neutral tone), each run of such
// characters read as a whole. Citation tones, as Molvane writes them by
// default: pinyin-pro's sandhi of 一 and 不 is turned off.
import fs from 'node:fs';
import { createRequire } from 'node:module';

const require = createRequire(process.cwd() + '/');
const { pinyin } = require('pinyin-pro');

const text = fs.readFileSync(0, 'utf8');
const out = [];
for (const run of text.match(/[\u4e00-\u9fa5]+/g) || []) {
  for (const reading of pinyin(run, { type: 'array', toneType: 'num', toneSandhi: false })) {
    let letters = reading.replace(/[0-9]/g, '').replace(/ü/g, 'v');
    if (letters === 'lve' || letters === 'nve') letters = letters[0] + 'ue';
    const digit = reading.match(/[0-5]/);
    out.push(`${letters}${digit ? Number(digit[0]) % 5 : 0}`);
  }
}
process.stdout.write(out.join('\n') + '\n');
