// SPDX-License-Identifier: GPL-3.0-or-later
// The program frame around the engine: what service 6 sets up, and the end of
// the program from another thread.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/backend.h"
#include "platform/platform.h"
#include "runtime/runtime.h"
#include "support/gbk.h"
#include "tools/template_compiler/window_template.h"
#include "window/libraries.h"

namespace molvane {
namespace {

// One window of the defaults only: enough for the frame.
const ProgramHeader& Header(bool withTemplate) {
  static std::string bytes;
  tools::CompiledTemplates out;
  std::string error;
  EXPECT_TRUE(tools::CompileWindowTemplates(
      "window 0x52000001\nreserved 0 0\ntexts \"\" \"\"\nunit 0x06000001 window \"\"\n"
      "  place 0 0 100 100\n  flags visible\n",
      sizeof(EventHandler), out, error))
      << error;
  bytes = out.bytes;
  static const LibraryDescriptor* const libraries[] = {&window::kCoreLibrary,
                                                       &window::kUserInterfaceLibrary};
  static ProgramHeader header;
  header = {3,
            0,
            0x10095,
            nullptr,
            nullptr,
            0,
            bytes.data(),
            withTemplate ? static_cast<uint32_t>(bytes.size()) : 0u,
            2,
            libraries,
            0};
  return header;
}

void Start(bool withTemplate = true) {
  platform::SetBackend(platform::CreateHeadlessBackend());
  CallService(kServiceInitialize, reinterpret_cast<intptr_t>(&Header(withTemplate)));
}

TEST(FrameTest, StartUpSetsUpTheFolderAndTheHiddenOwner) {
  ASSERT_EQ(chdir("/"), 0);
  Start();
  char module[260], folder[260];
  DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
  ASSERT_GT(length, 0u);
  std::string expected(module, length);
  expected = expected.substr(0, expected.rfind('\\'));
  GetCurrentDirectoryA(sizeof folder, folder);
  EXPECT_EQ(std::string(folder), expected);

  HWND owner = HiddenOwnerWindow();
  ASSERT_TRUE(IsWindow(owner));
  EXPECT_FALSE(IsWindowVisible(owner));
  EXPECT_EQ(GetWindowLongPtrA(owner, GWL_EXSTYLE), static_cast<LONG_PTR>(WS_EX_TOOLWINDOW));
  LoadStartWindow(0x52000001);
  EXPECT_TRUE(IsWindowVisible(
      reinterpret_cast<HWND>(CallService(kServiceLookupControl, 0x52000001, 0x06000001))));
  ShutdownRuntime(0);
  EXPECT_FALSE(IsWindow(owner));
}

TEST(FrameDeathTest, NoTemplateDataMeansNoStartWindow) {
  EXPECT_EXIT(
      {
        testing_support::EchoMessageBoxes();
        Start(false);
        LoadStartWindow(0x52000001);
      },
      ::testing::ExitedWithCode(255), "错误信息：载入启动窗口失败");
}

void ReportCleanUp(int32_t) {
  std::fprintf(stderr, "clean-up ran on the GUI thread\n");
}

TEST(FrameDeathTest, ExitFromAnotherThreadRunsTheShutdownOnTheGuiThread) {
  EXPECT_EXIT(
      {
        Start();
        CallService(kServiceRegisterCleanup, reinterpret_cast<intptr_t>(&ReportCleanUp));
        LoadStartWindow(0x52000001);
        std::thread([] {
          std::this_thread::sleep_for(std::chrono::milliseconds(50));
          ExitProgram(3);
        }).detach();
        RunMessageLoop();
        _exit(9);  // not reached: the loop ends with the process
      },
      ::testing::ExitedWithCode(3), "clean-up ran on the GUI thread");
}

}  // namespace
}  // namespace molvane
