// SPDX-License-Identifier: GPL-3.0-or-later
// The program frame: runtime initialisation (service 6), the start window,
// the message loop with its idle phase, and the shutdown every end of the
// program goes through. The window engine is reached through its interface.
#include <algorithm>
#include <chrono>
#include <new>
#include <thread>

#include "platform/platform.h"
#include "runtime/runtime_state.h"

namespace molvane {
namespace detail {

namespace {

constexpr char kHiddenOwnerClass[] = "_Tam_HideOwner";

void ReportGbk(const char* utf8) {
  ReportRuntimeFailure(0, platform::Utf8ToGbk(utf8).c_str());
}

LRESULT HiddenOwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kExitMessage) return DefWindowProcA(window, message, wParam, lParam);
  const int32_t exitCode = static_cast<int32_t>(wParam);
  if (GetCurrentThreadId() == State().guiThread) ExitProgram(exitCode);
  // Delivered on the sender's thread: let the GUI thread end the program and
  // keep the sender waiting, so the clean-up is not cut short by its exit.
  PostMessageA(window, kExitMessage, wParam, 0);
  for (int waited = 0; waited < 100 && !State().shutdownBegun; ++waited)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  return 0;
}

HWND CreateHiddenOwner() {
  WNDCLASSA known;
  if (!GetClassInfoA(nullptr, kHiddenOwnerClass, &known)) {
    WNDCLASSA windowClass{};
    windowClass.style = 0;
    windowClass.lpfnWndProc = HiddenOwnerProcedure;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    windowClass.lpszClassName = kHiddenOwnerClass;
    RegisterClassA(&windowClass);
  }
  return CreateWindowExA(WS_EX_TOOLWINDOW, kHiddenOwnerClass, "", 0, 0, 0, 0, 0, nullptr, nullptr,
                         nullptr, nullptr);
}

// Step 4: the program folder becomes the working directory.
void TakeProgramFolder(RuntimeState& s) {
  char path[260] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string full(path, std::min<DWORD>(length, sizeof path));
  size_t slash = full.rfind('\\');
  s.programFolder = slash == std::string::npos ? std::string() : full.substr(0, slash);
  s.programFile = slash == std::string::npos ? full : full.substr(slash + 1);
  SetCurrentDirectoryA(s.programFolder.c_str());
}

void StartLibraries(RuntimeState& s, const ProgramHeader& header) {
  // The data first: when memory runs out between the two, the shutdown finds
  // no library to notify instead of libraries without their data.
  s.libraryData.assign(header.libraryCount, 0);
  s.libraries.assign(header.libraries, header.libraries + header.libraryCount);
  for (uint32_t k = 0; k < header.libraryCount && k < kMaxLibraries; ++k)
    if (s.libraries[k] != nullptr) g_commandTables[k] = s.libraries[k]->commands;
  for (const LibraryDescriptor* library : s.libraries)
    if (library != nullptr && library->notify != nullptr)
      library->notify(1, reinterpret_cast<intptr_t>(&RuntimeService), 0);
}

}  // namespace

void Initialize(const ProgramHeader* header) {
  RuntimeState& s = State();
  OpenHeap();
  if (header == nullptr) return;
  // A runtime started again after its shutdown starts clean.
  if (s.shutdownBegun) {
    s.shutdownBegun = false;
    s.eventSuppression = 0;
    s.loopEntered = false;
  }
  s.headerWords[0] = header->mode;
  s.headerWords[1] = header->reserved;
  s.headerWords[2] = header->word8 + 1;
  if (!s.oleInitialized) s.oleInitialized = OleInitialize(nullptr) >= 0;
  TakeProgramFolder(s);
  if (s.hiddenOwner == nullptr) s.hiddenOwner = CreateHiddenOwner();
  s.guiThread = GetCurrentThreadId();
  if (header->constantLength > 0) {
    s.constantStart = static_cast<const char*>(header->constantStart);
    s.constantEnd = s.constantStart + header->constantLength;
  }
  // Step 8, external routines: this program imports none.
  StartLibraries(s, *header);
  if (header->templateLength == 0) return;
  if (s.windowEngine == nullptr ||
      !s.windowEngine->ReadTemplates(header->templateStart, header->templateLength,
                                     header->handlerBase))
    ReportGbk("载入窗口模板数据段出错!");
}

void ProcessPendingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void ReleaseEverything(RuntimeState& s);

