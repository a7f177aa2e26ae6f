// SPDX-License-Identifier: GPL-3.0-or-later
// The process: its modules (the rich edit libraries among them), its paths
// and current directory, the thread id, the last error, OLE, and exit.
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <set>

#include "platform/core.h"
#include "platform/platform.h"

namespace platform::core {
namespace {

// ---- Libraries ----
struct Library {
  const char* name;
  const char* className;
  uintptr_t handle;
  int references = 0;
};

struct Libraries {
  Library known[2] = {{"RICHED20.DLL", "RichEdit20A", 0x7A000000},
                      {"RICHED32.DLL", "RICHEDIT", 0x7B000000}};
  std::set<std::string> failing;
};

Libraries& LibraryTable() {
  static Libraries libraries;  // loaded libraries are per process
  return libraries;
}

std::string LibraryKey(LPCSTR fileName) {
  std::string name = fileName ? fileName : "";
  size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name = name.substr(slash + 1);
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (name.find('.') == std::string::npos) name += ".DLL";
  return name;
}

// Linux paths travel through the ANSI calls as GBK with "\" separators.
std::string ToWindowsPath(const std::string& utf8) {
  std::string gbk = Utf8ToGbk(utf8);
  std::replace(gbk.begin(), gbk.end(), '/', '\\');
  return gbk;
}

std::string ToLinuxPath(const std::string& gbk) {
  std::string utf8 = GbkToUtf8(gbk);
  std::replace(utf8.begin(), utf8.end(), '\\', '/');
  return utf8;
}

DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return 0;
  DWORD n = std::min(static_cast<DWORD>(text.size()), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  if (n < text.size()) return size;
  return n;
}

thread_local int t_oleInitialized = 0;  // OLE is initialised per thread

}  // namespace

}  // namespace platform::core

namespace core = platform::core;

// ---- Libraries ----
HMODULE LoadLibraryA(LPCSTR fileName) {
  std::string key = core::LibraryKey(fileName);
  for (core::Library& library : core::LibraryTable().known) {
    if (key != library.name) continue;
    if (core::LibraryTable().failing.count(key) != 0) break;
    if (library.references++ == 0) {
      core::EnsureSystemClasses();
      core::RegisterSystemClass(library.className, core::RichEditProc,
                                platform::PeerKind::kRichEdit, CS_DBLCLKS);
    }
    return core::MakeHandle<HMODULE>(library.handle);
  }
  return nullptr;
}

BOOL FreeLibrary(HMODULE module) {
  for (core::Library& library : core::LibraryTable().known) {
    if (core::MakeHandle<HMODULE>(library.handle) != module || library.references == 0) continue;
    // Windows already made keep their class; new ones cannot be made.
    if (--library.references == 0) core::UnregisterSystemClass(library.className);
    return TRUE;
  }
  return FALSE;
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
  if (moduleName == nullptr) return core::MakeHandle<HMODULE>(0x00400000);
  std::string key = core::LibraryKey(moduleName);
  for (core::Library& library : core::LibraryTable().known)
    if (key == library.name && library.references > 0)
      return core::MakeHandle<HMODULE>(library.handle);
  return nullptr;
}

namespace platform {
void SetLibraryLoadFails(const std::string& fileName, bool fails) {
  std::string key = core::LibraryKey(fileName.c_str());
  if (fails)
    core::LibraryTable().failing.insert(key);
  else
    core::LibraryTable().failing.erase(key);
}

}  // namespace platform

// ---- Process ----
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  if (module != nullptr && module != GetModuleHandleA(nullptr)) {
    for (core::Library& library : core::LibraryTable().known)
      if (core::MakeHandle<HMODULE>(library.handle) == module && library.references > 0)
        return core::CopyOut(library.name, fileName, size);
    return 0;
  }
  char path[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return 0;
  return core::CopyOut(core::ToWindowsPath(std::string(path, static_cast<size_t>(n))), fileName,
                       size);
}

BOOL SetCurrentDirectoryA(LPCSTR path) {
  std::string target = core::ToLinuxPath(path ? path : "");
  if (target.empty() || chdir(target.c_str()) != 0) return FALSE;
  return TRUE;
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
  char path[PATH_MAX];
  if (getcwd(path, sizeof path) == nullptr) return 0;
  std::string windowsPath = core::ToWindowsPath(path);
  if (size <= windowsPath.size()) return static_cast<DWORD>(windowsPath.size() + 1);
  return core::CopyOut(windowsPath, buffer, size);
}

// A thread keeps its id for life, and a forked child's thread keeps the id of
// the thread that forked it (the kernel's thread id would change), so "is
// this the GUI thread" answers the same in a child that tests fork.
DWORD GetCurrentThreadId() {
  thread_local const DWORD id = static_cast<DWORD>(syscall(SYS_gettid));
  return id;
}

HRESULT OleInitialize(LPVOID) {
  return core::t_oleInitialized++ == 0 ? S_OK : S_FALSE;
}

void OleUninitialize() {
  if (core::t_oleInitialized > 0) --core::t_oleInitialized;
}

// Ends the process at once; standard streams are flushed first so that what
// the program wrote is not lost.
void ExitProcess(UINT exitCode) {
  std::fflush(nullptr);
  _exit(static_cast<int>(exitCode));
}
