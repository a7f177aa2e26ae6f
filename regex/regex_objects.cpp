// SPDX-License-Identifier: GPL-3.0-or-later
// The Regex and SearchResult objects and the six regex commands. Program code
// hands in GBK texts; inside, patterns and subjects are wide (16-bit units)
// and every position counts those units.
#include <array>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/win32.h"
#include "regex/accelerator.h"
#include "regex/compiled_pattern.h"
#include "regex/matcher.h"
#include "regex/regex_library.h"

namespace molvane::regex {

namespace {

// ---- Memory ----

RuntimeServiceEntry g_service = nullptr;

// Blocks handed to program code come from the runtime's allocator, so that
// program code can free them with FreeMemory.
void* RuntimeBlock(size_t bytes) {
  if (g_service != nullptr)
    return reinterpret_cast<void*>(
        g_service(kServiceLibraryAlloc, static_cast<intptr_t>(bytes), 0, 0));
  return AllocMemory(bytes);
}

// The library's own storage comes straight from the process heap. Running
// out ends the program with the runtime's report: an empty answer instead
// would silently drop text from the output.
void* HeapBlock(size_t bytes) {
  void* block = HeapAlloc(GetProcessHeap(), 0, bytes);
  if (block == nullptr) ReportAllocationFailure(bytes);
  return block;
}
void HeapRelease(void* block) {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

// ---- Code pages ----

// A wide text with reusable storage: converting the same large subject over
// and over then costs no allocation.
class WideText {
 public:
  WideText() = default;
  WideText(const WideText&) = delete;
  WideText& operator=(const WideText&) = delete;
  ~WideText() { Release(); }

  bool present() const { return present_; }
  const char16_t* units() const { return units_; }
  char16_t* units() { return units_; }
  int32_t length() const { return length_; }

  // Replaces the text with the conversion of `gbk`. A conversion that yields
  // nothing leaves no text.
  void Assign(const char* gbk) {
    Clear();
    // A short text of ASCII bytes (a syllable, a code), searched for every
    // character, widens byte by byte: the code page keeps ASCII as it is.
    size_t bytes = 0;
    bool ascii = true;
    for (; bytes < kShortText && gbk[bytes] != '\0'; ++bytes)
      ascii = ascii && static_cast<unsigned char>(gbk[bytes]) < 0x80;
    if (bytes < kShortText && ascii) {
      AssignAscii(gbk, static_cast<int32_t>(bytes));
      return;
    }
    if (bytes == kShortText) bytes += std::strlen(gbk + bytes);
    if (bytes == 0) return;
    // Positions are 32-bit: a longer subject cannot be held, as in a 32-bit
    // process it could not be allocated.
    if (bytes > static_cast<size_t>(INT32_MAX) - 1) ReportAllocationFailure((bytes + 1) * 2);
    // A GBK text never has more units than bytes: convert once into room
    // for that many.
    if (static_cast<int64_t>(bytes) + 1 > capacity_) {
      auto* grown = static_cast<char16_t*>(HeapBlock((bytes + 1) * 2));
      HeapRelease(units_);
      units_ = grown;
      capacity_ = static_cast<int32_t>(bytes) + 1;
    }
    int count = MultiByteToWideChar(CP_ACP, 0, gbk, static_cast<int>(bytes), units_, capacity_ - 1);
    if (count <= 0) return;
    units_[count] = u'\0';
    length_ = count;
    present_ = true;
  }

  // Drops the text; the storage stays for the next Assign.
  void Clear() {
    present_ = false;
    length_ = 0;
  }
  // After in-place editing that shortened the text.
  void Truncate(int32_t length) {
    length_ = length;
    units_[length] = u'\0';
  }
  void Release() {
    Clear();
    HeapRelease(units_);
    units_ = nullptr;
    capacity_ = 0;
  }

 private:
  static constexpr size_t kShortText = 32;

  void AssignAscii(const char* ascii, int32_t count) {
    if (count == 0) return;
    if (count + 1 > capacity_) {
      auto* grown = static_cast<char16_t*>(HeapBlock(kShortText * 2));
      HeapRelease(units_);
      units_ = grown;
      capacity_ = static_cast<int32_t>(kShortText);
    }
    for (int32_t i = 0; i < count; ++i) units_[i] = static_cast<char16_t>(ascii[i]);
    units_[count] = u'\0';
    length_ = count;
    present_ = true;
  }

  char16_t* units_ = nullptr;
  int32_t length_ = 0;
  int32_t capacity_ = 0;
  bool present_ = false;
};

// `count` wide units as a fresh GBK text from the runtime's allocator; null
// when the conversion yields nothing.
char* ToGbk(const char16_t* units, int32_t count) {
  if (count <= 0) return nullptr;
  // At most two bytes a unit: short pieces (a character, a syllable, a
  // code) are encoded on the stack, then copied once.
  char small[256];
  if (count <= static_cast<int32_t>(sizeof small) / 2) {
    const auto bytes = static_cast<size_t>(platform::EncodeGbk(units, count, small));
    // A tone digit, one character of a split or a two-letter initial,
    // final or code is the runtime's shared text: no block.
    if (bytes <= 2 && ShortcutsEnabled())
      if (char* shared = SharedShortText(small, bytes)) return shared;
    auto* text = static_cast<char*>(RuntimeBlock(bytes + 1));
    std::memcpy(text, small, bytes);
    text[bytes] = '\0';
    return text;
  }
  int bytes = WideCharToMultiByte(CP_ACP, 0, units, count, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return nullptr;
  auto* text = static_cast<char*>(RuntimeBlock(static_cast<size_t>(bytes) + 1));
  bytes = WideCharToMultiByte(CP_ACP, 0, units, count, text, bytes, nullptr, nullptr);
  text[bytes < 0 ? 0 : bytes] = '\0';
  return text;
}

// In place (every replacement is shorter than its name), one pass: no
// replacement contains "#", so one pass gives what the four passes in turn
// would give.
void SubstituteNames(WideText& pattern) {
  struct Name {
    std::u16string_view name;
    char16_t first;
    char16_t second;  // 0 when the replacement is a single character
  };
  static constexpr Name kNames[] = {
      {u"#换行符", u'\r', u'\n'},
      {u"#引号", u'"', 0},
      {u"#左引号", u'“', 0},
      {u"#右引号", u'”', 0},
  };
  char16_t* units = pattern.units();
  int32_t length = pattern.length();
  int32_t out = 0;
  for (int32_t in = 0; in < length;) {
    const Name* hit = nullptr;
    if (units[in] == u'#') {
      std::u16string_view rest(units + in, static_cast<size_t>(length - in));
      for (const Name& n : kNames)
        if (rest.starts_with(n.name)) {
          hit = &n;
          break;
        }
    }
    if (hit == nullptr) {
      units[out++] = units[in++];
      continue;
    }
    units[out++] = hit->first;
    if (hit->second != 0) units[out++] = hit->second;
    in += static_cast<int32_t>(hit->name.size());
  }
  pattern.Truncate(out);
}

// ---- The objects ----

struct RegexObject {
  std::shared_ptr<SharedPattern> shared;  // null until a Compile succeeds
  WideText pattern;
  // The subject of the latest search: its own wide copy, or the shared
  // conversion of a constant-area text. A whole book searched for all its
  // matches is kept as its GBK bytes instead (two thirds the size) and made
  // wide again only if it is searched or read once more.
  mutable WideText subject;
  ConstantSubject* constant = nullptr;
  mutable char* packed = nullptr;
  int32_t packedLength = 0;
  int32_t resume = 0;
  Matcher* matcher = nullptr;  // kept between searches so its stacks keep their storage
  MatchRecord scratch;         // SearchAllTexts' record, likewise
  // A destroyed Regex that results still name stays as an empty shell until
  // the last of them goes, so that they can see that it is gone.
  int32_t holders = 0;
  bool destroyed = false;

  bool compiled() const { return shared != nullptr; }
  bool hasSubject() const { return constant != nullptr || subject.present() || packed != nullptr; }
  // A packed subject is made wide again first.
  const char16_t* subjectUnits() const {
    if (constant != nullptr) return constant->units.data();
    if (packed != nullptr) Unpack();
    return subject.units();
  }
  int32_t subjectLength() const {
    if (constant != nullptr) return static_cast<int32_t>(constant->units.size());
    return packed != nullptr ? packedLength : subject.length();
  }
  void Pack(const char* gbk) {
    size_t bytes = std::strlen(gbk) + 1;
    // Packing only saves room: without memory for it, keep the wide form.
    char* copy = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, bytes));
    if (copy == nullptr) return;
    std::memcpy(copy, gbk, bytes);
    packedLength = subject.length();
    subject.Release();
    packed = copy;
  }
  void Unpack() const {
    subject.Assign(packed);
    HeapRelease(packed);
    packed = nullptr;
  }
  void ClearSubject() {
    subject.Clear();
    constant = nullptr;
    HeapRelease(packed);
    packed = nullptr;
  }
  void ReleaseContents() {
    shared.reset();
    pattern.Release();
    subject.Release();
    constant = nullptr;
    HeapRelease(packed);
    packed = nullptr;
    if (matcher != nullptr) {
      matcher->~Matcher();
      HeapRelease(matcher);
      matcher = nullptr;
    }
    MatchRecord().swap(scratch);
    resume = 0;
  }
};

struct ResultObject {
  MatchRecord record;  // empty when nothing matched
  RegexObject* producer = nullptr;
  int32_t highestGroup = 0;
};

template <class T>
T* NewObject() {
  return new (HeapBlock(sizeof(T))) T;
}
template <class T>
void DeleteObject(T* object) {
  object->~T();
  HeapRelease(object);
}

void ReleaseProducer(RegexObject* regex) {
  if (--regex->holders == 0 && regex->destroyed) DeleteObject(regex);
}

// ---- Arguments ----

template <class T>
T* ObjectOf(int32_t argc, const ArgRecord* args, int32_t index, uint32_t type) {
  if (index >= argc || args[index].type != type) return nullptr;
  auto** cell = static_cast<void**>(ArgPointer(args[index]));
  return cell == nullptr ? nullptr : static_cast<T*>(*cell);
}
bool Given(int32_t argc, const ArgRecord* args, int32_t index) {
  return index < argc && ArgGiven(args[index]);
}
// A given, non-empty text argument, or null.
const char* TextOf(int32_t argc, const ArgRecord* args, int32_t index) {
  if (!Given(argc, args, index)) return nullptr;
  const char* text = ArgText(args[index]);
  return text == nullptr || *text == '\0' ? nullptr : text;
}

// Stores `gbk` as the regex's subject; false when it converts to nothing.
bool TakeSubject(RegexObject& regex, const char* gbk) {
  regex.ClearSubject();
  // A constant text never changes: its conversion is made once and shared.
  if (ConstantSubject* constant = ConstantSubjectFor(gbk)) {
    regex.constant = constant;
    return true;
  }
  regex.subject.Assign(gbk);
  return regex.subject.present();
}

// One search over the regex's subject. Running out of memory reaches the
// command's own guard. A lone search of a constant subject goes through the
// accelerator, which remembers its answer.
void RunSearch(RegexObject& regex, int32_t start, MatchRecord& record, bool lone) {
  record.clear();
  if (regex.matcher == nullptr) regex.matcher = NewObject<Matcher>();
  if (lone && regex.constant != nullptr)
    SearchConstant(*regex.shared, *regex.constant, start, *regex.matcher, record);
  else if (lone && ShortcutsEnabled() && regex.subject.present() &&
           regex.subject.length() <= kShortSubject)
    SearchShort(*regex.shared, regex.subject.units(), regex.subject.length(), start, *regex.matcher,
                record);
  else if (regex.shared->Ready())
    regex.matcher->Search(*regex.shared->program, regex.subjectUnits(), regex.subjectLength(),
                          start, record);
}

void* RuntimeResize(void* block, size_t bytes) {
  if (g_service != nullptr)
    return reinterpret_cast<void*>(g_service(kServiceLibraryRealloc,
                                             reinterpret_cast<intptr_t>(block),
                                             static_cast<intptr_t>(bytes), 0));
  return ReallocMemory(block, bytes);
}

// A one-dimensional text array built one text at a time in a runtime block.
struct TextList {
  int32_t* block = nullptr;
  int32_t count = 0;
  int32_t capacity = 0;

