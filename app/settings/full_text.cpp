// SPDX-License-Identifier: GPL-3.0-or-later
// Full-text mode: the program's syllables with everything else around them.
#include "app/settings/full_text.h"

#include <algorithm>

#include "app/settings/braille_forms.h"
#include "app/settings/code_points.h"
#include "platform/platform.h"
#include "platform/text_encodings.h"
#include "words/grouping.h"
#include "words/words.h"

namespace molvane::settings {
namespace {

using fulltext::CharClass;
using fulltext::Classify;

// Runs of Chinese characters are cut into words this many characters at a
// time at most, which bounds the segmentation's memory.
constexpr size_t kLongestRun = 1024;

// Characters are decided with this many behind them, enough for the longest
// sign ("——") and for a number's decimal point.
constexpr size_t kLookahead = 2;

// True for a character that GBK holds (so pinyin can keep it as text); the
// code page writes "?" for a unit it lacks.
bool InGbk(char32_t code) {
  if (code == '?') return true;
  if (code > 0xFFFF) return false;
  char bytes[2];
  const auto unit = static_cast<char16_t>(code);
  return platform::EncodeGbk(&unit, 1, bytes) != 1 || bytes[0] != '?';
}

// A character of the basic plane (all that GBK holds) as UTF-8.
std::string Utf8(char16_t unit) {
  char out[3];
  return std::string(out, platform::EncodeUtf8(unit, out));
}

// ForEachCode, with a character that the program knows by another code
// (〇 as 零) visited as that one.
template <typename Visit>
void ForEachRead(const std::string& bytes, bool gbk, Visit visit) {
  ForEachCode(bytes, gbk, [&](char32_t code, size_t at) {
    const char32_t as = fulltext::ReadAs(code);
    visit(as != 0 ? as : code, at);
  });
}

}  // namespace

// Words, blanks and line breaks in the chosen form.
class FullTextWriter::Output : public fulltext::Sink {
 public:
  explicit Output(const FullTextSettings& settings) : settings_(settings) {}

  void Word(std::string_view text) override { word_ += text; }
  void Blank() override {
    FlushWord();
    out_ += settings_.blank;
  }
  void LineBreak() override {
    FlushWord();
    out_ += settings_.lineBreak;
    lineOpen_ = false;
  }

  // What is finished so far; the word being written stays until it ends.
  void Take(std::string* out) {
    if (out->empty())
      out->swap(out_);  // no second copy of a piece's output
    else
      *out += out_;
    out_.clear();
  }
  void Finish(std::string* out) {
    FlushWord();
    if (lineOpen_ && settings_.endWithLineBreak) out_ += settings_.lineBreak;
    Take(out);
  }

 private:
  void FlushWord() {
    if (word_.empty()) return;
    lineOpen_ = true;
    if (!settings_.braille) {
      out_ += word_;
    } else if (settings_.patterns) {
      out_ += UnicodeBraille(std::vector<int>(word_.begin(), word_.end()));
    } else {
      for (size_t i = 0; i < word_.size(); ++i) {
        if (i > 0) out_ += '-';
        for (int dot = 0; dot < 6; ++dot)
          if (word_[i] >> dot & 1) out_ += static_cast<char>('1' + dot);
      }
    }
    word_.clear();
  }

