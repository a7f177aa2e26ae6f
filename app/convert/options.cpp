// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of molvane-convert: its table of options.
#include "app/convert/options.h"

#include <cstdio>

#include "app/option_table.h"

namespace molvane::convert {
namespace {

using Row = app::OptionRow<Options>;

// A named value, when the name is one, as the given choice.
template <class Value>
int Choose(std::optional<Value> named, std::optional<Value>* choice) {
  if (!named) return app::kBadValue;
  *choice = named;
  return app::kGoOn;
}

int SetNotation(const std::string& value, Options* options) {
  return Choose(settings::NotationNamed(value), &options->given.notation);
}
int SetSeparator(const std::string& value, Options* options) {
  options->given.separator = value;
  return app::kGoOn;
}
int SetReadings(const std::string& value, Options* options) {
  return Choose(settings::ReadingModeNamed(value), &options->given.readings);
}
int SetTones(const std::string& value, Options* options) {
  return Choose(settings::ToneStyleNamed(value), &options->given.tones);
}
int SetText(const std::string& value, Options* options) {
  return Choose(settings::TextModeNamed(value), &options->given.text);
}
int SetSpacing(const std::string& value, Options* options) {
  return Choose(settings::SpacingNamed(value), &options->given.spacing);
}
int SetBraille(const std::string& value, Options* options) {
  return Choose(settings::BrailleFormNamed(value), &options->given.form);
}

// -e names the input's encoding and the output's alike; "auto" finds the
// input's and writes UTF-8.
int SetEncoding(const std::string& value, Options* options) {
  if (value == "auto" || value == "AUTO") {
    options->inputEncoding.reset();
    options->outputEncoding = platform::Encoding::kUtf8;
    return app::kGoOn;
  }
  const auto encoding = platform::EncodingNamed(value);
  if (!encoding) return app::kBadValue;
  options->inputEncoding = options->outputEncoding = *encoding;
  return app::kGoOn;
}

int SetOutputEncoding(const std::string& value, Options* options) {
  const auto encoding = platform::EncodingNamed(value);
  if (!encoding) return app::kBadValue;
  options->outputEncoding = *encoding;
  return app::kGoOn;
}

int SetJobs(const std::string& value, Options* options) {
  int jobs = 0;
  for (char c : value) {
    if (c < '0' || c > '9' || jobs > 999) return app::kBadValue;
    jobs = jobs * 10 + (c - '0');
  }
  options->jobs = jobs;
  return jobs >= 1 && jobs <= 999 ? app::kGoOn : app::kBadValue;
}

// A whole number from `least` to `most`.
int SetCount(const std::string& value, int least, int most, std::optional<int>* count) {
  int n = 0;
  for (char c : value) {
    if (c < '0' || c > '9' || n > most) return app::kBadValue;
    n = n * 10 + (c - '0');
  }
  if (value.empty() || n < least || n > most) return app::kBadValue;
  *count = n;
  return app::kGoOn;
}
// Below these a page cannot hold its number and a line of text.
constexpr int kLeastCells = 12;
constexpr int kLeastLines = 3;
constexpr int kMostCellsOrLines = 999;
int SetCells(const std::string& value, Options* options) {
  return SetCount(value, kLeastCells, kMostCellsOrLines, &options->given.cells);
}
int SetLines(const std::string& value, Options* options) {
  return SetCount(value, kLeastLines, kMostCellsOrLines, &options->given.lines);
}
int SetParagraphs(const std::string& value, Options* options) {
  return Choose(LineModeNamed(value), &options->given.paragraphs);
}
int SetInputFormat(const std::string& value, Options* options) {
  return Choose(InputFormatNamed(value), &options->given.inputFormat);
}

int SetStrict(const std::string&, Options* options) {
  return options->given.strict = true, app::kGoOn;
}
int SetSandhi(const std::string&, Options* options) {
  return options->given.sandhi = true, app::kGoOn;
}
int SetFormat(const std::string& value, Options* options) {
  return Choose(settings::OutputFormatNamed(value), &options->given.format);
}
int SetAllReadings(const std::string&, Options* options) {
  return options->given.allReadings = true, app::kGoOn;
}
int SetWubi(const std::string& value, Options* options) {
  return Choose(settings::WubiCodesNamed(value), &options->given.wubi);
}
int SetExact(const std::string&, Options* options) {
  return options->given.exact = true, app::kGoOn;
}
int SetPlain(const std::string&, Options* options) {
  return options->plain = true, app::kGoOn;
}
int SetBack(const std::string&, Options* options) {
  return options->back = true, app::kGoOn;
}
int SetBackTo(const std::string& value, Options* options) {
  if (value != "characters" && value != "pinyin") return app::kBadValue;
  options->backTo = value == "pinyin" ? BackTo::kPinyin : BackTo::kCharacters;
  return app::kGoOn;
}
int SetCandidates(const std::string& value, Options* options) {
  size_t count = 0;
  for (char c : value) {
    if (c < '0' || c > '9' || count > 99) return app::kBadValue;
    count = count * 10 + static_cast<size_t>(c - '0');
  }
  options->candidates = count;
  return !value.empty() && count <= 99 ? app::kGoOn : app::kBadValue;
}
int ShowHelp(const std::string&, Options*);
int ShowVersion(const std::string&, Options*);

constexpr Row kOptions[] = {
    {'n', "notation", "NOTATION", "notation",
     "0 老盲文 current-braille (default), 1 新盲文\n"
     "double-braille, 2 双拼字根 shuangpin, 3 全拼 pinyin,\n4 五笔 wubi, 5 通用盲文 common-braille "
     "(the 2018\n"
     "national scheme, tones marked; not in the window)",
     SetNotation},
    {'s', "separator", "TEXT", "separator",
     "the blank between words (full text), or what is\nwritten after (pinyin, braille) or between\n"
     "(shuangpin, wubi) the codes of Chinese characters\n(--text=han; empty: a line break)",
     SetSeparator},
    {0, "text", "TEXT", "text",
     "full (default): punctuation, digits, letters,\nspaces and line breaks too (braille, pinyin), "
     "or\nthe input's lines kept (shuangpin, wubi); han:\nonly the codes of the Chinese "
     "characters, "
     "as the\nwindow writes them",
     SetText},
    {0, "readings", "MODE", "reading mode",
     "words (default): characters are read in the\ncontext of their word; chars: every character "
     "has\nits one dictionary reading (wubi reads none)",
     SetReadings},
    {0, "spacing", "SPACING", "spacing",
     "with --text=full: word (the default of braille),\nthe syllables of a word together and a "
     "blank\n"
     "between words, or syllable (the default of\npinyin), a blank after every syllable",
     SetSpacing},
    {0, "tones", "STYLE", "tone style",
     "tones of pinyin: marks (default, zhōng guó),\nnumbers (zhong1 guo2) or none", SetTones},
    {0, "sandhi", nullptr, nullptr,
     "一 and 不 in the tones they are spoken with (yí gè,\n"
     "bú duì, yì tiān; 第一 keeps yī): pinyin with tones\n"
     "and double-braille; default: citation tones",
     SetSandhi},
    {0, "format", "FORMAT", "format",
     "of pinyin: text (default); ruby, an HTML page\n"
     "with each character's pinyin above it; pairs,\n"
     "one word a line, a tab, its syllables",
     SetFormat},
    {0, "all-readings", nullptr, nullptr,
     "pinyin: every reading of a polyphonic character\n"
     "in brackets, the chosen one first (行[xíng|háng])",
     SetAllReadings},
    {0, "wubi", "CODES", "wubi codes",
     "full (default): each character's code; words:\n"
     "the word codes of Wubi 86 for the words of the\n"
     "word data (中国 khlg); short: each character's\n"
     "short code (的 r, 经 x), with the input's lines kept",
     SetWubi},
    {0, "braille", "FORM", "braille form",
     "cells of the braille notations: dots (default),\nunicode (braille patterns), brf (Braille "
     "ASCII)\nor pef (Portable Embosser Format); brf and pef\nare laid out in numbered pages",
     SetBraille},
    {0, "cells", "N", "cells per line",
     "laid-out braille: cells a line (default 40, at\nleast 12); lays out unicode too", SetCells},
    {0, "lines", "N", "lines per page",
     "laid-out braille: lines a page, the page number's\nline among them (default 25, at least 3)",
     SetLines},
    {0, "paragraphs", "MODE", "paragraph mode",
     "laid-out braille: join (default), a paragraph's\nlines joined and refilled, a blank or "
     "indented\nline starting the next; lines, every line kept",
     SetParagraphs},
    {0, "input-format", "FORMAT", "input format",
     "laid-out braille: auto (default: .md and .html\nfiles by name, HTML by its first tag), "
     "text,\nmarkdown or html (headings and paragraphs read,\nmarkup never transcribed)",
     SetInputFormat},
    {0, "exact", nullptr, nullptr,
     "the window's output as it starts, byte for byte:\nonly Chinese characters, one reading each, "
     "CR LF\nline breaks, nothing added at the end (options\ngiven beside it still apply)",
     SetExact},
    {0, "back", nullptr, nullptr,
     "read braille (dot numbers, Unicode patterns or\nBRF, found by itself) of notation 0, 1 or 5 "
     "back\n"
     "into print; cells that read as nothing are\ncounted (--strict: an error)",
     SetBack},
    {0, "to", "TARGET", "target",
     "with --back: characters (default) or pinyin (tones\nwherever the braille marks them; "
     "--tones)",
     SetBackTo},
    {0, "candidates", "N", "number of candidates",
     "with --back --to=characters: after the text, the\nN best choices for each braille word",
     SetCandidates},
    {'e', "encoding", "ENCODING", "encoding",
     "of the input and the output: auto (default: a\nbyte-order mark, else UTF-8, else GB18030; "
     "UTF-8\nout), utf-8, utf-16 (LE), utf-16be, gbk, gb18030\nor big5",
     SetEncoding},
    {0, "output-encoding", "ENCODING", "encoding", "of the output alone (default utf-8)",
     SetOutputEncoding},
    {0, "strict", nullptr, nullptr,
     "fail at the first character that the notation\ncannot write instead of counting it",
     SetStrict},
    {'j', "jobs", "N", "number of jobs",
     "pieces of a long text converted at once, each in a\nprocess of its own; 1 converts in this "
     "process;\ndefault: the processors available, at most 4",
     SetJobs},
    {0, "no-shortcuts", nullptr, nullptr,
     "switch off every cache and shortcut (same output,\nslower)", SetPlain},
    {'h', "help", nullptr, nullptr, "show this help and exit", ShowHelp},
    {0, "version", nullptr, nullptr, "show the version and exit", ShowVersion},
};

int ShowHelp(const std::string&, Options*) {
  std::fputs(
      "usage: molvane-convert [OPTION]... [FILE]...\n"
      "Converts the text of the files, joined in order, or of standard input, into\n"
      "one notation and writes the result to standard output, ready for a reader:\n"
      "punctuation, digits and line breaks kept, characters read in their words,\n"
      "braille words written together, pinyin with tone marks. --exact gives the\n"
      "window's own output instead.\n"
      "\n",
      stdout);
  std::fputs(app::HelpLines<Options>(kOptions).c_str(), stdout);
  std::fputs(
      "\n"
      "Characters the notation cannot write are counted, and one line on standard\n"
      "error names how many and the first.\n"
      "Exit status: 0 done, 1 empty or malformed input, an unreadable file or (with\n"
      "--strict) a character the notation cannot write, 2 a wrong option, 3 out of\n"
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

template <class Value>
void Apply(const std::optional<Value>& given, Value* field) {
  if (given) *field = *given;
}

}  // namespace

settings::Settings SettingsOf(const Given& given) {
  using settings::Notation;
  const Notation notation = given.notation.value_or(Notation::kCurrentBraille);
  settings::Settings s;
  if (given.exact) {
    s = settings::StoredProgram();
    s.notation = notation;
  } else {
    s = settings::ReaderReady(notation);
  }
  Apply(given.separator, &s.separator);
  Apply(given.readings, &s.readings);
  Apply(given.tones, &s.tones);
  Apply(given.text, &s.text);
  Apply(given.form, &s.form);
  // Words written together is the default of full-text braille only.
  if (!given.spacing && (s.text != settings::TextMode::kFull || !settings::IsBraille(notation)))
    s.spacing = settings::Spacing::kSyllable;
  Apply(given.spacing, &s.spacing);
  s.strict = given.strict;
  s.sandhi = given.sandhi;
  Apply(given.format, &s.format);
  s.allReadings = given.allReadings;
  Apply(given.wubi, &s.wubi);
  Apply(given.cells, &s.page.cells);
  Apply(given.lines, &s.page.lines);
  return s;
}

int UsageError(const std::string& problem) {
  return app::UsageError(kProgramName, problem, kExitUsage);
}

// --back reads the braille notations only, and writes no braille form.
int CheckBack(const Options& options) {
  using settings::Notation;
  if (options.settings.notation != Notation::kCurrentBraille &&
      options.settings.notation != Notation::kDoubleBraille &&
      options.settings.notation != Notation::kCommonBraille)
    return UsageError("--back reads current-braille, double-braille or common-braille");
  if (options.given.exact || options.given.form || options.given.text || options.given.spacing)
    return UsageError(
        "--back finds the braille's form itself and takes no --exact, --braille, "
        "--text or --spacing");
  if (options.candidates > 0 && options.backTo != BackTo::kCharacters)
    return UsageError("--candidates needs --to=characters");
  return -1;
}

// Pages are laid out from full-text braille; the page options ask for them
// in Unicode patterns too.
int CheckPages(Options* options) {
  const Given& given = options->given;
  const settings::Settings& s = options->settings;
  const bool asked = given.cells || given.lines || given.paragraphs || given.inputFormat;
  const bool full = s.text == settings::TextMode::kFull;
  options->layOut =
      full && (s.form == settings::BrailleForm::kBrf || s.form == settings::BrailleForm::kPef ||
               (asked && s.form == settings::BrailleForm::kUnicode));
  options->paragraphs = given.paragraphs.value_or(layout::LineMode::kParagraphs);
  options->inputFormat = given.inputFormat.value_or(InputFormat::kAuto);
  // The document names its encoding as UTF-8.
  if (s.form == settings::BrailleForm::kPef && options->outputEncoding != platform::Encoding::kUtf8)
    return UsageError("--braille=pef writes UTF-8; give --output-encoding=utf-8");
  if (!asked) return -1;
  if (!settings::IsBraille(s.notation) || s.form == settings::BrailleForm::kDots)
    return UsageError(
        "--cells, --lines, --paragraphs and --input-format lay out braille pages: give "
        "--braille=brf, pef or unicode");
  // Lines of Chinese characters alone are laid out as lines; they have no
  // paragraphs to read.
  if (!full && (given.paragraphs || given.inputFormat))
    return UsageError("--paragraphs and --input-format need --text=full");
  if (!full && s.form == settings::BrailleForm::kUnicode)
    return UsageError("--cells and --lines lay out unicode with --text=full only");
  return -1;
}

int ParseArguments(int argc, char** argv, Options* options) {
  const app::CommandLine<Options> line{kProgramName, kOptions, kExitUsage, AddFile};
  const int code = app::ReadCommandLine(line, argc, argv, options);
  if (code != app::kGoOn) return code;
  options->settings = SettingsOf(options->given);
  if (options->back) return CheckBack(*options);
  if (options->given.form && !settings::IsBraille(options->settings.notation))
    return UsageError(
        "--braille needs a braille notation (current-braille, double-braille or common-braille)");
  // The window has no common braille, so there is no output of its to copy.
  if (options->given.exact && options->settings.notation == settings::Notation::kCommonBraille)
    return UsageError("--exact copies the window, which has no common braille; leave it out");
  // The page names its encoding as UTF-8.
  if (options->settings.format == settings::OutputFormat::kRuby &&
      options->outputEncoding != platform::Encoding::kUtf8)
    return UsageError("--format=ruby writes UTF-8");
  const std::string problem = settings::Problem(options->settings);
  if (!problem.empty()) return UsageError(problem);
  return CheckPages(options);
}

}  // namespace molvane::convert
