// The runtime entries that program code calls, the numbered services and the
// shutdown that every end of the program goes through.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "runtime/runtime_state.h"
#include "runtime/support.h"

namespace molvane {

namespace detail {

RuntimeState g_state;

void Shutdown(int32_t exitCode) {
  RuntimeState& s = State();
  ++s.eventSuppression;
  if (s.shutdownBegun) return;  // an error inside a clean-up routine: just end
  s.shutdownBegun = true;
  // Clean-up routines may add nothing new while they run.
  std::vector<CleanupRoutine> cleanups;
  cleanups.swap(s.cleanupList);
  for (size_t i = 0; i < cleanups.size(); ++i) cleanups[i](static_cast<int32_t>(i));
  for (size_t i = 0; i < s.libraries.size(); ++i)
    if (s.libraries[i] != nullptr && s.libraries[i]->notify != nullptr)
      s.libraries[i]->notify(6, s.libraryData[i], 0);
  s.libraries.clear();
  s.libraryData.clear();
}

CommandTable g_commandTables[kMaxLibraries];

void ReportUnknownCommand(int32_t library, int32_t command) {
  char message[80];
  std::snprintf(message, sizeof message, "library %d has no command %d", library, command);
  ReportRuntimeFailure(0, message);
}

}  // namespace detail

namespace {

void Initialize(const ProgramHeader* header) {
  detail::RuntimeState& s = detail::State();
  s.heap = GetProcessHeap();
  // A front end may run the program again after its shutdown (one run per
  // piece of a long text); the new run gets a shutdown of its own.
  s.shutdownBegun = false;
  s.eventSuppression = 0;
  if (header == nullptr) return;
  s.headerWords[0] = header->mode;
  s.headerWords[1] = header->reserved;
  s.headerWords[2] = header->word8 + 1;
  if (header->constantLength > 0) {
    s.constantStart = static_cast<const char*>(header->constantStart);
    s.constantEnd = s.constantStart + header->constantLength;
  }
  s.libraries.assign(header->libraries, header->libraries + header->libraryCount);
  s.libraryData.assign(header->libraryCount, 0);
  for (uint32_t k = 0; k < header->libraryCount && k < kMaxLibraries; ++k)
    if (s.libraries[k] != nullptr) detail::g_commandTables[k] = s.libraries[k]->commands;
  for (const LibraryDescriptor* library : s.libraries)
    if (library != nullptr && library->notify != nullptr)
      library->notify(1, reinterpret_cast<intptr_t>(&RuntimeService), 0);
}

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

}  // namespace

intptr_t RuntimeService(int32_t number, intptr_t a, intptr_t b, intptr_t c) {
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
      Initialize(reinterpret_cast<const ProgramHeader*>(a));
      return 0;
    case kServiceLookupControl:
      if (s.windowEngine == nullptr) return 0;
      return reinterpret_cast<intptr_t>(
          s.windowEngine->LookupControl(static_cast<uint32_t>(a), static_cast<uint32_t>(b)));
    case kServiceLibraryAlloc:
      return reinterpret_cast<intptr_t>(AllocMemory(static_cast<size_t>(a)));
    case kServiceLibraryRealloc:
      return reinterpret_cast<intptr_t>(
          ReallocMemory(reinterpret_cast<void*>(a), static_cast<size_t>(b)));
    default:
      return 0;
  }
}

intptr_t CallService(int32_t number, intptr_t a, intptr_t b, intptr_t c) {
  return RuntimeService(number, a, b, c);
}

int64_t ReadProperty(uint32_t windowId, uint32_t controlId, int32_t index, int32_t extra) {
  WindowEngine* engine = detail::State().windowEngine;
  if (engine == nullptr)
    ReportRuntimeFailure(0, platform::Utf8ToGbk("未载入欲访问窗口组件所在的窗口").c_str());
  return engine->ReadProperty(windowId, controlId, index, extra);
}

void WriteProperty(uint32_t windowId, uint32_t controlId, int32_t index, int32_t extra,
                   uint32_t low, uint32_t high) {
  WindowEngine* engine = detail::State().windowEngine;
  if (engine == nullptr)
    ReportRuntimeFailure(0, platform::Utf8ToGbk("未载入欲访问窗口组件所在的窗口").c_str());
  engine->WriteProperty(windowId, controlId, index, extra,
                        (static_cast<uint64_t>(high) << 32) | low);
}

void ExitProgram(int32_t exitCode) {
  detail::Shutdown(exitCode);
  ExitProcess(static_cast<UINT>(exitCode));
}

void ShutdownRuntime(int32_t exitCode) {
  detail::Shutdown(exitCode);
}

void LoadStartWindow(uint32_t windowId) {
  WindowEngine* engine = detail::State().windowEngine;
  if (engine == nullptr || !engine->LoadWindow(windowId))
    ReportRuntimeFailure(0, platform::Utf8ToGbk("载入启动窗口失败").c_str());
}

void RunMessageLoop() {
  detail::RuntimeState& s = detail::State();
  s.loopEntered = true;
  if (s.windowEngine != nullptr) s.windowEngine->RunMessageLoop();
}

void InstallWindowEngine(WindowEngine* engine) {
  detail::State().windowEngine = engine;
}

}  // namespace molvane