  const FullTextSettings& settings_;
  std::string word_;  // cells or pinyin of the word being written
  std::string out_;
  bool lineOpen_ = false;
};

FullTextWriter::FullTextWriter(FullTextSettings settings, HanConversion han, HanCoverage* coverage)
    : settings_(std::move(settings)),
      han_(std::move(han)),
      coverage_(coverage),
      output_(std::make_unique<Output>(settings_)),
      spacer_(std::make_unique<fulltext::Spacer>(output_.get(), settings_.braille)) {}

FullTextWriter::~FullTextWriter() = default;

// Runs the piece's convertible Chinese characters through the program once.
bool FullTextWriter::ConvertHan(const std::string& bytes, bool gbk) {
  std::u16string han;
  ForEachRead(bytes, gbk, [&](char32_t code, size_t) {
    if (Classify(code) == CharClass::kHan) han += static_cast<char16_t>(code);
  });
  if (!coverage_->Learn(han_, han)) return false;
  // The characters the program converts, a line break where anything else
  // stood, so a path that reads characters in their words sees the same
  // words as in the text.
  std::string gbkHan;
  size_t count = 0;
  bool together = false;
  ForEachRead(bytes, gbk, [&](char32_t code, size_t) {
    const bool converted = Classify(code) == CharClass::kHan && coverage_->Writes(code);
    if (converted) {
      if (!together && !gbkHan.empty()) gbkHan += '\n';
      AppendGbk(static_cast<char16_t>(code), &gbkHan);
      ++count;
    }
    together = converted;
  });
  hanOutput_ = count == 0 ? std::string() : han_(gbkHan);
  // Dot numbers and plain pinyin are ASCII, the same in GBK and UTF-8;
  // pinyin with tone marks is not. No GBK trail byte is a line break, so the
  // whole output converts at once and its lines stay where they were.
  if (std::any_of(hanOutput_.begin(), hanOutput_.end(), [](char b) { return b & 0x80; }))
    hanOutput_ = platform::GbkToUtf8(hanOutput_);
  hanCursor_ = 0;
  return static_cast<size_t>(std::count(hanOutput_.begin(), hanOutput_.end(), '\n')) == count;
}

// The place of each Chinese character of the piece in its group of words,
// grouped by the rules of the notation.
void FullTextWriter::SegmentHan(const std::string& bytes, bool gbk) {
  hanWords_.clear();
  hanWordCursor_ = 0;
  const auto rules =
      settings_.braille ? words::GroupingRules::kBraille : words::GroupingRules::kPinyin;
  std::u16string run;
  auto cut = [&] {
    size_t from = 0;
    for (int length : words::GroupRun(run, rules)) {
      const bool joins = words::JoinsNumber(std::u16string_view(run).substr(from, length), rules);
      for (int i = 0; i < length; ++i)
        hanWords_.push_back({length == 1 ? InWord::kAlone
                             : i == 0    ? InWord::kFirst
                                         : InWord::kLater,
                             i == 0 && joins});
      from += static_cast<size_t>(length);
    }
    run.clear();
  };
  ForEachRead(bytes, gbk, [&](char32_t code, size_t) {
    if (Classify(code) == CharClass::kHan) {
      run += static_cast<char16_t>(code);
      if (run.size() == kLongestRun) cut();
    } else if (!run.empty()) {
      cut();
    }
  });
  if (!run.empty()) cut();
}

bool FullTextWriter::Add(const std::string& bytes, bool gbk, uint64_t start, std::string* out) {
  if (!ConvertHan(bytes, gbk)) return false;
  if (settings_.wordSpacing) SegmentHan(bytes, gbk);
  ForEachRead(bytes, gbk, [&](char32_t code, size_t at) {
    Held h{code, start + at, {}, InWord::kAlone, false};
    if (Classify(code) == CharClass::kHan && settings_.wordSpacing) {
      h.inWord = hanWords_[hanWordCursor_].inWord;
      h.joinsNumber = hanWords_[hanWordCursor_++].joinsNumber;
    }
    if (Classify(code) == CharClass::kHan && coverage_->Writes(code)) {
      const size_t end = hanOutput_.find('\n', hanCursor_);
      h.syllable.assign(hanOutput_, hanCursor_, end - hanCursor_);
      hanCursor_ = end + 1;
    }
    held_.push_back(std::move(h));
    Drain(false);
  });
  std::string().swap(hanOutput_);
  std::vector<HanPlace>().swap(hanWords_);
  output_->Take(out);
  return true;
}

void FullTextWriter::Finish(std::string* out) {
  Drain(true);
  FlushRun();
  output_->Finish(out);
}

void FullTextWriter::Drain(bool final) {
  while (held_.size() > (final ? 0 : kLookahead)) Step();
}

void FullTextWriter::FlushRun() {
  if (run_.empty()) return;
  if (!settings_.braille) {
    std::string text;
    for (char32_t c : run_) platform::AppendUtf8(fulltext::Narrow(c), &text);
    Word(text, runIsNumber_, runJoins_);
  } else {
    Word(runIsNumber_ ? fulltext::NumberCells(run_) : fulltext::LetterCells(run_), runIsNumber_,
         runJoins_);
  }
  run_.clear();
  runJoins_ = false;
}

void FullTextWriter::Word(std::string text, bool number, bool joinsPrevious) {
  fulltext::Part part;
  part.text = std::move(text);
  part.number = number;
  part.joinsPrevious = joinsPrevious;
  spacer_->Add(part);
  lastWasNumber_ = number;
}

void FullTextWriter::Mark(fulltext::Part::Kind kind) {
  fulltext::Part part;
  part.kind = kind;
  spacer_->Add(part);
}

void FullTextWriter::Sign(const fulltext::SignRow& row) {
  fulltext::Part part;
  part.kind = fulltext::Part::Kind::kSign;
  part.sign = &row;
  auto text = [&](const fulltext::SignRow& r) {
    return settings_.braille ? fulltext::SignCells(r, settings_.doubleSpell)
                             : std::string(r.pinyin);
  };
  // An ASCII quotation mark is the Chinese one that opens or closes.
  const fulltext::SignRow* opening = fulltext::QuoteMark(row, false);
  part.text = text(opening != nullptr ? *opening : row);
  if (opening != nullptr) part.closeText = text(*fulltext::QuoteMark(row, true));
  spacer_->Add(part);
}

void FullTextWriter::Placeholder(const Held& h) {
  lost_.Add(h.code, h.offset);
  Word(settings_.braille ? fulltext::PlaceholderCells() : std::string(fulltext::kPinyinPlaceholder),
       false);
  lastWasPlaceholder_ = true;
}

// Digits and letters gather into runs; true when `c` went into one. A number
// goes on through a decimal point or group separator between digits, and
// letters right after a number (or a number right after letters) stay in
// the same word.
bool FullTextWriter::Gather(char32_t c, CharClass kind) {
  const bool numberGoesOn = runIsNumber_ && !run_.empty() && (c == '.' || c == ',') &&
                            !held_.empty() && Classify(held_.front().code) == CharClass::kDigit;
  // Accented letters (nǐ, café) stay in their word.
  const bool letter =
      kind == CharClass::kLetter || (kind == CharClass::kOther && fulltext::IsLatinLetter(c));
  if (!numberGoesOn && kind != CharClass::kDigit && !letter) {
    FlushRun();
    return false;
  }
  const bool number = numberGoesOn || kind == CharClass::kDigit;
  if (!run_.empty() && number != runIsNumber_) {
    FlushRun();
    runJoins_ = true;
  }
  run_ += c;
  word_ += c;
  runIsNumber_ = number;
  lastWasPlaceholder_ = false;
  return true;
}

void FullTextWriter::WriteHan(const Held& h, bool afterNumber) {
  if (h.syllable.empty()) return Placeholder(h);
  // A number and the measure word after it go together where the rules say.
  const bool joins = h.inWord == InWord::kLater || (afterNumber && h.joinsNumber);
  Word(settings_.braille ? fulltext::CellsFromDots(h.syllable) : h.syllable, false, joins);
}

namespace {

// The signs a web or e-mail address is written with, inside one word.
bool IsAddressSign(char32_t c) {
  return c < 0x80 && std::u32string_view(U"./:@-_~?=&#%+").find(c) != std::u32string_view::npos;
}

bool IsLetterOrDigit(char32_t c) {
  return fulltext::IsLatinLetter(c) || Classify(c) == CharClass::kDigit;
}

}  // namespace

// A sign that the word being written goes on through, which the table's
// rows by place do not see: the last dot of an abbreviation (U.S.A.) and
// every sign of a web or e-mail address, which a reader takes as one word
// without a Chinese full stop or a blank inside. Null for any other sign.
const fulltext::SignRow* FullTextWriter::WordSign(char32_t c, std::u32string_view ahead,
                                                  char32_t before) {
  if (word_.empty()) return nullptr;
  const char32_t after = ahead.size() > 1 ? fulltext::Narrow(ahead[1]) : 0;
  const bool scheme = c == ':' && ahead.starts_with(U"://") &&
                      std::all_of(word_.begin(), word_.end(), fulltext::IsLatinLetter);
  if (scheme || (c == '@' && IsLetterOrDigit(after)) || (c == '.' && word_ == U"www"))
    inAddress_ = true;
  // A slash may end an address (https://www.debian.org/doc/).
  if (inAddress_ && IsAddressSign(c) &&
      (IsLetterOrDigit(after) || IsAddressSign(after) || c == '/')) {
    // An address's colon is the colon of a time and its slash the one
    // between letters (the full-width row's cells), as liblouis writes them.
    if (c == ':') return fulltext::MatchSign(U":0", U'0');
    return fulltext::MatchSign(c == '/' ? std::u32string_view(U"／") : ahead, before);
  }
  if (c == '.' && fulltext::ContinuesWord(word_, U"."))
    return fulltext::MatchSign(U".a", U'a');  // the dot inside a word
  return nullptr;
}

// A sign of the table (the longest that the held characters spell), text
// pinyin keeps, or the placeholder.
void FullTextWriter::WriteOther(const Held& h, char32_t c, char32_t before) {
  // The sign and the character after it, which may decide its row.
  std::u32string ahead(1, c);
  for (size_t i = 0; i < held_.size() && i < kLookahead; ++i)
    ahead += fulltext::Narrow(held_[i].code);
  if (const fulltext::SignRow* row = WordSign(c, ahead, before)) {
    // An address's last sign ends the word: a blank follows.
    const char32_t after = ahead.size() > 1 ? fulltext::Narrow(ahead[1]) : 0;
    const bool last = !IsLetterOrDigit(after) && !IsAddressSign(after);
    fulltext::SignRow joined = *row;
    joined.kind = last ? fulltext::SignKind::kPause : fulltext::SignKind::kJoin;
    word_ += c;
    return Sign(joined);
  }
  if (const fulltext::SignRow* row = fulltext::MatchSign(ahead, before)) {
    const size_t extra = std::u32string_view(row->print).size() - 1;
    held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(extra));
    before_ = ahead[extra];
    if (row->kind == fulltext::SignKind::kJoin) {
      word_ += std::u32string_view(row->print);
    } else {
      word_.clear();
      inAddress_ = false;
    }
    return Sign(*row);
  }
  word_.clear();
  inAddress_ = false;
  // Pinyin keeps as text what GBK can hold, except other Chinese characters.
  if (!settings_.braille && Classify(c) == CharClass::kOther && c >= 0x20 && c != 0x7F &&
      InGbk(c) && !IsIdeograph(c)) {
    return Word(Utf8(static_cast<char16_t>(c)), false);
  }
  Placeholder(h);
}

