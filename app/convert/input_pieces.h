// SPDX-License-Identifier: GPL-3.0-or-later
// Reads molvane-convert's input in pieces of bounded size, so a text of any
// length converts in bounded memory. Each file is decoded strictly in its
// encoding (given, or found from its first bytes) into UTF-8, and every
// piece ends at a character boundary; where it ends depends on what the
// conversion needs to see after it (PieceCut).
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/settings/code_points.h"
#include "platform/text_encodings.h"

namespace molvane::convert {

using settings::IsHan;

// Where a UTF-8 offset of the decoded text stands in the input: the file
// (an index into the reader's sources) and the byte offset in it.
struct InputPlace {
  size_t source = 0;
  uint64_t offset = 0;
};

// A point where the decoded text and the input bytes line up; between two
// anchors every character has as many bytes in both.
struct Anchor {
  uint64_t text;  // offset in the joined decoded text
  InputPlace place;
};

struct Piece {
  std::string text;    // UTF-8
  bool hanFollows;     // a Chinese character comes after this piece
  uint64_t start = 0;  // offset of text[0] in the joined decoded text
  // A piece that starts with a held-back Chinese character jumps after it
  // (gapAt) over the text handed out meanwhile (gap bytes).
  size_t gapAt = 0;
  uint64_t gap = 0;
  std::vector<Anchor> anchors;  // the last at or before `start`, then those inside

  // Where the character at `at` (an offset in `text`) stands in the input.
  InputPlace PlaceOf(size_t at) const;
};

// Where a piece that more text follows ends.
enum class PieceCut {
  // Right before a Chinese character, so the piece knows one follows
  // (hanFollows); a Chinese character at a piece's start may be held back
  // while the stretch behind it, which holds none, is handed out.
  kBeforeChinese,
  // Like kBeforeChinese, but before the first character of a run of Chinese
  // characters, so that no word is cut (anywhere when the run is longer
  // than a piece).
  kBeforeRun,
  // After a line break, so that nothing of one line's writing carries into
  // the next piece; a line longer than many pieces is cut after a character
  // that is not Chinese.
  kAfterLineBreak,
};

class PieceReader {
 public:
  // `names` are files, "-" for standard input; none means standard input.
  // Without `encoding` each file's is found from its first bytes: a byte
  // order mark, else UTF-8 if they are UTF-8, else GB18030.
  PieceReader(std::vector<std::string> names, std::optional<platform::Encoding> encoding,
              size_t pieceBytes, PieceCut cut = PieceCut::kBeforeChinese);
  ~PieceReader();
  PieceReader(const PieceReader&) = delete;
  PieceReader& operator=(const PieceReader&) = delete;

  // Checks that every file can be opened, so a wrong name is reported before
  // anything is written. False with `error` set otherwise.
  bool CheckFiles(std::string* error);

  // The next piece; false at the end or on an error (then `error` is set:
  // an unreadable file, or bytes that are not in the file's encoding, with
  // the file, the byte offset and the bytes, and a hint at an encoding that
  // reads them).
  bool Next(Piece* piece, std::string* error);

  // "file byte N" for a place in the input.
  std::string Describe(const InputPlace& place) const;
  // The name of an input file as messages give it.
  std::string NameOf(size_t source) const;

 private:
  struct Source {
    std::string name;
    platform::Encoding encoding = platform::Encoding::kUtf8;
  };

  bool Fill(std::string* error);
  bool OpenNext(std::string* error);
  void FindEncoding();
  bool Decode(bool fileEnded, std::string* error);
  std::string BadBytes(size_t at) const;
  void Scan();
  void TakeAnchors(uint64_t start, uint64_t end, Piece* piece);

  std::vector<std::string> names_;
  std::optional<platform::Encoding> forced_;
  size_t pieceBytes_;
  size_t fillBytes_;  // what Fill reads up to: a piece, or more to find a line's end
  PieceCut cut_;
  size_t nextName_ = 0;
  std::FILE* file_ = nullptr;
  bool atEnd_ = false;  // every source read to its end
  bool done_ = false;   // the last piece handed out
  std::string fault_;   // bytes not in their encoding, said once the text before is out
  std::vector<Source> sources_;

  std::string raw_;         // bytes read, not decoded yet (a character's start at most)
  uint64_t rawOffset_ = 0;  // offset of raw_[0] in the current file
  bool encodingKnown_ = false;
  std::vector<Anchor> anchors_;  // from the last at or before buffer_'s start on

  std::string buffer_;        // decoded, not handed out yet
  uint64_t bufferStart_ = 0;  // offset of buffer_[0] in the joined decoded text
  size_t scanned_ = 0;
  size_t lastHan_ = std::string::npos;       // start of the last Chinese character scanned
  size_t lastRunStart_ = std::string::npos;  // the last one that follows another character
  bool scannedEndsHan_ = false;              // the last character scanned is Chinese
  size_t otherEnd_ = std::string::npos;      // end of the last other character scanned
  size_t lineEnd_ = std::string::npos;       // end of the last line break scanned
  // A Chinese character held back at buffer_[0] (its byte count), and how
  // many decoded bytes behind it were handed out already.
  size_t heldLength_ = 0;
  uint64_t skew_ = 0;
};

}  // namespace molvane::convert
