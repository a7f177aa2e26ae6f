// SPDX-License-Identifier: GPL-3.0-or-later
// Pieces of the joined input. The separator rules of shuangpin and Wubi depend
// on whether another Chinese character follows, so a piece is cut right
// before a Chinese character whenever one is in reach; a stretch without any
// is handed out on its own, holding back a Chinese character that starts it.
#include "app/convert/input_pieces.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/platform.h"

namespace molvane::convert {
namespace {

using platform::Encoding;

// Pieces shorter than a few characters could not make progress.
constexpr size_t kSmallestPiece = 16;
// A line is kept whole in one piece up to this many pieces' worth of bytes.
constexpr size_t kLongestLinePieces = 16;

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char b : bytes) {
    if (!out.empty()) out += ' ';
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

}  // namespace

InputPlace Piece::PlaceOf(size_t at) const {
  const uint64_t text = start + at + (at >= gapAt ? gap : 0);
  auto after = std::upper_bound(anchors.begin(), anchors.end(), text,
                                [](uint64_t t, const Anchor& a) { return t < a.text; });
  if (after == anchors.begin()) return {};
  const Anchor& anchor = *(after - 1);
  return {anchor.place.source, anchor.place.offset + (text - anchor.text)};
}

PieceReader::PieceReader(std::vector<std::string> names, std::optional<Encoding> encoding,
                         size_t pieceBytes, PieceCut cut)
    : names_(std::move(names)),
      forced_(encoding),
      pieceBytes_(std::max(pieceBytes, kSmallestPiece)),
      fillBytes_(pieceBytes_),
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

std::string PieceReader::Describe(const InputPlace& place) const {
  const std::string& name = place.source < sources_.size() ? sources_[place.source].name : "";
  return name + " byte " + std::to_string(place.offset);
}

std::string PieceReader::NameOf(size_t source) const {
  return source < sources_.size() ? sources_[source].name : "";
}

bool PieceReader::OpenNext(std::string* error) {
  const std::string& name = names_[nextName_++];
  file_ = name == "-" ? stdin : std::fopen(name.c_str(), "rb");
  if (file_ == nullptr) {
    *error = name + ": " + std::strerror(errno);
    return false;
  }
  sources_.push_back({name == "-" ? "standard input" : name, forced_.value_or(Encoding::kUtf8)});
  raw_.clear();
  rawOffset_ = 0;
  encodingKnown_ = forced_.has_value();
  anchors_.push_back({bufferStart_ + skew_ + buffer_.size(), {sources_.size() - 1, 0}});
  return true;
}

// A byte-order mark, else UTF-8 when the first bytes are, else GB18030 when
// they are that; a byte-order mark is not part of the text.
void PieceReader::FindEncoding() {
  encodingKnown_ = true;
  Source& source = sources_.back();
  size_t markLength = 0;
  const Encoding found = platform::FindEncoding(raw_, &markLength);
  if (!forced_) source.encoding = found;
  if (forced_ && markLength > 0 && *forced_ != source.encoding) markLength = 0;
  raw_.erase(0, markLength);
  rawOffset_ = markLength;
  anchors_.back().place.offset = markLength;
}

// The bytes at a place that is no character, and an encoding that reads the
// file's bytes read so far.
std::string PieceReader::BadBytes(size_t at) const {
  const Source& source = sources_.back();
  std::string text = std::string("invalid ") + platform::EncodingName(source.encoding) +
                     " at byte offset " + std::to_string(rawOffset_ + at) + " (bytes " +
                     Hex(std::string_view(raw_).substr(at, 4)) + ")";
  // Almost any bytes read as UTF-16: it is named only for text with zero
  // bytes, which every ASCII character has in UTF-16 and no other encoding.
  const bool zeros = raw_.find('\0') != std::string::npos;
  for (Encoding other :
       {Encoding::kGbk, Encoding::kGb18030, Encoding::kBig5, Encoding::kUtf8, Encoding::kUtf16Le}) {
    if (other == Encoding::kUtf16Le && !zeros) continue;
    if (other == source.encoding || platform::DecodablePrefix(other, raw_, false) != raw_.size())
      continue;
    std::string name = platform::EncodingName(other);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; });
    return text + "; the file reads as " + platform::EncodingName(other) + ": try -e " + name;
  }
  return text;
}

// Decodes the whole characters read so far into the text.
bool PieceReader::Decode(bool fileEnded, std::string* error) {
  const Encoding encoding = sources_.back().encoding;
  size_t at = 0;
  while (at < raw_.size()) {
    char32_t code;
    const int n = platform::DecodeCharacter(encoding, raw_.data() + at, raw_.size() - at, &code);
    if (n < 0 && !fileEnded) break;  // the rest of the character is still to come
    if (n <= 0) {
      *error = sources_.back().name + ": " + BadBytes(at);
      return false;
    }
    const size_t before = buffer_.size();
    if (encoding == Encoding::kUtf8)
      buffer_.append(raw_, at, static_cast<size_t>(n));
    else
      platform::AppendUtf8(code, &buffer_);
    at += static_cast<size_t>(n);
    if (buffer_.size() - before != static_cast<size_t>(n))
      anchors_.push_back(
          {bufferStart_ + skew_ + buffer_.size(), {sources_.size() - 1, rawOffset_ + at}});
  }
  raw_.erase(0, at);
  rawOffset_ += at;
  return true;
}