// Decides the first held character.
void FullTextWriter::Step() {
  const Held h = std::move(held_.front());
  held_.pop_front();
  const char32_t c = fulltext::Narrow(h.code);
  const CharClass kind = Classify(c);
  const bool crLf = afterCarriageReturn_ && c == '\n';
  afterCarriageReturn_ = c == '\r';
  const char32_t before = before_;
  before_ = kind == CharClass::kLineBreak ? 0 : c;
  if (Gather(c, kind)) return;
  if (kind != CharClass::kOther && kind != CharClass::kIgnored) {
    word_.clear();
    inAddress_ = false;
  }
  const bool attached = kind == CharClass::kAttached && lastWasPlaceholder_;
  const bool afterNumber = lastWasNumber_;
  lastWasPlaceholder_ = lastWasNumber_ = false;
  switch (kind) {
    case CharClass::kHan:
      return WriteHan(h, afterNumber);
    case CharClass::kSpace:
      return Mark(fulltext::Part::Kind::kSpace);
    case CharClass::kLineBreak:
      if (!crLf) Mark(fulltext::Part::Kind::kLineBreak);
      return;
    case CharClass::kIgnored:
      return;
    default:
      break;
  }
  if (attached) {
    lastWasPlaceholder_ = true;  // part of the character before
    return;
  }
  WriteOther(h, c, before);
}

}  // namespace molvane::settings
