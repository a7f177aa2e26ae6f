// SPDX-License-Identifier: GPL-3.0-or-later
// Pinyin laid out for teachers and learners: an HTML page with each
// character's pinyin above it (ruby), one word a line with its readings
// (pairs), and every reading of a polyphonic character in brackets.
#pragma once

#include <string>

#include "app/settings/settings.h"

namespace molvane::settings {

// What the settings' format and readings ask for is not plain text.
bool WritesTeaching(const Settings& settings);

// The ruby page around the converted pieces: its start, written before the
// first piece, and its end, written after the last.
std::string RubyPageStart();
std::string RubyPageEnd();

// A text (GBK when `gbk`, else UTF-8) in the layout the settings ask for,
// UTF-8. A piece converts alone: nothing carries over from one to the next
// beyond what a line break ends anyway.
std::string TeachingText(const std::string& text, bool gbk, const Settings& settings);

}  // namespace molvane::settings
