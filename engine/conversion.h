// SPDX-License-Identifier: GPL-3.0-or-later
// The conversion command and the five converters it dispatches to.
#pragma once

#include <cstdint>

namespace molvane {

// The main window and the controls the conversion command works with.
constexpr uint32_t kMainWindowId = 0x52010001;
constexpr uint32_t kInputBoxId = 0x16010002;       // 超级编辑框1
constexpr uint32_t kSeparatorBoxId = 0x16010004;   // 编辑框1
constexpr uint32_t kNotationListId = 0x16010006;   // 组合框1
constexpr uint32_t kOutputBoxId = 0x16010009;      // 超级编辑框2
constexpr uint32_t kConvertButtonId = 0x16010008;  // 按钮1

// Property indexes used here.
constexpr int32_t kRichEditContent = 9;
constexpr int32_t kEditBoxContent = 8;
constexpr int32_t kCurrentSelection = 19;

// A converter reads the input and the separator (by reference, unchanged)
// and returns a new text owned by the caller, or null when empty.
using Converter = char* (*)(char** input, char** separator);

char* CurrentBrailleConverter(char** input, char** separator);      // 0 老盲文
char* DoubleSpellBrailleConverter(char** input, char** separator);  // 1 新盲文
char* ShuangpinConverter(char** input, char** separator);           // 2 双拼字根
char* FullPinyinConverter(char** input, char** separator);          // 3 全拼
char* WubiConverter(char** input, char** separator);                // 4 五笔

// The notation table: list index to converter.
constexpr int32_t kNotationCount = 5;
extern const Converter kNotations[kNotationCount];

// Bound to the click of the convert button.
void ConvertCommand();

}  // namespace molvane
