// molvane-convert: the convert button without the window. The text goes into
// an in-memory copy of the main window's controls, the program starts as it
// would before showing its window, ConvertCommand runs, and the output box is
// printed.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/conversion.h"
#include "platform/platform.h"
#include "ui/program.h"

namespace {

constexpr const char* kUsage =
    "usage: molvane-convert [-n NOTATION] [-s SEPARATOR] [-e utf-8|gbk] [FILE...]\n"
    "Converts the Chinese characters of the files, joined in order, or of standard\n"
    "input, into one notation and writes the result to standard output.\n"
    "  -n NOTATION   0 老盲文 current-braille (default), 1 新盲文 double-braille,\n"
    "                2 双拼字根 shuangpin, 3 全拼 pinyin, 4 五笔 wubi\n"
    "  -s SEPARATOR  written after (pinyin, braille) or between (shuangpin, wubi)\n"
    "                the converted characters; empty means a line break (CR LF)\n"
    "  -e ENCODING   of input and output: utf-8 (default) or gbk\n"
    "  --no-shortcuts  switch off every cache and shortcut (same output, slower)\n"
    "  -h            show this help\n";

struct Options {
  int notation = 0;
  std::string separator;  // UTF-8, as given
  bool gbk = false;
  bool plain = false;  // every cache and shortcut off, for comparisons
  std::vector<std::string> files;
};

// One input source and where its bytes start in the joined text.
struct Source {
  std::string name;
  size_t offset;
};

int Usage(const std::string& problem) {
  if (!problem.empty()) std::fprintf(stderr, "molvane-convert: %s\n", problem.c_str());
  std::fputs(kUsage, stderr);
  return 2;
}

bool ParseNotation(const std::string& value, int* notation) {
  static const char* const kNames[5][3] = {
      {"0", "老盲文", "current-braille"},
      {"1", "新盲文", "double-braille"},
      {"2", "双拼字根", "shuangpin"},
      {"3", "全拼", "pinyin"},
      {"4", "五笔", "wubi"},
  };
  for (int i = 0; i < 5; ++i)
    for (const char* name : kNames[i])
      if (value == name) {
        *notation = i;
        return true;
      }
  return false;
}

bool ParseEncoding(std::string value, bool* gbk) {
  for (char& c : value)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (value == "utf-8" || value == "utf8") {
    *gbk = false;
    return true;
  }
  if (value == "gbk" || value == "cp936") {
    *gbk = true;
    return true;
  }
  return false;
}

// Returns -1 when parsing succeeded, otherwise the exit code.
int ParseArguments(int argc, char** argv, Options* options) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      options->files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--no-shortcuts") {
      options->plain = true;
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    char flag = arg[1];
    if (flag != 'n' && flag != 's' && flag != 'e') return Usage("unknown option " + arg);
    std::string value;
    if (arg.size() > 2) {
      value = arg.substr(2);
    } else if (i + 1 < argc) {
      value = argv[++i];
    } else {
      return Usage(std::string("option -") + flag + " needs a value");
    }
    if (flag == 'n' && !ParseNotation(value, &options->notation))
      return Usage("unknown notation " + value);
    if (flag == 'e' && !ParseEncoding(value, &options->gbk))
      return Usage("unknown encoding " + value);
    if (flag == 's') options->separator = value;
  }
  return -1;
}

// Reads a whole stream; false with errno set on a read error.
bool ReadAll(std::FILE* file, std::string* out) {
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) out->append(buffer, got);
  return std::ferror(file) == 0;
}

// Joins the sources in order; on failure prints the file and the reason.
bool ReadInput(const Options& options, std::string* text, std::vector<Source>* sources) {
  std::vector<std::string> names = options.files;
  if (names.empty()) names.push_back("-");
  for (const std::string& name : names) {
    sources->push_back({name == "-" ? "standard input" : name, text->size()});
    bool ok;
    if (name == "-") {
      ok = ReadAll(stdin, text);
    } else {
      std::FILE* file = std::fopen(name.c_str(), "rb");
      ok = file != nullptr && ReadAll(file, text);
      int saved = errno;
      if (file != nullptr) std::fclose(file);
      errno = saved;
    }
    if (!ok) {
      std::fprintf(stderr, "molvane-convert: %s: %s\n", name.c_str(), std::strerror(errno));
      return false;
    }
  }
  return true;
}

