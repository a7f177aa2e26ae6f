// SPDX-License-Identifier: GPL-3.0-or-later
// The command lines of both programs, read the way GNU tools read theirs:
// short and long options, values attached ("-npinyin", "--notation=pinyin")
// or following, "--" ending the options. Each program describes its options
// in one table of OptionRow; the help lines are made from the same table, so
// spellings, help text and effect cannot drift apart.
#pragma once

#include <algorithm>
#include <cstdio>
#include <span>
#include <string>

namespace molvane::app {

// What an option's apply returns: go on, or the value is not one the option
// takes; any other number is the exit code to stop with (after help).
constexpr int kGoOn = -1;
constexpr int kBadValue = -2;

template <class Options>
struct OptionRow {
  char shortName;         // 0 when there is only the long one
  const char* longName;   // without "--"
  const char* valueName;  // null for an option without a value
  const char* what;       // names the value in "unknown ... 'x'"
  const char* help;       // lines after the first start with "\n"
  int (*apply)(const std::string& value, Options* options);
};

// The column where the help text of every option starts.
constexpr size_t kHelpColumn = 27;

// Prints "PROGRAM: problem" and the hint to --help; returns `exitCode`.
inline int UsageError(const char* program, const std::string& problem, int exitCode) {
  std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", program, problem.c_str(),
               program);
  return exitCode;
}

// One help line an option, its text wrapped where the row says.
template <class Options>
std::string HelpLines(std::span<const OptionRow<Options>> rows) {
  std::string text;
  for (const OptionRow<Options>& o : rows) {
    std::string line = o.shortName != 0 ? std::string("  -") + o.shortName + ", " : "      ";
    line += "--" + std::string(o.longName);
    if (o.valueName != nullptr) line += "=" + std::string(o.valueName);
    line.resize(std::max(line.size() + 1, kHelpColumn), ' ');
    for (const char* c = o.help; *c != 0; ++c)
      line += *c == '\n' ? "\n" + std::string(kHelpColumn, ' ') : std::string(1, *c);
    text += line + "\n";
  }
  return text;
}

// The row an argument names, with a value attached to it; null when it
// names none.
template <class Options>
const OptionRow<Options>* FindRow(std::span<const OptionRow<Options>> rows, const std::string& arg,
                                  std::string* attached, bool* hasAttached) {
  *hasAttached = false;
  if (arg.rfind("--", 0) == 0) {
    const size_t eq = arg.find('=');
    const std::string name = arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
    for (const OptionRow<Options>& o : rows)
      if (name == o.longName) {
        if (eq != std::string::npos) *attached = arg.substr(eq + 1), *hasAttached = true;
        return &o;
      }
    return nullptr;
  }
  for (const OptionRow<Options>& o : rows)
    if (o.shortName != 0 && arg[1] == o.shortName) {
      if (arg.size() > 2) *attached = arg.substr(2), *hasAttached = true;
      return &o;
    }
  return nullptr;
}

// How one program reads its command line.
template <class Options>
struct CommandLine {
  const char* program;
  std::span<const OptionRow<Options>> rows;
  int usageExit;
  // Takes an argument that is not an option (after "--" too); returns
  // kGoOn, or the exit code to stop with.
  int (*operand)(const std::string& arg, Options* options);
};

// Reads the arguments into `options`: kGoOn, or the exit code after help,
// the version or a usage error.
template <class Options>
int ReadCommandLine(const CommandLine<Options>& line, int argc, char** argv, Options* options) {
  const auto usage = [&](const std::string& problem) {
    return UsageError(line.program, problem, line.usageExit);
  };
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--" && !optionsEnded) {
      optionsEnded = true;
      continue;
    }
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      const int code = line.operand(arg, options);
      if (code != kGoOn) return code;
      continue;
    }
    std::string value;
    bool hasValue = false;
    const OptionRow<Options>* row = FindRow(line.rows, arg, &value, &hasValue);
    if (row == nullptr) return usage("unknown option '" + arg + "'");
    if (row->valueName == nullptr && hasValue)
      return usage("option '--" + std::string(row->longName) + "' takes no value");
    if (row->valueName != nullptr && !hasValue) {
      if (i + 1 >= argc) return usage("option '" + arg + "' needs a value");
      value = argv[++i];
    }
    const int code = row->apply(value, options);
    if (code == kBadValue) return usage("unknown " + std::string(row->what) + " '" + value + "'");
    if (code != kGoOn) return code;
  }
  return kGoOn;
}

}  // namespace molvane::app
