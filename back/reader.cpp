// SPDX-License-Identifier: GPL-3.0-or-later
// Cells into tokens: each braille word read as the cheapest sequence of
// placeholders, numbers, letters, syllables and signs that stand where the
// writers put them; whatever reads as none of them is a problem.
#include <array>
#include <limits>

#include "back/lexicon.h"
#include "fulltext/fulltext.h"
#include "platform/platform.h"

namespace molvane::back {
namespace {

constexpr uint8_t kNumberSign = 0x3C;      // dots 3 4 5 6
constexpr uint8_t kLetterSign = 0x30;      // dots 5 6
constexpr uint8_t kCapitalSign = 0x20;     // dot 6
constexpr uint8_t kDecimalPoint = 0x28;    // dots 4 6
constexpr uint8_t kGroupSeparator = 0x04;  // dot 3

std::string Utf8(const char32_t* text) {
  std::string out;
  for (; *text; ++text) {
    char buffer[4];
    const char* end = platform::EncodeUtf8(static_cast<char16_t>(*text), buffer);
    out.append(buffer, static_cast<size_t>(end - buffer));
  }
  return out;
}

class Reader {
 public:
  Reader(const std::vector<Cell>& cells, Notation notation, BackText* out)
      : cells_(cells), lexicon_(Lexicon::For(notation)), notation_(notation), out_(out) {
    word_.reserve(64);
  }

  void Run() {
    for (size_t at = 0; at < cells_.size();) {
      const uint8_t dots = cells_[at].dots;
      if (dots == kBlank || dots == kLineBreak) {
        Push(dots == kBlank ? Token::Kind::kBlank : Token::Kind::kLineBreak, cells_[at].offset);
        ++at;
        continue;
      }
      const size_t end = WordEnd(at);
      Word(at, end);
      at = end;
    }
  }

 private:
  size_t WordEnd(size_t at) const {
    while (at < cells_.size() && cells_[at].dots != kBlank && cells_[at].dots != kLineBreak) ++at;
    return at;
  }

  void Push(Token::Kind kind, size_t offset) {
    Token token;
    token.kind = kind;
    token.offset = offset;
    out_->tokens.push_back(std::move(token));
  }

  // One braille word: the cells from `begin` to `end`, read as the
  // cheapest sequence of readings (Choose), then written out.
  void Word(size_t begin, size_t end) {
    word_.clear();
    wordBegin_ = begin;
    for (size_t i = begin; i < end; ++i) word_ += static_cast<char>(cells_[i].dots);
    Options();
    Choose();
    Prev prev = Prev::kStart;
    for (size_t i = 0; i < word_.size();) {
      const Option& option = options_[i][best_[i][static_cast<size_t>(prev)].option];
      Emit(option, i);
      prev = After(option);
      i += option.cells;
    }
  }

  // What came before a place in the word, as far as the next reading cares.
  enum class Prev : uint8_t { kStart, kOpen, kText, kSyllable, kPause, kOther };
  static constexpr size_t kPrevCount = 6;

  // One way to read the cells from a place.
  struct Option {
    Token::Kind kind = Token::Kind::kUnread;
    size_t cells = 1;
    const SyllableEntry* syllable = nullptr;
    bool overNumber = false;                 // kSyllable: spelt over a number's start
    const fulltext::SignRow* row = nullptr;  // kSign; null for the placeholder
    std::string text;                        // kText; the placeholder's print form
  };

  // Every reading at every place of the word: the placeholder, a number,
  // letters, each syllable the cells begin, each sign; a cell that begins
  // none of them is unread.
  void Options() {
    options_.assign(word_.size(), {});
    for (size_t i = 0; i < word_.size(); ++i) {
      std::vector<Option>& here = options_[i];
      const std::string& mark = PlaceholderMark();
      if (std::string_view(word_).substr(i, mark.size()) == mark)
        here.push_back({Token::Kind::kSign, mark.size(), nullptr, false, nullptr,
                        fulltext::kPinyinPlaceholder});
      Option text{Token::Kind::kText, 0, nullptr, false, nullptr, {}};
      const bool number = (text.cells = Number(i, &text.text)) != 0;
      if (number || (text.cells = Letters(i, &text.text))) here.push_back(std::move(text));
      const std::string_view rest(word_.data() + i, word_.size() - i);
      for (size_t length = std::min(lexicon_.LongestSyllable(), rest.size()); length > 0; --length)
        if (const SyllableEntry* entry = lexicon_.Syllable(rest.substr(0, length)))
          here.push_back({Token::Kind::kSyllable, length, entry, number, nullptr, {}});
      for (const SignChoice& choice : SignsAt(rest, notation_))
        here.push_back({Token::Kind::kSign, choice.cells, nullptr, false, choice.row, {}});
      if (here.empty()) here.push_back({});
    }
  }

