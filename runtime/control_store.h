// A window engine that keeps controls and their properties in memory, with a
// headless native window per control. The batch converter and the tests use
// it where the real window engine would stand.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>

#include "runtime/runtime.h"

namespace molvane {

class MemoryControlStore : public WindowEngine {
 public:
  ~MemoryControlStore() override;

  void AddWindow(uint32_t windowId);
  // Adds a control with a native window; the listed property indexes hold
  // texts, every other index an integer.
  HWND AddControl(uint32_t windowId, uint32_t controlId, std::set<int32_t> textProperties);
  // Destroys a control's native window, as when it is not created yet.
  void DropNativeWindow(uint32_t windowId, uint32_t controlId);

  void SetText(uint32_t windowId, uint32_t controlId, int32_t index, std::string gbk);
  std::string Text(uint32_t windowId, uint32_t controlId, int32_t index) const;
  // Moves a text out of the store, leaving the property empty.
  std::string TakeText(uint32_t windowId, uint32_t controlId, int32_t index);
  void SetInteger(uint32_t windowId, uint32_t controlId, int32_t index, int64_t value);
  int64_t Integer(uint32_t windowId, uint32_t controlId, int32_t index) const;
  HWND NativeWindow(uint32_t windowId, uint32_t controlId) const;

  int64_t ReadProperty(uint32_t windowId, uint32_t controlId, int32_t index,
                       int32_t extra) override;
  void WriteProperty(uint32_t windowId, uint32_t controlId, int32_t index, int32_t extra,
                     uint64_t value) override;
  HWND LookupControl(uint32_t windowId, uint32_t controlId) override;
  bool LoadWindow(uint32_t windowId) override;
  void RunMessageLoop() override {}

 private:
  struct Control {
    HWND window = nullptr;
    std::set<int32_t> textProperties;
    std::map<int32_t, std::string> texts;
    std::map<int32_t, int64_t> integers;
  };
  using Key = std::pair<uint32_t, uint32_t>;
  // Reports the runtime's property failures for a missing window or control.
  Control& Find(uint32_t windowId, uint32_t controlId, int32_t index);

  std::set<uint32_t> windows_;
  std::map<Key, Control> controls_;
};

}  // namespace molvane
