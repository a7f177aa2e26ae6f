// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern lexer: cuts a wide pattern into tokens for the parser. Whether a
// character is special depends on the bracket depth, on the tokens just
// produced, on quote mode and on the Extended flag, so the lexer carries that
// state and keeps a window of tokens filled ahead of the parser.
#pragma once

#include <cstdint>

namespace molvane::regex {

enum TokenKind : uint8_t { kLiteral = 0, kMeta = 1 };

struct Token {
  char16_t ch = 0;  // for an escape: the value it stands for, or its letter
  uint8_t kind = kLiteral;
  int32_t start = 0;   // first pattern unit of the token
  int32_t length = 0;  // pattern units the token covers

  bool IsMeta(char16_t c) const { return kind == kMeta && ch == c; }
  bool IsLiteral(char16_t c) const { return kind == kLiteral && ch == c; }
  bool IsEnd() const { return kind == kMeta && ch == 0; }
  bool operator==(const Token& other) const { return ch == other.ch && kind == other.kind; }
};

enum class QuoteCase : uint8_t { kNone, kLower, kUpper };

class Lexer {
 public:
  // Everything the parser may save and restore to read a stretch twice.
  struct State {
    int32_t position = 0;
    int32_t bracketDepth = 0;
    bool quote = false;
    QuoteCase quoteCase = QuoteCase::kNone;
    Token current, next, nextButOne;
  };

  // The pattern must stay alive and unchanged while the lexer reads it.
  void Load(const char16_t* pattern, int32_t length, bool extended);
  // Clears the window and reads the first three tokens.
  void Prime();
  // Shifts the window by one token and reads a new next-but-one.
  void MoveOn();

  const Token& Current() const { return state_.current; }
  const Token& Next() const { return state_.next; }
  const Token& NextButOne() const { return state_.nextButOne; }

  const State& Save() const { return state_; }
  void Restore(const State& state) { state_ = state; }

 private:
  Token Read();
  // One step of reading; false when the step produced no token (comments,
  // skipped white space, quote switches).
  bool ReadOne(Token* token);
  bool ReadEscape(Token* token);
  Token Make(char16_t ch, uint8_t kind, int32_t start, int32_t length) const;

  const char16_t* pattern_ = nullptr;
  int32_t length_ = 0;
  bool extended_ = false;
  State state_;
};

}  // namespace molvane::regex
