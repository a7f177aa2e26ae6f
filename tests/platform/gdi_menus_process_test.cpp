// SPDX-License-Identifier: GPL-3.0-or-later
// The shared window tests of gdi.cpp, menus.cpp and process.cpp: metrics,
// colours, GDI objects with font metrics, cursors, menus,
// accelerators and the process calls of the Win32 subset.
#include <unistd.h>

#include <cstring>

#include "tests/platform/window_test_support.h"

namespace platform_test {
namespace {

using Resources = WindowTest;

TEST_P(Resources, FontsKeepTheirLogFontAndGiveTextMetrics) {
  LOGFONTA gui{};
  ASSERT_EQ(GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui),
            static_cast<int>(sizeof gui));
  EXPECT_EQ(gui.lfHeight, -12);
  EXPECT_STREQ(gui.lfFaceName, Gbk("宋体").c_str());

  LOGFONTA tall = gui;
  tall.lfHeight = -24;
  HFONT font = CreateFontIndirectA(&tall);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA small{}, large{};
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  ASSERT_TRUE(GetTextMetricsA(dc, &small));
  SelectObject(dc, font);
  ASSERT_TRUE(GetTextMetricsA(dc, &large));
  EXPECT_GE(small.tmHeight, 12);
  EXPECT_GT(large.tmHeight, small.tmHeight);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_FALSE(DeleteObject(font));
  EXPECT_TRUE(DeleteObject(GetStockObject(NULL_BRUSH)));  // stock objects stay
  EXPECT_NE(GetStockObject(NULL_BRUSH), nullptr);

  LOGBRUSH brush{};
  HBRUSH solid = CreateSolidBrush(RGB(9, 8, 7));
  GetObjectA(solid, sizeof brush, &brush);
  EXPECT_EQ(brush.lbColor, RGB(9, 8, 7));
  GetObjectA(GetStockObject(NULL_BRUSH), sizeof brush, &brush);
  EXPECT_EQ(brush.lbStyle, BS_NULL);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(240, 240, 240));
  EXPECT_GT(GetSystemMetrics(SM_CYEDGE), 0);
}

TEST_P(Resources, CursorsMenusAndAccelerators) {
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  EXPECT_NE(arrow, nullptr);
  EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);  // shared
  EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
  EXPECT_TRUE(DestroyCursor(arrow));

  HMENU bar = CreateMenu();
  EXPECT_TRUE(AppendMenuA(bar, MF_STRING, 100, "File"));
  EXPECT_EQ(GetMenuItemCount(bar), 1);
  EXPECT_TRUE(DeleteMenu(bar, 0, MF_BYPOSITION));
  EXPECT_TRUE(DestroyMenu(bar));
  EXPECT_FALSE(DestroyMenu(bar));

  HWND frame = Frame();
  ACCEL keys[] = {{FVIRTKEY | FCONTROL, 'S', 41}, {0, 'q', 42}};
  HACCEL table = CreateAcceleratorTableA(keys, 2);
  MSG press{frame, WM_KEYDOWN, 'S', 0, 0, {}};
  EXPECT_EQ(TranslateAcceleratorA(frame, table, &press), 0);  // Control is not held
  PostMessageA(frame, WM_KEYDOWN, VK_CONTROL, 1);
  MSG msg;
  PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);  // reading it notes the key as held
  EXPECT_EQ(TranslateAcceleratorA(frame, table, &press), 1);
  MSG typed{frame, WM_CHAR, 'q', 0, 0, {}};
  EXPECT_EQ(TranslateAcceleratorA(frame, table, &typed), 1);
  std::vector<Message> commands = Of(frame, WM_COMMAND);
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].wParam, MAKEWPARAM(41, 1));
  EXPECT_EQ(commands[1].wParam, MAKEWPARAM(42, 1));
  EXPECT_TRUE(DestroyAcceleratorTable(table));
}

TEST_P(Resources, ProcessCallsSpeakWindowsPaths) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  ASSERT_GT(n, 0u);
  std::string module(path, n);
  EXPECT_EQ(module.find('/'), std::string::npos);
  EXPECT_NE(module.find("platform_"), std::string::npos);  // platform_tests, platform_qt_tests
  char tiny[4];
  EXPECT_EQ(GetModuleFileNameA(nullptr, tiny, sizeof tiny), 4u);
  EXPECT_EQ(std::strlen(tiny), 3u);

  char before[PATH_MAX];
  ASSERT_NE(getcwd(before, sizeof before), nullptr);
  std::string folder = module.substr(0, module.rfind('\\') + 1);
  EXPECT_TRUE(SetCurrentDirectoryA(folder.c_str()));
  char now[MAX_PATH];
  GetCurrentDirectoryA(sizeof now, now);
  EXPECT_EQ(std::string(now) + "\\", folder);
  EXPECT_FALSE(SetCurrentDirectoryA("\\no\\such\\folder"));
  ASSERT_EQ(chdir(before), 0);

  EXPECT_EQ(OleInitialize(nullptr), S_OK);
  EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
  OleUninitialize();
  OleUninitialize();
  EXPECT_EQ(OleInitialize(nullptr), S_OK);
  OleUninitialize();
}

INSTANTIATE_TEST_SUITE_P(Backends, Resources, ::testing::ValuesIn(TestBackends()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace platform_test
