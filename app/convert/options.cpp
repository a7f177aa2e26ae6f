// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of molvane-convert. Options are described by one table, so
// short and long spellings, help text and parsing cannot drift apart.
#include "app/convert/options.h"

#include <cstdio>
#include <cstring>

namespace molvane::convert {
namespace {

constexpr const char* kUsage =
    "usage: molvane-convert [OPTION]... [FILE]...\n"
    "Converts the Chinese characters of the files, joined in order, or of standard\n"
    "input, into one notation and writes the result to standard output.\n"
    "\n"
    "  -n, --notation=NOTATION  0 老盲文 current-braille (default), 1 新盲文\n"
    "                           double-braille, 2 双拼字根 shuangpin, 3 全拼 pinyin,\n"
    "                           4 五笔 wubi\n"
    "  -s, --separator=TEXT     written after (pinyin, braille) or between\n"
    "                           (shuangpin, wubi) the converted characters;\n"
    "                           empty (the default) means a line break\n"
    "  -e, --encoding=ENCODING  of input and output: utf-8 (default) or gbk\n"
    "      --braille=FORM       cells of the braille notations: dots (default),\n"
    "                           unicode (braille patterns) or brf (Braille ASCII,\n"
    "                           40 cells a line, 25 lines a page)\n"
    "      --text=TEXT          han (default): only the Chinese characters, as the\n"
    "                           window converts them; full: punctuation, digits,\n"
    "                           Latin letters, spaces and line breaks too, with a\n"
    "                           blank (the separator, if given) between words\n"
    "                           (braille notations and pinyin)\n"
    "      --strict             with --text=full, fail at a character that has no\n"
    "                           written form instead of writing the placeholder\n"
    "      --spacing=SPACING    with --text=full: syllable (default), a blank after\n"
    "                           every syllable, or word, the syllables of a word\n"
    "                           written together and a blank between words\n"
    "      --readings=MODE      chars (default): every character has its one\n"
    "                           dictionary reading; words: characters are read in\n"
    "                           the context of their word (not for wubi)\n"
    "      --tones=STYLE        tones of pinyin: none (default), marks (zhōng guó)\n"
    "                           or numbers (zhong1 guo2)\n"
    "      --exact              the window's output bytes: CR LF line breaks and\n"
    "                           no line break added at the end\n"
    "      --no-shortcuts       switch off every cache and shortcut (same output,\n"
    "                           slower)\n"
    "  -h, --help               show this help and exit\n"
    "      --version            show the version and exit\n"
    "\n"
    "Exit status: 0 done, 1 empty or malformed input, an unreadable file or (with\n"
    "--strict) a character without a written form, 2 a wrong option, 3 out of\n"
    "memory.\n";

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

bool SetNotation(const std::string& value, Options* options) {
  options->notation = NotationIndex(value);
  return options->notation >= 0;
}

bool SetSeparator(const std::string& value, Options* options) {
  options->separator = value;
  return true;
}

bool SetEncoding(const std::string& value, Options* options) {
  const std::string name = Lower(value);
  if (name == "utf-8" || name == "utf8") {
    options->gbk = false;
  } else if (name == "gbk" || name == "cp936") {
    options->gbk = true;
  } else {
    return false;
  }
  return true;
}

bool SetBraille(const std::string& value, Options* options) {
  static constexpr struct {
    const char* name;
    BrailleForm form;
  } kForms[] = {
      {"dots", BrailleForm::kDots}, {"unicode", BrailleForm::kUnicode}, {"brf", BrailleForm::kBrf}};
  for (const auto& f : kForms)
    if (Lower(value) == f.name) {
      options->braille = f.form;
      options->brailleGiven = true;
      return true;
    }
  return false;
}

bool SetText(const std::string& value, Options* options) {
  const std::string name = Lower(value);
  if (name != "han" && name != "full") return false;
  options->fullText = name == "full";
  return true;
}

bool SetSpacing(const std::string& value, Options* options) {
  const std::string name = Lower(value);
  if (name != "syllable" && name != "word") return false;
  options->wordSpacing = name == "word";
  options->spacingGiven = true;
  return true;
}

bool SetReadings(const std::string& value, Options* options) {
  return ReadingModeNamed(value, &options->readings);
}

bool SetTones(const std::string& value, Options* options) {
  return ToneStyleNamed(value, &options->tones);
}

enum class Action { kValue, kExact, kPlain, kStrict, kHelp, kVersion };

struct OptionSpec {
  char shortName;  // 0 when there is only the long one
  const char* longName;
  Action action;
  bool (*set)(const std::string&, Options*);  // for kValue
  const char* what;                           // names the value in errors
};

constexpr OptionSpec kOptions[] = {
    {'n', "notation", Action::kValue, SetNotation, "notation"},
    {'s', "separator", Action::kValue, SetSeparator, "separator"},
    {'e', "encoding", Action::kValue, SetEncoding, "encoding"},
    {0, "braille", Action::kValue, SetBraille, "braille form"},
    {0, "text", Action::kValue, SetText, "text"},
    {0, "strict", Action::kStrict, nullptr, nullptr},
    {0, "spacing", Action::kValue, SetSpacing, "spacing"},
    {0, "readings", Action::kValue, SetReadings, "reading mode"},
    {0, "tones", Action::kValue, SetTones, "tone style"},
    {0, "exact", Action::kExact, nullptr, nullptr},
    {0, "no-shortcuts", Action::kPlain, nullptr, nullptr},
    {'h', "help", Action::kHelp, nullptr, nullptr},
    {0, "version", Action::kVersion, nullptr, nullptr},
};

// The option an argument names, with any value attached to it ("-npinyin",
// "--notation=pinyin"); null when it names none.
const OptionSpec* Find(const std::string& arg, std::string* attached, bool* hasAttached) {
  *hasAttached = false;
  if (arg.rfind("--", 0) == 0) {
    const size_t eq = arg.find('=');
    const std::string name = arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
    for (const OptionSpec& o : kOptions)
      if (name == o.longName) {
        if (eq != std::string::npos) *attached = arg.substr(eq + 1), *hasAttached = true;
        return &o;
      }
    return nullptr;
  }
  for (const OptionSpec& o : kOptions)
    if (o.shortName != 0 && arg[1] == o.shortName) {
      if (arg.size() > 2) *attached = arg.substr(2), *hasAttached = true;
      return &o;
    }
  return nullptr;
}

// Applies one option; -1 to go on, otherwise the exit code.
int Apply(const OptionSpec& o, const std::string& arg, const std::string* value, Options* options) {
  if (o.action != Action::kValue && value != nullptr)
    return UsageError("option '--" + std::string(o.longName) + "' takes no value");
  switch (o.action) {
    case Action::kValue:
      if (value == nullptr) return UsageError("option '" + arg + "' needs a value");
      if (!o.set(*value, options))
        return UsageError("unknown " + std::string(o.what) + " '" + *value + "'");
      return -1;
    case Action::kExact:
      options->exact = true;
      return -1;
    case Action::kPlain:
      options->plain = true;
      return -1;
    case Action::kStrict:
      options->strict = true;
      return -1;
    case Action::kHelp:
      std::fputs(kUsage, stdout);
      return kExitDone;
    case Action::kVersion:
      std::printf("%s (Molvane) %s\n", kProgramName, MOLVANE_VERSION);
      return kExitDone;
  }
  return -1;
}

}  // namespace

bool ReadingModeNamed(const std::string& name, words::ReadingMode* mode) {
  static constexpr struct {
    const char* name;
    words::ReadingMode mode;
  } kModes[] = {{"chars", words::ReadingMode::kCharacters}, {"words", words::ReadingMode::kWords}};
  for (const auto& m : kModes)
    if (Lower(name) == m.name) return *mode = m.mode, true;
  return false;
}

bool ToneStyleNamed(const std::string& name, words::ToneStyle* tones) {
  static constexpr struct {
    const char* name;
    words::ToneStyle tones;
  } kStyles[] = {{"none", words::ToneStyle::kNone},
                 {"marks", words::ToneStyle::kMarks},
                 {"numbers", words::ToneStyle::kNumbers}};
  for (const auto& s : kStyles)
    if (Lower(name) == s.name) return *tones = s.tones, true;
  return false;
}

int UsageError(const std::string& problem) {
  std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", kProgramName,
               problem.c_str(), kProgramName);
  return kExitUsage;
}