  // The writers never put a syllable right beside a number or letters in one
  // word, nor a syllable, number or letters right after a pause or a closing
  // mark (a blank stands between them), open a mark only at a word's start or
  // after another opening mark, and close or pause only after something.
  // Readings that break these cost more, so that cells which spell both a
  // syllable and a sign (°, “ and an r-initial; #, \ and % beside letters
  // or digits) read as what stands in that place. Syllables come before
  // signs, and fewer readings before more, as the writers' longest-first
  // spelling intends. The number sign before a digit begins a number, though
  // a syllable (eng) may be spelt with the same cells.
  static constexpr int kMisplaced = 1000;
  static int Cost(const Option& option, Prev prev) {
    switch (option.kind) {
      case Token::Kind::kText:
        return 8 + (prev == Prev::kSyllable || prev == Prev::kPause ? kMisplaced : 0);
      case Token::Kind::kSyllable:
        return 16 +
               (prev == Prev::kText || prev == Prev::kPause || option.overNumber ? kMisplaced : 0);
      case Token::Kind::kSign:
        return option.row ? 100 + RowCost(*option.row, prev) : 8;
      default:
        return 100 * kMisplaced;
    }
  }

  static int RowCost(const fulltext::SignRow& row, Prev prev) {
    const bool atStart = prev == Prev::kStart || prev == Prev::kOpen;
    int cost = 0;
    switch (row.kind) {
      case fulltext::SignKind::kOpen:
        cost = atStart ? 0 : kMisplaced;
        break;
      case fulltext::SignKind::kPause:
      case fulltext::SignKind::kClose:
        cost = atStart ? kMisplaced / 2 : 0;
        break;
      case fulltext::SignKind::kQuote:
      case fulltext::SignKind::kJoin:
        cost = atStart ? 8 : 4;
        break;
    }
    switch (row.where) {
      case fulltext::SignWhere::kDigits:
      case fulltext::SignWhere::kWord:
        cost += prev == Prev::kText ? 0 : kMisplaced / 2;
        break;
      case fulltext::SignWhere::kNumber:
        cost += atStart ? 0 : kMisplaced / 2;
        break;
      case fulltext::SignWhere::kBetween:
        cost += atStart ? kMisplaced / 2 : 0;
        break;
      case fulltext::SignWhere::kAny:
      case fulltext::SignWhere::kOutside:
        break;
    }
    return cost + (row.print[0] < 0x2000 ? 1 : 0);  // the Chinese form of a mark first
  }

  static Prev After(const Option& option) {
    switch (option.kind) {
      case Token::Kind::kText:
        return Prev::kText;
      case Token::Kind::kSyllable:
        return Prev::kSyllable;
      case Token::Kind::kSign:
        if (!option.row) return Prev::kOther;
        switch (option.row->kind) {
          case fulltext::SignKind::kOpen:
            return Prev::kOpen;
          case fulltext::SignKind::kPause:
          case fulltext::SignKind::kClose:
            return Prev::kPause;
          default:
            return Prev::kOther;
        }
      default:
        return Prev::kOther;
    }
  }

  // The cheapest reading of the rest of the word from each place, by what
  // came before it; of equal ones the first option, so that ties keep the
  // longest-first order.
  struct Best {
    int cost;
    size_t option;
  };
  void Choose() {
    best_.assign(word_.size() + 1, {});
    for (size_t i = word_.size(); i-- > 0;)
      for (size_t p = 0; p < kPrevCount; ++p) {
        const Prev prev = static_cast<Prev>(p);
        Best best{std::numeric_limits<int>::max(), 0};
        for (size_t k = 0; k < options_[i].size(); ++k) {
          const Option& option = options_[i][k];
          const int rest = i + option.cells < word_.size()
                               ? best_[i + option.cells][static_cast<size_t>(After(option))].cost
                               : 0;
          const int cost = Cost(option, prev) + rest;
          if (cost < best.cost) best = {cost, k};
        }
        best_[i][p] = best;
      }
  }

