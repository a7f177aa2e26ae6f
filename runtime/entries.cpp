// SPDX-License-Identifier: GPL-3.0-or-later
// The runtime entries that program code calls and the numbered services.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "runtime/runtime_state.h"
#include "runtime/support.h"

namespace molvane {

namespace detail {

RuntimeState g_state;

CommandTable g_commandTables[kMaxLibraries];

void ReportUnknownCommand(int32_t library, int32_t command) {
  char message[80];
  std::snprintf(message, sizeof message, "library %d has no command %d", library, command);
  ReportRuntimeFailure(0, message);
}

}  // namespace detail

namespace {

void MakeArrayWritable(void** variable, int32_t width) {
  void* array = *variable;
  if (!IsConstantPointer(array)) return;
  int32_t dimensions;
  std::memcpy(&dimensions, array, sizeof dimensions);
  size_t bytes = ArrayHeaderBytes(dimensions) +
                 static_cast<size_t>(ArrayElementCount(array)) * static_cast<size_t>(width);
  void* copy = AllocMemory(bytes);
  std::memcpy(copy, array, bytes);
  *variable = copy;
}

// Service 2007: a control argument must name a live control.
HWND LookupControl(uint32_t windowId, uint32_t controlId) {
  WindowEngine* engine = detail::State().windowEngine;
  HWND window = engine == nullptr ? nullptr : engine->LookupControl(windowId, controlId);
  if (window == nullptr)
    ReportRuntimeFailure(0, platform::Utf8ToGbk("指定窗口或窗口组件不存在或尚未载入").c_str());
  return window;
}

// Service 2000: the template is put back; the last window ends the loop.
void WindowGone(uint32_t windowId) {
  detail::RuntimeState& s = detail::State();
  if (s.windowEngine == nullptr) return;
  s.windowEngine->WindowGone(windowId);
  if (s.loopEntered && !s.windowEngine->AnyWindowAlive()) PostQuitMessage(0);
}

}  // namespace

namespace {

intptr_t RunService(int32_t number, intptr_t a, intptr_t b, intptr_t c) {
  detail::RuntimeState& s = detail::State();
  switch (number) {
    case kServiceMakeArrayWritable:
      MakeArrayWritable(reinterpret_cast<void**>(a), static_cast<int32_t>(b));
      return 0;
    case kServiceRegisterCleanup: {
      auto routine = reinterpret_cast<CleanupRoutine>(a);
      if (std::find(s.cleanupList.begin(), s.cleanupList.end(), routine) == s.cleanupList.end())
        s.cleanupList.push_back(routine);
      return 0;
    }
    case kServiceInitialize:
      detail::Initialize(reinterpret_cast<const ProgramHeader*>(a));
      return 0;
    case kServiceWindowGone:
      WindowGone(static_cast<uint32_t>(a));
      return 0;
    case kServiceLookupControl:
      return reinterpret_cast<intptr_t>(
          LookupControl(static_cast<uint32_t>(a), static_cast<uint32_t>(b)));
    case kServiceRaiseEvent:
      if (s.windowEngine == nullptr) return 0;
      return s.windowEngine->RaiseEvent(reinterpret_cast<EventRecord*>(a));
    case kServiceSuppressEvents:
      detail::ProcessPendingMessages();
      ++s.eventSuppression;
      return 0;
    case kServiceAllowEvents:
      detail::ProcessPendingMessages();
      if (s.eventSuppression > 0) --s.eventSuppression;
      return 0;
    case kServiceLibraryAlloc:
      return reinterpret_cast<intptr_t>(AllocMemory(static_cast<size_t>(a)));
    case kServiceLibraryRealloc:
      return reinterpret_cast<intptr_t>(
          ReallocMemory(reinterpret_cast<void*>(a), static_cast<size_t>(b)));
    default:
      return 0;
  }
}

}  // namespace

intptr_t RuntimeService(int32_t number, intptr_t a, intptr_t b, intptr_t c) {
  // A library asks for a block for every text and search result it returns;
  // AllocMemory reports running out itself, so this one needs no guard.
  if (number == kServiceLibraryAlloc)
    return reinterpret_cast<intptr_t>(AllocMemory(static_cast<size_t>(a)));
  return ReportingExhaustion([&] { return RunService(number, a, b, c); });
}

intptr_t CallService(int32_t number, intptr_t a, intptr_t b, intptr_t c) {
  return RuntimeService(number, a, b, c);
}

namespace {
WindowEngine& LoadedEngine() {
  WindowEngine* engine = detail::State().windowEngine;
  if (engine == nullptr)
    ReportRuntimeFailure(0, platform::Utf8ToGbk("未载入欲访问窗口组件所在的窗口").c_str());
  return *engine;
}
}  // namespace

int64_t ReadProperty(uint32_t windowId, uint32_t controlId, int32_t index, int32_t extra) {
  return ReportingExhaustion(
      [&] { return LoadedEngine().ReadProperty(windowId, controlId, index, extra); });
}

void WriteProperty(uint32_t windowId, uint32_t controlId, int32_t index, int32_t extra,
                   uint32_t low, uint32_t high) {
  ReportingExhaustion([&] {
    LoadedEngine().WriteProperty(windowId, controlId, index, extra,
                                 (static_cast<uint64_t>(high) << 32) | low);
  });
}

const LibraryDescriptor* RuntimeLibrary(int32_t index) {
  const auto& libraries = detail::State().libraries;
  if (index < 0 || static_cast<size_t>(index) >= libraries.size()) return nullptr;
  return libraries[static_cast<size_t>(index)];
}

bool PreTranslateRuntimeMessage(MSG* message) {
  detail::RuntimeState& s = detail::State();
  if (s.messageFilter != nullptr && s.messageFilter(s.messageFilterContext, message)) return true;
  WindowEngine* engine = s.windowEngine;
  return engine != nullptr && engine->PreTranslateMessage(message);
}

void SetMessageFilter(MessageFilter filter, void* context) {
  detail::State().messageFilter = filter;
  detail::State().messageFilterContext = context;
}

void InstallWindowEngine(WindowEngine* engine) {
  detail::State().windowEngine = engine;
}

WindowEngine* InstalledWindowEngine() {
  return detail::State().windowEngine;
}

}  // namespace molvane