int NotationIndex(const std::string& name) {
  static constexpr const char* kNames[5][3] = {
      {"0", "老盲文", "current-braille"},
      {"1", "新盲文", "double-braille"},
      {"2", "双拼字根", "shuangpin"},
      {"3", "全拼", "pinyin"},
      {"4", "五笔", "wubi"},
  };
  const std::string lower = Lower(name);
  for (int i = 0; i < 5; ++i)
    for (const char* candidate : kNames[i])
      if (lower == candidate) return i;
  return -1;
}

int ParseArguments(int argc, char** argv, Options* options) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      options->files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string attached;
    bool hasAttached;
    const OptionSpec* entry = Find(arg, &attached, &hasAttached);
    if (entry == nullptr) return UsageError("unknown option '" + arg + "'");
    const std::string* value = hasAttached ? &attached : nullptr;
    std::string following;
    if (!hasAttached && entry->action == Action::kValue && i + 1 < argc) {
      following = argv[++i];
      value = &following;
    }
    const int code = Apply(*entry, arg, value, options);
    if (code >= 0) return code;
  }
  if (options->tones != words::ToneStyle::kNone && options->notation != 3)
    return UsageError("--tones needs the pinyin notation");
  if (options->brailleGiven && options->notation > 1)
    return UsageError("--braille needs a braille notation (current-braille or double-braille)");
  if (options->fullText && (options->notation == 2 || options->notation == 4))
    return UsageError("--text=full needs a braille notation or pinyin");
  if (options->strict && !options->fullText) return UsageError("--strict needs --text=full");
  if (options->spacingGiven && !options->fullText) return UsageError("--spacing needs --text=full");
  return -1;
}

}  // namespace molvane::convert
