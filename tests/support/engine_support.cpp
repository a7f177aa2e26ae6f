// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/engine_support.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "runtime/runtime.h"
#include "ui/program.h"

namespace molvane::test {

namespace {
// The program-level variables exist for the whole test process, as they do
// for the program's whole run; the shutdown's clean-up releases them.
class ProgramEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { StartProgram(); }
  void TearDown() override { ShutdownRuntime(0); }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ProgramEnvironment);
}  // namespace

std::string Gbk(const std::string& utf8) {
  return platform::Utf8ToGbk(utf8);
}
std::string Utf8(const std::string& gbk) {
  return platform::GbkToUtf8(gbk);
}

std::string Convert(Converter converter, const std::string& input, const std::string& separator) {
  std::string in = Gbk(input), sep = Gbk(separator);
  const std::string inBefore = in, sepBefore = sep;
  char* inText = in.data();
  char* sepText = sep.data();
  char* out = converter(&inText, &sepText);
  // Both arguments are only read.
  EXPECT_EQ(inText, in.data());
  EXPECT_EQ(sepText, sep.data());
  EXPECT_EQ(in, inBefore);
  EXPECT_EQ(sep, sepBefore);
  if (out == nullptr) return "<null>";
  std::string result = Utf8(out);
  FreeMemory(out);
  return result;
}

}  // namespace molvane::test
