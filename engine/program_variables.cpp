// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/program_variables.h"

namespace molvane {

void** HanRegex = nullptr;
void** InitialRegex = nullptr;
void** FinalRegex = nullptr;
void* ShuangpinRows = nullptr;
void* BrailleSyllables = nullptr;
void* BrailleDots = nullptr;
void* DoubleSyllables = nullptr;
void* DoubleInitialCells = nullptr;
void* DoubleFinalCells = nullptr;

}  // namespace molvane
