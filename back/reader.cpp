// SPDX-License-Identifier: GPL-3.0-or-later
// Cells into tokens: at each place the placeholder, a number, letters, the
// longest syllable, then the longest sign; whatever reads as none of them is
// a problem.
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
      : cells_(cells), lexicon_(Lexicon::For(notation)), out_(out) {
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

  // One braille word: the cells from `begin` to `end`.
  void Word(size_t begin, size_t end) {
    word_.clear();
    wordBegin_ = begin;
    for (size_t i = begin; i < end; ++i) word_ += static_cast<char>(cells_[i].dots);
    for (size_t i = 0; i < word_.size();) {
      size_t used = Placeholder(i);
      if (!used) used = Number(i);
      if (!used) used = Letters(i);
      if (!used) used = Syllable(i);
      if (!used) used = Sign(i);
      if (!used) {
        out_->problems.push_back({OffsetOf(i), "a cell that begins no syllable, sign or number"});
        Push(Token::Kind::kUnread, OffsetOf(i));
        used = 1;
      }
      i += used;
    }
  }

  // Three full cells stand for a character that has no braille form.
  size_t Placeholder(size_t i) {
    const std::string& mark = PlaceholderMark();
    if (std::string_view(word_).substr(i, mark.size()) != mark) return 0;
    Token token;
    token.kind = Token::Kind::kSign;
    token.text = token.pinyin = fulltext::kPinyinPlaceholder;
    token.offset = OffsetOf(i);
    out_->tokens.push_back(std::move(token));
    return mark.size();
  }

  static const std::string& PlaceholderMark() {
    static const std::string mark = fulltext::PlaceholderCells();
    return mark;
  }

  size_t Number(size_t i) {
    if (static_cast<uint8_t>(word_[i]) != kNumberSign || i + 1 >= word_.size() ||
        !DigitOf(static_cast<uint8_t>(word_[i + 1])))
      return 0;
    std::string digits;
    size_t j = i + 1;
    for (; j < word_.size(); ++j) {
      const uint8_t cell = static_cast<uint8_t>(word_[j]);
      const bool between = j + 1 < word_.size() && DigitOf(static_cast<uint8_t>(word_[j + 1]));
      if (const char digit = DigitOf(cell))
        digits += digit;
      else if (cell == kDecimalPoint && between)
        digits += '.';
      else if (cell == kGroupSeparator && between)
        digits += ',';
      else
        break;
    }
    Text(std::move(digits), i);
    return j - i;
  }

  // A run of letters: the letter sign before lower case, the capital sign
  // before each capital; it goes on to the word's end or the first cell that
  // is no letter.
  size_t Letters(size_t i) {
    const auto capitalAt = [&](size_t j) {
      return static_cast<uint8_t>(word_[j]) == kCapitalSign && j + 1 < word_.size() &&
             LetterOf(static_cast<uint8_t>(word_[j + 1]));
    };
    const bool sign = static_cast<uint8_t>(word_[i]) == kLetterSign && i + 1 < word_.size() &&
                      LetterOf(static_cast<uint8_t>(word_[i + 1]));
    if (!sign && !capitalAt(i)) return 0;
    std::string letters;
    size_t j = sign ? i + 1 : i;
    while (j < word_.size()) {
      if (capitalAt(j)) {
        letters += static_cast<char>(LetterOf(static_cast<uint8_t>(word_[j + 1])) - 'a' + 'A');
        j += 2;
      } else if (const char letter = LetterOf(static_cast<uint8_t>(word_[j]))) {
        letters += letter;
        ++j;
      } else {
        break;
      }
    }
    Text(std::move(letters), i);
    return j - i;
  }

  void Text(std::string text, size_t i) {
    Token token;
    token.kind = Token::Kind::kText;
    token.text = std::move(text);
    token.offset = OffsetOf(i);
    out_->tokens.push_back(std::move(token));
  }

  size_t OffsetOf(size_t i) const { return cells_[wordBegin_ + i].offset; }

  size_t Syllable(size_t i) {
    const std::string_view rest(word_.data() + i, word_.size() - i);
    for (size_t length = std::min(lexicon_.LongestSyllable(), rest.size()); length > 0; --length) {
      const SyllableEntry* entry = lexicon_.Syllable(rest.substr(0, length));
      if (!entry) continue;
      Token token;
      token.kind = Token::Kind::kSyllable;
      token.syllable = entry->syllable;
      token.tone = entry->tone;
      token.toneMarked = entry->marked;
      token.han = entry->han;
      token.offset = OffsetOf(i);
      out_->tokens.push_back(std::move(token));
      return length;
    }
    return 0;
  }

  // Of signs spelt alike, one that sticks to the word before it (a pause or
  // a closing mark) right after a word, else an opening one; ASCII quotation
  // marks and the Chinese ones alternate between opening and closing.
  size_t Sign(size_t i) {
    const bool afterWord = i > 0;
    const std::vector<SignChoice> choices = SignsAt(std::string_view(word_).substr(i));
    if (choices.empty()) return 0;
    const SignChoice* best = nullptr;
    int bestScore = -1;
    for (const SignChoice& choice : choices) {
      if (best && choice.cells < best->cells) break;
      const fulltext::SignKind kind = choice.row->kind;
      const bool sticks = kind == fulltext::SignKind::kPause || kind == fulltext::SignKind::kClose;
      const bool quote = kind == fulltext::SignKind::kOpen || kind == fulltext::SignKind::kClose;
      int score = 0;
      if (quote && SameCellsOtherKind(choices, choice)) {
        score += (kind == fulltext::SignKind::kOpen) != quoteOpen_ ? 4 : 0;
      } else {
        score += sticks == afterWord ? 4 : 0;
      }
      if (choice.row->print[0] >= 0x2000) score += 2;  // the Chinese form of the mark
      if (score > bestScore) best = &choice, bestScore = score;
    }
    // An opening quotation mark's cells also begin longer signs (° is “ and
    // an r-initial): where the quotes' balance says one opens, it does.
    if (!quoteOpen_ && best->row->kind != fulltext::SignKind::kOpen)
      for (const SignChoice& choice : choices)
        if (choice.row->kind == fulltext::SignKind::kOpen && SameCellsOtherKind(choices, choice)) {
          best = &choice;
          break;
        }
    if (SameCellsOtherKind(choices, *best))
      quoteOpen_ = best->row->kind == fulltext::SignKind::kOpen;
    Token token;
    token.kind = Token::Kind::kSign;
    token.text = Utf8(best->row->print);
    token.pinyin = best->row->pinyin;
    token.offset = OffsetOf(i);
    out_->tokens.push_back(std::move(token));
    return best->cells;
  }

  static bool SameCellsOtherKind(const std::vector<SignChoice>& choices, const SignChoice& one) {
    for (const SignChoice& other : choices)
      if (other.cells == one.cells && ((one.row->kind == fulltext::SignKind::kOpen &&
                                        other.row->kind == fulltext::SignKind::kClose) ||
                                       (one.row->kind == fulltext::SignKind::kClose &&
                                        other.row->kind == fulltext::SignKind::kOpen)))
        return true;
    return false;
  }

  const std::vector<Cell>& cells_;
  const Lexicon& lexicon_;
  BackText* out_;
  std::string word_;
  size_t wordBegin_ = 0;
  bool quoteOpen_ = false;  // an opening quotation mark was read last
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
