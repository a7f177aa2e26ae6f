// SPDX-License-Identifier: GPL-3.0-or-later
// The properties of the six unit types, each named once. A type's table
// lists its own properties (index 8 on) in order with their data types; the
// registry builds the runtime's property descriptors from it, the stored
// settings and the control routines name their entries by it. A type's own
// routines count from its first own property: own index = index - 8.
#pragma once

#include <cstddef>
#include <cstdint>

namespace molvane::window {

// How a property's value is carried and what a read returns. A name with a
// code in it is a data type whose meaning this program never needs; it
// travels the way its name says.
enum class DataType : uint16_t {
  kInteger1000 = 1000,
  kInteger = 1001,
  kTwoWords1002 = 1002,
  kLogical = 1003,
  kTwoWords = 1004,
  kText = 1005,
  kChoice = 1006,
  kPicture = 1009,
  kIcon = 1010,
  kCursor = 1011,
  kSound = 1012,
  kFont = 1013,
  kForeColour = 1014,
  kColour1015 = 1015,
  kFileName = 1016,
  kBackColour = 1017,
  kText1018 = 1018,
  kText1020 = 1020,
  kBytes1023 = 1023,
  kList = 1024,
};

// Every type starts with the same eight properties.
enum CommonProperty : int32_t {
  kCommonLeft,
  kCommonTop,
  kCommonWidth,
  kCommonHeight,
  kCommonTag,
  kCommonVisible,
  kCommonDisabled,
  kCommonCursor,
  kCommonPropertyCount
};
constexpr DataType kCommonDataTypes[kCommonPropertyCount] = {
    DataType::kInteger, DataType::kInteger, DataType::kInteger, DataType::kInteger,
    DataType::kText,    DataType::kLogical, DataType::kLogical, DataType::kCursor};

struct OwnProperty {
  int32_t own;
  DataType type;
};

// Whether a table lists its entries at their own positions.
template <size_t N>
constexpr bool InOwnOrder(const OwnProperty (&table)[N]) {
  for (size_t i = 0; i < N; ++i)
    if (table[i].own != static_cast<int32_t>(i)) return false;
  return true;
}

// ---- window ----
enum WindowProperty : int32_t {
  kWindowCaption,
  kWindowBorder,
  kWindowBackground,
  kWindowPicture,
  kWindowPictureLayout,
  kWindowSound,
  kWindowSoundMode,
  kWindowControlBox,
  kWindowMaximiseBox,
  kWindowMinimiseBox,
  kWindowStartPosition,
  kWindowCloseBox,
  kWindowIcon,
  kWindowEnterMovesFocus,
  kWindowEscCloses,
  kWindowF1Help,
  kWindowHelpFile,
  kWindowHelpContext,
  kWindowInTaskbar,
  kWindowWord27,
  kWindowWord28,
  kWindowTopmost,
  kWindowWord30,
  kWindowClassName,
};
constexpr OwnProperty kWindowProperties[] = {
    {kWindowCaption, DataType::kText},
    {kWindowBorder, DataType::kChoice},
    {kWindowBackground, DataType::kBackColour},
    {kWindowPicture, DataType::kPicture},
    {kWindowPictureLayout, DataType::kChoice},
    {kWindowSound, DataType::kSound},
    {kWindowSoundMode, DataType::kChoice},
    {kWindowControlBox, DataType::kLogical},
    {kWindowMaximiseBox, DataType::kLogical},
    {kWindowMinimiseBox, DataType::kLogical},
    {kWindowStartPosition, DataType::kChoice},
    {kWindowCloseBox, DataType::kLogical},
    {kWindowIcon, DataType::kIcon},
    {kWindowEnterMovesFocus, DataType::kLogical},
    {kWindowEscCloses, DataType::kLogical},
    {kWindowF1Help, DataType::kLogical},
    {kWindowHelpFile, DataType::kFileName},
    {kWindowHelpContext, DataType::kInteger},
    {kWindowInTaskbar, DataType::kLogical},
    {kWindowWord27, DataType::kLogical},
    {kWindowWord28, DataType::kChoice},
    {kWindowTopmost, DataType::kLogical},
    {kWindowWord30, DataType::kLogical},
    {kWindowClassName, DataType::kText},
};

// ---- EditBox ----
enum EditBoxProperty : int32_t {
  kEditContent,
  kEditBorder,
  kEditTextColour,
  kEditBackground,
  kEditFont,
  kEditHideSelection,
  kEditMaxLength,
  kEditMultiLine,
  kEditScrollBars,
  kEditAlign,
  kEditInputMode,
  kEditPassword,
  kEditCase,
  kEditSpin,
  kEditSpinMin,
  kEditSpinMax,
  kEditSelStart,
  kEditSelLength,
  kEditSelText,
  kEditText27,
  kEditText28,
};
constexpr OwnProperty kEditBoxProperties[] = {
    {kEditContent, DataType::kText},
    {kEditBorder, DataType::kChoice},
    {kEditTextColour, DataType::kForeColour},
    {kEditBackground, DataType::kBackColour},
    {kEditFont, DataType::kFont},
    {kEditHideSelection, DataType::kLogical},
    {kEditMaxLength, DataType::kInteger},
    {kEditMultiLine, DataType::kLogical},
    {kEditScrollBars, DataType::kChoice},
    {kEditAlign, DataType::kChoice},
    {kEditInputMode, DataType::kChoice},
    {kEditPassword, DataType::kText},
    {kEditCase, DataType::kChoice},
    {kEditSpin, DataType::kChoice},
    {kEditSpinMin, DataType::kInteger},
    {kEditSpinMax, DataType::kInteger},
    {kEditSelStart, DataType::kInteger},
    {kEditSelLength, DataType::kInteger},
    {kEditSelText, DataType::kText},
    {kEditText27, DataType::kText1018},
    {kEditText28, DataType::kText1020},
};

// ---- GroupBox ----
enum GroupBoxProperty : int32_t {
  kGroupCaption,
  kGroupAlign,
  kGroupTextColour,
  kGroupBackground,
  kGroupFont,
};
constexpr OwnProperty kGroupBoxProperties[] = {
    {kGroupCaption, DataType::kText},
    {kGroupAlign, DataType::kChoice},
    {kGroupTextColour, DataType::kForeColour},
    {kGroupBackground, DataType::kBackColour},
    {kGroupFont, DataType::kFont},
};

// ---- Button ----
enum ButtonProperty : int32_t {
  kButtonPicture,
  kButtonKind,
  kButtonCaption,
  kButtonHAlign,
  kButtonVAlign,
  kButtonFont,
};
constexpr OwnProperty kButtonProperties[] = {
    {kButtonPicture, DataType::kPicture}, {kButtonKind, DataType::kChoice},
    {kButtonCaption, DataType::kText},    {kButtonHAlign, DataType::kChoice},
    {kButtonVAlign, DataType::kChoice},   {kButtonFont, DataType::kFont},
};

// ---- ComboBox ----
enum ComboBoxProperty : int32_t {
  kComboKind,
  kComboContent,
  kComboMaxLength,
  kComboSelStart,
  kComboSelLength,
  kComboSelText,
  kComboSorted,
  kComboRowSpacing,
  kComboTextColour,
  kComboBackground,
  kComboFont,
  kComboSelection,
  kComboItems,
  kComboItemValues,
  kComboText22,
  kComboText23,
  kComboWord24,
};
constexpr OwnProperty kComboBoxProperties[] = {
    {kComboKind, DataType::kChoice},
    {kComboContent, DataType::kText},
    {kComboMaxLength, DataType::kInteger},
    {kComboSelStart, DataType::kInteger},
    {kComboSelLength, DataType::kInteger},
    {kComboSelText, DataType::kText},
    {kComboSorted, DataType::kLogical},
    {kComboRowSpacing, DataType::kInteger},
    {kComboTextColour, DataType::kForeColour},
    {kComboBackground, DataType::kBackColour},
    {kComboFont, DataType::kFont},
    {kComboSelection, DataType::kInteger},
    {kComboItems, DataType::kList},
    {kComboItemValues, DataType::kList},
    {kComboText22, DataType::kText1018},
    {kComboText23, DataType::kText1020},
    {kComboWord24, DataType::kLogical},
};

// ---- RichEdit ----
enum RichEditProperty : int32_t {
  kRichFormat,
  kRichContent,
  kRichBorder,
  kRichBackground,
  kRichMultiLine,
  kRichWrap,
  kRichReadOnly,
  kRichHideSelection,
  kRichMaxLength,
  kRichSelStart,
  kRichSelLength,
  kRichSelText,
  kRichModified,
};
constexpr OwnProperty kRichEditProperties[] = {
    {kRichFormat, DataType::kChoice},     {kRichContent, DataType::kText},
    {kRichBorder, DataType::kChoice},     {kRichBackground, DataType::kBackColour},
    {kRichMultiLine, DataType::kLogical}, {kRichWrap, DataType::kLogical},
    {kRichReadOnly, DataType::kLogical},  {kRichHideSelection, DataType::kLogical},
    {kRichMaxLength, DataType::kInteger}, {kRichSelStart, DataType::kInteger},
    {kRichSelLength, DataType::kInteger}, {kRichSelText, DataType::kText},
    {kRichModified, DataType::kLogical},
};

static_assert(InOwnOrder(kWindowProperties) && InOwnOrder(kEditBoxProperties) &&
              InOwnOrder(kGroupBoxProperties) && InOwnOrder(kButtonProperties) &&
              InOwnOrder(kComboBoxProperties) && InOwnOrder(kRichEditProperties));

// A property's number as program code passes it.
constexpr int32_t PropertyIndex(int32_t own) {
  return kCommonPropertyCount + own;
}

}  // namespace molvane::window
