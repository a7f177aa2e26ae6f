// SPDX-License-Identifier: GPL-3.0-or-later
// Memory entries: the process heap, with pointers into the constant area
// recognised and never freed or resized in place.
#include <cstring>
#include <new>
#include <string>

#include "platform/platform.h"
#include "runtime/runtime_state.h"

namespace molvane {

namespace {

// The out-of-memory report in GBK, in two pieces around the size, and the
// box caption: made while memory is still plentiful, because when it has run
// out there is none left to build them. Process-wide: any allocation anywhere
// may need it.
struct OutOfMemoryReport {
  char head[64];
  char tail[32];
  char caption[8];
  bool ready;
};
OutOfMemoryReport g_report;
// Set while the report is shown, so that a failure during the shutdown it
// runs ends the process at once instead of reporting again.
bool g_reporting = false;

void CopyPiece(const std::string& gbk, char* out, size_t room) {
  const size_t bytes = gbk.size() < room ? gbk.size() : room - 1;
  std::memcpy(out, gbk.data(), bytes);
  out[bytes] = '\0';
}

// Appends `text` at `at` in `out` (of `room` bytes); returns the new end.
size_t Append(char* out, size_t room, size_t at, const char* text) {
  while (*text != '\0' && at + 1 < room) out[at++] = *text++;
  out[at] = '\0';
  return at;
}

// Makes the report's text, once, while memory is plentiful.
void PrepareOutOfMemoryReport() {
  if (g_report.ready) return;
  CopyPiece(platform::Utf8ToGbk("运行时出错!\r\n\r\n错误信息：分配 "), g_report.head,
            sizeof g_report.head);
  CopyPiece(platform::Utf8ToGbk(" 字节内存失败!\r\n"), g_report.tail, sizeof g_report.tail);
  CopyPiece(platform::Utf8ToGbk("错误"), g_report.caption, sizeof g_report.caption);
  g_report.ready = true;
}

}  // namespace

namespace detail {

HANDLE OpenHeap() {
  PrepareOutOfMemoryReport();
  g_state.heap = GetProcessHeap();
  return g_state.heap;
}

}  // namespace detail

void ReportAllocationFailure(size_t size) {
  if (!g_report.ready && !g_reporting) {
    try {
      PrepareOutOfMemoryReport();
    } catch (const std::bad_alloc&) {
    }
  }
  if (g_reporting || !g_report.ready) ExitProcess(static_cast<UINT>(-1));
  g_reporting = true;
  char digits[24];
  char* end = digits + sizeof digits;
  char* first = end;
  *--first = '\0';
  do {
    *--first = static_cast<char>('0' + size % 10);
    size /= 10;
  } while (size != 0 && first > digits);
  // Head, size and tail together stay well inside the buffer.
  static char text[sizeof g_report.head + sizeof digits + sizeof g_report.tail];
  size_t at = Append(text, sizeof text, 0, g_report.head);
  at = Append(text, sizeof text, at, first);
  Append(text, sizeof text, at, g_report.tail);
  MessageBoxA(nullptr, text, g_report.caption, MB_OK | MB_ICONSTOP);
  ExitProgram(-1);
}

bool IsConstantPointer(const void* p) {
  const auto& s = detail::State();
  const char* c = static_cast<const char*>(p);
  return p != nullptr && s.constantStart != nullptr && c >= s.constantStart && c < s.constantEnd;
}

namespace {
// Every text of one byte, every GBK character of two bytes and every pair
// of printable ASCII characters (an initial, a final, a code), each with its
// zero.
struct ShortTexts {
  static constexpr int kLeads = 0xFE - 0x81 + 1;   // lead bytes 0x81 to 0xFE
  static constexpr int kTrails = 0xFE - 0x40 + 1;  // trail bytes 0x40 to 0xFE
  static constexpr int kPrintable = 0x7E - 0x20 + 1;
  char bytes[256][2];
  char pairs[kLeads][kTrails][3];
  char ascii[kPrintable][kPrintable][3];
};
constexpr ShortTexts MakeShortTexts() {
  ShortTexts t{};
  for (int i = 0; i < 256; ++i) t.bytes[i][0] = static_cast<char>(i);
  for (int lead = 0; lead < ShortTexts::kLeads; ++lead) {
    for (int trail = 0; trail < ShortTexts::kTrails; ++trail) {
      t.pairs[lead][trail][0] = static_cast<char>(0x81 + lead);
      t.pairs[lead][trail][1] = static_cast<char>(0x40 + trail);
    }
  }
  for (int first = 0; first < ShortTexts::kPrintable; ++first) {
    for (int second = 0; second < ShortTexts::kPrintable; ++second) {
      t.ascii[first][second][0] = static_cast<char>(0x20 + first);
      t.ascii[first][second][1] = static_cast<char>(0x20 + second);
    }
  }
  return t;
}
// Immutable, so every runtime in the process can share it.
constexpr ShortTexts kShortTexts = MakeShortTexts();
}  // namespace

char* SharedShortText(const char* bytes, size_t length) {
  if (length == 0 || length > 2) return nullptr;
  const auto first = static_cast<unsigned char>(bytes[0]);
  if (length == 1) return first != 0 ? const_cast<char*>(kShortTexts.bytes[first]) : nullptr;
  const auto second = static_cast<unsigned char>(bytes[1]);
  const auto printable = [](unsigned char c) { return c >= 0x20 && c <= 0x7E; };
  if (printable(first) && printable(second))
    return const_cast<char*>(kShortTexts.ascii[first - 0x20][second - 0x20]);
  if (first < 0x81 || first > 0xFE || second < 0x40 || second > 0xFE || second == 0x7F)
    return nullptr;
  return const_cast<char*>(kShortTexts.pairs[first - 0x81][second - 0x40]);
}

bool IsSharedShortText(const void* p) {
  const char* c = static_cast<const char*>(p);
  const char* start = reinterpret_cast<const char*>(&kShortTexts);
  return c >= start && c < start + sizeof kShortTexts;
}

void* AllocMemory(size_t size) {
  void* block = HeapAlloc(detail::Heap(), 0, size);
  if (block == nullptr) ReportAllocationFailure(size);
  return block;
}

namespace {
// A block that is freed or resized is no longer the growing text.
void ForgetGrowing(const void* block) {
  detail::GrowingText& g = detail::State().growing;
  if (block == g.buffer) g = detail::GrowingText{};
}
}  // namespace

void SetShortcutsEnabled(bool enabled) {
  detail::State().shortcuts = enabled;
  ForgetGrowing(detail::State().growing.buffer);
}
bool ShortcutsEnabled() {
  return detail::State().shortcuts;
}

void* ReallocMemory(void* block, size_t size) {
  if (block == nullptr) return AllocMemory(size);
  ForgetGrowing(block);
  // A shared text or a constant is not the caller's to resize: the new
  // block starts as a copy of what is readable there.
  const bool shared = IsSharedShortText(block);
  if (shared || IsConstantPointer(block)) {
    const char* from = static_cast<const char*>(block);
    const size_t available =
        shared ? std::strlen(from) + 1 : static_cast<size_t>(detail::State().constantEnd - from);
    void* copy = AllocMemory(size);
    std::memcpy(copy, block, size < available ? size : available);
    return copy;
  }
  void* resized = HeapReAlloc(detail::Heap(), 0, block, size);
  if (resized == nullptr) ReportAllocationFailure(size);
  return resized;
}

void FreeMemory(void* block) {
  if (block == nullptr || IsConstantPointer(block) || IsSharedShortText(block)) return;
  ForgetGrowing(block);
  HeapFree(detail::Heap(), 0, block);
}

}  // namespace molvane
