// SPDX-License-Identifier: GPL-3.0-or-later
// The window engine on templates of the tests' own: start-up failures with
// their exact reports, property rules, event binding and the close rules.
// Programs are started through the runtime's service 6, as a program does.
#include <gtest/gtest.h>

#include <vector>

#include "platform/backend.h"
#include "platform/platform.h"
#include "runtime/runtime.h"
#include "runtime/support.h"
#include "support/gbk.h"
#include "tools/template_compiler/window_template.h"
#include "window/libraries.h"

namespace molvane {
namespace {

using testing_support::EchoMessageBoxes;

constexpr uint32_t kWindow = 0x52000001;
constexpr uint32_t kWindowUnit = 0x06000001;
constexpr uint32_t kButton = 0x16000002;
constexpr uint32_t kList = 0x16000003;
constexpr uint32_t kLinked = 0x16000004;
constexpr uint32_t kEdit = 0x16000005;

// Handlers record their slot; the close handlers may answer 0.
std::vector<int> g_calls;
bool g_refuseClose = false;
template <int Slot>
bool Recorder(const int32_t*, int32_t, int32_t* returned) {
  g_calls.push_back(Slot);
  if (Slot == 2 && g_refuseClose) {
    *returned = 0;
    return true;
  }
  return false;
}
const EventHandler kHandlers[] = {Recorder<0>, Recorder<1>, Recorder<2>};

const char kWindowData[] =
    "  data\n    word 6\n    word 2\n    word 1\n    word 0xFF000000\n    word 0\n    word 1\n"
    "    word 1\n    word 1\n    word 1\n    word 0\n    word 0\n    word 1\n    word 0\n"
    "    word 0\n    word 1\n    word 0\n    word 0\n    word 0\n    word 0\n    text \"\"\n"
    "    bytes\n    bytes\n    bytes\n    text \"T\"\n    text \"\"\n";

std::string ListData(const char* version, const char* selection) {
  return std::string("  data\n    word ") + version +
         "\n    word 2\n    word 0\n    word 0\n    word 0\n    word 0\n    word 1\n    word 0\n"
         "    word 0xFFFFFF\n    word " +
         selection +
         "\n    bytes\n    bytes\n    text \"\"\n    items \"a\" \"b\" \"c\" \"d\" \"e\"\n"
         "    text \"\"\n    text \"\"\n    word 0\n";
}

// Window: close handler (slot 2) on event 12; button: slot 0 on click; a
// second button linked to the first; a list; an edit box.
std::string Description(const std::string& listData) {
  return std::string("window 0x52000001\nreserved 0 0\ntexts \"\" \"\"\n") +
         "unit 0x06000001 window \"\"\n  place 0 0 300 200\n  flags visible\n  on 12 First\n" +
         kWindowData +
         "unit 0x16000002 Button b\n  place 1 1 50 20\n  flags visible tabstop\n"
         "  on 0 Second\n  on -7 Third\n"
         "unit 0x16000003 ComboBox l\n  place 1 30 50 20\n  flags visible tabstop\n" +
         listData +
         "unit 0x16000004 Button c\n  link 0x16000002\n  place 1 60 50 20\n  flags visible\n"
         "unit 0x16000005 EditBox e\n  link 0x16000002\n  place 1 90 50 20\n  flags visible "
         "tabstop\n  on 0 Second\n"
         "unit 0x16000006 GroupBox g\n  place 60 1 50 50\n  flags visible\n";
}

struct Program {
  std::string bytes;
  ProgramHeader header;
};

// Compiles the description; handler slots in the order First (-> slot 2
// of kHandlers), Second (-> 0), ... are arranged by the routine names.
Program& Make(const std::string& description, size_t cut = 0) {
  static Program program;
  tools::CompiledTemplates out;
  out.routines = {"Second", "Third", "First"};
  std::string error;
  EXPECT_TRUE(tools::CompileWindowTemplates(description, sizeof(EventHandler), out, error))
      << error;
  program.bytes = out.bytes.substr(0, out.bytes.size() - cut);
  static const LibraryDescriptor* const libraries[] = {&window::kCoreLibrary,
                                                       &window::kUserInterfaceLibrary};
  program.header = {3,
                    0,
                    0x10095,
                    kHandlers,
                    nullptr,
                    0,
                    program.bytes.data(),
                    static_cast<uint32_t>(program.bytes.size()),
                    2,
                    libraries,
                    0};
  return program;
}

void Start(const std::string& description, size_t cut = 0) {
  platform::SetBackend(platform::CreateHeadlessBackend());
  CallService(kServiceInitialize, reinterpret_cast<intptr_t>(&Make(description, cut).header));
}

HWND Unit(uint32_t id) {
  return reinterpret_cast<HWND>(CallService(kServiceLookupControl, kWindow, id));
}

void Pump() {
  platform::Input().PumpUntilIdle([](MSG& m) { return PreTranslateRuntimeMessage(&m); });
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    g_refuseClose = false;
    Start(Description(ListData("3", "7")));
  }
  void TearDown() override { ShutdownRuntime(0); }
};

TEST(EngineStartDeathTest, TemplateCutShortIsReported) {
  // Every cut ends inside some counted part: the reader must stop there.
  for (size_t cut : {1, 40, 400}) {
    EXPECT_EXIT(
        {
          EchoMessageBoxes();
          Start(Description(ListData("3", "0")), cut);
        },
        ::testing::ExitedWithCode(255), "错误信息：载入窗口模板数据段出错!")
        << cut;
  }
}

TEST(EngineStartDeathTest, UnregisteredStartWindowIsReported) {
  EXPECT_EXIT(
      {
        EchoMessageBoxes();
        Start(Description(ListData("3", "0")));
        LoadStartWindow(0x52010001);
      },
      ::testing::ExitedWithCode(255), "错误信息：载入启动窗口失败");
}

TEST(EngineStartDeathTest, TypeDataVersionAboveTheKnownOneFailsTheLoad) {
  EXPECT_EXIT(
      {
        EchoMessageBoxes();
        Start(Description(ListData("4", "0")));
        LoadStartWindow(kWindow);
      },
      ::testing::ExitedWithCode(255), "错误信息：载入启动窗口失败");
}

TEST(EngineStartDeathTest, PropertyRulesReportTheirFailures) {
  EXPECT_EXIT(
      {
        EchoMessageBoxes();
        Start(Description(ListData("3", "0")));
        ReadProperty(0x52000009, kButton, 0, -1);
      },
      ::testing::ExitedWithCode(255), "错误信息：未载入欲访问窗口组件所在的窗口");
  EXPECT_EXIT(
      {
        EchoMessageBoxes();
        Start(Description(ListData("3", "0")));
        LoadStartWindow(kWindow);
        DestroyWindow(Unit(kList));
        ReadProperty(kWindow, kList, 19, -1);
      },
      ::testing::ExitedWithCode(255), "错误信息：指定窗口尚未载入");
}

TEST_F(EngineTest, StoredSelectionIsClampedToTheLastItem) {
  LoadStartWindow(kWindow);
  EXPECT_EQ(ReadProperty(kWindow, kList, 19, -1), 4);
  WriteProperty(kWindow, kList, 19, -1, static_cast<uint32_t>(-5), 0);
  EXPECT_EQ(ReadProperty(kWindow, kList, 19, -1), -1);
  WriteProperty(kWindow, kList, 19, -1, 2, 0);
  EXPECT_EQ(SendMessageA(Unit(kList), CB_GETCURSEL, 0, 0), 2);
}

TEST_F(EngineTest, CommonPropertiesClampAndFollowTheLiveControl) {
  // Not loaded: the record holds the values.
  WriteProperty(kWindow, kButton, 2, -1, 40000, 0);
  EXPECT_EQ(ReadProperty(kWindow, kButton, 2, -1), 32627);
  WriteProperty(kWindow, kButton, 0, -1, static_cast<uint32_t>(-40000), 0);
  EXPECT_EQ(ReadProperty(kWindow, kButton, 0, -1), -32627);
  WriteProperty(kWindow, kButton, 5, -1, 0, 0);
  EXPECT_EQ(ReadProperty(kWindow, kButton, 5, -1), 0);

  LoadStartWindow(kWindow);
  // Loading started from the record as written.
  EXPECT_FALSE(IsWindowVisible(Unit(kButton)));
  WriteProperty(kWindow, kButton, 0, -1, 7, 0);
  WriteProperty(kWindow, kButton, 3, -1, 33, 0);
  RECT rect;
  GetWindowRect(Unit(kButton), &rect);
  EXPECT_EQ(rect.bottom - rect.top, 33);
  EXPECT_EQ(ReadProperty(kWindow, kButton, 0, -1), 7);
  EXPECT_EQ(ReadProperty(kWindow, kButton, 3, -1), 33);
  WriteProperty(kWindow, kButton, 6, -1, 1, 0);
  EXPECT_FALSE(IsWindowEnabled(Unit(kButton)));
  EXPECT_EQ(ReadProperty(kWindow, kButton, 6, -1), 1);

  // Closing puts back the records as loading found them: the writes made
  // while the window was loaded are gone, the earlier ones stay.
  SendMessageA(Unit(kWindowUnit), WM_CLOSE, 0, 0);
  EXPECT_EQ(ReadProperty(kWindow, kButton, 3, -1), 20);
  EXPECT_EQ(ReadProperty(kWindow, kButton, 6, -1), 0);
  EXPECT_EQ(ReadProperty(kWindow, kButton, 2, -1), 32627);
}

TEST_F(EngineTest, EventsReachTheirBindingsThroughLinksOfTheSameType) {
  LoadStartWindow(kWindow);
  Pump();
  g_calls.clear();
  platform::Input().Click(Unit(kButton));
  Pump();
  EXPECT_EQ(g_calls, (std::vector<int>{1, 0}));  // GotFocus, then one Clicked
  g_calls.clear();
  // The linked button uses the first button's bindings; the edit box's link
  // names another type, so its own (none for focus) apply.
  platform::Input().Click(Unit(kLinked));
  Pump();
  EXPECT_EQ(g_calls, (std::vector<int>{1, 0}));
  g_calls.clear();
  platform::Input().Click(Unit(kEdit));
  Pump();
  EXPECT_TRUE(g_calls.empty());
  EXPECT_EQ(CurrentEventSource().windowId, 0u);
  EXPECT_EQ(CurrentEventSource().unitId, kLinked);
}

TEST_F(EngineTest, ARecordedZeroCancelsTheClose) {
  LoadStartWindow(kWindow);
  Pump();
  g_refuseClose = true;
  platform::Input().CloseFromFrame(Unit(kWindowUnit));
  Pump();
  ASSERT_TRUE(IsWindow(Unit(kWindowUnit)));
  EXPECT_EQ(g_calls.back(), 2);
  g_refuseClose = false;
  platform::Input().CloseFromFrame(Unit(kWindowUnit));
  Pump();
  EXPECT_EQ(ReadProperty(kWindow, kWindowUnit, 2, -1), 300);  // the stored width again
  EXPECT_DEATH(
      {
        EchoMessageBoxes();
        CallService(kServiceLookupControl, kWindow, kButton);
      },
      "指定窗口或窗口组件不存在或尚未载入");
}

// A stored list may repeat the window's id on a control, or give a control
// the window's type; neither is the window. Destroying them must leave the
// window loaded, and closing the window must still free every unit.
TEST(EngineUnitsTest, OnlyTheWindowsOwnUnitEndsTheWindow) {
  Start(Description(ListData("3", "0")) +
        "unit 0x16000007 window w\n  place 120 1 50 50\n  flags visible\n" + kWindowData +
        "unit 0x06000001 GroupBox twin\n  place 60 60 50 50\n  flags visible\n");
  LoadStartWindow(kWindow);
  Pump();
  const HWND window = Unit(kWindowUnit);
  const HWND twin = GetDlgItem(window, 100);  // the last stored unit is made first
  ASSERT_NE(twin, nullptr);
  ASSERT_NE(twin, window);
  DestroyWindow(twin);
  DestroyWindow(Unit(0x16000007));
  Pump();
  EXPECT_EQ(Unit(kWindowUnit), window);
  EXPECT_NE(Unit(kButton), nullptr);
  platform::Input().CloseFromFrame(window);
  Pump();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(ReadProperty(kWindow, kWindowUnit, 2, -1), 300);  // the stored list is back
  ShutdownRuntime(0);
}

TEST_F(EngineTest, TheTabSequenceSkipsUnitsWithoutTabStopAndWraps) {
  LoadStartWindow(kWindow);
  Pump();
  // Equal tab orders keep the order of a scan from the last unit.
  EXPECT_EQ(GetFocus(), Unit(kEdit));
  platform::Input().PressKey(VK_TAB);
  Pump();
  EXPECT_EQ(GetFocus(), Unit(kList));
  platform::Input().PressKey(VK_TAB);
  Pump();
  EXPECT_EQ(GetFocus(), Unit(kButton));
  platform::Input().PressKey(VK_TAB);
  Pump();
  EXPECT_EQ(GetFocus(), Unit(kEdit));
  // Esc closes a window whose setting says so.
  HWND window = Unit(kWindowUnit);
  platform::Input().PressKey(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(IsWindow(window));
}

// Fonts are read and written field by field; a face that cannot be one
// becomes the default face.
TEST_F(EngineTest, FontFieldsConvertBothWays) {
  constexpr uint32_t kGroup = 0x16000006;
  LoadStartWindow(kWindow);
  WriteProperty(kWindow, kGroup, 12, 0, 3700, 0);  // angle, modulo a full turn
  EXPECT_EQ(ReadProperty(kWindow, kGroup, 12, 0), 100);
  WriteProperty(kWindow, kGroup, 12, 1, 1, 0);
  EXPECT_EQ(ReadProperty(kWindow, kGroup, 12, 1), 1);
  WriteProperty(kWindow, kGroup, 12, 5, 12, 0);
  EXPECT_EQ(ReadProperty(kWindow, kGroup, 12, 5), 12);
  const std::string tooLong(40, 'x');
  WriteProperty(kWindow, kGroup, 12, 6,
                static_cast<uint32_t>(reinterpret_cast<uintptr_t>(tooLong.c_str())),
                static_cast<uint32_t>(reinterpret_cast<uintptr_t>(tooLong.c_str()) >> 32));
  char* face = reinterpret_cast<char*>(static_cast<intptr_t>(ReadProperty(kWindow, kGroup, 12, 6)));
  EXPECT_EQ(testing_support::Utf8(face), "宋体");
  FreeMemory(face);
  // All seven fields at once: a fresh record the caller frees.
  struct Record {
    int32_t fields[6];
    char* face;
  };
  auto* record =
      reinterpret_cast<Record*>(static_cast<intptr_t>(ReadProperty(kWindow, kGroup, 12, -1)));
  EXPECT_EQ(record->fields[0], 100);
  EXPECT_EQ(record->fields[1], 1);
  EXPECT_EQ(record->fields[5], 12);
  FreeMemory(record->face);
  FreeMemory(record);
}

// A write that only creation applies re-creates the control in place; Enter
// then clicks the first default button.
TEST_F(EngineTest, RecreatedDefaultButtonTakesEnter) {
  LoadStartWindow(kWindow);
  Pump();
  HWND before = Unit(kButton);
  const LONG_PTR id = GetWindowLongPtrA(before, GWLP_ID);
  WriteProperty(kWindow, kButton, 9, -1, 1, 0);  // kind: default button
  HWND after = Unit(kButton);
  ASSERT_NE(after, before);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_EQ(GetWindowLongPtrA(after, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongPtrA(after, GWLP_ID), id);
  EXPECT_EQ(GetWindow(after, GW_HWNDNEXT), Unit(kList));  // same place in the z-order
  g_calls.clear();
  platform::Input().Click(Unit(kEdit));
  platform::Input().PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(g_calls, (std::vector<int>{0}));
}

}  // namespace
}  // namespace molvane
