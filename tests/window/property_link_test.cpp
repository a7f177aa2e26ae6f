// SPDX-License-Identifier: GPL-3.0-or-later
// Program code reads and writes unit properties by number; the numbers it
// uses must name, in the unit type's table, the property it means, carried
// the way it reads or writes it.
#include <gtest/gtest.h>

#include "engine/conversion.h"
#include "ui/program.h"
#include "window/libraries.h"
#include "window/unit.h"
#include "window/unit_properties.h"

namespace molvane {
namespace {

using window::DataType;
using window::PropertyIndex;

// The data type of a property of a type, found the way the engine finds it:
// the library by the type id's high word, the type by its low word.
DataType DataTypeOf(uint32_t typeId, int32_t index) {
  const LibraryDescriptor& library =
      typeId >> 16 == 1 ? window::kCoreLibrary : window::kUserInterfaceLibrary;
  const UnitTypeDescriptor& type = library.unitTypes[(typeId & 0xFFFF) - 1];
  EXPECT_LT(static_cast<uint32_t>(index), type.propertyCount);
  return static_cast<DataType>(type.properties[index].dataType);
}

TEST(PropertyLink, ProgramCodeNumbersNameThePropertiesTheyMean) {
  EXPECT_EQ(kEditBoxContent, PropertyIndex(window::kEditContent));
  EXPECT_EQ(DataTypeOf(window::kEditBoxType, kEditBoxContent), DataType::kText);

  EXPECT_EQ(kRichEditContent, PropertyIndex(window::kRichContent));
  EXPECT_EQ(DataTypeOf(window::kRichEditType, kRichEditContent), DataType::kText);

  EXPECT_EQ(kCurrentSelection, PropertyIndex(window::kComboSelection));
  EXPECT_EQ(DataTypeOf(window::kComboBoxType, kCurrentSelection), DataType::kInteger);

  EXPECT_EQ(kEscapeClosesWindow, PropertyIndex(window::kWindowEscCloses));
  EXPECT_EQ(DataTypeOf(window::kWindowType, kEscapeClosesWindow), DataType::kLogical);
}

}  // namespace
}  // namespace molvane
