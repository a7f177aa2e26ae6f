#include "runtime/control_store.h"

#include <cstring>

#include "platform/platform.h"
#include "runtime/support.h"

namespace molvane {
namespace {
// The stand-in windows only need to exist and take the focus.
const char* ControlClass() {
  static const char* name = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "control";
    if (!GetClassInfoA(nullptr, wc.lpszClassName, nullptr)) RegisterClassA(&wc);
    return wc.lpszClassName;
  }();  // registered once per process, as a window class is
  return name;
}
}  // namespace

MemoryControlStore::~MemoryControlStore() {
  for (auto& [key, control] : controls_)
    if (control.window != nullptr) DestroyWindow(control.window);
}

void MemoryControlStore::AddWindow(uint32_t windowId) {
  windows_.insert(windowId);
}

HWND MemoryControlStore::AddControl(uint32_t windowId, uint32_t controlId,
                                    std::set<int32_t> textProperties) {
  Control& control = controls_[{windowId, controlId}];
  control.textProperties = std::move(textProperties);
  if (control.window == nullptr)
    control.window = CreateWindowExA(0, ControlClass(), "", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0,
                                     nullptr, nullptr, nullptr, nullptr);
  return control.window;
}

void MemoryControlStore::DropNativeWindow(uint32_t windowId, uint32_t controlId) {
  Control& control = controls_.at({windowId, controlId});
  if (control.window != nullptr) DestroyWindow(control.window);
  control.window = nullptr;
}

void MemoryControlStore::SetText(uint32_t windowId, uint32_t controlId, int32_t index,
                                 std::string gbk) {
  controls_.at({windowId, controlId}).texts[index] = std::move(gbk);
}

std::string MemoryControlStore::TakeText(uint32_t windowId, uint32_t controlId, int32_t index) {
  return std::move(controls_.at({windowId, controlId}).texts[index]);
}

std::string MemoryControlStore::Text(uint32_t windowId, uint32_t controlId, int32_t index) const {
  const Control& control = controls_.at({windowId, controlId});
  auto it = control.texts.find(index);
  return it == control.texts.end() ? std::string() : it->second;
}

void MemoryControlStore::SetInteger(uint32_t windowId, uint32_t controlId, int32_t index,
                                    int64_t value) {
  controls_.at({windowId, controlId}).integers[index] = value;
}

int64_t MemoryControlStore::Integer(uint32_t windowId, uint32_t controlId, int32_t index) const {
  const Control& control = controls_.at({windowId, controlId});
  auto it = control.integers.find(index);
  return it == control.integers.end() ? 0 : it->second;
}

HWND MemoryControlStore::NativeWindow(uint32_t windowId, uint32_t controlId) const {
  return controls_.at({windowId, controlId}).window;
}

MemoryControlStore::Control& MemoryControlStore::Find(uint32_t windowId, uint32_t controlId,
                                                      int32_t index) {
  auto it = controls_.find({windowId, controlId});
  if (windows_.count(windowId) == 0 || it == controls_.end())
    ReportRuntimeFailure(0, platform::Utf8ToGbk("未载入欲访问窗口组件所在的窗口").c_str());
  // Control-specific properties need the control's native window.
  if (index > 7 && it->second.window == nullptr)
    ReportRuntimeFailure(0, platform::Utf8ToGbk("指定窗口尚未载入").c_str());
  return it->second;
}

int64_t MemoryControlStore::ReadProperty(uint32_t windowId, uint32_t controlId, int32_t index,
                                         int32_t) {
  Control& control = Find(windowId, controlId, index);
  if (control.textProperties.count(index) != 0) {
    // A fresh text owned by the caller, or null when empty.
    const std::string& text = control.texts[index];
    char* copy = text.empty() ? nullptr : CopyText(text.c_str());
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(copy));
  }
  return control.integers[index];
}

void MemoryControlStore::WriteProperty(uint32_t windowId, uint32_t controlId, int32_t index,
                                       int32_t, uint64_t value) {
  Control& control = Find(windowId, controlId, index);
  if (control.textProperties.count(index) != 0) {
    const char* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(value));
    control.texts[index] = text == nullptr ? "" : text;  // copied; the caller keeps its buffer
  } else {
    control.integers[index] = static_cast<int64_t>(value);
  }
}

HWND MemoryControlStore::LookupControl(uint32_t windowId, uint32_t controlId) {
  auto it = controls_.find({windowId, controlId});
  return it == controls_.end() ? nullptr : it->second.window;
}

bool MemoryControlStore::LoadWindow(uint32_t windowId) {
  return windows_.count(windowId) != 0;
}

}  // namespace molvane
