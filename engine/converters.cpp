// The converter slots. Each returns the empty text until its notation's
// tables and lookups are in place.
#include "engine/conversion.h"

namespace molvane {

char* CurrentBrailleConverter(char**, char**) {
  return nullptr;
}
char* DoubleSpellBrailleConverter(char**, char**) {
  return nullptr;
}
char* ShuangpinConverter(char**, char**) {
  return nullptr;
}
char* FullPinyinConverter(char**, char**) {
  return nullptr;
}
char* WubiConverter(char**, char**) {
  return nullptr;
}

}  // namespace molvane
