// SPDX-License-Identifier: GPL-3.0-or-later
// Reading stored templates and settings: the reader stops at the end of the
// data, records are walked and rewritten in place, TypeData versions count.
#include <gtest/gtest.h>

#include "tools/template_compiler/window_template.h"
#include "window/template.h"
#include "window/unit.h"

namespace molvane::window {
namespace {

std::string Compile(const std::string& description) {
  tools::CompiledTemplates out;
  std::string error;
  EXPECT_TRUE(tools::CompileWindowTemplates(description, 8, out, error)) << error;
  return out.bytes;
}

// The one window of a compiled description, as the reader gives it.
WindowTemplate ReadOnlyWindow(const std::string& description) {
  const std::string bytes = Compile(description);
  std::vector<WindowTemplate> read;
  EXPECT_TRUE(ReadTemplates(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &read));
  EXPECT_EQ(read.size(), 1u);
  return read.empty() ? WindowTemplate{} : read[0];
}

const char kTwoUnits[] =
    "window 0x52000001\nreserved 1 2\ntexts \"a\" \"bc\"\n"
    "unit 0x06000001 window \"\"\n  place 0 0 10 10\n"
    "unit 0x16000002 Button b\n  tag \"x\"\n  place 1 2 3 4\n  flags visible tabstop\n"
    "  on 0 R\n  data\n    word 1\n"
    "unit 0x16000003 Button c\n  place 5 6 7 8\n";

TEST(TemplateReaderTest, ReadsEveryFieldAndFailsOnEveryCut) {
  const std::string bytes = Compile(kTwoUnits);
  std::vector<WindowTemplate> read;
  ASSERT_TRUE(ReadTemplates(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &read));
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].windowId, 0x52000001u);
  EXPECT_EQ(read[0].reserved[1], 2u);
  EXPECT_EQ(read[0].text2, "bc");
  EXPECT_EQ(read[0].unitCount, 3u);
  // Each shorter copy lies in a buffer of its own size, so a read past its
  // end would be caught by the address sanitizer.
  for (size_t length = 0; length < bytes.size(); ++length) {
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(length));
    std::vector<WindowTemplate> partial;
    EXPECT_FALSE(ReadTemplates(cut.data(), cut.size(), &partial)) << length;
  }
}

// Two records over the same bytes would write each other's object slots.
TEST(TemplateReaderTest, RecordsSharingBytesAreRefused) {
  WindowTemplate window = ReadOnlyWindow(kTwoUnits);
  UnitList units(&window.units, window.unitCount);
  ASSERT_TRUE(units.Valid());
  const size_t offsets = 4 * size_t{window.unitCount};
  units.SetWord(offsets + 8, units.Word(offsets + 4));  // record 2 at record 1
  EXPECT_FALSE(units.Valid());
  units.SetWord(offsets + 8, units.Word(offsets + 4) + 4);  // inside record 1
  EXPECT_FALSE(units.Valid());
}

// The loader makes record 0 first as the window; a menu item there would
// leave the controls without a parent.
TEST(TemplateReaderTest, AListWhoseFirstUnitIsAMenuItemIsRefused) {
  WindowTemplate window = ReadOnlyWindow(kTwoUnits);
  UnitList units(&window.units, window.unitCount);
  units.SetWord(0, 0x26000001);
  ASSERT_TRUE(IsMenuItemId(units.IdAt(0)));
  EXPECT_FALSE(units.Valid());
}

TEST(TemplateReaderTest, RecordsAreFoundAndRewrittenInPlace) {
  WindowTemplate window = ReadOnlyWindow(kTwoUnits);
  UnitList units(&window.units, window.unitCount);
  ASSERT_TRUE(units.Valid());
  EXPECT_EQ(units.Find(0x06000001), 0);
  EXPECT_EQ(units.Find(0x16000003), 2);
  EXPECT_EQ(units.Find(0x10000000), -1);  // no serial number: never found
  EXPECT_EQ(units.Find(0x00000003), -1);  // no kind bits: never found
  EXPECT_EQ(units.Name(1), "b");
  EXPECT_EQ(units.Tag(1), "x");
  EXPECT_EQ(units.TypeData(1), std::string("\1\0\0\0", 4));
  EXPECT_EQ(units.CursorData(2), std::string(4, '\0'));

  units.SetTag(1, "a longer tag");
  units.SetCursorData(1, "");
  ASSERT_TRUE(units.Valid());
  EXPECT_EQ(units.Tag(1), "a longer tag");
  EXPECT_EQ(units.CursorData(1), "");
  EXPECT_EQ(units.TypeData(1), std::string("\1\0\0\0", 4));
  RecordLayout layout;
  ASSERT_TRUE(units.Layout(2, &layout));
  EXPECT_EQ(units.Word(layout.x + kLeft), 5u);  // the next record moved with it
  EXPECT_EQ(units.Word(layout.x + kHeight), 8u);

  // A body length reaching past the blob is refused, not followed.
  const size_t third = 8 * 3 + units.Word(4 * (3 + 2));  // ids, offsets, then records
  units.SetWord(third, 0xFFFF);
  EXPECT_FALSE(units.Layout(2, &layout));
  EXPECT_FALSE(units.Valid());
}

std::string Words(std::initializer_list<uint32_t> words) {
  std::string out;
  for (uint32_t w : words) PutWord(&out, w);
  return out;
}

TEST(SettingsTest, VersionsDefaultsAndRoundTrip) {
  std::vector<Setting> settings;
  ASSERT_TRUE(ReadSettings(kComboBoxLayout, "", &settings));
  EXPECT_EQ(settings[0].word, 1);    // kind: drop-down
  EXPECT_EQ(settings[11].word, -1);  // no selection
  EXPECT_EQ(settings[9].word, 0xFFFFFF);

  // Version 1 stops after the list items; version 4 is unknown.
  std::string v1 = Words({1, 2, 0, 0, 0, 0, 1, 0, 0xFFFFFF, 3, 0, 0, 0});
  v1 += std::string("\1\0", 2) + Words({2}) + "ab";
  ASSERT_TRUE(ReadSettings(kComboBoxLayout, v1, &settings));
  EXPECT_EQ(settings[11].word, 3);
  EXPECT_EQ(settings[12].bytes, std::string("\1\0\2\0\0\0ab", 8));
  EXPECT_FALSE(ReadSettings(kComboBoxLayout, Words({4}), &settings));
  EXPECT_FALSE(ReadSettings(kComboBoxLayout, v1.substr(0, v1.size() - 1), &settings));

  // What is written reads back the same, at the known version.
  ASSERT_TRUE(ReadSettings(kComboBoxLayout, v1, &settings));
  settings[1].bytes = "text";
  const std::string written = WriteSettings(kComboBoxLayout, settings);
  std::vector<Setting> again;
  ASSERT_TRUE(ReadSettings(kComboBoxLayout, written, &again));
  for (size_t k = 0; k < settings.size(); ++k) {
    EXPECT_EQ(again[k].word, settings[k].word) << k;
    EXPECT_EQ(again[k].bytes, settings[k].bytes) << k;
  }
  EXPECT_EQ(written.substr(0, 4), Words({3}));
}

}  // namespace
}  // namespace molvane::window
