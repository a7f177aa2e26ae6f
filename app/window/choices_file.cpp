// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/choices_file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace molvane::window {
namespace {

// One key of the file: how it reads into the choices and how it is written.
struct Key {
  const char* name;
  bool (*read)(const std::string& value, Choices* choices);
  std::string (*write)(const Choices& choices);
};

template <class Value>
bool Set(std::optional<Value> named, Value* field) {
  if (named) *field = *named;
  return named.has_value();
}

// Zoom as "numerator/denominator", within what a rich edit box takes.
bool ReadZoom(const std::string& value, Zoom* zoom) {
  int numerator = 0, denominator = 0;
  char slash = 0;
  std::istringstream in(value);
  if (!(in >> numerator >> slash >> denominator) || slash != '/' || !in.eof()) return false;
  if (denominator <= 0 || numerator <= 0 || numerator > 64 * denominator ||
      64 * numerator < denominator)
    return false;
  *zoom = {numerator, denominator};
  return true;
}
std::string WriteZoom(const Zoom& zoom) {
  if (zoom.denominator == 0) return {};
  return std::to_string(zoom.numerator) + "/" + std::to_string(zoom.denominator);
}

const char* ReadingName(words::ReadingMode mode) {
  return mode == words::ReadingMode::kWords ? "words" : "chars";
}
const char* ToneName(words::ToneStyle style) {
  switch (style) {
    case words::ToneStyle::kMarks:
      return "marks";
    case words::ToneStyle::kNumbers:
      return "numbers";
    default:
      return "none";
  }
}

const Key kKeys[] = {
    {"readings",
     [](const std::string& v, Choices* c) {
       return Set(settings::ReadingModeNamed(v), &c->settings.readings);
     },
     [](const Choices& c) -> std::string { return ReadingName(c.settings.readings); }},
    {"text",
     [](const std::string& v, Choices* c) {
       return Set(settings::TextModeNamed(v), &c->settings.text);
     },
     [](const Choices& c) -> std::string {
       return c.settings.text == settings::TextMode::kFull ? "full" : "han";
     }},
    {"spacing",
     [](const std::string& v, Choices* c) {
       return Set(settings::SpacingNamed(v), &c->settings.spacing);
     },
     [](const Choices& c) -> std::string {
       return c.settings.spacing == settings::Spacing::kWord ? "word" : "syllable";
     }},
    {"tones",
     [](const std::string& v, Choices* c) {
       return Set(settings::ToneStyleNamed(v), &c->settings.tones);
     },
     [](const Choices& c) -> std::string { return ToneName(c.settings.tones); }},
    {"back",
     [](const std::string& v, Choices* c) {
       if (v != "on" && v != "off") return false;
       c->back = v == "on";
       return true;
     },
     [](const Choices& c) -> std::string { return c.back ? "on" : "off"; }},
    {"input-zoom", [](const std::string& v, Choices* c) { return ReadZoom(v, &c->inputZoom); },
     [](const Choices& c) { return WriteZoom(c.inputZoom); }},
    {"output-zoom", [](const std::string& v, Choices* c) { return ReadZoom(v, &c->outputZoom); },
     [](const Choices& c) { return WriteZoom(c.outputZoom); }},
};

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string ChoicesPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::filesystem::path folder;
  if (config != nullptr && config[0] == '/') {
    folder = config;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') return {};
    folder = std::filesystem::path(home) / ".config";
  }
  return (folder / "molvane" / "molvane.ini").string();
}

Choices ReadChoices(const std::string& path) {
  Choices choices;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;  // a section, a comment or a blank line
    const std::string name = Trimmed(line.substr(0, equals));
    for (const Key& key : kKeys)
      if (name == key.name) key.read(Trimmed(line.substr(equals + 1)), &choices);
  }
  // Word spacing is a choice of full text only.
  if (choices.settings.text != settings::TextMode::kFull)
    choices.settings.spacing = settings::Spacing::kSyllable;
  return choices;
}

bool WriteChoices(const std::string& path, const Choices& choices) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  // Written beside and renamed, so a run that stops half way leaves the last
  // whole file.
  const std::string partial = path + ".new";
  {
    std::ofstream out(partial, std::ios::trunc);
    out << "# Molvane's window: the choices of its menus, restored at start.\n[window]\n";
    for (const Key& key : kKeys) {
      const std::string value = key.write(choices);
      if (!value.empty()) out << key.name << '=' << value << '\n';
    }
    if (!out.flush()) return false;
  }
  return std::rename(partial.c_str(), path.c_str()) == 0;
}

}  // namespace molvane::window
