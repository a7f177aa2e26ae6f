// SPDX-License-Identifier: GPL-3.0-or-later
#include "regex/lexer.h"

namespace molvane::regex {

namespace {

int HexValue(char16_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The C library's case mapping in the default locale touches ASCII only.
char16_t MapCase(char16_t c, QuoteCase mapping) {
  if (mapping == QuoteCase::kLower && c >= 'A' && c <= 'Z') return c + ('a' - 'A');
  if (mapping == QuoteCase::kUpper && c >= 'a' && c <= 'z') return c - ('a' - 'A');
  return c;
}

}  // namespace

void Lexer::Load(const char16_t* pattern, int32_t length, bool extended) {
  pattern_ = pattern;
  length_ = pattern == nullptr || length < 0 ? 0 : length;
  extended_ = extended;
  state_ = State();
}

void Lexer::Prime() {
  state_ = State();
  for (int i = 0; i < 3; ++i) MoveOn();
}

void Lexer::MoveOn() {
  state_.current = state_.next;
  state_.next = state_.nextButOne;
  state_.nextButOne = Read();
}

Token Lexer::Make(char16_t ch, uint8_t kind, int32_t start, int32_t length) const {
  Token token;
  token.ch = ch;
  token.kind = kind;
  token.start = start;
  token.length = length;
  return token;
}

Token Lexer::Read() {
  Token token;
  while (!ReadOne(&token)) {
  }
  return token;
}

bool Lexer::ReadOne(Token* token) {
  State& s = state_;
  const int32_t p = s.position;
  if (p >= length_) {
    *token = Make(0, kMeta, length_, 0);
    return true;
  }
  const char16_t c = pattern_[p];

  if (s.quote) {
    if (c == '\\' && p + 1 < length_ && pattern_[p + 1] == 'E') {
      s.quote = false;
      s.quoteCase = QuoteCase::kNone;
      s.position += 2;
      return false;
    }
    s.position += 1;
    *token = Make(MapCase(c, s.quoteCase), kLiteral, p, 1);
    return true;
  }

  if ((c >= 9 && c <= 13) || c == ' ') {
    s.position += 1;
    if (extended_) return false;
    *token = Make(c, kLiteral, p, 1);
    return true;
  }

  if (c == '#') {
    if (!extended_) {
      s.position += 1;
      *token = Make(c, kLiteral, p, 1);
      return true;
    }
    int32_t q = p + 1;
    while (q < length_ && pattern_[q] != '\n' && pattern_[q] != '\r') ++q;
    s.position = q;
    return false;
  }

  if (c == '(' && p + 2 < length_ && pattern_[p + 1] == '?' && pattern_[p + 2] == '#') {
    int32_t q = p + 3;
    while (q < length_ && pattern_[q] != ')') ++q;
    s.position = q < length_ ? q + 1 : length_;
    return false;
  }

  s.position += 1;
  uint8_t kind = kLiteral;
  switch (c) {
    case '(':
    case ')':
    case '*':
    case '+':
    case '.':
    case '?':
    case '{':
    case '|':
    case '}':
    case '$':
      kind = s.bracketDepth == 0 ? kMeta : kLiteral;
      break;
    case '-':
      kind = s.bracketDepth > 0 ? kMeta : kLiteral;
      break;
    case ':':
      kind = s.next.IsMeta('[') ? kMeta : kLiteral;
      break;
    case '[':
      if (s.bracketDepth == 0 || (p + 1 < length_ && pattern_[p + 1] == ':')) {
        kind = kMeta;
        s.bracketDepth += 1;
      }
      break;
    case ']':
      if (s.bracketDepth >= 1) {
        kind = kMeta;
        s.bracketDepth -= 1;
      }
      break;
    case '^':
      if (s.bracketDepth == 0 || s.next.IsMeta('[') ||
          (s.current.IsMeta('[') && s.next.IsMeta(':'))) {
        kind = kMeta;
      }
      break;
    case '\\':
      s.position = p;
      return ReadEscape(token);
    default:
      break;
  }
  *token = Make(c, kind, p, 1);
  return true;
}

bool Lexer::ReadEscape(Token* token) {
  State& s = state_;
  const int32_t p = s.position;
  if (p + 1 >= length_) {
    s.position = p + 1;
    *token = Make('\\', kLiteral, p, 1);
    return true;
  }
  const char16_t d = pattern_[p + 1];
  if (d >= '0' && d <= '9') {
    // A back reference; its digits follow as literal tokens.
    s.position = p + 1;
    *token = Make('\\', kMeta, p, 1);
    return true;
  }
  s.position = p + 2;
  switch (d) {
    case 'E':
      s.quote = false;
      s.quoteCase = QuoteCase::kNone;
      return false;
    case 'G':
      if (s.bracketDepth > 0) return false;
      *token = Make('G', kMeta, p, 2);
      return true;
    case 'A':
    case 'B':
    case 'D':
    case 'S':
    case 'W':
    case 'Z':
    case 'd':
    case 'g':
    case 'k':
    case 's':
    case 'w':
    case 'z':
      *token = Make(d, kMeta, p, 2);
      return true;
    case 'L':
      s.quote = true;
      if (s.quoteCase == QuoteCase::kNone) s.quoteCase = QuoteCase::kLower;
      return false;
    case 'U':
      s.quote = true;
      if (s.quoteCase == QuoteCase::kNone) s.quoteCase = QuoteCase::kUpper;
      return false;
    case 'Q':
      s.quote = true;
      return false;
    case 'a':
      *token = Make(7, kLiteral, p, 2);
      return true;
    case 'e':
      *token = Make(27, kLiteral, p, 2);
      return true;
    case 'f':
      *token = Make(12, kLiteral, p, 2);
      return true;
    case 'n':
      *token = Make(10, kLiteral, p, 2);
      return true;
    case 'r':
      *token = Make(13, kLiteral, p, 2);
      return true;
    case 't':
      *token = Make(9, kLiteral, p, 2);
      return true;
    case 'v':
      *token = Make(11, kLiteral, p, 2);
      return true;
    case 'b':
      if (s.bracketDepth == 0) {
        *token = Make('b', kMeta, p, 2);
      } else {
        *token = Make(8, kLiteral, p, 2);
      }
      return true;
    case 'x':
    case 'u': {
      int32_t q = p + 2;
      uint32_t value = 0;
      int digits = 0;
      if (q < length_ && pattern_[q] == '{') {
        ++q;
        while (digits < 8 && q < length_ && HexValue(pattern_[q]) >= 0) {
          value = value * 16 + static_cast<uint32_t>(HexValue(pattern_[q]));
          ++digits;
          ++q;
        }
        while (q < length_ && pattern_[q] != '}') ++q;
        if (q < length_) ++q;
      } else {
        const int most = d == 'x' ? 2 : 4;
        while (digits < most && q < length_ && HexValue(pattern_[q]) >= 0) {
          value = value * 16 + static_cast<uint32_t>(HexValue(pattern_[q]));
          ++digits;
          ++q;
        }
      }
      s.position = q;
      const char16_t ch = digits > 0 ? static_cast<char16_t>(value & 0xFFFF) : d;
      *token = Make(ch, kLiteral, p, q - p);
      return true;
    }
    default:
      *token = Make(d, kLiteral, p, 2);
      return true;
  }
}

}  // namespace molvane::regex
