// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing the backend: the registry of backends by name, the current one
// and its input module.
#include <map>

#include "platform/core.h"
#include "platform/platform.h"

namespace platform {
namespace {

struct Registry {
  std::unique_ptr<Backend> backend;
  std::unique_ptr<InputModule> input;
  std::map<std::string, BackendFactory> factories{
      {"headless", [] { return CreateHeadlessBackend(); }}};
};
Registry& Current() {
  static Registry registry;  // one backend per process, as one display per session
  return registry;
}

}  // namespace

void SetBackend(std::unique_ptr<Backend> backend) {
  if (Current().backend) core::DestroyAllWindows();
  Current().backend = std::move(backend);
  Current().input = CreateQueueInput();
}

Backend& CurrentBackend() {
  if (!Current().backend) SetBackend(CreateHeadlessBackend());
  return *Current().backend;
}

void RegisterBackend(const std::string& name, BackendFactory factory) {
  Current().factories[name] = std::move(factory);
}

std::vector<std::string> BackendNames() {
  std::vector<std::string> names;
  for (const auto& [name, factory] : Current().factories) names.push_back(name);
  return names;
}

bool UseBackend(const std::string& name) {
  auto it = Current().factories.find(name);
  if (it == Current().factories.end()) return false;
  std::unique_ptr<Backend> backend = it->second();
  if (!backend) return false;  // it cannot run here (no display)
  SetBackend(std::move(backend));
  return true;
}

InputModule& Input() {
  CurrentBackend();
  return *Current().input;
}

void SetInputModule(std::unique_ptr<InputModule> input) {
  CurrentBackend();
  Current().input = std::move(input);
}

}  // namespace platform

namespace platform::core {
Backend& Peers() {
  return CurrentBackend();
}
}  // namespace platform::core
