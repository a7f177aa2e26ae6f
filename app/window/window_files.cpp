// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/window_files.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "app/settings/book_pages.h"
#include "app/settings/braille_forms.h"
#include "app/settings/window_boxes.h"
#include "engine/conversion.h"
#include "platform/platform.h"
#include "runtime/runtime.h"

namespace molvane::window {
namespace {

using settings::BrailleForm;

// The longest path the dialogs hand back.
constexpr DWORD kPathUnits = 4096;

HWND Control(uint32_t id) {
  return reinterpret_cast<HWND>(CallService(kServiceLookupControl, kMainWindowId, id));
}

void Tell(HWND frame, const std::string& utf8, UINT icon) {
  MessageBoxA(frame, platform::Utf8ToGbk(utf8).c_str(), platform::Utf8ToGbk("Molvane").c_str(),
              MB_OK | icon);
}

// Text holds no control characters but tab, line and page breaks.
bool IsText(char32_t code) {
  return code >= 0x20
             ? code != 0x7F
             : code == '\t' || code == '\n' || code == '\r' || code == '\f' || code == '\v';
}

// A path from a dialog or a drop, as the file system spells it.
std::string PathOf(const WCHAR* units) {
  return platform::Utf16ToUtf8(units);
}

// The file types of the save dialog, in the order of their forms.
struct SaveType {
  const char* name;
  const char* patterns;
  BrailleForm form;
};
constexpr SaveType kSaveTypes[] = {
    {"文本文件 (*.txt)", "*.txt", BrailleForm::kDots},
    {"盲文点字 Unicode (*.txt)", "*.txt", BrailleForm::kUnicode},
    {"盲文 BRF (*.brf)", "*.brf", BrailleForm::kBrf},
};

// "name\0patterns\0...\0" in UTF-16, as the dialog takes its filters.
std::u16string FilterList(const std::vector<std::pair<std::string, std::string>>& types) {
  std::u16string list;
  for (const auto& [name, patterns] : types) {
    list += platform::Utf8ToUtf16(name) + u'\0';
    list += platform::Utf8ToUtf16(patterns) + u'\0';
  }
  return list + u'\0';
}

}  // namespace

ReadText ReadTextFile(const std::string& path, size_t characters) {
  ReadText read;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  struct stat facts {};
  if (file == nullptr || fstat(fileno(file), &facts) != 0 || !S_ISREG(facts.st_mode)) {
    read.error = file == nullptr ? errno : S_ISDIR(facts.st_mode) ? EISDIR : EINVAL;
    if (file != nullptr) std::fclose(file);
    read.problem = ReadProblem::kUnreadable;
    return read;
  }
  // No character takes more than four bytes, and a byte-order mark three:
  // a larger file cannot fit and is not read.
  if (static_cast<uint64_t>(facts.st_size) > static_cast<uint64_t>(characters) * 4 + 3) {
    std::fclose(file);
    read.problem = ReadProblem::kTooLong;
    return read;
  }
  std::string bytes(static_cast<size_t>(facts.st_size), '\0');
  const size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    read.error = EIO;
    read.problem = ReadProblem::kUnreadable;
    return read;
  }
  bytes.resize(got);
  size_t mark = 0;
  read.encoding = platform::FindEncoding(
      std::string_view(bytes).substr(0, platform::kEncodingSniffBytes), &mark);
  const std::string_view body = std::string_view(bytes).substr(mark);
  size_t count = 0;
  bool afterReturn = false;
  for (size_t at = 0; at < body.size();) {
    char32_t code = 0;
    const int n =
        platform::DecodeCharacter(read.encoding, body.data() + at, body.size() - at, &code);
    if (n <= 0 || !IsText(code)) {
      read.problem = ReadProblem::kNotText;
      read.utf8.clear();
      return read;
    }
    at += static_cast<size_t>(n);
    if (!(code == '\n' && afterReturn)) ++count;  // CR LF is one break in the box
    afterReturn = code == '\r';
    platform::AppendUtf8(code, &read.utf8);
  }
  if (count > characters) {
    read.problem = ReadProblem::kTooLong;
    read.utf8.clear();
  }
  return read;
}

bool SavedForm(const std::string& box, const std::string& separator, BrailleForm form,
               std::string* bytes) {
  if (form != BrailleForm::kDots) {
    if (!settings::RewriteDotText(box, separator, form, bytes)) return false;
  } else {
    bytes->clear();
    for (size_t at = 0; at < box.size(); ++at)
      if (!(box[at] == '\r' && at + 1 < box.size() && box[at + 1] == '\n')) *bytes += box[at];
  }
  // A text file ends with a line break, as molvane-convert ends its output.
  if (!bytes->empty() && bytes->back() != '\n') *bytes += '\n';
  return true;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string* error) {
  const std::string partial = path + ".part";
  std::FILE* file = std::fopen(partial.c_str(), "wb");
  bool written =
      file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  int code = errno;
  if (file != nullptr && std::fclose(file) != 0 && written) {
    written = false;
    code = errno;
  }
  if (written && std::rename(partial.c_str(), path.c_str()) != 0) {
    written = false;
    code = errno;
  }
  if (!written) {
    std::remove(partial.c_str());
    *error = std::strerror(code);
  }
  return written;
}