  void Emit(const Option& option, size_t i) {
    Token token;
    token.kind = option.kind;
    token.offset = OffsetOf(i);
    switch (option.kind) {
      case Token::Kind::kSyllable:
        token.syllable = option.syllable->syllable;
        token.tone = option.syllable->tone;
        token.toneMarked = option.syllable->marked;
        token.han = option.syllable->han;
        break;
      case Token::Kind::kSign:
        if (option.row) {
          token.text = Utf8(option.row->print);
          token.pinyin = option.row->pinyin;
        } else {
          token.text = token.pinyin = option.text;
        }
        break;
      case Token::Kind::kText:
        token.text = option.text;
        break;
      default:
        out_->problems.push_back({token.offset, "a cell that begins no syllable, sign or number"});
        break;
    }
    out_->tokens.push_back(std::move(token));
  }

  static const std::string& PlaceholderMark() {
    static const std::string mark = fulltext::PlaceholderCells();
    return mark;
  }

  // A number from `i`: the cells it takes (0 if none begins there).
  size_t Number(size_t i, std::string* digits) const {
    if (static_cast<uint8_t>(word_[i]) != kNumberSign || i + 1 >= word_.size() ||
        !DigitOf(static_cast<uint8_t>(word_[i + 1])))
      return 0;
    size_t j = i + 1;
    for (; j < word_.size(); ++j) {
      const uint8_t cell = static_cast<uint8_t>(word_[j]);
      const bool between = j + 1 < word_.size() && DigitOf(static_cast<uint8_t>(word_[j + 1]));
      if (const char digit = DigitOf(cell))
        *digits += digit;
      else if (cell == kDecimalPoint && between)
        *digits += '.';
      else if (cell == kGroupSeparator && between)
        *digits += ',';
      else
        break;
    }
    return j - i;
  }

  // A run of letters: the letter sign before lower case, the capital sign
  // before each capital, or the capital sign twice before a word of capitals
  // (DFSG); it goes on to the word's end or the first cell that is no letter.
  size_t Letters(size_t i, std::string* letters) const {
    const auto capitalAt = [&](size_t j) {
      return static_cast<uint8_t>(word_[j]) == kCapitalSign && j + 1 < word_.size() &&
             LetterOf(static_cast<uint8_t>(word_[j + 1]));
    };
    const bool sign = static_cast<uint8_t>(word_[i]) == kLetterSign && i + 1 < word_.size() &&
                      LetterOf(static_cast<uint8_t>(word_[i + 1]));
    const bool capitals =
        static_cast<uint8_t>(word_[i]) == kCapitalSign && i + 1 < word_.size() && capitalAt(i + 1);
    if (!sign && !capitals && !capitalAt(i)) return 0;
    size_t j = sign ? i + 1 : capitals ? i + 2 : i;
    while (j < word_.size()) {
      if (capitals && LetterOf(static_cast<uint8_t>(word_[j]))) {
        *letters += static_cast<char>(LetterOf(static_cast<uint8_t>(word_[j])) - 'a' + 'A');
        ++j;
      } else if (capitalAt(j)) {
        *letters += static_cast<char>(LetterOf(static_cast<uint8_t>(word_[j + 1])) - 'a' + 'A');
        j += 2;
      } else if (const char letter = LetterOf(static_cast<uint8_t>(word_[j]))) {
        *letters += letter;
        ++j;
      } else {
        break;
      }
    }
    return j - i;
  }

  size_t OffsetOf(size_t i) const { return cells_[wordBegin_ + i].offset; }

  const std::vector<Cell>& cells_;
  const Lexicon& lexicon_;
  Notation notation_;
  BackText* out_;
  std::string word_;
  size_t wordBegin_ = 0;
  std::vector<std::vector<Option>> options_;        // by place in the word
  std::vector<std::array<Best, kPrevCount>> best_;  // by place, then by Prev
};

}  // namespace

BackText ReadCellsAs(const std::vector<Cell>& cells, Notation notation) {
  BackText text;
  text.notation = notation;
  Reader(cells, notation, &text).Run();
  return text;
}

BackText Read(std::string_view utf8, Notation notation) {
  BackText text;
  text.notation = notation;
  const std::vector<Cell> cells = ReadCells(utf8, DetectForm(utf8), &text.problems);
  Reader(cells, notation, &text).Run();
  return text;
}

}  // namespace molvane::back
