// SPDX-License-Identifier: GPL-3.0-or-later
// The compiler: a one-pass recursive-descent parser over the lexer's token
// window that builds the element tree. Each unusual input has one fixed
// reading; only groups nested past kMostNesting stop it.
#include <algorithm>
#include <climits>
#include <new>

#include "regex/compiled_pattern.h"
#include "runtime/runtime.h"

namespace molvane::regex {

namespace {

bool IsDigit(char16_t c) {
  return c >= '0' && c <= '9';
}
bool IsSpace(char16_t c) {
  return c == ' ' || (c >= 9 && c <= 13);
}
char16_t LowerAscii(char16_t c) {
  return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

bool SameNameIgnoringCase(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

// A name that is a decimal number of up to 6 digits, white space around it
// allowed, stands for that group number.
bool DecimalName(const std::u16string& name, int32_t* number) {
  size_t i = 0;
  size_t end = name.size();
  while (i < end && IsSpace(name[i])) ++i;
  while (end > i && IsSpace(name[end - 1])) --end;
  if (i == end || end - i > 6) return false;
  int32_t value = 0;
  for (; i < end; ++i) {
    if (!IsDigit(name[i])) return false;
    value = value * 10 + (name[i] - '0');
  }
  *number = value;
  return true;
}

bool IsQuantifier(const Token& token) {
  return token.kind == kMeta &&
         (token.ch == '{' || token.ch == '?' || token.ch == '*' || token.ch == '+');
}

// The "{...}" quantifier text: minimum and maximum, maximum 0 when it does not
// begin with a digit.
void ReadBraces(const std::u16string& text, int32_t* minimum, int32_t* maximum) {
  size_t i = 0;
  const size_t n = text.size();
  auto readNumber = [&]() {
    int32_t value = 0;
    for (int digits = 0; digits < 6 && i < n && IsDigit(text[i]); ++digits, ++i) {
      value = value * 10 + (text[i] - '0');
    }
    return value;
  };
  while (i < n && IsSpace(text[i])) ++i;
  if (i >= n || !IsDigit(text[i])) {
    *minimum = 0;
    *maximum = 0;
    return;
  }
  *minimum = readNumber();
  while (i < n && IsSpace(text[i])) ++i;
  if (i < n && text[i] == ',') {
    ++i;
    while (i < n && IsSpace(text[i])) ++i;
    *maximum = i < n && IsDigit(text[i]) ? readNumber() : INT32_MAX;
  } else {
    *maximum = *minimum;
  }
  if (*maximum < *minimum) *maximum = *minimum;
}

struct ClassName {
  const char16_t* name;
  size_t length;
  CharClass charClass;
};

constexpr ClassName kClassNames[] = {
    {u"alnum:", 6, CharClass::kAlnum}, {u"alpha:", 6, CharClass::kAlpha},
    {u"ascii:", 6, CharClass::kAscii}, {u"cntrl:", 6, CharClass::kCntrl},
    {u"digit:", 6, CharClass::kDigit}, {u"graph:", 6, CharClass::kGraph},
    {u"lower:", 6, CharClass::kLower}, {u"print:", 6, CharClass::kPrint},
    {u"punct:", 6, CharClass::kPunct}, {u"space:", 6, CharClass::kSpace},
    {u"upper:", 6, CharClass::kUpper}, {u"xdigit:", 7, CharClass::kXdigit},
    {u"blank:", 6, CharClass::kBlank},
};

// With IgnoreCase a set also holds the other case of its ASCII letters.
void AddOtherCases(CharSetElement* set) {
  const size_t rangeCount = set->ranges.size();
  for (size_t i = 0; i < rangeCount; ++i) {
    const auto [low, high] = set->ranges[i];
    const char16_t upperLow = std::max<char16_t>(low, 'A');
    const char16_t upperHigh = std::min<char16_t>(high, 'Z');
    if (upperLow <= upperHigh) set->ranges.emplace_back(upperLow + 32, upperHigh + 32);
    const char16_t lowerLow = std::max<char16_t>(low, 'a');
    const char16_t lowerHigh = std::min<char16_t>(high, 'z');
    if (lowerLow <= lowerHigh) set->ranges.emplace_back(lowerLow - 32, lowerHigh - 32);
  }
  const size_t singleCount = set->singles.size();
  for (size_t i = 0; i < singleCount; ++i) {
    const char16_t c = set->singles[i];
    char16_t other = 0;
    if (c >= 'A' && c <= 'Z') other = c + 32;
    if (c >= 'a' && c <= 'z') other = c - 32;
    if (other != 0 && !set->Holds(other)) set->singles.push_back(other);
  }
}

// Whether `element` may match without consuming. Errs towards yes where the
// answer depends on the subject or on captures; a recursion counts as yes, so
// the walk never follows a cycle.
bool CanMatchEmpty(const MatchElement* element) {
  if (element == nullptr) return true;
  switch (element->Kind()) {
    case ElementKind::kString:
      return static_cast<const StringElement*>(element)->text.empty();
    case ElementKind::kCharSet:
    case ElementKind::kClassTest:
      return false;
    case ElementKind::kSequence:
      for (const MatchElement* item : static_cast<const SequenceElement*>(element)->items) {
        if (!CanMatchEmpty(item)) return false;
      }
      return true;
    case ElementKind::kAlternation: {
      const auto& branches = static_cast<const AlternationElement*>(element)->branches;
      return branches.empty() || std::any_of(branches.begin(), branches.end(), CanMatchEmpty);
    }
    case ElementKind::kRepeat: {
      const auto* repeat = static_cast<const RepeatElement*>(element);
      return repeat->count <= 0 || CanMatchEmpty(repeat->atom);
    }
    case ElementKind::kGreedy:
    case ElementKind::kLazy:
    case ElementKind::kPossessive: {
      const auto* repeat = static_cast<const RangeRepeatElement*>(element);
      return repeat->minimum <= 0 || CanMatchEmpty(repeat->atom);
    }
    case ElementKind::kAtomic:
      return CanMatchEmpty(static_cast<const AtomicElement*>(element)->inner);
    default:  // empty, boundaries, marks, lookarounds, back references, ...
      return true;
  }
}

// Whether `element` has at most one way of matching wherever it is tried.
bool SingleWay(const MatchElement* element) {
  switch (element->Kind()) {
    case ElementKind::kEmpty:
    case ElementKind::kString:
    case ElementKind::kCharSet:
    case ElementKind::kClassTest:
    case ElementKind::kBoundary:
    case ElementKind::kSearchStart:
    case ElementKind::kBackref:
      return true;
    default:
      return false;
  }
}

// Whether `element` holds a recursion (not following its target).
bool HoldsRecursion(const MatchElement* element) {
  if (element == nullptr) return false;
  switch (element->Kind()) {
    case ElementKind::kRecursion:
      return true;
    case ElementKind::kSequence: {
      const auto& items = static_cast<const SequenceElement*>(element)->items;
      return std::any_of(items.begin(), items.end(), HoldsRecursion);
    }
    case ElementKind::kAlternation: {
      const auto& branches = static_cast<const AlternationElement*>(element)->branches;
      return std::any_of(branches.begin(), branches.end(), HoldsRecursion);
    }
    case ElementKind::kRepeat:
      return HoldsRecursion(static_cast<const RepeatElement*>(element)->atom);
    case ElementKind::kGreedy:
    case ElementKind::kLazy:
    case ElementKind::kPossessive:
      return HoldsRecursion(static_cast<const RangeRepeatElement*>(element)->atom);
    case ElementKind::kLookaround:
      return HoldsRecursion(static_cast<const LookaroundElement*>(element)->inner);
    case ElementKind::kAtomic:
      return HoldsRecursion(static_cast<const AtomicElement*>(element)->inner);
    case ElementKind::kConditional: {
      const auto* conditional = static_cast<const ConditionalElement*>(element);
      return HoldsRecursion(conditional->assertion) || HoldsRecursion(conditional->yes) ||
             HoldsRecursion(conditional->no);
    }
    default:
      return false;
  }
}

// Whether `element` runs right to left; null for kinds without a direction.
const bool* Direction(const MatchElement* element) {
  switch (element->Kind()) {
    case ElementKind::kString:
      return &static_cast<const StringElement*>(element)->rightToLeft;
    case ElementKind::kCharSet:
    case ElementKind::kClassTest:
      return &static_cast<const UnitElement*>(element)->rightToLeft;
    case ElementKind::kSequence:
      return &static_cast<const SequenceElement*>(element)->rightToLeft;
    case ElementKind::kBackref:
      return &static_cast<const BackrefElement*>(element)->rightToLeft;
    default:
      return nullptr;
  }
}

}  // namespace

template <class T>
T* CompiledPattern::New() {
  auto element = std::make_unique<T>();
  T* raw = element.get();
  elements_.push_back(std::move(element));
  return raw;
}

void CompiledPattern::Reset() {
  top_ = nullptr;
  flags_ = 0;
  highestGroup_ = 0;
  namedGroupCount_ = 0;
  handedOut_ = 0;
  nesting_ = 0;
  errorOffset_ = -1;
  testsCaptures_ = false;
  groupTable_.clear();
  pendingRecursions_.clear();
  pendingBackrefs_.clear();
  pendingConditions_.clear();
  namedGroups_.clear();
  stock_.fill(nullptr);
  elements_.clear();
  pattern_.clear();
  lexer_.Load(nullptr, 0, false);
}

void CompiledPattern::Load(const char16_t* pattern, int32_t length, uint32_t flags) {
  ReportingExhaustion([&] {
    Reset();
    if (pattern != nullptr && length > 0) pattern_.assign(pattern, static_cast<size_t>(length));
    flags_ = flags;
    lexer_.Load(pattern_.data(), static_cast<int32_t>(pattern_.size()), (flags & kExtended) != 0);
    lexer_.Prime();
    top_ = ParseAlternation(flags);
    RecordGroup(0, top_);
    Finish();
    if (errorOffset_ >= 0) {
      const int32_t offset = errorOffset_;
      Reset();
      errorOffset_ = offset;
    }
  });
}

MatchElement* CompiledPattern::GroupElement(int32_t group) const {
  if (group < 0 || group >= static_cast<int32_t>(groupTable_.size())) return nullptr;
  return groupTable_[group];
}

MatchElement* CompiledPattern::Stock(int32_t slot) {
  if (slot < 0 || slot >= kStockSlots) slot = kStockEmpty;
  if (stock_[slot] != nullptr) return stock_[slot];
  if (slot == kStockEmpty) return stock_[slot] = New<EmptyElement>();
  const bool rightToLeft = slot > kStockRightToLeftOffset;
  const int32_t kind = rightToLeft ? slot - kStockRightToLeftOffset : slot;
  auto* set = New<CharSetElement>();
  set->rightToLeft = rightToLeft;
  switch (kind) {
    case kStockAny:
      set->positive = false;  // the negated empty set
      break;
    case kStockNotNewline:
      set->singles = u"\n";
      set->positive = false;
      break;
    case kStockWord:
    case kStockNotWord:
      set->ranges = {{'A', 'Z'}, {'a', 'z'}, {'0', '9'}};
      set->singles = u"_";
      set->positive = kind == kStockWord;
      break;
    case kStockSpace:
    case kStockNotSpace:
      // The right-to-left versions also hold form feed and vertical tab.
      set->singles = rightToLeft ? u" \t\r\n\f\v" : u" \t\r\n";
      set->positive = kind == kStockSpace;
      break;
    default:
      set->ranges = {{'0', '9'}};
      set->positive = kind == kStockDigit;
      break;
  }
  return stock_[slot] = set;
}

void CompiledPattern::RecordGroup(int32_t number, MatchElement* element) {
  if (number < 0) return;
  if (static_cast<size_t>(number) >= groupTable_.size()) {
    groupTable_.resize(static_cast<size_t>(number) + 1, nullptr);
  }
  if (number == 0 || groupTable_[number] == nullptr) groupTable_[number] = element;
}

std::u16string CompiledPattern::CollectUntil(char16_t closer) {
  std::u16string text;
  while (!lexer_.Current().IsEnd() && lexer_.Current().ch != closer) {
    text.push_back(lexer_.Current().ch);
    lexer_.MoveOn();
  }
  if (!lexer_.Current().IsEnd()) lexer_.MoveOn();
  return text;
}

void CompiledPattern::SkipClosingParen() {
  if (lexer_.Current().IsMeta(')')) lexer_.MoveOn();
}

// ---- Alternation, branch, item ----

MatchElement* CompiledPattern::ParseAlternation(uint32_t flags) {
  std::vector<MatchElement*> branches;
  branches.push_back(ParseBranch(flags));
  while (lexer_.Current().IsMeta('|')) {
    lexer_.MoveOn();
    branches.push_back(ParseBranch(flags));
  }
  if (branches.size() == 1) return branches[0];
  auto* alternation = New<AlternationElement>();
  alternation->branches = std::move(branches);
  return alternation;
}

MatchElement* CompiledPattern::ParseBranch(uint32_t& flags) {
  std::vector<MatchElement*> items;
  for (;;) {
    const Token& token = lexer_.Current();
    if (token.IsEnd() || token.IsMeta('|') || token.IsMeta(')')) break;
    items.push_back(ParseItem(flags));
  }
  if (items.empty()) return Stock(kStockEmpty);
  if (items.size() == 1) return items[0];
  auto* sequence = New<SequenceElement>();
  sequence->items = std::move(items);
  sequence->rightToLeft = (flags & kRightToLeft) != 0;
  return sequence;
}

MatchElement* CompiledPattern::ParseItem(uint32_t& flags) {
  return ParseQuantifier(ParseAtom(flags));
}

MatchElement* CompiledPattern::ParseQuantifier(MatchElement* atom) {
  const Token token = lexer_.Current();
  if (token.kind != kMeta) return atom;
  int32_t minimum = 0;
  int32_t maximum = 0;
  switch (token.ch) {
    case '*':
      maximum = INT32_MAX;
      lexer_.MoveOn();
      break;
    case '+':
      minimum = 1;
      maximum = INT32_MAX;
      lexer_.MoveOn();
      break;
    case '?':
      maximum = 1;
      lexer_.MoveOn();
      break;
    case '{': {
      lexer_.MoveOn();
      std::u16string text;
      bool cut = false;
      while (!lexer_.Current().IsEnd() && !lexer_.Current().IsMeta('}')) {
        const char16_t c = lexer_.Current().ch;
        if (c > 255) cut = true;
        if (!cut) text.push_back(c);
        lexer_.MoveOn();
      }
      if (lexer_.Current().IsMeta('}')) lexer_.MoveOn();
      ReadBraces(text, &minimum, &maximum);
      if (maximum == minimum) {
        // A fixed count; a lazy or possessive mark changes nothing.
        if (lexer_.Current().IsMeta('?') || lexer_.Current().IsMeta('+')) lexer_.MoveOn();
        if (maximum == 0) return Stock(kStockEmpty);
        auto* repeat = New<RepeatElement>();
        repeat->atom = atom;
        repeat->count = minimum;
        return repeat;
      }
      break;
    }
    default:
      return atom;
  }
  RangeRepeatElement* repeat = nullptr;
  if (lexer_.Current().IsMeta('?')) {
    lexer_.MoveOn();
    repeat = New<LazyElement>();
  } else if (lexer_.Current().IsMeta('+')) {
    lexer_.MoveOn();
    repeat = New<PossessiveElement>();
  } else {
    repeat = New<GreedyElement>();
  }
  repeat->atom = atom;
  repeat->minimum = minimum;
  repeat->extra = maximum - minimum;
  return repeat;
}

// ---- Atoms ----

MatchElement* CompiledPattern::ParseAtom(uint32_t& flags) {
  const Token& token = lexer_.Current();
  if (token.kind == kLiteral) return ParseString(flags);
  switch (token.ch) {
    case '$':
    case 'A':
    case 'B':
    case 'G':
    case 'Z':
    case '^':
    case 'b':
    case 'z':
      return ParseBoundary(flags);
    case '(':
      return ParseGroup(flags);
    case '.':
    case 'D':
    case 'S':
    case 'W':
    case '[':
    case 'd':
    case 's':
    case 'w':
      return ParseCharSet(flags);
    case '\\':
    case 'g':
    case 'k':
      return ParseBackref(flags);
    default:
      // A quantifier with nothing to repeat, a stray "}" and the like stand
      // for themselves.
      return ParseString(flags);
  }
}

MatchElement* CompiledPattern::ParseString(uint32_t flags) {
  std::u16string text;
  // The first token is taken as a literal whatever its kind.
  text.push_back(lexer_.Current().ch);
  const bool quantified = IsQuantifier(lexer_.Next());
  lexer_.MoveOn();
  // A quantifier applies to one character, so a literal followed by one
  // starts the next item.
  if (!quantified) {
    while (lexer_.Current().kind == kLiteral && !IsQuantifier(lexer_.Next())) {
      text.push_back(lexer_.Current().ch);
      lexer_.MoveOn();
    }
  }
  auto* string = New<StringElement>();
  string->text = std::move(text);
  string->rightToLeft = (flags & kRightToLeft) != 0;
  string->ignoreCase = (flags & kIgnoreCase) != 0;
  return string;
}

MatchElement* CompiledPattern::ParseBoundary(uint32_t flags) {
  const char16_t ch = lexer_.Current().ch;
  lexer_.MoveOn();
  if (ch == 'G') {
    if ((flags & kGlobal) == 0) return Stock(kStockEmpty);
    return New<SearchStartElement>();
  }
  auto* boundary = New<BoundaryElement>();
  const bool multiLine = (flags & kMultiLine) != 0;
  switch (ch) {
    case '^':
      boundary->type = multiLine ? kLineStart : kSubjectStart;
      break;
    case '$':
      boundary->type = multiLine ? kLineEnd : kSubjectEnd;
      break;
    case 'A':
      boundary->type = kSubjectStart;
      break;
    case 'z':
      boundary->type = kSubjectEnd;
      break;
    case 'Z':
      boundary->type = kSubjectEndBeforeNewline;
      break;
    case 'b':
      boundary->type = kWordBoundary;
      break;
    default:  // 'B'
      boundary->type = kWordBoundary;
      boundary->positive = false;
      break;
  }
  return boundary;
}

// ---- Sets and classes ----

namespace {

int32_t StockSlotOf(char16_t ch, uint32_t flags) {
  int32_t slot = kStockEmpty;
  switch (ch) {
    case '.':
      slot = (flags & kSingleLine) != 0 ? kStockAny : kStockNotNewline;
      break;
    case 'w':
      slot = kStockWord;
      break;
    case 'W':
      slot = kStockNotWord;
      break;
    case 's':
      slot = kStockSpace;
      break;
    case 'S':
      slot = kStockNotSpace;
      break;
    case 'd':
      slot = kStockDigit;
      break;
    case 'D':
      slot = kStockNotDigit;
      break;
    default:
      return kStockEmpty;
  }
  if ((flags & kRightToLeft) != 0) slot += kStockRightToLeftOffset;
  return slot;
}

}  // namespace

MatchElement* CompiledPattern::ParseCharSet(uint32_t flags) {
  const Token& token = lexer_.Current();
  if (!token.IsMeta('[')) {
    const int32_t slot = StockSlotOf(token.ch, flags);
    lexer_.MoveOn();
    return Stock(slot);
  }
  if (lexer_.Next().IsMeta(':')) {
    if (ClassTestElement* charClass = ParseCharClass(flags)) return charClass;
  }
  lexer_.MoveOn();
  auto* set = New<CharSetElement>();
  set->rightToLeft = (flags & kRightToLeft) != 0;
  if (lexer_.Current().IsMeta('^')) {
    set->positive = false;
    lexer_.MoveOn();
  }
  for (;;) {
    const Token current = lexer_.Current();
    if (current.IsEnd() || current.IsMeta(']')) break;
    if (current.IsMeta('[') && lexer_.Next().IsMeta(':')) {
      if (ClassTestElement* charClass = ParseCharClass(flags)) {
        set->embedded.push_back(charClass);
        continue;
      }
      // Not a class name after all: the "[" is an ordinary character.
      set->singles.push_back(current.ch);
      lexer_.MoveOn();
      continue;
    }
    if (current.kind == kMeta && StockSlotOf(current.ch, flags) != kStockEmpty) {
      set->embedded.push_back(static_cast<UnitElement*>(Stock(StockSlotOf(current.ch, flags))));
      lexer_.MoveOn();
      continue;
    }
    if (lexer_.Next().IsMeta('-') && lexer_.NextButOne().kind == kLiteral &&
        !lexer_.NextButOne().IsEnd()) {
      set->ranges.emplace_back(current.ch, lexer_.NextButOne().ch);
      lexer_.MoveOn();
      lexer_.MoveOn();
      lexer_.MoveOn();
      continue;
    }
    set->singles.push_back(current.ch);
    lexer_.MoveOn();
  }
  if (lexer_.Current().IsMeta(']')) lexer_.MoveOn();
  if ((flags & kIgnoreCase) != 0) AddOtherCases(set);
  return set;
}

ClassTestElement* CompiledPattern::ParseCharClass(uint32_t flags) {
  const Lexer::State saved = lexer_.Save();
  lexer_.MoveOn();  // "["
  lexer_.MoveOn();  // ":"
  bool negated = false;
  if (lexer_.Current().IsMeta('^')) {
    negated = true;
    lexer_.MoveOn();
  }
  std::u16string text;
  while (!lexer_.Current().IsEnd() && !lexer_.Current().IsMeta(']')) {
    text.push_back(lexer_.Current().ch);
    lexer_.MoveOn();
  }
  if (lexer_.Current().IsMeta(']')) lexer_.MoveOn();
  for (const ClassName& known : kClassNames) {
    if (text.size() >= known.length && text.compare(0, known.length, known.name) == 0) {
      auto* element = New<ClassTestElement>();
      element->charClass = known.charClass;
      element->rightToLeft = (flags & kRightToLeft) != 0;
      element->positive = !negated;
      return element;
    }
  }
  lexer_.Restore(saved);
  return nullptr;
}

// ---- Groups ----

MatchElement* CompiledPattern::ParseGroup(uint32_t& flags) {
  if (nesting_ == kMostNesting) return RefuseNesting();
  ++nesting_;
  MatchElement* group = ParseGroupOfKind(flags);
  --nesting_;
  return group;
}

MatchElement* CompiledPattern::RefuseNesting() {
  errorOffset_ = lexer_.Current().start;
  while (!lexer_.Current().IsEnd()) lexer_.MoveOn();
  return Stock(kStockEmpty);
}

MatchElement* CompiledPattern::ParseGroupOfKind(uint32_t& flags) {
  if (!lexer_.Next().IsMeta('?')) {
    lexer_.MoveOn();
    return ParseCapture(flags, ++handedOut_, std::u16string(), false);
  }
  lexer_.MoveOn();  // now at "?"
  const Token x = lexer_.Next();
  const Token y = lexer_.NextButOne();
  if (x.IsLiteral('=') || x.IsLiteral('!')) {
    lexer_.MoveOn();
    lexer_.MoveOn();
    auto* look = New<LookaroundElement>();
    look->inner = ParseAlternation(flags & ~kRightToLeft);
    look->positive = x.ch == '=';
    SkipClosingParen();
    return look;
  }
  if (x.IsLiteral('<') && (y.IsLiteral('=') || y.IsLiteral('!'))) {
    lexer_.MoveOn();
    lexer_.MoveOn();
    lexer_.MoveOn();
    // The body matches leftwards from the current position.
    auto* look = New<LookaroundElement>();
    look->inner = ParseAlternation(flags | kRightToLeft);
    look->positive = y.ch == '=';
    SkipClosingParen();
    return look;
  }
  if (x.IsLiteral('>')) {
    lexer_.MoveOn();
    lexer_.MoveOn();
    auto* atomic = New<AtomicElement>();
    atomic->inner = ParseAlternation(flags);
    SkipClosingParen();
    return atomic;
  }
  if (x.IsLiteral('<') || x.IsLiteral('\'') || (x.IsLiteral('P') && y.IsLiteral('<'))) {
    const char16_t closer = x.ch == '\'' ? u'\'' : u'>';
    lexer_.MoveOn();
    if (x.ch == 'P') lexer_.MoveOn();
    lexer_.MoveOn();
    const std::u16string name = CollectUntil(closer);
    int32_t number = 0;
    if (DecimalName(name, &number)) {
      handedOut_ = std::max(handedOut_, number);
      return ParseCapture(flags, number, std::u16string(), false);
    }
    return ParseCapture(flags, -1, name, true);
  }
  if (x.IsLiteral('R') || (x.kind == kLiteral && IsDigit(x.ch))) return ParseRecursion();
  if (x.IsMeta('(')) return ParseConditional(flags);
  return ParseModifiers(flags);
}

MatchElement* CompiledPattern::ParseCapture(uint32_t flags, int32_t number,
                                            const std::u16string& name, bool named) {
  const bool rightToLeft = (flags & kRightToLeft) != 0;
  auto* open = New<GroupMarkElement>();
  open->group = number;
  open->name = name;
  // Named groups are numbered in order of their opening, so a named group
  // takes its place in the table before any group nested inside it.
  const size_t namedSlot = namedGroups_.size();
  if (named) namedGroups_.push_back({name, open, nullptr, nullptr});
  MatchElement* body = ParseAlternation(flags);
  SkipClosingParen();
  auto* close = New<GroupMarkElement>();
  close->group = number;
  close->name = name;
  // Leftwards the mark written last is reached first, so it enters the group.
  open->closingSide = rightToLeft ? 1 : 0;
  close->closingSide = rightToLeft ? 0 : 1;
  auto* sequence = New<SequenceElement>();
  sequence->items = {open, body, close};
  sequence->rightToLeft = rightToLeft;
  if (named) {
    namedGroups_[namedSlot].close = close;
    namedGroups_[namedSlot].element = sequence;
    ++namedGroupCount_;
  } else {
    RecordGroup(number, sequence);
  }
  return sequence;
}

MatchElement* CompiledPattern::ParseRecursion() {
  lexer_.MoveOn();  // now at "R" or the first digit
  auto* recursion = New<RecursionElement>();
  bool named = false;
  if (lexer_.Current().IsLiteral('R')) {
    lexer_.MoveOn();
    const Token& token = lexer_.Current();
    if (token.IsLiteral('<') || token.IsLiteral('\'')) {
      const char16_t closer = token.ch == '<' ? u'>' : u'\'';
      lexer_.MoveOn();
      recursion->name = CollectUntil(closer);
      recursion->group = kUnknownGroup;
      named = true;
    }
  }
  if (!named) {
    int32_t number = 0;
    while (lexer_.Current().kind == kLiteral && IsDigit(lexer_.Current().ch)) {
      // Past any real group number; such a recursion has no target.
      if (number < 10000000) number = number * 10 + (lexer_.Current().ch - '0');
      lexer_.MoveOn();
    }
    recursion->group = number;
  }
  SkipClosingParen();
  pendingRecursions_.push_back(recursion);
  return recursion;
}

MatchElement* CompiledPattern::ParseConditional(uint32_t flags) {
  lexer_.MoveOn();  // now at the "(" of the condition
  auto* conditional = New<ConditionalElement>();
  if (lexer_.Next().IsMeta('?')) {
    uint32_t assertionFlags = flags;
    conditional->assertion = ParseGroup(assertionFlags);
  } else {
    const Lexer::State saved = lexer_.Save();
    lexer_.MoveOn();
    std::u16string text;
    while (!lexer_.Current().IsEnd() && !lexer_.Current().IsMeta(')')) {
      text.push_back(lexer_.Current().ch);
      lexer_.MoveOn();
    }
    int32_t number = 0;
    if (DecimalName(text, &number)) {
      SkipClosingParen();
      conditional->group = number;
      testsCaptures_ = true;
    } else {
      // A name; until it turns out to name a group, the text is a lookahead.
      lexer_.Restore(saved);
      lexer_.MoveOn();
      auto* look = New<LookaroundElement>();
      look->inner = ParseAlternation(flags & ~kRightToLeft);
      SkipClosingParen();
      conditional->name = std::move(text);
      conditional->assertion = look;
      pendingConditions_.push_back(conditional);
    }
  }
  uint32_t branchFlags = flags;
  conditional->yes = ParseBranch(branchFlags);
  if (lexer_.Current().IsMeta('|')) {
    lexer_.MoveOn();
    conditional->no = ParseAlternation(branchFlags);
  }
  SkipClosingParen();
  return conditional;
}

MatchElement* CompiledPattern::ParseModifiers(uint32_t& flags) {
  lexer_.MoveOn();  // past "?"
  uint32_t changed = flags;
  bool clear = false;
  for (;;) {
    const Token& token = lexer_.Current();
    if (token.IsEnd() || token.IsMeta(')') || token.IsMeta('(') || token.ch == ':') break;
    if (token.kind == kLiteral) {
      uint32_t bit = 0;
      switch (token.ch) {
        case '-':
          clear = true;
          break;
        case 'i':
        case 'I':
          bit = kIgnoreCase;
          break;
        case 'm':
        case 'M':
          bit = kMultiLine;
          break;
        case 's':
        case 'S':
          bit = kSingleLine;
          break;
        case 'g':
        case 'G':
          bit = kGlobal;
          break;
        default:
          break;
      }
      changed = clear ? changed & ~bit : changed | bit;
    }
    lexer_.MoveOn();
  }
  const Token& stop = lexer_.Current();
  if (stop.ch == ':' && !stop.IsEnd()) {
    lexer_.MoveOn();
    MatchElement* body = ParseAlternation(changed);
    SkipClosingParen();
    return body;
  }
  if (stop.IsMeta('(')) {
    // The letters run straight into the body.
    MatchElement* body = ParseAlternation(changed);
    SkipClosingParen();
    return body;
  }
  // "(?i)": the rest of the enclosing branch and the branches after it.
  flags = changed;
  SkipClosingParen();
  return Stock(kStockEmpty);
}

MatchElement* CompiledPattern::ParseBackref(uint32_t flags) {
  lexer_.MoveOn();
  testsCaptures_ = true;
  auto* backref = New<BackrefElement>();
  backref->rightToLeft = (flags & kRightToLeft) != 0;
  backref->ignoreCase = (flags & kIgnoreCase) != 0;
  const Token& token = lexer_.Current();
  if (token.IsLiteral('<') || token.IsLiteral('\'')) {
    const char16_t closer = token.ch == '<' ? u'>' : u'\'';
    lexer_.MoveOn();
    std::u16string name = CollectUntil(closer);
    int32_t number = 0;
    if (DecimalName(name, &number)) {
      backref->group = number;
    } else {
      backref->name = std::move(name);
      backref->group = kUnresolvedGroup;
      pendingBackrefs_.push_back(backref);
    }
    return backref;
  }
  int32_t number = 0;
  for (int digits = 0; digits < 3; ++digits) {
    const Token& digit = lexer_.Current();
    if (digit.kind != kLiteral || !IsDigit(digit.ch)) break;
    number = number * 10 + (digit.ch - '0');
    lexer_.MoveOn();
  }
  backref->group = number;
  return backref;
}

// ---- Finishing ----

void CompiledPattern::Finish() {
  // Named groups are numbered after all plain groups; equal names (ignoring
  // ASCII case) share one number.
  for (size_t i = 0; i < namedGroups_.size(); ++i) {
    NamedGroup& group = namedGroups_[i];
    int32_t number = group.open->group;
    if (number < 0) {
      for (size_t k = 0; k < i; ++k) {
        if (SameNameIgnoringCase(namedGroups_[k].name, group.name)) {
          number = namedGroups_[k].open->group;
          break;
        }
      }
      if (number < 0) number = ++handedOut_;
      group.open->group = number;
      group.close->group = number;
    }
    RecordGroup(number, group.element);
  }
  highestGroup_ = 0;
  for (size_t n = groupTable_.size(); n > 0; --n) {
    if (groupTable_[n - 1] != nullptr) {
      highestGroup_ = static_cast<int32_t>(n - 1);
      break;
    }
  }

  auto numberOf = [this](const std::u16string& name) {
    for (const NamedGroup& group : namedGroups_) {
      if (SameNameIgnoringCase(group.name, name)) return group.open->group;
    }
    return kUnknownGroup;
  };
  for (RecursionElement* recursion : pendingRecursions_) {
    if (recursion->group == kUnknownGroup) recursion->group = numberOf(recursion->name);
    if (recursion->group >= 0 && recursion->group <= highestGroup_) {
      recursion->target = recursion->group == 0 ? top_ : groupTable_[recursion->group];
    }
  }
  for (BackrefElement* backref : pendingBackrefs_) backref->group = numberOf(backref->name);
  for (ConditionalElement* conditional : pendingConditions_) {
    const int32_t number = numberOf(conditional->name);
    if (number >= 0) {
      conditional->group = number;
      conditional->assertion = nullptr;
      testsCaptures_ = true;
    }
  }
  SetGuards();
}

void CompiledPattern::SetGuards() {
  // A recursion into a group of the other direction (from a lookaround) can
  // carry an iteration backwards, past where its repetition began.
  bool mixedDirections = false;
  const bool rightToLeft = (flags_ & kRightToLeft) != 0;
  for (const auto& element : elements_) {
    const bool* direction = Direction(element.get());
    if (direction != nullptr && *direction != rightToLeft) mixedDirections = true;
  }
  const bool monotone = pendingRecursions_.empty() || !mixedDirections;
  for (const auto& element : elements_) {
    const ElementKind kind = element->Kind();
    if (kind == ElementKind::kRecursion) {
      static_cast<RecursionElement*>(element.get())->memoised = !testsCaptures_;
    }
    if (kind == ElementKind::kGreedy || kind == ElementKind::kLazy) {
      auto* repeat = static_cast<RangeRepeatElement*>(element.get());
      repeat->skipDeadStates = !testsCaptures_ && monotone && !SingleWay(repeat->atom) &&
                               repeat->extra >= INT32_MAX - repeat->minimum;
    }
    if (kind == ElementKind::kGreedy) {
      auto* greedy = static_cast<GreedyElement*>(element.get());
      greedy->drainsCalls = !testsCaptures_ && HoldsRecursion(greedy->atom);
    }
    if (kind == ElementKind::kGreedy || kind == ElementKind::kLazy ||
        kind == ElementKind::kPossessive) {
      auto* repeat = static_cast<RangeRepeatElement*>(element.get());
      repeat->atomCanBeEmpty = CanMatchEmpty(repeat->atom);
      repeat->skipRepeatedEmpty = repeat->atomCanBeEmpty && !testsCaptures_;
    }
    if (kind == ElementKind::kRepeat) {
      auto* repeat = static_cast<RepeatElement*>(element.get());
      repeat->skipRepeatedEmpty = CanMatchEmpty(repeat->atom) && !testsCaptures_;
    }
    if (kind == ElementKind::kGreedy && testsCaptures_) {
      static_cast<GreedyElement*>(element.get())->skipOfferedEnds = false;
    }
  }
}

}  // namespace molvane::regex
