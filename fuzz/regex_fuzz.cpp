// SPDX-License-Identifier: GPL-3.0-or-later
// The regex library as program code calls it: a pattern with any flags
// (both directions), a subject from the input or from a constant table, and
// all six commands through CallLibraryCommand, with the shortcuts on or off.
//
// A pattern that recurses ("(?R)", "(?1)") is searched in its own subject,
// kept shorter: its calls learn their ways, so the search is polynomial, but
// of a high degree on patterns such as "(a*(?1)?)*b".
//
// Input: flags byte (low six bits the pattern flags, 0x40 substitute names,
// 0x80 shortcuts off), start byte (signed), selector byte (low nibble: the
// subject, high nibble: a count and a group), then pattern NUL subject.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "constants/constant_area.h"
#include "fuzz/require.h"
#include "platform/platform.h"
#include "regex/compiled_pattern.h"
#include "regex/regex_library.h"
#include "runtime/support.h"
#include "ui/program.h"

namespace {

using namespace molvane;
namespace rx = molvane::regex;

// Backtracking time grows exponentially with the subject on some patterns;
// short texts keep every input quick, so a slow one means a real hang.
constexpr size_t kLongestPattern = 64;
constexpr size_t kLongestSubject = 40;
constexpr size_t kLongestRecursingSubject = 12;

using fuzz::Require;

ArgRecord Call(int32_t command, int32_t argc, ArgRecord* args) {
  return CallLibraryCommand(rx::kRegexLibraryNumber, command, argc, args);
}
// The object operations, as program code runs them on its variables.
void ObjectOperation(int32_t command, void** cell, uint32_t type) {
  ArgRecord object = ObjectArg(cell, type);
  Call(command, 1, &object);
}

// True when the pattern, read as the library reads it, recurses. White
// space between "(?" and what follows counts for nothing with Extended.
bool Recurses(const std::string& pattern, uint32_t flags) {
  std::u16string wide(pattern.size(), u'\0');
  const int count = MultiByteToWideChar(CP_ACP, 0, pattern.data(), static_cast<int>(pattern.size()),
                                        wide.data(), static_cast<int>(wide.size()));
  wide.resize(static_cast<size_t>(count > 0 ? count : 0));
  if ((flags & rx::kExtended) != 0)
    std::erase_if(wide, [](char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); });
  for (size_t at = wide.find(u"(?"); at != std::u16string::npos; at = wide.find(u"(?", at + 1)) {
    const char16_t next = at + 2 < wide.size() ? wide[at + 2] : u'\0';
    if (next == u'R' || (next >= u'0' && next <= u'9')) return true;
  }
  return false;
}

// Constant subjects take the library's constant-area path.
const char* SubjectFor(int selector, const std::string& own) {
  switch (selector) {
    case 1:
      return constants::kArea.shuangpinTable;
    case 2:
      return constants::kArea.currentBrailleTable;
    case 3:
      return constants::kArea.emptyText;
    default:
      return own.c_str();
  }
}

// Reads every part of one search result, then releases it.
void Inspect(ArgRecord found, int32_t group) {
  Require(found.type == kTypeSearchResult, "Search returned no search result");
  auto** cell = static_cast<void**>(ArgPointer(found));
  ArgRecord res = ObjectArg(cell, kTypeSearchResult);
  const bool empty = Call(rx::kIsEmptyCommand, 1, &res).low != 0;
  char* match = ArgText(Call(rx::kGetMatchTextCommand, 1, &res));
  Require(!empty || match == nullptr, "an empty result has a match text");
  FreeMemory(match);
  for (int32_t g : {-1, 0, 1, group}) {
    ArgRecord args[2] = {res, IntArg(g)};
    FreeMemory(ArgText(Call(rx::kGetGroupTextCommand, 2, args)));
  }
  ObjectOperation(rx::kDestroySearchResultCommand, cell, kTypeSearchResult);
  FreeMemory(cell);
}

void SearchEveryWay(void** re, const char* subject, int32_t start, int32_t count) {
  ArgRecord regex = ObjectArg(re, kTypeRegex);
  ArgRecord given[3] = {regex, TextArg(subject), IntArg(start)};
  Inspect(Call(rx::kSearchCommand, 3, given), count);
  // The kept subject, searched again from its default and a given start.
  Inspect(Call(rx::kSearchCommand, 1, &regex), count);
  ArgRecord kept[3] = {regex, OmittedArg(), IntArg(start + 1)};
  Inspect(Call(rx::kSearchCommand, 3, kept), count);
  ArgRecord all[3] = {regex, TextArg(subject), count == 0 ? OmittedArg() : IntArg(count)};
  ArgRecord texts = Call(rx::kSearchAllTextsCommand, 3, all);
  Require(texts.type == (kTypeText | kArrayFlag), "SearchAllTexts returned no text array");
  FreeTextArray(ArgPointer(texts));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool started = [] {
    CallService(kServiceInitialize, reinterpret_cast<intptr_t>(&Header()));
    return true;
  }();
  (void)started;
  if (size < 3) return 0;
  const uint32_t flags = data[0] & 0x3F;
  const bool names = (data[0] & 0x40) != 0;
  SetShortcutsEnabled((data[0] & 0x80) == 0);
  const int32_t start = static_cast<int8_t>(data[1]);
  const int selector = data[2] & 0x0F;
  const int32_t count = data[2] >> 4;

  const std::string rest(reinterpret_cast<const char*>(data + 3), size - 3);
  const size_t split = rest.find('\0');
  const std::string pattern = rest.substr(0, split).substr(0, kLongestPattern);
  const bool recurses = Recurses(pattern, flags);
  const std::string own =
      split == std::string::npos
          ? ""
          : rest.substr(split + 1).substr(0, recurses ? kLongestRecursingSubject : kLongestSubject);
  const char* subject = recurses ? own.c_str() : SubjectFor(selector, own);

  auto** re = static_cast<void**>(AllocMemory(sizeof(void*)));
  ObjectOperation(rx::kConstructRegexCommand, re, kTypeRegex);
  // Both directions of the same pattern, each searched every way.
  for (uint32_t direction : {0u, static_cast<uint32_t>(rx::kRightToLeft)}) {
    ArgRecord compile[4] = {ObjectArg(re, kTypeRegex), TextArg(pattern.c_str()),
                            IntArg(static_cast<int32_t>(flags ^ direction)), BoolArg(names)};
    Call(rx::kCompileCommand, 4, compile);
    SearchEveryWay(re, subject, start, count);
  }
  ObjectOperation(rx::kDestroyRegexCommand, re, kTypeRegex);
  FreeMemory(re);
  SetShortcutsEnabled(true);
  return 0;
}
