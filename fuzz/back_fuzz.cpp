// SPDX-License-Identifier: GPL-3.0-or-later
// Braille back into print from any bytes: the first byte picks the notation
// and whether the decoder's hints are forced, the rest is the braille. Every
// problem's offset lies inside the input, every token's too, and the pinyin
// and characters are written whatever the cells.
#include <cstdint>
#include <string>

#include "back/back.h"
#include "back/decoder.h"
#include "fuzz/require.h"

using fuzz::Require;
using molvane::back::BackText;
using molvane::back::DecodeOptions;
using molvane::back::Notation;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const Notation notation = static_cast<Notation>(data[0] % 3);
  const std::string braille(reinterpret_cast<const char*>(data + 1), size - 1);
  const BackText text = molvane::back::Read(braille, notation);
  for (const auto& problem : text.problems)
    Require(problem.offset < braille.size(), "problem offset");
  for (const auto& token : text.tokens) Require(token.offset < braille.size(), "token offset");
  for (auto tones : {molvane::words::ToneStyle::kNone, molvane::words::ToneStyle::kMarks,
                     molvane::words::ToneStyle::kNumbers})
    molvane::back::Pinyin(text, tones);
  DecodeOptions options;
  options.hints = static_cast<DecodeOptions::Hints>((data[0] / 3) % 3);
  options.candidates = (data[0] / 9) % 4;
  const molvane::back::Decoded decoded = molvane::back::Characters(text, options);
  for (const auto& word : decoded.choices)
    Require(!word.candidates.empty() && word.candidates.size() <= options.candidates,
            "candidates per word");
  return 0;
}