void OpenFile(HWND frame, const std::string& path) {
  const HWND box = Control(kInputBoxId);
  const auto limit = static_cast<size_t>(SendMessageA(box, EM_GETLIMITTEXT, 0, 0));
  const ReadText read = ReadTextFile(path, limit);
  const std::string name = std::filesystem::path(path).filename().string();
  switch (read.problem) {
    case ReadProblem::kUnreadable:
      return Tell(frame, "无法打开“" + name + "”：" + std::strerror(read.error), MB_ICONHAND);
    case ReadProblem::kNotText:
      return Tell(frame, "“" + name + "”不是文本文件，输入框的内容没有改变。", MB_ICONEXCLAMATION);
    case ReadProblem::kTooLong:
      return Tell(frame,
                  "“" + name + "”超过输入框能容纳的 " + std::to_string(limit) +
                      " 个字符，输入框的内容没有改变。",
                  MB_ICONEXCLAMATION);
    case ReadProblem::kNone:
      break;
  }
  const std::string gbk = platform::Utf8ToGbk(read.utf8);
  settings::WriteBox(kInputBoxId, kRichEditContent, gbk.c_str());
  settings::FocusBox(kInputBoxId);
  // The box holds GBK: say how many characters it could not take, rather
  // than let them turn into question marks unnoticed.
  const std::string back = platform::GbkToUtf8(gbk);
  size_t lost = 0;
  for (size_t a = 0, b = 0; a < read.utf8.size() && b < back.size();) {
    char32_t x = 0, y = 0;
    const int n = platform::DecodeUtf8Character(read.utf8.data() + a, read.utf8.size() - a, &x);
    const int m = platform::DecodeUtf8Character(back.data() + b, back.size() - b, &y);
    if (n <= 0 || m <= 0) break;
    lost += x != y ? 1 : 0;
    a += static_cast<size_t>(n);
    b += static_cast<size_t>(m);
  }
  if (lost > 0)
    Tell(frame,
         "“" + name + "”中有 " + std::to_string(lost) + " 个字符不在 GBK 字符集内，已显示为“?”。",
         MB_ICONASTERISK);
}

// The record both file dialogs take: the first file type chosen, the name
// in `file`.
OPENFILENAMEW DialogRecord(HWND frame, const std::u16string& filters, std::vector<WCHAR>* file,
                           DWORD flags) {
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = frame;
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file->data();
  dialog.nMaxFile = static_cast<DWORD>(file->size());
  dialog.Flags = flags | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  return dialog;
}

void OpenWithDialog(HWND frame) {
  std::vector<WCHAR> file(kPathUnits, 0);
  const std::u16string filters = FilterList({{"文本文件 (*.txt)", "*.txt"}, {"所有文件 (*)", "*"}});
  OPENFILENAMEW dialog = DialogRecord(frame, filters, &file, OFN_FILEMUSTEXIST);
  if (GetOpenFileNameW(&dialog)) OpenFile(frame, PathOf(file.data()));
}

// Full text in braille saved as BRF: the input box laid out in pages, the
// book molvane-convert --braille=brf makes of the same text. False when
// the output is something else, which is saved as it stands.
bool SavedBook(const settings::ConvertButton& button, std::string* bytes) {
  settings::Settings s = button.settings;
  const LRESULT selection = SendMessageA(Control(kNotationListId), CB_GETCURSEL, 0, 0);
  if (selection < 0 || selection > static_cast<LRESULT>(settings::Notation::kCommonBraille))
    return false;
  s.notation = static_cast<settings::Notation>(selection);
  if (s.text != settings::TextMode::kFull || !settings::IsBraille(s.notation) || button.back)
    return false;
  const std::string input = platform::GbkToUtf8(settings::ReadBox(kInputBoxId, kRichEditContent));
  const settings::BookForm form{layout::Form::kBrf, {s.page.cells, s.page.lines}};
  return settings::BookOfText(input, s, form, bytes);
}

void SaveWithDialog(HWND frame, const settings::ConvertButton& button) {
  const std::string box = platform::GbkToUtf8(settings::ReadBox(kOutputBoxId, kRichEditContent));
  if (box.empty()) return Tell(frame, "还没有转换结果可以保存。", MB_ICONEXCLAMATION);
  std::vector<std::pair<std::string, std::string>> types;
  for (const SaveType& type : kSaveTypes) types.emplace_back(type.name, type.patterns);
  const std::u16string filters = FilterList(types);
  std::vector<WCHAR> file(kPathUnits, 0);
  const std::u16string offered = u"转换结果";
  std::copy(offered.begin(), offered.end(), file.begin());
  OPENFILENAMEW dialog = DialogRecord(frame, filters, &file, OFN_OVERWRITEPROMPT);
  dialog.lpstrDefExt = u"txt";
  if (!GetSaveFileNameW(&dialog)) return;
  const std::string path = PathOf(file.data());
  const size_t type = dialog.nFilterIndex >= 1 && dialog.nFilterIndex <= std::size(kSaveTypes)
                          ? dialog.nFilterIndex - 1
                          : 0;
  // A name that says BRF gets BRF, whatever type was left chosen: an
  // embosser reads the file by its name.
  BrailleForm form = kSaveTypes[type].form;
  if (std::filesystem::path(path).extension() == ".brf") form = BrailleForm::kBrf;
  const std::string separator =
      platform::GbkToUtf8(settings::ReadBox(kSeparatorBoxId, kEditBoxContent));
  std::string bytes;
  if (!(form == BrailleForm::kBrf && SavedBook(button, &bytes)) &&
      !SavedForm(box, separator, form, &bytes))
    return Tell(frame, "转换结果不是盲文点位，不能保存为盲文点字或 BRF。请保存为文本文件。",
                MB_ICONEXCLAMATION);
  std::string error;
  if (!WriteWholeFile(path, bytes, &error))
    Tell(frame, "无法保存“" + path + "”：" + error, MB_ICONHAND);
}

void OpenDropped(HWND frame, HDROP drop) {
  const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
  std::vector<WCHAR> path(length + 1, 0);
  const bool any = length > 0 && DragQueryFileW(drop, 0, path.data(), length + 1) == length;
  DragFinish(drop);
  if (any) OpenFile(frame, PathOf(path.data()));
}

}  // namespace molvane::window
