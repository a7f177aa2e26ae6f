// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>

#include "platform/platform.h"
#include "runtime/runtime.h"
#include "runtime/support.h"
#include "support/gbk.h"

namespace molvane {
namespace {

using testing_support::EchoMessageBoxes;

// A constant area of the test's own: two literals and a constant array.
struct TestConstants {
  char lineBreak[3];
  char word[6];
  int32_t array[4];
};
const TestConstants kConstants = {"\r\n", "hello", {1, 2, 7, 9}};

void InitializeWithTestConstants() {
  static const LibraryDescriptor* const libraries[] = {nullptr};
  static const ProgramHeader header = {
      3, 0, 0x10095, nullptr, &kConstants, sizeof kConstants, nullptr, 0, 1, libraries, 0};
  CallService(kServiceInitialize, reinterpret_cast<intptr_t>(&header));
}

class MemoryTest : public ::testing::Test {
 protected:
  void SetUp() override { InitializeWithTestConstants(); }
  // Each test leaves the runtime as it found it, so a later test in the same
  // process starts it afresh.
  void TearDown() override { ShutdownRuntime(0); }
};

TEST_F(MemoryTest, FreeIgnoresNullAndConstants) {
  FreeMemory(nullptr);
  FreeMemory(const_cast<char*>(kConstants.word));
  FreeMemory(const_cast<char*>(kConstants.word + 2));  // inside, not at the start
  char* separator = nullptr;
  AssignText(&separator, const_cast<char*>(kConstants.lineBreak));
  FreeMemory(separator);
  EXPECT_STREQ(kConstants.lineBreak, "\r\n");
  EXPECT_TRUE(IsConstantPointer(kConstants.array));
  EXPECT_FALSE(IsConstantPointer(reinterpret_cast<const char*>(&kConstants) + sizeof kConstants));
}

TEST_F(MemoryTest, ReallocOfNullAllocates) {
  void* p = ReallocMemory(nullptr, 12);
  ASSERT_NE(p, nullptr);
  std::memset(p, 0xAB, 12);
  FreeMemory(p);
}

TEST_F(MemoryTest, ReallocOfConstantCopiesAndLeavesTheConstant) {
  char* copy = static_cast<char*>(ReallocMemory(const_cast<char*>(kConstants.word), 6));
  EXPECT_FALSE(IsConstantPointer(copy));
  EXPECT_STREQ(copy, "hello");
  copy[0] = 'j';
  EXPECT_STREQ(kConstants.word, "hello");
  FreeMemory(copy);
}

TEST_F(MemoryTest, ReallocOfConstantCopiesNoMoreThanTheAreaHolds) {
  // From the last array element there are only 4 bytes to the end of the area.
  auto* copy = static_cast<int32_t*>(ReallocMemory(const_cast<int32_t*>(&kConstants.array[3]), 64));
  EXPECT_EQ(copy[0], 9);
  FreeMemory(copy);
}

TEST_F(MemoryTest, ConstantArrayIsCopiedBeforeAppending) {
  void* array = const_cast<int32_t*>(kConstants.array);  // header (1, 2), elements 7 and 9
  int32_t ten = 10;
  AppendArrayElement(&array, &ten, sizeof ten);
  EXPECT_FALSE(IsConstantPointer(array));
  EXPECT_EQ(ArrayElementCount(array), 3);
  EXPECT_EQ(IntElement(array, 1), 7);
  EXPECT_EQ(IntElement(array, 3), 10);
  EXPECT_EQ(kConstants.array[1], 2);
  FreeArray(array);
}

TEST_F(MemoryTest, SharedShortTextsAreOneCopyThatFreeingAndGrowingLeaveAlone) {
  const std::string zhong = testing_support::Gbk("中");
  char* seven = SharedShortText("7", 1);
  char* han = SharedShortText(zhong.data(), 2);
  ASSERT_NE(seven, nullptr);
  ASSERT_NE(han, nullptr);
  EXPECT_EQ(SharedShortText("7", 1), seven);
  EXPECT_STREQ(han, zhong.c_str());
  EXPECT_TRUE(IsSharedShortText(seven) && IsSharedShortText(han));
  char* zh = SharedShortText("zh", 2);
  ASSERT_NE(zh, nullptr);
  EXPECT_STREQ(zh, "zh");
  // Only one byte, a GBK lead and trail byte, or two printable ASCII
  // characters have a shared copy.
  for (const std::string& other :
       {std::string(1, '\0'), std::string("a\n"), std::string("a\x80"), std::string("\x81\x7F"),
        std::string("\x80\x40"), std::string("\xFF\x40"), std::string("abc")})
    EXPECT_EQ(SharedShortText(other.data(), other.size()), nullptr) << other;
  // Copies of such texts are the shared ones, with the shortcuts on only.
  EXPECT_EQ(CopyText("zh"), zh);
  SetShortcutsEnabled(false);
  char* own = CopyText("zh");
  EXPECT_FALSE(IsSharedShortText(own));
  EXPECT_STREQ(own, "zh");
  FreeMemory(own);
  SetShortcutsEnabled(true);

  FreeMemory(seven);
  char* grown = seven;
  AssignConcatOf(&grown, grown, "x");  // a fresh text: the shared one never grows
  EXPECT_STREQ(grown, "7x");
  char* copy = static_cast<char*>(ReallocMemory(han, 8));
  EXPECT_FALSE(IsSharedShortText(copy));
  EXPECT_STREQ(copy, zhong.c_str());
  copy[0] = 'j';
  EXPECT_STREQ(SharedShortText("7", 1), "7");
  EXPECT_STREQ(SharedShortText(zhong.data(), 2), zhong.c_str());
  FreeMemory(copy);
  FreeMemory(grown);
}

TEST_F(MemoryTest, AllocationFailureIsReported) {
  EXPECT_EXIT(
      {
        EchoMessageBoxes();
        platform::SetHeapFailureThreshold(1 << 20);
        AllocMemory(1 << 20);
      },
      ::testing::ExitedWithCode(255),
      "BOX 错误\\|运行时出错!\\\\r\\\\n\\\\r\\\\n错误信息：分配 1048576 "
      "字节内存失败!\\\\r\\\\n\\|16");
}

// A command whose container runs out of memory.
void CommandOutOfMemory(ArgRecord* result, int32_t argc, ArgRecord* args) {
  throw std::bad_alloc();
}

TEST_F(MemoryTest, NoExceptionLeavesACommandEntry) {
  EXPECT_EXIT(
      {
        EchoMessageBoxes();
        CallCoreCommand(&CommandOutOfMemory, 0, nullptr);
      },
      ::testing::ExitedWithCode(255),
      "BOX 错误\\|运行时出错!\\\\r\\\\n\\\\r\\\\n错误信息：分配 0 "
      "字节内存失败!\\\\r\\\\n\\|16");
}

TEST(RuntimeErrors, IndexZeroReportsCodeFour) {
  EXPECT_EXIT(
      {
        EchoMessageBoxes();
        void* array = NewArray(3, sizeof(char*));
        TextElement(array, 0);
      },
      ::testing::ExitedWithCode(255),
      "BOX 错误\\|运行时出错!\\\\r\\\\n\\\\r\\\\n错误代码：4\\\\r\\\\n\\\\r\\\\n"
      "错误信息：数组成员引用下标必须大于等于1\\\\r\\\\n\\|16");
}

TEST(RuntimeErrors, IndexPastTheEndReportsCodeOne) {
  EXPECT_EXIT(
      {
        EchoMessageBoxes();
        void* array = NewArray(3, sizeof(int32_t));
        IntElement(array, 4);
      },
      ::testing::ExitedWithCode(255),
      "BOX 错误\\|运行时出错!\\\\r\\\\n\\\\r\\\\n错误代码：1\\\\r\\\\n\\\\r\\\\n"
      "错误信息：数组成员引用下标超出定义范围\\\\r\\\\n\\|16");
}

TEST(RuntimeErrors, EmptyArrayChecksTheLowerBoundFirst) {
  EXPECT_EXIT(
      {
        EchoMessageBoxes();
        IntElement(NewEmptyArray(), 0);
      },
      ::testing::ExitedWithCode(255), "错误代码：4");
  EXPECT_EXIT(
      {
        EchoMessageBoxes();
        IntElement(NewEmptyArray(), 1);
      },
      ::testing::ExitedWithCode(255), "错误代码：1");
}

TEST(RuntimeErrors, CodeZeroWithoutMessageShowsOnlyTheHeadline) {
  EXPECT_EXIT(
      {
        EchoMessageBoxes();
        ReportRuntimeFailure(0, "");
      },
      ::testing::ExitedWithCode(255), "BOX 错误\\|运行时出错!\\\\r\\\\n\\\\r\\\\n\\|16");
}

void CleanupAnnounces(int32_t position) {
  static int runs = 0;
  std::fprintf(stderr, "cleanup at %d, run %d\n", position, ++runs);
}

TEST(RuntimeErrors, ShutdownRunsCleanupRoutinesOnce) {
  EXPECT_EXIT(
      {
        EchoMessageBoxes();
        CallService(kServiceRegisterCleanup, reinterpret_cast<intptr_t>(&CleanupAnnounces));
        CallService(kServiceRegisterCleanup, reinterpret_cast<intptr_t>(&CleanupAnnounces));
        ReportRuntimeError(3);
      },
      ::testing::ExitedWithCode(255), "cleanup at 0, run 1\n$");
}

TEST(RuntimeErrors, ARuntimeStartedAgainShutsDownAgain) {
  EXPECT_EXIT(
      {
        for (int run = 0; run < 2; ++run) {
          InitializeWithTestConstants();
          CallService(kServiceRegisterCleanup, reinterpret_cast<intptr_t>(&CleanupAnnounces));
          ShutdownRuntime(0);
        }
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "cleanup at 0, run 1\ncleanup at 0, run 2\n$");
}

TEST(RuntimeErrors, MessageTable) {
  EXPECT_STREQ(RuntimeErrorMessage(2), "未得到所需要的数值型数据");
  EXPECT_STREQ(RuntimeErrorMessage(11), "所提供参数的数据类型不符合要求");
  EXPECT_STREQ(RuntimeErrorMessage(0), "");
  EXPECT_STREQ(RuntimeErrorMessage(12), "");
}

TEST(RuntimeErrors, PropertiesWithoutAWindowEngineReportTheMissingWindow) {
  EXPECT_EXIT(
      {
        EchoMessageBoxes();
        ReadProperty(0x52010001, 0x16010002, 9, -1);
      },
      ::testing::ExitedWithCode(255), "错误信息：未载入欲访问窗口组件所在的窗口");
  EXPECT_EXIT(
      {
        EchoMessageBoxes();
        LoadStartWindow(0x52010001);
      },
      ::testing::ExitedWithCode(255), "错误信息：载入启动窗口失败");
}

}  // namespace
}  // namespace molvane
