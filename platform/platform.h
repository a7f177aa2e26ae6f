// SPDX-License-Identifier: GPL-3.0-or-later
// Platform services beyond the Win32 subset: UTF-8 bridges for the runtime's
// own messages and the command line, and the test hooks of the message box, heap and libraries.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32.h"

namespace platform {

// The GBK bytes of `count` wide units, as WideCharToMultiByte writes them (a
// unit GBK cannot hold becomes "?"), into `out`, which holds 2 * count bytes;
// returns the byte count.
int EncodeGbk(const char16_t* units, int count, char* out);

// Well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF):
// the byte count of the character at `bytes` with its code point in `code`;
// 0 when the bytes start no character; -1 when `length` ends inside one.
// One byte and three-byte characters (every Chinese one), the bulk of any
// text read, are decoded inline; the rest out of line.
int DecodeUtf8CharacterFully(const char* bytes, size_t length, char32_t* code);
inline int DecodeUtf8Character(const char* bytes, size_t length, char32_t* code) {
  const auto* s = reinterpret_cast<const unsigned char*>(bytes);
  if (length != 0 && s[0] < 0x80) {
    *code = s[0];
    return 1;
  }
  if (length >= 3 && (s[0] & 0xF0) == 0xE0 && (s[1] & 0xC0) == 0x80 && (s[2] & 0xC0) == 0x80) {
    const char32_t value = (s[0] & 0x0Fu) << 12 | (s[1] & 0x3Fu) << 6 | (s[2] & 0x3Fu);
    // Overlong forms and surrogates are not characters.
    if (value >= 0x800 && (value < 0xD800 || value > 0xDFFF)) {
      *code = value;
      return 3;
    }
  }
  return DecodeUtf8CharacterFully(bytes, length, code);
}
// Offset of the first byte that does not start a well-formed UTF-8 sequence,
// or npos.
size_t FirstInvalidUtf8(const std::string& text);
// The character of code page 936 at the start of `bytes`: its byte count (1
// or 2) with its wide unit in `unit`; 0 when the bytes are not a character of
// the code page; -1 when `length` ends inside one.
int DecodeGbkCharacter(const char* bytes, size_t length, char16_t* unit);

// Writes the UTF-8 form of one unit of the basic plane (1 to 3 bytes) at
// `out`; returns the end. Needs no memory, so reports can use it.
char* EncodeUtf8(char16_t unit, char* out);

// Conversions between UTF-8 and code page 936 (GBK).
std::string Utf8ToGbk(const std::string& utf8);
std::string GbkToUtf8(const std::string& gbk);
// Conversions between UTF-8 and UTF-16 (file paths and text beyond GBK); a
// byte that starts no character and an unpaired surrogate become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// What a file dialog asks (GetOpenFileName, GetSaveFileName), as a backend
// shows it or a test's responder answers it.
struct FileDialogFilter {
  std::u16string name;      // "文本文件 (*.txt)"
  std::u16string patterns;  // "*.txt;*.text"
};
struct FileDialogCall {
  HWND owner = nullptr;
  bool save = false;
  std::u16string title;  // empty: the toolkit's own ("打开", "另存为")
  std::vector<FileDialogFilter> filters;
  int filterIndex = 0;              // 0-based, the filter shown first
  std::u16string folder;            // empty: the current folder
  std::u16string fileName;          // the name offered in the box
  std::u16string defaultExtension;  // without the dot
  bool fileMustExist = false;
  bool confirmOverwrite = false;
};
struct FileDialogAnswer {
  std::u16string path;
  int filterIndex = 0;  // 0-based, the filter chosen
};

// Installs a responder that answers every file dialog in place of the
// backend (nothing: cancelled). An empty function restores the backend.
using FileDialogResponder = std::function<std::optional<FileDialogAnswer>(const FileDialogCall&)>;
void SetFileDialogResponder(FileDialogResponder responder);

// One message box as the headless backend saw it (texts in GBK).
struct MessageBoxCall {
  HWND owner;
  std::string text;
  std::string caption;
  UINT style;
};

// Installs a responder that answers every message box in place of the
// default (which writes caption and text to standard error and answers OK).
// An empty function restores the default.
using MessageBoxResponder = std::function<int(const MessageBoxCall&)>;
void SetMessageBoxResponder(MessageBoxResponder responder);

// Every message box shown since the last ClearMessageBoxLog.
const std::vector<MessageBoxCall>& MessageBoxLog();
void ClearMessageBoxLog();

// Makes heap requests of at least `bytes` bytes fail, so that out-of-memory
// paths can be exercised; 0 switches the failure off.
void SetHeapFailureThreshold(SIZE_T bytes);

// Makes LoadLibraryA of `fileName` fail (or work again), so that a missing
// rich edit library can be exercised.
void SetLibraryLoadFails(const std::string& fileName, bool fails);

// Makes the `count`-th counted allocation from now fail (1: the next one), so
// that every allocation of a run can be failed in turn; 0 fails none. Heap
// requests are counted; other allocators (a test's operator new) count
// theirs with CountedAllocationFails, true for the one that must fail.
// CountedAllocations is the number counted since the countdown was set.
void SetAllocationFailureCountdown(uint64_t count);
bool CountedAllocationFails();
uint64_t CountedAllocations();

}  // namespace platform
