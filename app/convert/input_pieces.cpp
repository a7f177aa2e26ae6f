// SPDX-License-Identifier: GPL-3.0-or-later
// Pieces of the joined input. The separator rules of shuangpin and Wubi depend
// on whether another Chinese character follows, so a piece is cut right
// before a Chinese character whenever one is in reach; a stretch without any
// is handed out on its own, holding back a Chinese character that starts it.
#include "app/convert/input_pieces.h"

#include <cerrno>
#include <cstring>

#include "platform/platform.h"

namespace molvane::convert {

// Pieces shorter than a few characters could not make progress.
constexpr size_t kSmallestPiece = 16;

PieceReader::PieceReader(std::vector<std::string> names, bool gbk, size_t pieceBytes, PieceCut cut)
    : names_(std::move(names)),
      gbk_(gbk),
      pieceBytes_(pieceBytes < kSmallestPiece ? kSmallestPiece : pieceBytes),
      cut_(cut) {
  if (names_.empty()) names_.push_back("-");
}

PieceReader::~PieceReader() {
  if (file_ != nullptr && file_ != stdin) std::fclose(file_);
}

bool PieceReader::CheckFiles(std::string* error) {
  for (const std::string& name : names_) {
    if (name == "-") continue;
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) {
      *error = name + ": " + std::strerror(errno);
      return false;
    }
    std::fclose(file);
  }
  return true;
}

// Reads until a piece's worth of bytes is buffered or every source is done.
bool PieceReader::Fill(std::string* error) {
  char chunk[65536];
  while (!atEnd_ && buffer_.size() < pieceBytes_) {
    if (file_ == nullptr) {
      if (nextName_ == names_.size()) {
        atEnd_ = true;
        break;
      }
      const std::string& name = names_[nextName_++];
      file_ = name == "-" ? stdin : std::fopen(name.c_str(), "rb");
      if (file_ == nullptr) {
        *error = name + ": " + std::strerror(errno);
        return false;
      }
      sources_.push_back(
          {name == "-" ? "standard input" : name, bufferStart_ + skew_ + buffer_.size()});
    }
    const size_t want = std::min(sizeof chunk, pieceBytes_ - buffer_.size());
    const size_t got = std::fread(chunk, 1, want, file_);
    buffer_.append(chunk, got);
    if (got == 0) {
      const bool failed = std::ferror(file_) != 0;
      const int saved = errno;
      if (file_ != stdin) std::fclose(file_);
      file_ = nullptr;
      if (failed) {
        *error = sources_.back().name + ": " + std::strerror(saved);
        return false;
      }
    }
  }
  return true;
}

int PieceReader::DecodeAt(size_t position, char32_t* code) const {
  const char* at = buffer_.data() + position;
  const size_t left = buffer_.size() - position;
  if (!gbk_) return platform::DecodeUtf8Character(at, left, code);
  char16_t unit;
  const int n = platform::DecodeGbkCharacter(at, left, &unit);
  *code = unit;
  return n;
}

// Checks the newly read whole characters and notes where Chinese ones start.
bool PieceReader::Scan(std::string* error) {
  size_t at = scanned_;
  while (at < buffer_.size()) {
    char32_t code;
    const int n = DecodeAt(at, &code);
    if (n < 0 && !atEnd_) break;  // the rest of the character is still to come
    if (n <= 0) {
      *error = Describe(gbk_ ? "not GBK" : "invalid UTF-8", at);
      return false;
    }
    if (IsHan(code)) {
      if (!scannedEndsHan_ && at > 0) lastRunStart_ = at;
      lastHan_ = at;
    } else {
      otherEnd_ = at + static_cast<size_t>(n);
    }
    scannedEndsHan_ = IsHan(code);
    at += static_cast<size_t>(n);
  }
  scanned_ = at;
  return true;
}

std::string PieceReader::Describe(const std::string& problem, size_t position) const {
  return DescribeOffset(problem, bufferStart_ + position + (position >= heldLength_ ? skew_ : 0));
}

std::string PieceReader::DescribeOffset(const std::string& problem, uint64_t offset) const {
  size_t k = sources_.size() - 1;
  while (k > 0 && sources_[k].start > offset) --k;
  return sources_[k].name + ": " + problem + " at byte offset " +
         std::to_string(offset - sources_[k].start);
}

bool PieceReader::Next(Piece* piece, std::string* error) {
  if (done_ || !Fill(error) || !Scan(error)) return false;
  size_t from = 0, to = scanned_;
  piece->hanFollows = false;
  piece->start = bufferStart_;
  if (atEnd_) {
    done_ = true;
  } else if (cut_ == PieceCut::kAfterOther) {
    // A run of Chinese characters at the end waits for the rest of the run,
    // so the run is cut into words whole.
    if (otherEnd_ != std::string::npos && otherEnd_ > 0) to = otherEnd_;
    lastHan_ = otherEnd_ = std::string::npos;
  } else if (cut_ == PieceCut::kBeforeRun && lastRunStart_ != std::string::npos) {
    to = lastRunStart_;
    piece->hanFollows = true;
  } else if (lastHan_ != std::string::npos && lastHan_ > 0) {
    to = lastHan_;
    piece->hanFollows = true;
  } else if (lastHan_ == 0) {
    // Whether a Chinese character comes after this one is not known yet:
    // keep it, and hand out the stretch behind it, which holds none.
    char32_t code;
    from = static_cast<size_t>(DecodeAt(0, &code));
  }
  lastRunStart_ = std::string::npos;  // positions change with the cut
  piece->bytes.assign(buffer_, from, to - from);
  buffer_.erase(from, to - from);
  scanned_ -= to - from;
  if (from == 0) {
    bufferStart_ += to + skew_;
    skew_ = 0;
    heldLength_ = 0;
    // What stays is the run cut before (its last Chinese character, when
    // the cut was before that).
    lastHan_ = piece->hanFollows ? lastHan_ - to : std::string::npos;
  } else {
    skew_ += to - from;
    heldLength_ = from;
  }
  return true;
}

}  // namespace molvane::convert