  char** Texts() const { return reinterpret_cast<char**>(reinterpret_cast<char*>(block) + 8); }
  void Resize(int32_t elements) {
    size_t bytes = 8 + static_cast<size_t>(elements) * sizeof(char*);
    block =
        static_cast<int32_t*>(block == nullptr ? RuntimeBlock(bytes) : RuntimeResize(block, bytes));
    capacity = elements;
  }
  void Append(char* text) {
    if (count == capacity) Resize(capacity < 16 ? 16 : capacity * 2);
    Texts()[count++] = text;
  }
  // The finished array: header (1, count), exactly count elements.
  void* Finish() {
    if (block == nullptr || capacity != count) Resize(count);
    block[0] = 1;
    block[1] = count;
    return block;
  }
};

char* GroupText(const ResultObject* result, int32_t group) {
  if (result == nullptr || result->producer == nullptr || result->producer->destroyed)
    return nullptr;
  const MatchRecord& record = result->record;
  size_t at = 2 + 2 * static_cast<size_t>(group);
  int32_t start = at < record.size() ? record[at] : -1;
  int32_t end = at + 1 < record.size() ? record[at + 1] : -1;
  const RegexObject& producer = *result->producer;
  const int32_t length = producer.subjectLength();
  if (!producer.hasSubject() || start < 0 || start >= length || end <= start) return nullptr;
  if (end > length) end = length;
  const char16_t* units = producer.subjectUnits();
  return units == nullptr ? nullptr : ToGbk(units + start, end - start);
}

}  // namespace

// ---- Construct and destroy ----

void ConstructRegex(void** cell) {
  if (cell != nullptr) *cell = NewObject<RegexObject>();
}

void DestroyRegex(void** cell) {
  if (cell == nullptr || *cell == nullptr) return;
  auto* regex = static_cast<RegexObject*>(*cell);
  *cell = nullptr;
  regex->ReleaseContents();
  regex->destroyed = true;
  if (regex->holders == 0) DeleteObject(regex);
}

namespace {
// Results come and go once per search; destroyed ones are kept for reuse,
// with their record's storage, up to a small number.
// A fixed array, so keeping one never needs memory. Process-wide, like the
// runtime's heap the results come from.
constexpr size_t kKeptResults = 16;
struct KeptResultList {
  ResultObject* results[kKeptResults];
  size_t count;
};
KeptResultList g_kept;
void ReleaseKeptResults() {
  while (g_kept.count > 0) DeleteObject(g_kept.results[--g_kept.count]);
}
}  // namespace

void ConstructSearchResult(void** cell) {
  if (cell == nullptr) return;
  if (g_kept.count > 0 && ShortcutsEnabled()) {
    *cell = g_kept.results[--g_kept.count];
    return;
  }
  *cell = NewObject<ResultObject>();
}

void DestroySearchResult(void** cell) {
  if (cell == nullptr || *cell == nullptr) return;
  auto* result = static_cast<ResultObject*>(*cell);
  *cell = nullptr;
  if (result->producer != nullptr) ReleaseProducer(result->producer);
  if (g_kept.count < kKeptResults && ShortcutsEnabled()) {
    result->record.clear();
    result->producer = nullptr;
    result->highestGroup = 0;
    g_kept.results[g_kept.count++] = result;
    return;
  }
  DeleteObject(result);
}

// ---- Commands ----

namespace {

void CompileBody(ArgRecord* result, int32_t argc, ArgRecord* args) {
  *result = BoolArg(false);
  auto* regex = ObjectOf<RegexObject>(argc, args, 0, kTypeRegex);
  if (regex == nullptr) return;
  regex->shared.reset();
  regex->pattern.Clear();
  regex->ClearSubject();
  regex->resume = 0;
  const char* text = TextOf(argc, args, 1);
  if (text == nullptr) return;
  uint32_t flags = Given(argc, args, 2) ? args[2].low : 0;
  bool substitute = Given(argc, args, 3) && args[3].low != 0;
  // The GBK text, the flags and the substitution switch decide the program.
  const CompileKey key{std::string_view(text), flags, substitute};
  regex->shared = FindCompiled(key);
  if (regex->shared == nullptr) {
    regex->pattern.Assign(text);
    if (!regex->pattern.present()) return;
    if (substitute) SubstituteNames(regex->pattern);
    regex->shared = CompileShared(regex->pattern.units(), regex->pattern.length(), flags);
    RememberCompiled(key, regex->shared);
  }
  *result = BoolArg(regex->compiled());
}

void SearchBody(ArgRecord* result, int32_t argc, ArgRecord* args) {
  auto** cell = static_cast<void**>(RuntimeBlock(sizeof(void*)));
  *cell = nullptr;
  ConstructSearchResult(cell);
  SetResultPointer(result, cell, kTypeSearchResult);
  auto* out = static_cast<ResultObject*>(*cell);
  auto* regex = ObjectOf<RegexObject>(argc, args, 0, kTypeRegex);
  if (out == nullptr || regex == nullptr) return;
  if (const char* text = TextOf(argc, args, 1); text != nullptr && !TakeSubject(*regex, text))
    return;
  if (!regex->hasSubject() || !regex->compiled()) return;
  int32_t start = Given(argc, args, 2) ? ArgInt(args[2]) : 0;
  if (start < 0) start = regex->resume;
  RunSearch(*regex, start, out->record, true);
  out->producer = regex;
  ++regex->holders;
  const MatchRecord& record = out->record;
  out->highestGroup = record.size() >= 2 ? record[1] : 0;
  regex->resume = record.size() >= 4 && record[0] != 0 && record[3] >= 0 ? record[3] : 0;
}

// Every non-empty match from the subject's start, each searched for by the
// matcher, handed to found(start, end); at most `most` of them (0: all).
template <class Found>
void ForEachMatch(RegexObject& regex, int32_t length, int32_t most, Found found) {
  MatchRecord& record = regex.scratch;
  int32_t count = 0;
  for (int32_t from = 0; from <= length;) {
    RunSearch(regex, from, record, false);
    if (record.size() < 4 || record[0] == 0) break;
    int32_t start = record[2];
    int32_t end = record[3];
    if (end > start) {
      found(start, end);
      if (most != 0 && ++count == most) break;
    }
    int32_t next = end > start ? end : end + 1;
    // A right-to-left pattern finds matches that end at or before the
    // search position; without this it would find the same one forever.
    if (next <= from) break;
    from = next;
  }
}

void SearchEachMatch(RegexObject& regex, int32_t length, int32_t most, TextList& list) {
  const char16_t* units = regex.subjectUnits();
  ForEachMatch(regex, length, most,
               [&](int32_t start, int32_t end) { list.Append(ToGbk(units + start, end - start)); });
}

// The same for a constant subject, whose matches the shared pattern keeps:
// the same search in a later run (a table split at start-up) reads them
// instead of running the matcher again.
void SearchEachMatchOfConstant(RegexObject& regex, int32_t length, int32_t most, TextList& list) {
  SharedPattern& pattern = *regex.shared;
  if (pattern.everyAnswered != regex.constant || pattern.everyMost != most) {
    pattern.everyAnswered = nullptr;
    pattern.everySpans.clear();
    ForEachMatch(regex, length, most, [&](int32_t start, int32_t end) {
      pattern.everySpans.push_back(start);
      pattern.everySpans.push_back(end);
    });
    pattern.everyAnswered = regex.constant;
    pattern.everyMost = most;
  }
  const char16_t* units = regex.subjectUnits();
  const std::vector<int32_t>& spans = pattern.everySpans;
  if (!spans.empty()) list.Resize(static_cast<int32_t>(spans.size() / 2));
  for (size_t i = 0; i < spans.size(); i += 2)
    list.Append(ToGbk(units + spans[i], spans[i + 1] - spans[i]));
}

void SearchAllTextsBody(ArgRecord* result, int32_t argc, ArgRecord* args) {
  auto* regex = ObjectOf<RegexObject>(argc, args, 0, kTypeRegex);
  const char* text = TextOf(argc, args, 1);
  int32_t most = Given(argc, args, 2) ? ArgInt(args[2]) : 0;
  if (most < 0) most = 0;
  // The texts go straight into the array, which grows by doubling: a whole
  // book's characters need no second list beside it.
  TextList list;
  if (regex != nullptr && text != nullptr && TakeSubject(*regex, text) && regex->compiled()) {
    const int32_t length = regex->subjectLength();
    // One set or class (a text split into characters): every unit it accepts
    // is a match of its own, in order.
    if (const UnitBitmap* units = SingleUnitBitmap(*regex->shared)) {
      const char16_t* subject = regex->subjectUnits();
      // Counted first, so a book's array is allocated once at its size.
      int32_t matches = 0;
      for (int32_t at = 0; at < length && (most == 0 || matches < most); ++at)
        matches += units->Holds(subject[at]) ? 1 : 0;
      if (matches > 0) list.Resize(matches);
      for (int32_t at = 0; at < length; ++at) {
        if (!units->Holds(subject[at])) continue;
        list.Append(ToGbk(subject + at, 1));
        if (most != 0 && list.count == most) break;
      }
    } else if (regex->constant != nullptr) {
      SearchEachMatchOfConstant(*regex, length, most, list);
    } else {
      SearchEachMatch(*regex, length, most, list);
    }
  }
  // Searching a book for all its matches is done once; keep it compactly.
  constexpr int32_t kPackFrom = 1 << 20;
  if (regex != nullptr && text != nullptr && regex->constant == nullptr && ShortcutsEnabled() &&
      regex->subject.present() && regex->subject.length() >= kPackFrom)
    regex->Pack(text);
  SetResultPointer(result, list.Finish(), kTypeText | kArrayFlag);
}

}  // namespace

// Converting texts, compiling and searching allocate (a constant subject is
// converted once and kept); none of it may throw out of a command.
void Compile(ArgRecord* result, int32_t argc, ArgRecord* args) {
  ReportingExhaustion([&] { CompileBody(result, argc, args); });
}

void Search(ArgRecord* result, int32_t argc, ArgRecord* args) {
  ReportingExhaustion([&] { SearchBody(result, argc, args); });
}

void SearchAllTexts(ArgRecord* result, int32_t argc, ArgRecord* args) {
  ReportingExhaustion([&] { SearchAllTextsBody(result, argc, args); });
}

void IsEmpty(ArgRecord* result, int32_t argc, ArgRecord* args) {
  auto* out = ObjectOf<ResultObject>(argc, args, 0, kTypeSearchResult);
  *result = BoolArg(out == nullptr || out->record.empty() || out->record[0] == 0);
}

void GetMatchText(ArgRecord* result, int32_t argc, ArgRecord* args) {
  auto* out = ObjectOf<ResultObject>(argc, args, 0, kTypeSearchResult);
  SetResultPointer(result, GroupText(out, 0), kTypeText);
}

void GetGroupText(ArgRecord* result, int32_t argc, ArgRecord* args) {
  auto* out = ObjectOf<ResultObject>(argc, args, 0, kTypeSearchResult);
  int32_t group = Given(argc, args, 1) ? ArgInt(args[1]) : 0;
  // Group 0 is read through GetMatchText only.
  bool inRange = out != nullptr && group >= 1 && group <= out->highestGroup;
  SetResultPointer(result, inRange ? GroupText(out, group) : nullptr, kTypeText);
}

// ---- Library ----

intptr_t RegexLibraryNotify(int32_t code, intptr_t arg1, intptr_t arg2) {
  if (code == 1) g_service = reinterpret_cast<RuntimeServiceEntry>(arg1);
  // After the end notification the runtime's allocator is reached directly.
  if (code == 6) {
    g_service = nullptr;
    ReleaseKeptResults();
    EndAcceleratorRun();
  }
  return 0;
}

}  // namespace molvane::regex
