// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of molvane-convert: its table of options.
#include "app/convert/options.h"

#include <cstdio>

#include "app/option_table.h"

namespace molvane::convert {
namespace {

using Row = app::OptionRow<Options>;

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

int Check(bool taken) {
  return taken ? app::kGoOn : app::kBadValue;
}

int SetNotation(const std::string& value, Options* options) {
  options->notation = NotationIndex(value);
  return Check(options->notation >= 0);
}

int SetSeparator(const std::string& value, Options* options) {
  options->separator = value;
  return app::kGoOn;
}

int SetEncoding(const std::string& value, Options* options) {
  const std::string name = Lower(value);
  options->gbk = name == "gbk" || name == "cp936";
  return Check(options->gbk || name == "utf-8" || name == "utf8");
}

int SetBraille(const std::string& value, Options* options) {
  static constexpr struct {
    const char* name;
    BrailleForm form;
  } kForms[] = {
      {"dots", BrailleForm::kDots}, {"unicode", BrailleForm::kUnicode}, {"brf", BrailleForm::kBrf}};
  for (const auto& f : kForms)
    if (Lower(value) == f.name) {
      options->braille = f.form;
      options->brailleGiven = true;
      return app::kGoOn;
    }
  return app::kBadValue;
}

int SetText(const std::string& value, Options* options) {
  const std::string name = Lower(value);
  options->fullText = name == "full";
  return Check(name == "han" || name == "full");
}

int SetSpacing(const std::string& value, Options* options) {
  const std::string name = Lower(value);
  options->wordSpacing = name == "word";
  options->spacingGiven = true;
  return Check(name == "syllable" || name == "word");
}

int SetReadings(const std::string& value, Options* options) {
  return Check(ReadingModeNamed(value, &options->readings));
}

int SetTones(const std::string& value, Options* options) {
  return Check(ToneStyleNamed(value, &options->tones));
}

int SetJobs(const std::string& value, Options* options) {
  int jobs = 0;
  for (char c : value) {
    if (c < '0' || c > '9' || jobs > 999) return app::kBadValue;
    jobs = jobs * 10 + (c - '0');
  }
  options->jobs = jobs;
  return Check(jobs >= 1 && jobs <= 999);
}

int SetStrict(const std::string&, Options* options) {
  return options->strict = true, app::kGoOn;
}
int SetExact(const std::string&, Options* options) {
  return options->exact = true, app::kGoOn;
}
int SetPlain(const std::string&, Options* options) {
  return options->plain = true, app::kGoOn;
}
int ShowHelp(const std::string&, Options*);
int ShowVersion(const std::string&, Options*);

constexpr Row kOptions[] = {
    {'n', "notation", "NOTATION", "notation",
     "0 老盲文 current-braille (default), 1 新盲文\n"
     "double-braille, 2 双拼字根 shuangpin, 3 全拼 pinyin,\n4 五笔 wubi",
     SetNotation},
    {'s', "separator", "TEXT", "separator",
     "written after (pinyin, braille) or between\n(shuangpin, wubi) the converted characters;\n"
     "empty (the default) means a line break",
     SetSeparator},
    {'e', "encoding", "ENCODING", "encoding", "of input and output: utf-8 (default) or gbk",
     SetEncoding},
    {0, "braille", "FORM", "braille form",
     "cells of the braille notations: dots (default),\nunicode (braille patterns) or brf (Braille "
     "ASCII,\n40 cells a line, 25 lines a page)",
     SetBraille},
    {0, "text", "TEXT", "text",
     "han (default): only the Chinese characters, as the\nwindow converts them; full: punctuation, "
     "digits,\nLatin letters, spaces and line breaks too, with a\nblank (the separator, if given) "
     "between words\n(braille notations and pinyin)",
     SetText},
    {0, "strict", nullptr, nullptr,
     "with --text=full, fail at a character that has no\nwritten form instead of writing the "
     "placeholder",
     SetStrict},
    {0, "spacing", "SPACING", "spacing",
     "with --text=full: syllable (default), a blank after\nevery syllable, or word, the syllables "
     "of a word\nwritten together and a blank between words",
     SetSpacing},
    {0, "readings", "MODE", "reading mode",
     "chars (default): every character has its one\ndictionary reading; words: characters are "
     "read in\nthe context of their word (not for wubi)",
     SetReadings},
    {0, "tones", "STYLE", "tone style",
     "tones of pinyin: none (default), marks (zhōng guó)\nor numbers (zhong1 guo2)", SetTones},
    {'j', "jobs", "N", "number of jobs",
     "pieces of a long text converted at once, each in a\nprocess of its own (not with "
     "--text=full); "
     "1\nconverts in this process; default: the processors\navailable, at most 4",
     SetJobs},
    {0, "exact", nullptr, nullptr,
     "the window's output bytes: CR LF line breaks and\nno line break added at the end", SetExact},
    {0, "no-shortcuts", nullptr, nullptr,
     "switch off every cache and shortcut (same output,\nslower)", SetPlain},
    {'h', "help", nullptr, nullptr, "show this help and exit", ShowHelp},
    {0, "version", nullptr, nullptr, "show the version and exit", ShowVersion},
};

int ShowHelp(const std::string&, Options*) {
  std::fputs(
      "usage: molvane-convert [OPTION]... [FILE]...\n"
      "Converts the Chinese characters of the files, joined in order, or of standard\n"
      "input, into one notation and writes the result to standard output.\n"
      "\n",
      stdout);
  std::fputs(app::HelpLines<Options>(kOptions).c_str(), stdout);
  std::fputs(
      "\n"
      "Exit status: 0 done, 1 empty or malformed input, an unreadable file or (with\n"
      "--strict) a character without a written form, 2 a wrong option, 3 out of\n"
      "memory.\n",
      stdout);
  return kExitDone;
}

int ShowVersion(const std::string&, Options*) {
  std::printf("%s (Molvane) %s\n", kProgramName, MOLVANE_VERSION);
  return kExitDone;
}

// Every argument that is not an option names a file.
int AddFile(const std::string& arg, Options* options) {
  options->files.push_back(arg);
  return app::kGoOn;
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
  return app::UsageError(kProgramName, problem, kExitUsage);
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
  const app::CommandLine<Options> line{kProgramName, kOptions, kExitUsage, AddFile};
  const int code = app::ReadCommandLine(line, argc, argv, options);
  if (code != app::kGoOn) return code;
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
