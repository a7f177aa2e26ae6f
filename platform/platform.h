// Platform services beyond the Win32 subset: UTF-8 bridges for the runtime's
// own messages and the command line, and the headless backend's test hooks.
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

// The character of code page 936 at the start of `bytes`: its byte count (1
// or 2) with its wide unit in `unit`; 0 when the bytes are not a character of
// the code page; -1 when `length` ends inside one.
int DecodeGbkCharacter(const char* bytes, size_t length, char16_t* unit);

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

// Headless window state, for tests.
struct WindowState {
  std::string className;
  std::string text;
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0, y = 0, width = 0, height = 0;
  HWND parent = nullptr;
};
const WindowState* GetWindowState(HWND window);

}  // namespace platform
