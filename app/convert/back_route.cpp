// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/convert/back_route.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <optional>
#include <string_view>

#include "app/convert/input_pieces.h"
#include "back/back.h"
#include "back/decoder.h"
#include "platform/text_encodings.h"

namespace molvane::convert {
namespace {

back::Notation BackNotation(settings::Notation notation) {
  switch (notation) {
    case settings::Notation::kDoubleBraille:
      return back::Notation::kDoubleBraille;
    case settings::Notation::kCommonBraille:
      return back::Notation::kCommonBraille;
    default:
      return back::Notation::kCurrentBraille;
  }
}

// The choices for each braille word, one line each: its place and the
// candidates best first.
std::string ChoiceLines(const back::Decoded& decoded, const Piece& piece) {
  std::string lines;
  for (const back::WordChoices& word : decoded.choices) {
    lines += "byte " + std::to_string(piece.PlaceOf(word.offset).offset) + ":";
    for (const std::string& candidate : word.candidates) lines += " " + candidate;
    lines += '\n';
  }
  return lines;
}

// True for a page number line of laid-out braille: blanks, then the number
// sign and digits (BRF: spaces, "#" and A to J; Unicode: blank patterns, ⠼
// and the patterns of a to j).
bool IsPageNumberLine(std::string_view line) {
  constexpr size_t kLeastBlanks = 8;  // the narrowest page has 12 cells
  size_t blanks = 0;
  for (; !line.empty(); ++blanks) {
    if (line.starts_with(' '))
      line.remove_prefix(1);
    else if (line.starts_with("\xE2\xA0\x80"))
      line.remove_prefix(3);
    else
      break;
  }
  if (blanks < kLeastBlanks) return false;
  const bool brf = line.starts_with('#');
  if (!brf && !line.starts_with("\xE2\xA0\xBC")) return false;
  line.remove_prefix(brf ? 1 : 3);
  if (line.empty()) return false;
  static constexpr char32_t kDigits[] = {0x01, 0x03, 0x09, 0x19, 0x11,
                                         0x0B, 0x1B, 0x13, 0x0A, 0x1A};
  while (!line.empty()) {
    if (brf) {
      const char c = static_cast<char>(line[0] & ~0x20);  // either letter case
      if (c < 'A' || c > 'J') return false;
      line.remove_prefix(1);
      continue;
    }
    if (line.size() < 3 || line.substr(0, 2) != "\xE2\xA0") return false;
    const char32_t cell = static_cast<unsigned char>(line[2]) & 0x3F;
    if (std::find(std::begin(kDigits), std::end(kDigits), cell) == std::end(kDigits)) return false;
    line.remove_prefix(3);
  }
  return true;
}

// Laid-out braille read back: each page's number line, with the form feed
// before it and its line break, is not text. It becomes spaces, so every
// byte offset stays that of the file.
void BlankPageNumbers(std::string* bytes) {
  for (size_t start = 0; start < bytes->size();) {
    const size_t lineStart = (*bytes)[start] == '\f' ? start + 1 : start;
    const size_t end = std::min(bytes->find('\n', lineStart), bytes->size());
    std::string_view line = std::string_view(*bytes).substr(lineStart, end - lineStart);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (IsPageNumberLine(line))
      std::fill(bytes->begin() + static_cast<std::ptrdiff_t>(start),
                bytes->begin() + static_cast<std::ptrdiff_t>(std::min(end + 1, bytes->size())),
                ' ');
    const size_t feed = bytes->find('\f', end);
    if (feed == std::string::npos) break;
    start = feed;
  }
}

// Reads the pieces in turn, each ending after a line (no word is cut, and
// lines hold nothing for each other), so memory stays bounded whatever the
// input's length. Each file's braille form is found from its first piece.
class BackConversion {
 public:
  BackConversion(const Options& options, size_t pieceBytes)
      : options_(options),
        reader_(options.files, options.inputEncoding, pieceBytes, PieceCut::kAfterLineBreak) {}

  int Run() {
    std::string error;
    if (!reader_.CheckFiles(&error)) return Fail(error);
    Piece piece;
    while (reader_.Next(&piece, &error)) {
      const int code = Convert(piece);
      if (code != kExitDone) return code;
    }
    if (!error.empty()) return Fail(error);
    if (std::fflush(stdout) != 0)
      return Fail(std::string("standard output: ") + std::strerror(errno));
    if (problems_ > 0)
      std::fprintf(stderr, "%s: %llu cell sequence%s not read (first: %s)\n", kProgramName,
                   static_cast<unsigned long long>(problems_), problems_ == 1 ? " was" : "s were",
                   first_.c_str());
    return kExitDone;
  }

 private:
  int Convert(const Piece& piece) {
    const size_t source = piece.PlaceOf(0).source;
    if (forms_.size() <= source) forms_.resize(source + 1);
    // Pieces start at a line's start, so a page's number line and the form
    // feed before it are whole in one piece.
    std::string bytes = piece.text;
    BlankPageNumbers(&bytes);
    if (!forms_[source]) forms_[source] = back::DetectForm(bytes);
    back::BackText text;
    const std::vector<back::Cell> cells = back::ReadCells(bytes, *forms_[source], &text.problems);
    std::vector<back::Problem> unread = std::move(text.problems);
    text = back::ReadCellsAs(cells, BackNotation(options_.settings.notation));
    unread.insert(unread.end(), text.problems.begin(), text.problems.end());
    for (const back::Problem& problem : unread) {
      if (problems_++ == 0)
        first_ = problem.what + ", " + reader_.Describe(piece.PlaceOf(problem.offset));
      if (options_.given.strict) return Fail(first_);
    }
    if (options_.backTo == BackTo::kPinyin)
      return Write(back::Pinyin(text, options_.given.tones.value_or(words::ToneStyle::kMarks)));
    back::DecodeOptions decode;
    decode.candidates = options_.candidates;
    const back::Decoded decoded = back::Characters(text, decode);
    return Write(decoded.text + ChoiceLines(decoded, piece));
  }

  // Output in the chosen encoding.
  int Write(const std::string& utf8) {
    std::string bytes;
    const std::string* out = &utf8;
    if (options_.outputEncoding != platform::Encoding::kUtf8) {
      size_t at = 0;
      if (!platform::EncodeText(options_.outputEncoding, utf8, &bytes, &at))
        return Fail("the output has a character that " +
                    std::string(platform::EncodingName(options_.outputEncoding)) + " cannot hold");
      out = &bytes;
    }
    if (std::fwrite(out->data(), 1, out->size(), stdout) != out->size())
      return Fail(std::string("standard output: ") + std::strerror(errno));
    return kExitDone;
  }

  static int Fail(const std::string& what) {
    std::fprintf(stderr, "%s: %s\n", kProgramName, what.c_str());
    return kExitFailed;
  }

  const Options& options_;
  PieceReader reader_;
  std::vector<std::optional<back::Form>> forms_;  // by source, once found
  uint64_t problems_ = 0;
  std::string first_;
};

}  // namespace

int ConvertBack(const Options& options, size_t pieceBytes) {
  return BackConversion(options, pieceBytes).Run();
}

}  // namespace molvane::convert
