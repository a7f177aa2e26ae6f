// SPDX-License-Identifier: GPL-3.0-or-later
// Reads molvane-convert's input in pieces of bounded size, so a text of any
// length converts in bounded memory. Each piece is checked strictly in its
// encoding and ends at a character boundary; a piece that is followed by
// more Chinese characters ends right before one of them, so the caller knows
// whether the separator rules must see a character after it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace molvane::convert {

// True for the characters the converters take: U+4E00 to U+9FA5.
inline bool IsHan(char32_t code) {
  return code >= 0x4E00 && code <= 0x9FA5;
}

struct Piece {
  std::string bytes;   // in the input's encoding
  bool hanFollows;     // a Chinese character comes after this piece
  uint64_t start = 0;  // offset in the joined input (pieces in input order only)
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
  // In input order, after the last character that is not Chinese (anywhere
  // when there is none).
  kAfterOther,
};

class PieceReader {
 public:
  // `names` are files, "-" for standard input; none means standard input.
  PieceReader(std::vector<std::string> names, bool gbk, size_t pieceBytes,
              PieceCut cut = PieceCut::kBeforeChinese);
  ~PieceReader();
  PieceReader(const PieceReader&) = delete;
  PieceReader& operator=(const PieceReader&) = delete;

  // Checks that every file can be opened, so a wrong name is reported before
  // anything is written. False with `error` set otherwise.
  bool CheckFiles(std::string* error);

  // The next piece; false at the end or on an error (then `error` is set:
  // an unreadable file, or a byte sequence that is not in the encoding, with
  // the file and the byte offset in it).
  bool Next(Piece* piece, std::string* error);

  // "file: problem at byte offset N" for an offset in the joined input that
  // was handed out already.
  std::string DescribeOffset(const std::string& problem, uint64_t offset) const;

 private:
  struct Source {
    std::string name;
    uint64_t start;  // where its bytes begin in the joined input
  };

  bool Fill(std::string* error);
  bool Scan(std::string* error);
  std::string Describe(const std::string& problem, size_t position) const;
  int DecodeAt(size_t position, char32_t* code) const;

  std::vector<std::string> names_;
  bool gbk_;
  size_t pieceBytes_;
  PieceCut cut_;
  size_t nextName_ = 0;
  std::FILE* file_ = nullptr;
  bool atEnd_ = false;  // every source read to its end
  bool done_ = false;   // the last piece handed out
  std::vector<Source> sources_;

  std::string buffer_;
  uint64_t bufferStart_ = 0;                 // offset of buffer_[0] in the joined input
  size_t scanned_ = 0;                       // bytes of whole, checked characters
  size_t lastHan_ = std::string::npos;       // start of the last Chinese character scanned
  size_t lastRunStart_ = std::string::npos;  // the last one that follows another character
  bool scannedEndsHan_ = false;              // the last character scanned is Chinese
  size_t otherEnd_ = std::string::npos;      // end of the last other character scanned
  // A Chinese character held back at buffer_[0] (its byte count), and how
  // many input bytes behind it were handed out already.
  size_t heldLength_ = 0;
  uint64_t skew_ = 0;
};

}  // namespace molvane::convert
