// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>

#include "constants/constant_area.h"
#include "tools/template_compiler/window_template.h"
#include "ui/program.h"

namespace molvane {
namespace {

uint32_t Word(const char* bytes, size_t offset) {
  uint32_t w;
  std::memcpy(&w, bytes + offset, 4);
  return w;
}

// The stored main window: one window record whose unit list holds the
// window's own unit and its nine controls in stored order.
TEST(MainWindowTemplate, CountsAndUnitOrder) {
  const ProgramHeader& header = Header();
  const char* data = static_cast<const char*>(header.templateStart);
  ASSERT_EQ(header.templateLength, 1666u);
  EXPECT_EQ(Word(data, 0), 8u);  // window table: one id, one placeholder
  EXPECT_EQ(Word(data, 4), 0x52010001u);
  EXPECT_EQ(Word(data, 12), 0x003F7F78u);
  EXPECT_EQ(Word(data, 16), 0x19010018u);
  EXPECT_EQ(Word(data, 20), 0u);  // two empty counted texts
  EXPECT_EQ(Word(data, 24), 0u);
  ASSERT_EQ(Word(data, 28), 10u);
  ASSERT_EQ(Word(data, 32), 1630u);

  const char* blob = data + 36;
  const uint32_t ids[10] = {0x06010000, 0x1601000a, 0x16010009, 0x16010008, 0x16010007,
                            0x16010006, 0x16010005, 0x16010004, 0x16010003, 0x16010002};
  size_t next = 0;
  for (uint32_t k = 0; k < 10; ++k) {
    EXPECT_EQ(Word(blob, 4 * k), ids[k]);
    EXPECT_EQ(Word(blob, 40 + 4 * k), next) << "record offsets follow one another";
    next += 4 + Word(blob, 80 + next);
  }
  EXPECT_EQ(80 + next, 1630u) << "the records fill the blob exactly";
}

// A minimal unit, laid out by hand: every field in its place.
TEST(WindowTemplateCompiler, LaysOutEveryField) {
  tools::CompiledTemplates out;
  std::string error;
  ASSERT_TRUE(tools::CompileWindowTemplates(
      "window 0x52000001\nreserved 7 8\ntexts \"a\" \"\"\n"
      "unit 0x16000002 Button b   # comment\n  place -1 2 3 4\n  flags visible tabstop\n"
      "  taborder 5\n  on -7 Second\n  on 0 First\n  data\n    word 9\n    text \"中\"\n"
      "    items \"x\"\n",
      8, out, error))
      << error;
  std::string record;
  auto word = [&record](uint32_t w) { record.append(reinterpret_cast<const char*>(&w), 4); };
  word(0x1000B);
  word(0);
  record.append(16, '\0');
  record += std::string("b\0\0", 3);
  for (uint32_t w : {0u, 0xFFFFFFFFu, 2u, 3u, 4u, 0u, 0u, 0u, 4u, 0u}) word(w);
  record += '\0';  // tag
  for (uint32_t w : {0u, 5u, 5u, 2u, 0xFFFFFFF9u, 0u, 0u, 8u}) word(w);
  record.append(20, '\0');
  word(9);
  word(2);
  record += "\xD6\xD0";
  record += std::string("\1\0\1\0\0\0x", 7);

  std::string expected;
  auto put = [&expected](uint32_t w) { expected.append(reinterpret_cast<const char*>(&w), 4); };
  for (uint32_t w : {8u, 0x52000001u, 0u, 7u, 8u, 1u}) put(w);
  expected += 'a';
  for (uint32_t w : {0u, 1u, static_cast<uint32_t>(12 + record.size()), 0x16000002u, 0u}) put(w);
  put(static_cast<uint32_t>(record.size()));
  expected += record;
  EXPECT_EQ(out.bytes, expected);
  EXPECT_EQ(out.routines, (std::vector<std::string>{"Second", "First"}));
}

TEST(WindowTemplateCompiler, NamesTheFaultyLine) {
  tools::CompiledTemplates out;
  std::string error;
  EXPECT_FALSE(tools::CompileWindowTemplates("unit 1 Button b\n", 4, out, error));
  EXPECT_EQ(error, "line 1: a window must come first");
  EXPECT_FALSE(tools::CompileWindowTemplates("window 1\nunit 2 Slider s\n", 4, out, error));
  EXPECT_EQ(error, "line 2: unknown unit type: Slider");
  EXPECT_FALSE(tools::CompileWindowTemplates("window 1\nunit 2 Button b\n  data\n  word x\n", 4,
                                             out, error));
  EXPECT_EQ(error, "line 4: not a 32-bit number: x");
  EXPECT_FALSE(tools::CompileWindowTemplates("window 1\nunit 2 Button \"€\n", 4, out, error));
  EXPECT_EQ(error, "line 2: unterminated text");
}

// Routines already in the handler table keep their slots.
TEST(WindowTemplateCompiler, SharesHandlerSlotsAcrossTemplates) {
  tools::CompiledTemplates out;
  out.routines = {"A", "B"};
  std::string error;
  ASSERT_TRUE(tools::CompileWindowTemplates("window 1\nunit 2 Button b\n on 0 B\n on 1 C\n", 8, out,
                                            error));
  EXPECT_EQ(out.routines, (std::vector<std::string>{"A", "B", "C"}));
}

}  // namespace
}  // namespace molvane
