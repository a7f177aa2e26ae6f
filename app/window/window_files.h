// SPDX-License-Identifier: GPL-3.0-or-later
// The window's files: a text file into the input box (from 打开 or dropped
// on the window), the output box into a file in the form its type names.
#pragma once

#include <string>

#include "app/settings/convert_route.h"
#include "app/settings/settings.h"
#include "platform/text_encodings.h"
#include "platform/win32.h"

namespace molvane::window {

// A text file read for the input box, or why it cannot go there.
enum class ReadProblem { kNone, kUnreadable, kNotText, kTooLong };
struct ReadText {
  ReadProblem problem = ReadProblem::kNone;
  std::string utf8;  // the text, line breaks as in the file
  platform::Encoding encoding = platform::Encoding::kUtf8;
  int error = 0;  // errno, when unreadable
};

// Reads `path` with its encoding found as molvane-convert finds it. Not text:
// bytes outside that encoding, or control characters other than tab, line
// and page breaks. Too long: more than `characters` characters, a CR LF
// counting as one as the box counts it.
ReadText ReadTextFile(const std::string& path, size_t characters);

// The output box's text in a file's form, line breaks LF and one at the
// end: the text itself
// (kDots), Unicode braille or BRF; false when braille is asked of text that
// is not dot numbers. `separator` is the separator box's (UTF-8).
bool SavedForm(const std::string& box, const std::string& separator, settings::BrailleForm form,
               std::string* bytes);

// Writes the whole file beside `path` and renames it over, so a failure
// leaves any earlier file whole; false with the reason in `error`.
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string* error);

// The menu commands and a drop, with the dialogs and messages they need.
void OpenWithDialog(HWND frame);
void OpenFile(HWND frame, const std::string& path);
// `button`: what the convert button converts with; a BRF of full text is
// laid out in pages from the input box, as molvane-convert lays out a book.
void SaveWithDialog(HWND frame, const settings::ConvertButton& button);
// WM_DROPFILES: the first file opens.
void OpenDropped(HWND frame, HDROP drop);

}  // namespace molvane::window
