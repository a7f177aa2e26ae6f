// Fuzz target: the window-template reader and the unit-record access that the
// loader and the property routines build on. Whatever the bytes, reading
// either fails or yields records whose every field can be reached without
// touching memory outside the blob.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "window/template.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace molvane::window;
  std::vector<WindowTemplate> windows;
  if (!ReadTemplates(data, size, &windows)) return 0;
  for (WindowTemplate& window : windows) {
    UnitList units(&window.units, window.unitCount);
    if (!units.Valid()) continue;
    for (uint32_t k = 0; k < units.Count(); ++k) {
      RecordLayout layout;
      if (!units.Layout(k, &layout)) continue;
      (void)units.Find(units.IdAt(k));
      (void)units.Name(k);
      (void)units.TypeData(k);
      (void)units.CursorData(k);
      // A rewrite shifts the later records; they must stay reachable.
      units.SetTag(k, units.Tag(k) + "x");
      for (uint32_t later = k; later < units.Count(); ++later) units.Layout(later, &layout);
    }
  }
  return 0;
}