// Reads until a piece's worth of text is decoded or every source is done.
bool PieceReader::Fill(std::string* error) {
  char chunk[65536];
  while (!atEnd_ && buffer_.size() < fillBytes_) {
    if (file_ == nullptr) {
      if (nextName_ == names_.size()) {
        atEnd_ = true;
        break;
      }
      if (!OpenNext(error)) return false;
    }
    const size_t got = std::fread(chunk, 1, sizeof chunk, file_);
    raw_.append(chunk, got);
    const bool ended = got == 0;
    if (ended) {
      const bool failed = std::ferror(file_) != 0;
      const int saved = errno;
      if (file_ != stdin) std::fclose(file_);
      file_ = nullptr;
      if (failed) {
        *error = sources_.back().name + ": " + std::strerror(saved);
        return false;
      }
    }
    if (!encodingKnown_ && (ended || raw_.size() >= platform::kEncodingSniffBytes)) FindEncoding();
    // The text before bytes that are not in the encoding is still handed
    // out; the fault is reported after it.
    if (encodingKnown_ && !Decode(ended, &fault_)) atEnd_ = true;
  }
  return true;
}

// Notes where Chinese characters, other characters and lines end in the
// newly decoded text.
void PieceReader::Scan() {
  size_t at = scanned_;
  while (at < buffer_.size()) {
    char32_t code;
    const int n = platform::DecodeUtf8Character(buffer_.data() + at, buffer_.size() - at, &code);
    if (IsHan(code)) {
      if (!scannedEndsHan_ && at > 0) lastRunStart_ = at;
      lastHan_ = at;
    } else {
      otherEnd_ = at + static_cast<size_t>(n);
      if (code == '\n') lineEnd_ = otherEnd_;
    }
    scannedEndsHan_ = IsHan(code);
    at += static_cast<size_t>(n);
  }
  scanned_ = at;
}

// The anchors of the decoded text from `start` to `end`; those before the
// text still to hand out are dropped.
void PieceReader::TakeAnchors(uint64_t start, uint64_t end, Piece* piece) {
  piece->anchors.clear();
  auto first = std::upper_bound(anchors_.begin(), anchors_.end(), start,
                                [](uint64_t t, const Anchor& a) { return t < a.text; });
  if (first != anchors_.begin()) --first;
  for (auto it = first; it != anchors_.end() && it->text < end; ++it) piece->anchors.push_back(*it);
  auto keep = std::upper_bound(anchors_.begin(), anchors_.end(), bufferStart_,
                               [](uint64_t t, const Anchor& a) { return t < a.text; });
  if (keep != anchors_.begin()) --keep;
  anchors_.erase(anchors_.begin(), keep);
}

bool PieceReader::Next(Piece* piece, std::string* error) {
  if (done_) {
    *error = fault_;
    return false;
  }
  if (!Fill(error)) return false;
  Scan();
  // A line is kept whole: read on until one ends, within bounds.
  while (cut_ == PieceCut::kAfterLineBreak && !atEnd_ && lineEnd_ == std::string::npos &&
         fillBytes_ < kLongestLinePieces * pieceBytes_) {
    fillBytes_ += pieceBytes_;
    if (!Fill(error)) return false;
    Scan();
  }
  fillBytes_ = pieceBytes_;
  size_t from = 0, to = scanned_;
  piece->hanFollows = false;
  if (atEnd_) {
    done_ = true;
  } else if (cut_ == PieceCut::kAfterLineBreak) {
    if (lineEnd_ != std::string::npos && lineEnd_ > 0)
      to = lineEnd_;
    else if (otherEnd_ != std::string::npos && otherEnd_ > 0)
      to = otherEnd_;
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
    from =
        static_cast<size_t>(platform::DecodeUtf8Character(buffer_.data(), buffer_.size(), &code));
  }
  lastRunStart_ = lineEnd_ = otherEnd_ = std::string::npos;  // positions change with the cut
  piece->text.assign(buffer_, from, to - from);
  piece->start = bufferStart_ + (from == 0 ? 0 : from + skew_);
  piece->gapAt = from == 0 && skew_ > 0 ? heldLength_ : piece->text.size() + 1;
  piece->gap = from == 0 ? skew_ : 0;
  const uint64_t end = bufferStart_ + skew_ + to;
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
  TakeAnchors(piece->start, end, piece);
  return true;
}

}  // namespace molvane::convert
