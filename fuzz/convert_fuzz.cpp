// SPDX-License-Identifier: GPL-3.0-or-later
// molvane-convert's own path below its main: input bytes read in a chosen
// encoding (or found by themselves) and converted with a chosen set of
// settings, once whole and once in small pieces. The reader must hand out
// the same text and the same fault either way, and for full text the pieces'
// conversions, joined, must be the whole text's, with the same characters
// counted as lost; nothing may crash, hang or leak.
//
// Input: an encoding byte, a settings byte (low three bits the notation,
// then text mode, readings, tones, spacing), a piece-size byte, then the
// text's bytes.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/convert/input_pieces.h"
#include "app/settings/conversion.h"
#include "fuzz/require.h"
#include "platform/platform.h"
#include "ui/program.h"

namespace {

using fuzz::Require;
using molvane::convert::Piece;
using molvane::convert::PieceCut;
using molvane::convert::PieceReader;
namespace settings = molvane::settings;
namespace words = molvane::words;

constexpr size_t kSmallestPiece = 17;
// The reader keeps a line whole up to this many pieces' worth of text and
// cuts a longer one inside, which bounds its memory. Decoded text can be
// three times its input (a GBK byte, € in code page 936, is three bytes of
// UTF-8), so a fuzz input can hold such a line.
constexpr size_t kLongestLinePieces = 16;

std::optional<platform::Encoding> EncodingOf(uint8_t byte) {
  static constexpr platform::Encoding kEncodings[] = {
      platform::Encoding::kUtf8, platform::Encoding::kUtf16Le, platform::Encoding::kUtf16Be,
      platform::Encoding::kGbk,  platform::Encoding::kGb18030, platform::Encoding::kBig5};
  if (byte % 8 >= 6) return std::nullopt;  // found by itself
  return kEncodings[byte % 8];
}

settings::Settings SettingsOf(uint8_t byte) {
  const auto notation = static_cast<settings::Notation>(byte % 8 % settings::kNotationCount);
  settings::Settings s = settings::ReaderReady(notation);
  if (byte & 0x08) s.text = settings::TextMode::kHan;
  if (byte & 0x10) s.readings = words::ReadingMode::kCharacters;
  if ((byte & 0x20) && notation == settings::Notation::kPinyin)
    s.tones = words::ToneStyle::kNumbers;
  if (byte & 0x40) s.spacing = settings::Spacing::kSyllable;
  if (!settings::Problem(s).empty()) s.spacing = settings::Spacing::kSyllable;
  if (byte & 0x80) s.separator = "/";
  return s;
}

struct Read {
  std::vector<Piece> pieces;
  std::string error;
};

Read ReadAll(const std::string& path, std::optional<platform::Encoding> encoding, size_t pieceBytes,
             PieceCut cut) {
  Read read;
  PieceReader reader({path}, encoding, pieceBytes, cut);
  Piece piece;
  while (reader.Next(&piece, &read.error)) read.pieces.push_back(piece);
  return read;
}

std::string Joined(const Read& read) {
  std::string text;
  for (const Piece& p : read.pieces) text += p.text;
  return text;
}

// The file the reader reads: one per process, rewritten for every input.
const std::string& InputPath() {
  static const std::string path = [] {
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder != nullptr ? folder : "/tmp") + "/molvane-convert-fuzz-" +
           std::to_string(getpid());
  }();
  return path;
}

void CheckFullTextPieces(const settings::Settings& s, const Read& whole, const Read& pieces) {
  settings::Converter one(s), many(s);
  settings::Converted all;
  const bool matched = one.Convert(Joined(whole), false, &all, false);
  std::string joined;
  uint64_t lost = 0;
  for (const Piece& p : pieces.pieces) {
    settings::Converted part;
    Require(many.Convert(p.text, false, &part, false) == matched, "a piece's codes did not match");
    joined += part.text;
    lost += part.lost.count;
  }
  if (!matched) return;
  Require(joined == all.text, "pieces write other text than the whole");
  Require(lost == all.lost.count, "pieces lose other characters than the whole");
}

// Whether every piece but the last ends with a line break. One that does
// not must stand in a line longer than the reader keeps whole.
bool LinesKeptWhole(const Read& pieces, size_t pieceBytes) {
  const std::string text = Joined(pieces);
  bool whole = true;
  size_t start = 0;
  for (size_t i = 0; i + 1 < pieces.pieces.size(); ++i) {
    const std::string& piece = pieces.pieces[i].text;
    if (!piece.ends_with('\n')) {
      const size_t lineEnd = std::min(text.find('\n', start), text.size());
      Require(lineEnd - start >= kLongestLinePieces * pieceBytes,
              "a full-text piece ends inside a line the reader keeps whole");
      whole = false;
    }
    start += piece.size();
  }
  return whole;
}

}  // namespace

// The program starts once for the whole run, as molvane-convert starts it
// once for a whole book: starting it is most of an input's time, and one
// conversion must not leave state behind that changes the next.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  molvane::StartProgram();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const auto encoding = EncodingOf(data[0]);
  const settings::Settings s = SettingsOf(data[1]);
  const size_t pieceBytes = kSmallestPiece + data[2] % 64;
  {
    std::FILE* file = std::fopen(InputPath().c_str(), "wb");
    Require(file != nullptr, "the input file cannot be written");
    std::fwrite(data + 3, 1, size - 3, file);
    std::fclose(file);
  }
  const PieceCut cut = s.text == settings::TextMode::kFull        ? PieceCut::kAfterLineBreak
                       : s.readings == words::ReadingMode::kWords ? PieceCut::kBeforeRun
                                                                  : PieceCut::kBeforeChinese;
  const Read whole = ReadAll(InputPath(), encoding, 1 << 20, cut);
  const Read pieces = ReadAll(InputPath(), encoding, pieceBytes, cut);
  Require(whole.error == pieces.error, "pieces report another fault than the whole");
  // Pieces that hold back a Chinese character hand it out after the text
  // behind it; its place stays its own.
  if (cut == PieceCut::kAfterLineBreak) {
    Require(Joined(pieces) == Joined(whole), "pieces hold other text than the whole");
    // Pieces of a line cut inside may write it otherwise than the whole.
    if (LinesKeptWhole(pieces, pieceBytes) && s.text == settings::TextMode::kFull)
      CheckFullTextPieces(s, whole, pieces);
  }
  std::remove(InputPath().c_str());
  return 0;
}