// Writes the GBK output in the chosen encoding, converting a piece at a time
// (cut between characters) so a whole book is never held twice.
bool WriteOutput(const std::string& gbk, bool asGbk) {
  if (asGbk) return std::fwrite(gbk.data(), 1, gbk.size(), stdout) == gbk.size();
  constexpr size_t kPiece = 1 << 20;
  for (size_t at = 0; at < gbk.size();) {
    size_t end = at;
    while (end < gbk.size() && end - at < kPiece)
      end += static_cast<unsigned char>(gbk[end]) >= 0x81 && end + 1 < gbk.size() ? 2 : 1;
    std::string utf8 = platform::GbkToUtf8(gbk.substr(at, end - at));
    if (std::fwrite(utf8.data(), 1, utf8.size(), stdout) != utf8.size()) return false;
    at = end;
  }
  return true;
}

// Runs the program's start, one click of the convert button and the shutdown
// over the main window on the headless backend; returns the output box's text
// (GBK).
std::string ConvertAsTheWindowWould(std::string input, const std::string& separator, int notation) {
  using namespace molvane;
  StartProgram();
  LoadStartWindow(kMainWindowId);
  ArgRecord text = TextArg(input.c_str());
  WriteProperty(kMainWindowId, kInputBoxId, kRichEditContent, -1, text.low, text.high);
  std::string().swap(input);  // the input box holds it now
  text = TextArg(separator.c_str());
  WriteProperty(kMainWindowId, kSeparatorBoxId, kEditBoxContent, -1, text.low, text.high);
  WriteProperty(kMainWindowId, kNotationListId, kCurrentSelection, -1,
                static_cast<uint32_t>(notation), 0);
  auto button =
      reinterpret_cast<HWND>(CallService(kServiceLookupControl, kMainWindowId, kConvertButtonId));
  SendMessageA(button, BM_CLICK, 0, 0);
  char* output = reinterpret_cast<char*>(
      static_cast<intptr_t>(ReadProperty(kMainWindowId, kOutputBoxId, kRichEditContent, -1)));
  std::string result = output == nullptr ? std::string() : std::string(output);
  FreeMemory(output);
  ShutdownRuntime(0);
  return result;
}

}  // namespace

using platform::FirstInvalidUtf8;

int main(int argc, char** argv) {
  Options options;
  int parsed = ParseArguments(argc, argv, &options);
  if (parsed >= 0) return parsed;

  if (FirstInvalidUtf8(options.separator) != std::string::npos)
    return Usage("the separator is not valid UTF-8");

  std::string text;
  std::vector<Source> sources;
  if (!ReadInput(options, &text, &sources)) return 1;
  // Texts measure their length in 32-bit signed counts.
  if (text.size() > 0x7FFFFFF0u) {
    std::fprintf(stderr, "molvane-convert: input too large (%zu bytes)\n", text.size());
    return 1;
  }

  if (!options.gbk) {
    size_t bad = FirstInvalidUtf8(text);
    if (bad != std::string::npos) {
      size_t k = sources.size() - 1;
      while (k > 0 && sources[k].offset > bad) --k;
      std::fprintf(stderr, "molvane-convert: %s: invalid UTF-8 at byte offset %zu\n",
                   sources[k].name.c_str(), bad - sources[k].offset);
      return 1;
    }
    text = platform::Utf8ToGbk(text);
  }
  // A text ends at its first zero byte: drop zero bytes so that nothing after
  // one is lost. They are not Chinese characters and convert to nothing.
  std::erase(text, '\0');

  std::string separator = platform::Utf8ToGbk(options.separator);

  // The program's only message here is the empty-input warning; any box
  // means the conversion did not produce a result.
  bool boxShown = false;
  platform::SetMessageBoxResponder([&boxShown](const platform::MessageBoxCall& call) {
    boxShown = true;
    std::fprintf(stderr, "%s\n", platform::GbkToUtf8(call.text).c_str());
    std::fflush(stderr);
    return IDOK;
  });

  if (options.plain) molvane::SetShortcutsEnabled(false);
  std::string output = ConvertAsTheWindowWould(std::move(text), separator, options.notation);
  if (boxShown) return 1;

  if (!WriteOutput(output, options.gbk) || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "molvane-convert: standard output: %s\n", std::strerror(errno));
    return 1;
  }
  return 0;
}
