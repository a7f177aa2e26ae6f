// SPDX-License-Identifier: GPL-3.0-or-later
// Platform services beyond the Win32 subset: UTF-8 bridges for the runtime's
// own messages and the command line, and the test hooks of the message box, heap and libraries.
#pragma once

#include <functional>
#include <string>
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
int DecodeUtf8Character(const char* bytes, size_t length, char32_t* code);
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
