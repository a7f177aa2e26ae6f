// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/settings.h"

#include <span>

namespace molvane::settings {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

template <class Value>
struct Name {
  const char* name;
  Value value;
};

// The value a table names (any letter case).
template <class Value>
std::optional<Value> Named(std::span<const Name<Value>> names, std::string_view name) {
  const std::string lower = Lower(name);
  for (const Name<Value>& n : names)
    if (lower == n.name) return n.value;
  return std::nullopt;
}

constexpr Name<Notation> kNotationNames[] = {
    {"0", Notation::kCurrentBraille},
    {"老盲文", Notation::kCurrentBraille},
    {"current-braille", Notation::kCurrentBraille},
    {"1", Notation::kDoubleBraille},
    {"新盲文", Notation::kDoubleBraille},
    {"double-braille", Notation::kDoubleBraille},
    {"2", Notation::kShuangpin},
    {"双拼字根", Notation::kShuangpin},
    {"shuangpin", Notation::kShuangpin},
    {"3", Notation::kPinyin},
    {"全拼", Notation::kPinyin},
    {"pinyin", Notation::kPinyin},
    {"4", Notation::kWubi},
    {"五笔", Notation::kWubi},
    {"wubi", Notation::kWubi},
    {"5", Notation::kCommonBraille},
    {"通用盲文", Notation::kCommonBraille},
    {"common-braille", Notation::kCommonBraille},
};
constexpr Name<words::ReadingMode> kReadingNames[] = {{"chars", words::ReadingMode::kCharacters},
                                                      {"words", words::ReadingMode::kWords}};
constexpr Name<words::ToneStyle> kToneNames[] = {{"none", words::ToneStyle::kNone},
                                                 {"marks", words::ToneStyle::kMarks},
                                                 {"numbers", words::ToneStyle::kNumbers}};
constexpr Name<TextMode> kTextNames[] = {{"han", TextMode::kHan}, {"full", TextMode::kFull}};
constexpr Name<Spacing> kSpacingNames[] = {{"syllable", Spacing::kSyllable},
                                           {"word", Spacing::kWord}};
constexpr Name<BrailleForm> kFormNames[] = {{"dots", BrailleForm::kDots},
                                            {"unicode", BrailleForm::kUnicode},
                                            {"brf", BrailleForm::kBrf},
                                            {"pef", BrailleForm::kPef}};
constexpr Name<OutputFormat> kFormatNames[] = {
    {"text", OutputFormat::kText}, {"ruby", OutputFormat::kRuby}, {"pairs", OutputFormat::kPairs}};
constexpr Name<WubiCodes> kWubiNames[] = {
    {"full", WubiCodes::kFull}, {"words", WubiCodes::kWords}, {"short", WubiCodes::kShort}};

}  // namespace

Settings StoredProgram() {
  return Settings{};
}

Settings ReaderReady(Notation notation) {
  Settings settings;
  settings.notation = notation;
  settings.readings = words::ReadingMode::kWords;
  settings.text = TextMode::kFull;
  settings.spacing = IsBraille(notation) ? Spacing::kWord : Spacing::kSyllable;
  settings.tones =
      notation == Notation::kPinyin ? words::ToneStyle::kMarks : words::ToneStyle::kNone;
  settings.windowLineBreaks = false;
  return settings;
}

bool ConvertsAsStored(const Settings& settings) {
  const bool readsAsStored =
      settings.readings == words::ReadingMode::kCharacters || settings.notation == Notation::kWubi;
  return settings.notation != Notation::kCommonBraille && readsAsStored &&
         settings.tones == words::ToneStyle::kNone && !settings.sandhi &&
         settings.format == OutputFormat::kText && !settings.allReadings &&
         settings.wubi == WubiCodes::kFull && settings.text == TextMode::kHan;
}

bool IsBraille(Notation notation) {
  return notation == Notation::kCurrentBraille || notation == Notation::kDoubleBraille ||
         notation == Notation::kCommonBraille;
}

bool WritesFullText(Notation notation) {
  return IsBraille(notation) || notation == Notation::kPinyin;
}

std::optional<Notation> NotationNamed(std::string_view name) {
  return Named<Notation>(kNotationNames, name);
}

const char* EnglishName(Notation notation) {
  for (const auto& n : kNotationNames)
    if (n.value == notation && n.name[0] >= 'a' && n.name[0] <= 'z') return n.name;
  return "";
}

std::optional<words::ReadingMode> ReadingModeNamed(std::string_view name) {
  return Named<words::ReadingMode>(kReadingNames, name);
}
std::optional<words::ToneStyle> ToneStyleNamed(std::string_view name) {
  return Named<words::ToneStyle>(kToneNames, name);
}
std::optional<TextMode> TextModeNamed(std::string_view name) {
  return Named<TextMode>(kTextNames, name);
}
std::optional<Spacing> SpacingNamed(std::string_view name) {
  return Named<Spacing>(kSpacingNames, name);
}
std::optional<BrailleForm> BrailleFormNamed(std::string_view name) {
  return Named<BrailleForm>(kFormNames, name);
}

std::optional<OutputFormat> OutputFormatNamed(std::string_view name) {
  return Named<OutputFormat>(kFormatNames, name);
}

std::optional<WubiCodes> WubiCodesNamed(std::string_view name) {
  return Named<WubiCodes>(kWubiNames, name);
}

std::string Problem(const Settings& settings) {
  if (settings.wubi != WubiCodes::kFull &&
      (settings.notation != Notation::kWubi || settings.text != TextMode::kFull))
    return "--wubi=words and --wubi=short need the wubi notation and --text=full";
  const bool teaching = settings.format != OutputFormat::kText || settings.allReadings;
  if (teaching && (settings.notation != Notation::kPinyin || settings.text != TextMode::kFull))
    return "--format and --all-readings need pinyin and --text=full";
  if (settings.sandhi && settings.notation != Notation::kDoubleBraille &&
      (settings.notation != Notation::kPinyin || settings.tones == words::ToneStyle::kNone))
    return "--sandhi needs pinyin with tones or double-braille";
  if (settings.tones != words::ToneStyle::kNone && settings.notation != Notation::kPinyin)
    return "--tones needs the pinyin notation";
  if (settings.form != BrailleForm::kDots && !IsBraille(settings.notation))
    return "--braille needs a braille notation (current-braille, double-braille or common-braille)";
  if (settings.form == BrailleForm::kPef && settings.text != TextMode::kFull)
    return "--braille=pef lays out full text; leave out --text=han";
  if (settings.spacing == Spacing::kWord && settings.text != TextMode::kFull)
    return "--spacing=word needs --text=full";
  if (settings.spacing == Spacing::kWord && !WritesFullText(settings.notation))
    return "--spacing=word needs a braille notation or pinyin";
  return {};
}

}  // namespace molvane::settings
