// SPDX-License-Identifier: GPL-3.0-or-later
// The common file dialogs: the OPENFILENAME record read into one call the
// backend (or a test's responder) answers, and the answer written back as
// Windows writes it, in the caller's character set.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "platform/backend.h"
#include "platform/core.h"
#include "platform/platform.h"

namespace {

platform::FileDialogResponder g_responder;  // one per process, set by tests
DWORD g_lastError = 0;  // CommDlgExtendedError answers for the calling thread, which is the GUI's

// Strings of either character set as UTF-16, and back.
std::u16string Wide(const char* text) {
  return text == nullptr ? std::u16string() : platform::core::ToWide(text);
}
std::u16string Wide(const WCHAR* text) {
  return text == nullptr ? std::u16string() : std::u16string(text);
}
std::string Narrow(const std::u16string& text, char) {
  return platform::core::ToGbk(text);
}
std::u16string Narrow(const std::u16string& text, WCHAR) {
  return text;
}

// "name\0patterns\0...\0\0": the pairs up to the first empty name.
template <class Char>
std::vector<platform::FileDialogFilter> Filters(const Char* list) {
  std::vector<platform::FileDialogFilter> filters;
  if (list == nullptr) return filters;
  const auto next = [&list] {
    const Char* start = list;
    while (*list != 0) ++list;
    ++list;
    return Wide(start);
  };
  while (*list != 0) {
    platform::FileDialogFilter filter;
    filter.name = next();
    if (*list == 0) break;  // a name without patterns ends the list
    filter.patterns = next();
    filters.push_back(std::move(filter));
  }
  return filters;
}

// The extension of a pattern such as "*.brf"; empty for "*.*" and the like.
std::u16string ExtensionOf(const std::u16string& patterns) {
  const std::u16string first = patterns.substr(0, patterns.find(u';'));
  if (first.size() < 3 || first.compare(0, 2, u"*.") != 0) return {};
  const std::u16string extension = first.substr(2);
  return extension.find_first_of(u"*?") == std::u16string::npos ? extension : std::u16string();
}

// Where the name starts and its extension (after the dot) starts; 0 for none.
size_t NameStart(const std::u16string& path) {
  const size_t slash = path.find_last_of(u'/');
  return slash == std::u16string::npos ? 0 : slash + 1;
}
size_t ExtensionStart(const std::u16string& path) {
  const size_t dot = path.find_last_of(u'.');
  return dot == std::u16string::npos || dot < NameStart(path) ? 0 : dot + 1;
}

template <class Record>
BOOL RunDialog(Record* record, bool save) {
  using Char = std::remove_const_t<std::remove_pointer_t<decltype(record->lpstrFile)>>;
  g_lastError = 0;
  if (record == nullptr || record->lStructSize < offsetof(Record, pvReserved)) {
    g_lastError = CDERR_STRUCTSIZE;
    return FALSE;
  }
  if (record->lpstrFile == nullptr || record->nMaxFile == 0) {
    g_lastError = CDERR_INITIALIZATION;
    return FALSE;
  }
  platform::FileDialogCall call;
  call.owner = record->hwndOwner;
  call.save = save;
  call.title = Wide(record->lpstrTitle);
  call.filters = Filters(record->lpstrFilter);
  call.filterIndex = record->nFilterIndex == 0 ? 0 : static_cast<int>(record->nFilterIndex) - 1;
  if (call.filterIndex >= static_cast<int>(call.filters.size())) call.filterIndex = 0;
  call.folder = Wide(record->lpstrInitialDir);
  call.fileName = Wide(static_cast<const Char*>(record->lpstrFile));
  call.defaultExtension = Wide(record->lpstrDefExt);
  call.fileMustExist = (record->Flags & OFN_FILEMUSTEXIST) != 0;
  call.confirmOverwrite = save && (record->Flags & OFN_OVERWRITEPROMPT) != 0;

  const std::optional<platform::FileDialogAnswer> answer =
      g_responder ? g_responder(call) : platform::CurrentBackend().ShowFileDialog(call);
  if (!answer || answer->path.empty()) return FALSE;  // cancelled: no extended error

  std::u16string path = answer->path;
  const int chosen = std::clamp(answer->filterIndex, 0, std::max<int>(0, call.filters.size() - 1));
  // A name typed without an extension takes the chosen file type's, else
  // the default one, as the dialog of current Windows does.
  if (record->lpstrDefExt != nullptr && ExtensionStart(path) == 0) {
    std::u16string extension =
        call.filters.empty() ? std::u16string() : ExtensionOf(call.filters[chosen].patterns);
    if (extension.empty()) extension = call.defaultExtension;
    if (!extension.empty()) path += u"." + extension;
  }
  const auto out = Narrow(path, Char{});
  if (out.size() + 1 > record->nMaxFile) {
    // The size needed, in the first two bytes of the buffer.
    g_lastError = FNERR_BUFFERTOOSMALL;
    const WORD needed = static_cast<WORD>(std::min<size_t>(out.size() + 1, 0xFFFF));
    if (record->nMaxFile * sizeof(Char) >= sizeof needed)
      std::memcpy(record->lpstrFile, &needed, sizeof needed);
    return FALSE;
  }
  std::copy(out.begin(), out.end(), record->lpstrFile);
  record->lpstrFile[out.size()] = 0;
  record->nFilterIndex = call.filters.empty() ? 0 : static_cast<DWORD>(chosen + 1);
  // Offsets in the caller's units: the name, and its extension (the end when none).
  const auto narrowName = Narrow(path.substr(0, NameStart(path)), Char{});
  record->nFileOffset = static_cast<WORD>(narrowName.size());
  const size_t extension = ExtensionStart(path);
  record->nFileExtension = static_cast<WORD>(
      extension == 0 ? out.size() : Narrow(path.substr(0, extension), Char{}).size());
  if (record->lpstrFileTitle != nullptr && record->nMaxFileTitle > 0) {
    const auto title = Narrow(path.substr(NameStart(path)), Char{});
    const size_t n = std::min<size_t>(title.size(), record->nMaxFileTitle - 1);
    std::copy(title.begin(), title.begin() + static_cast<ptrdiff_t>(n), record->lpstrFileTitle);
    record->lpstrFileTitle[n] = 0;
  }
  return TRUE;
}

}  // namespace

namespace platform {
void SetFileDialogResponder(FileDialogResponder responder) {
  g_responder = std::move(responder);
}
}  // namespace platform

BOOL GetOpenFileNameA(OPENFILENAMEA* dialog) {
  return RunDialog(dialog, false);
}
BOOL GetSaveFileNameA(OPENFILENAMEA* dialog) {
  return RunDialog(dialog, true);
}
BOOL GetOpenFileNameW(OPENFILENAMEW* dialog) {
  return RunDialog(dialog, false);
}
BOOL GetSaveFileNameW(OPENFILENAMEW* dialog) {
  return RunDialog(dialog, true);
}
DWORD CommDlgExtendedError() {
  return g_lastError;
}