void Shutdown(int32_t exitCode) {
  RuntimeState& s = State();
  ++s.eventSuppression;
  if (s.guiThread != 0 && GetCurrentThreadId() != s.guiThread) {
    if (s.hiddenOwner != nullptr)
      SendMessageA(s.hiddenOwner, kExitMessage, static_cast<WPARAM>(exitCode), 0);
    if (!s.shutdownBegun) ExitProcess(static_cast<UINT>(exitCode));
    return;
  }
  if (s.shutdownBegun) return;  // an error inside a clean-up routine: just end
  s.shutdownBegun = true;
  // Out of memory while shutting down: the process ends all the same.
  try {
    ReleaseEverything(s);
  } catch (const std::bad_alloc&) {
  }
}

void ReleaseEverything(RuntimeState& s) {
  s.idleCallbacks.clear();
  if (s.windowEngine != nullptr) s.windowEngine->ReleaseWindows();
  // Clean-up routines may add nothing new while they run.
  std::vector<CleanupRoutine> cleanups;
  cleanups.swap(s.cleanupList);
  for (size_t i = 0; i < cleanups.size(); ++i) cleanups[i](static_cast<int32_t>(i));
  for (size_t i = 0; i < s.libraries.size(); ++i)
    if (s.libraries[i] != nullptr && s.libraries[i]->notify != nullptr)
      s.libraries[i]->notify(6, s.libraryData[i], 0);
  s.libraries.clear();
  s.libraryData.clear();
  if (s.hiddenOwner != nullptr) DestroyWindow(s.hiddenOwner);
  s.hiddenOwner = nullptr;
  if (s.oleInitialized) OleUninitialize();
  s.oleInitialized = false;
}

}  // namespace detail

namespace {

// The idle phase: callbacks from the last to the first, then the windows'
// idle turns until none wants another.
void RunIdlePhase() {
  detail::RuntimeState& s = detail::State();
  const auto began = std::chrono::steady_clock::now();
  MSG message;
  for (int32_t count = 0; !PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE); ++count) {
    for (size_t i = s.idleCallbacks.size(); i-- > 0;) {
      if (i >= s.idleCallbacks.size()) continue;  // a routine removed entries
      detail::IdleCallback callback = s.idleCallbacks[i];
      if (IsWindow(callback.window))
        callback.routine(callback.argument);
      else
        s.idleCallbacks.erase(s.idleCallbacks.begin() + static_cast<ptrdiff_t>(i));
    }
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - began);
    bool more = s.windowEngine != nullptr &&
                s.windowEngine->Idle(count, static_cast<uint32_t>(elapsed.count()));
    if (!more) return;
  }
}

}  // namespace

void ExitProgram(int32_t exitCode) {
  detail::Shutdown(exitCode);
  ExitProcess(static_cast<UINT>(exitCode));
}

void ShutdownRuntime(int32_t exitCode) {
  detail::Shutdown(exitCode);
}

void LoadStartWindow(uint32_t windowId) {
  ReportingExhaustion([&] {
    WindowEngine* engine = detail::State().windowEngine;
    if (engine == nullptr || !engine->LoadWindow(windowId)) detail::ReportGbk("载入启动窗口失败");
  });
}

namespace {
void PumpMessages() {
  detail::RuntimeState& s = detail::State();
  s.loopEntered = true;
  if (s.windowEngine == nullptr || !s.windowEngine->AnyWindowAlive()) return;
  for (;;) {
    RunIdlePhase();
    MSG message;
    do {
      if (GetMessageA(&message, nullptr, 0, 0) <= 0) return;  // the quit message
      if (!PreTranslateRuntimeMessage(&message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
    } while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
  }
}
}  // namespace

// No exception may leave the loop into program code: running out of memory
// inside a handler or a window procedure ends in the runtime's report.
void RunMessageLoop() {
  ReportingExhaustion(PumpMessages);
}

void AddIdleCallback(HWND window, IdleRoutine routine, intptr_t argument) {
  detail::State().idleCallbacks.push_back({window, routine, argument});
}

HWND HiddenOwnerWindow() {
  return detail::State().hiddenOwner;
}

EventSource CurrentEventSource() {
  return detail::State().eventSource;
}

void SetCurrentEventSource(EventSource source) {
  detail::State().eventSource = source;
}

bool EventsSuppressed() {
  return detail::State().eventSuppression > 0;
}

}  // namespace molvane
