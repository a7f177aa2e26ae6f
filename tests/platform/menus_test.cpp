// SPDX-License-Identifier: GPL-3.0-or-later
// Menu bars, the keyboard walk through them, accelerators, and files
// dropped on a window: item state through the Win32 calls and the messages
// a window receives, in order, as Windows' own menu tests list them.
#include <algorithm>
#include <ostream>

#include "tests/platform/window_test_support.h"

namespace platform_test {
namespace {

using S = Seen;

constexpr UINT kOpen = 101, kSave = 102, kExit = 103;
constexpr UINT kWords = 201, kNone = 211, kMarks = 212, kDigits = 213;
constexpr UINT kAbout = 301;

// One message of the menu loop as the frame hears it, in the manner of
// Windows' own message-sequence tests; kAny leaves wParam uncompared.
constexpr WPARAM kAny = ~WPARAM{0};
struct Heard {
  UINT message;
  WPARAM wParam;
  bool operator==(const Heard& other) const {
    return message == other.message &&
           (wParam == kAny || other.wParam == kAny || wParam == other.wParam);
  }
};
std::ostream& operator<<(std::ostream& out, const Heard& h) {
  return out << "{0x" << std::hex << h.message << ", 0x" << h.wParam << std::dec << "}";
}
const UINT kLoopMessages[] = {WM_ENTERMENULOOP,   WM_INITMENU,     WM_MENUSELECT, WM_INITMENUPOPUP,
                              WM_UNINITMENUPOPUP, WM_EXITMENULOOP, WM_COMMAND};

// Alt+F: the loop starts, File is hot and opens with its first item hot.
const std::vector<Heard> kAltFOpensFile = {{WM_ENTERMENULOOP, FALSE},
                                           {WM_INITMENU, kAny},
                                           {WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP | MF_HILITE)},
                                           {WM_INITMENUPOPUP, kAny},
                                           {WM_MENUSELECT, MAKEWPARAM(kOpen, MF_HILITE)}};
// Down, Down (past the separator), Up, Up, Up (round the top), Enter on Exit.
const std::vector<Heard> kWalkToExitAndChooseIt = {
    {WM_MENUSELECT, MAKEWPARAM(kSave, MF_HILITE | MF_GRAYED)},
    {WM_MENUSELECT, MAKEWPARAM(kExit, MF_HILITE)},
    {WM_MENUSELECT, MAKEWPARAM(kSave, MF_HILITE | MF_GRAYED)},
    {WM_MENUSELECT, MAKEWPARAM(kOpen, MF_HILITE)},
    {WM_MENUSELECT, MAKEWPARAM(kExit, MF_HILITE)},
    {WM_UNINITMENUPOPUP, kAny},
    {WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF)},
    {WM_EXITMENULOOP, FALSE},
    {WM_COMMAND, MAKEWPARAM(kExit, 0)}};
// The pointer opens Help and clicks About.
const std::vector<Heard> kClickAbout = {{WM_ENTERMENULOOP, FALSE},
                                        {WM_INITMENU, kAny},
                                        {WM_MENUSELECT, MAKEWPARAM(2, MF_POPUP | MF_HILITE)},
                                        {WM_INITMENUPOPUP, kAny},
                                        {WM_UNINITMENUPOPUP, kAny},
                                        {WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF)},
                                        {WM_EXITMENULOOP, FALSE},
                                        {WM_COMMAND, MAKEWPARAM(kAbout, 0)}};

class Menus : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    frame_ = Frame();
    edit_ = Make("EDIT", WS_CHILD | WS_VISIBLE, frame_, 5, "", {10, 10, 200, 40});
    file_ = CreatePopupMenu();
    AppendMenuA(file_, MF_STRING, kOpen, "&Open\tCtrl+O");
    AppendMenuA(file_, MF_STRING | MF_GRAYED, kSave, "&Save");
    AppendMenuA(file_, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file_, MF_STRING, kExit, "E&xit");
    options_ = CreatePopupMenu();
    AppendMenuA(options_, MF_STRING | MF_CHECKED, kWords, "&Words");
    tones_ = CreatePopupMenu();
    AppendMenuA(tones_, MF_STRING, kNone, "&None");
    AppendMenuA(tones_, MF_STRING, kMarks, "&Marks");
    AppendMenuA(tones_, MF_STRING, kDigits, "&Digits");
    AppendMenuA(options_, MF_POPUP, reinterpret_cast<UINT_PTR>(tones_), "&Tones");
    help_ = CreatePopupMenu();
    AppendMenuA(help_, MF_STRING, kAbout, "&About");
    bar_ = CreateMenu();
    AppendMenuA(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(file_), "&File");
    AppendMenuA(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(options_), "&Options");
    AppendMenuA(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(help_), "&Help");
    ASSERT_TRUE(SetMenu(frame_, bar_));
    SetFocus(edit_);
    Pump();
    Clear();
  }

  std::vector<WPARAM> Commands() const {
    std::vector<WPARAM> commands;
    for (const Message& m : Of(frame_, WM_COMMAND))
      if (m.lParam == 0) commands.push_back(m.wParam);  // not a control's notification
    return commands;
  }
  std::vector<Heard> Loop() const {
    std::vector<Heard> heard;
    for (const Message& m : Log()) {
      bool loop = std::find(std::begin(kLoopMessages), std::end(kLoopMessages), m.message) !=
                  std::end(kLoopMessages);
      if (m.window == frame_ && loop && (m.message != WM_COMMAND || m.lParam == 0))
        heard.push_back({m.message, m.wParam});
    }
    return heard;
  }
  bool Hot(HMENU menu, int position) const {
    return (GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_HILITE) != 0;
  }

  HWND frame_ = nullptr, edit_ = nullptr;
  HMENU bar_ = nullptr, file_ = nullptr, options_ = nullptr, tones_ = nullptr, help_ = nullptr;
};

TEST_P(Menus, ItemStatesAreReadAndChangedByCommandAnywhereOrByPosition) {
  EXPECT_EQ(GetMenuItemCount(bar_), 3);
  EXPECT_EQ(GetSubMenu(bar_, 1), options_);
  EXPECT_EQ(GetMenuItemID(bar_, 1), static_cast<UINT>(-1));  // a popup has no command
  EXPECT_EQ(GetMenuItemID(file_, 3), kExit);
  // A popup's state carries its item count in the high byte.
  EXPECT_EQ(GetMenuState(bar_, 1, MF_BYPOSITION), (2u << 8) | MF_POPUP);
  EXPECT_EQ(GetMenuState(bar_, kSave, MF_BYCOMMAND), MF_GRAYED);  // found inside a popup
  EXPECT_EQ(GetMenuState(bar_, 2, MF_BYPOSITION | 0), (1u << 8) | MF_POPUP);
  EXPECT_EQ(GetMenuState(bar_, 999, MF_BYCOMMAND), static_cast<UINT>(-1));
  char text[32];
  EXPECT_EQ(GetMenuStringA(bar_, kOpen, text, sizeof text, MF_BYCOMMAND), 12);
  EXPECT_STREQ(text, "&Open\tCtrl+O");

  // Check and enable answer the previous state, -1 for no such item.
  EXPECT_EQ(CheckMenuItem(bar_, kWords, MF_BYCOMMAND | MF_UNCHECKED), MF_CHECKED);
  EXPECT_EQ(CheckMenuItem(bar_, kWords, MF_BYCOMMAND | MF_UNCHECKED), MF_UNCHECKED);
  EXPECT_EQ(CheckMenuItem(bar_, 999, MF_CHECKED), static_cast<DWORD>(-1));
  EXPECT_EQ(EnableMenuItem(file_, 1, MF_BYPOSITION | MF_ENABLED), static_cast<BOOL>(MF_GRAYED));
  EXPECT_EQ(GetMenuState(file_, kSave, MF_BYCOMMAND), MF_ENABLED);
  EXPECT_EQ(EnableMenuItem(file_, 999, MF_GRAYED), -1);

  // A radio group: one bullet, the others cleared; the range must share a menu.
  EXPECT_TRUE(CheckMenuRadioItem(bar_, kNone, kDigits, kMarks, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuState(tones_, kMarks, MF_BYCOMMAND), MF_CHECKED | MFT_RADIOCHECK);
  EXPECT_TRUE(CheckMenuRadioItem(tones_, 0, 2, 2, MF_BYPOSITION));
  EXPECT_EQ(GetMenuState(tones_, kMarks, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_EQ(GetMenuState(tones_, kDigits, MF_BYCOMMAND), MF_CHECKED | MFT_RADIOCHECK);
  EXPECT_FALSE(CheckMenuRadioItem(bar_, kOpen, kDigits, kOpen, MF_BYCOMMAND));

  // A menu cannot become its own popup; destroying a menu takes its popups along.
  EXPECT_FALSE(AppendMenuA(tones_, MF_POPUP, reinterpret_cast<UINT_PTR>(options_), "x"));
  EXPECT_FALSE(AppendMenuA(tones_, MF_POPUP, 12345, "x"));
  HMENU lone = CreateMenu();
  HMENU inner = CreatePopupMenu();
  AppendMenuA(lone, MF_POPUP, reinterpret_cast<UINT_PTR>(inner), "&In");
  EXPECT_TRUE(DestroyMenu(lone));
  EXPECT_EQ(GetMenuItemCount(inner), -1);
  EXPECT_FALSE(DestroyMenu(lone));
}

TEST_P(Menus, TheBarTakesItsHeightFromTheClientAreaAndAdjustWindowRectAgrees) {
  RECT outer{}, client{};
  GetWindowRect(frame_, &outer);
  GetClientRect(frame_, &client);
  RECT wanted = client;
  AdjustWindowRectEx(&wanted, WS_OVERLAPPEDWINDOW, TRUE, 0);
  EXPECT_EQ(wanted.right - wanted.left, outer.right - outer.left);
  EXPECT_EQ(wanted.bottom - wanted.top, outer.bottom - outer.top);

  // Taking the bar away gives its height back to the client area and says so.
  EXPECT_TRUE(SetMenu(frame_, nullptr));
  RECT without{}, outerAfter{};
  GetClientRect(frame_, &without);
  GetWindowRect(frame_, &outerAfter);
  EXPECT_EQ(without.bottom, client.bottom + GetSystemMetrics(SM_CYMENU));
  EXPECT_EQ(outerAfter.bottom - outerAfter.top, outer.bottom - outer.top);
  std::vector<Message> sizes = Of(frame_, WM_SIZE);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(HIWORD(sizes[0].lParam), without.bottom);
  EXPECT_EQ(GetMenu(frame_), nullptr);
  EXPECT_FALSE(SetMenu(edit_, bar_));  // a child has no menu bar
  DestroyMenu(bar_);
}

TEST_P(Menus, AltWithAMnemonicOpensThePopupAndEnterChoosesAnItem) {
  Input().PressKey('F', platform::kAltModifier);
  Pump();
  // The edit box hears the key and passes the system character on.
  EXPECT_EQ(Sequence({WM_SYSCHAR, WM_SYSCOMMAND}),
            (std::vector<S>{{edit_, WM_SYSCHAR}, {edit_, WM_SYSCOMMAND}}));
  EXPECT_EQ(Of(edit_, WM_SYSCOMMAND)[0].lParam, 'f');
  EXPECT_EQ(Loop(), kAltFOpensFile);
  EXPECT_EQ(Of(frame_, WM_INITMENUPOPUP)[0].wParam, reinterpret_cast<WPARAM>(file_));
  EXPECT_TRUE(Hot(bar_, 0));
  EXPECT_TRUE(Hot(file_, 0));  // opened by keyboard: the first item is hot

  // Down stops on the grayed item (hot, but it cannot be chosen) and skips
  // the separator.
  Clear();
  Input().PressKey(VK_DOWN);
  Input().PressKey(VK_DOWN);
  Pump();
  EXPECT_TRUE(Hot(file_, 3));
  EXPECT_FALSE(Hot(file_, 0));
  Input().PressKey(VK_UP);
  Input().PressKey(VK_UP);
  Input().PressKey(VK_UP);
  Input().PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(Loop(), kWalkToExitAndChooseIt);
  EXPECT_FALSE(Hot(bar_, 0));
  EXPECT_EQ(Of(edit_, WM_KEYDOWN).size(), 0u);  // the walk had the keys
}

TEST_P(Menus, AltAloneThenArrowsEscapeAndLettersWalkTheBar) {
  Input().PressKey(VK_MENU);
  Pump();
  EXPECT_EQ(Of(frame_, WM_ENTERMENULOOP).size(), 1u);
  EXPECT_TRUE(Hot(bar_, 0));
  EXPECT_EQ(Of(frame_, WM_INITMENUPOPUP).size(), 0u);  // the bar only, nothing open

  Input().PressKey(VK_RIGHT);
  Input().PressKey(VK_DOWN);  // opens Options
  Pump();
  EXPECT_TRUE(Hot(bar_, 1));
  EXPECT_TRUE(Hot(options_, 0));
  Input().PressKey(VK_DOWN);
  Input().PressKey(VK_RIGHT);  // into Tones
  Pump();
  EXPECT_TRUE(Hot(tones_, 0));
  Input().PressKey(VK_ESCAPE);  // Tones closes, Options stays
  Pump();
  EXPECT_EQ(Of(frame_, WM_UNINITMENUPOPUP).size(), 1u);
  EXPECT_TRUE(Hot(options_, 1));
  Input().PressKey(VK_RIGHT);  // on a popup item: into Tones again
  Input().PressKey(VK_LEFT);   // back out
  Input().PressKey(VK_LEFT);   // File, opened
  Pump();
  EXPECT_TRUE(Hot(bar_, 0));
  EXPECT_TRUE(Hot(file_, 0));
  Input().PressKey(VK_ESCAPE);
  Input().PressKey(VK_ESCAPE);
  Pump();
  EXPECT_EQ(Of(frame_, WM_EXITMENULOOP).size(), 1u);
  EXPECT_TRUE(Commands().empty());
  EXPECT_FALSE(Hot(bar_, 0));

  // Keys reach the focus again; a letter during a walk chooses by mnemonic.
  Input().TypeText("a");
  Pump();
  EXPECT_EQ(Text(edit_), "a");
  Input().PressKey(VK_MENU);
  Input().PressKey('O');  // Options opens
  Input().PressKey('T');  // Tones opens
  Input().PressKey('M');  // Marks is chosen
  Pump();
  EXPECT_EQ(Commands(), (std::vector<WPARAM>{MAKEWPARAM(kMarks, 0)}));
  EXPECT_EQ(Text(edit_), "a");
}

TEST_P(Menus, AGrayedItemEndsTheWalkWithoutACommand) {
  Input().PressKey('F', platform::kAltModifier);
  Input().PressKey('S');
  Pump();
  EXPECT_TRUE(Hot(file_, 1));  // hot, not chosen
  Input().PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(Of(frame_, WM_EXITMENULOOP).size(), 1u);
  EXPECT_TRUE(Commands().empty());
  // Alt with a letter no item marks opens nothing.
  Clear();
  Input().PressKey('Q', platform::kAltModifier);
  Pump();
  EXPECT_TRUE(Of(frame_, WM_INITMENUPOPUP).empty());
  Input().TypeText("b");
  Pump();
  EXPECT_EQ(Text(edit_), "b");
}

WNDPROC g_logged = nullptr;
// A window that brings its menu up to date when a popup opens.
LRESULT UpdatesOnOpen(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITMENUPOPUP)
    CheckMenuItem(reinterpret_cast<HMENU>(wParam), 0, MF_BYPOSITION | MF_CHECKED);
  if (message == WM_INITMENU) EnableMenuItem(reinterpret_cast<HMENU>(wParam), kSave, MF_ENABLED);
  return CallWindowProcA(g_logged, window, message, wParam, lParam);
}

TEST_P(Menus, ThePointerOpensAndChoosesAfterTheWindowUpdatedTheMenu) {
  g_logged = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(frame_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(UpdatesOnOpen)));
  Input().ClickMenuItem(frame_, {2, 0});
  Pump();
  EXPECT_EQ(Loop(), kClickAbout);
  EXPECT_EQ(GetMenuState(help_, 0, MF_BYPOSITION) & MF_CHECKED, MF_CHECKED);
  // Enabled on WM_INITMENU, so the click on Save counts.
  Clear();
  Input().ClickMenuItem(frame_, {0, 1});
  Pump();
  EXPECT_EQ(Commands(), (std::vector<WPARAM>{MAKEWPARAM(kSave, 0)}));
  // A nested popup opens on the way.
  Clear();
  Input().ClickMenuItem(frame_, {1, 1, 2});
  Pump();
  EXPECT_EQ(Of(frame_, WM_INITMENUPOPUP).size(), 2u);
  EXPECT_EQ(Commands(), (std::vector<WPARAM>{MAKEWPARAM(kDigits, 0)}));
}

TEST_P(Menus, AcceleratorsSendCommandsWithHighWordOneUnlessTheItemIsGrayed) {
  ACCEL keys[] = {{FVIRTKEY | FCONTROL, 'O', static_cast<WORD>(kOpen)},
                  {FVIRTKEY | FCONTROL, 'S', static_cast<WORD>(kSave)},
                  {FVIRTKEY | FCONTROL, 'N', 900}};
  HACCEL table = CreateAcceleratorTableA(keys, 3);
  ASSERT_NE(table, nullptr);
  auto translate = [&](MSG& msg) { return TranslateAcceleratorA(frame_, table, &msg) != 0; };
  Input().PressKey('O', MK_CONTROL);
  Input().PressKey('S', MK_CONTROL);  // grayed: swallowed
  Input().PressKey('N', MK_CONTROL);  // not in the menu at all
  Input().PressKey('W', MK_CONTROL);  // no such accelerator
  Input().PumpUntilIdle(translate);
  EXPECT_EQ(Commands(), (std::vector<WPARAM>{MAKEWPARAM(kOpen, 1), MAKEWPARAM(900, 1)}));
  // The window heard WM_INITMENU before each command of its menu.
  EXPECT_EQ(Sequence({WM_INITMENU, WM_COMMAND}), (std::vector<S>{{frame_, WM_INITMENU},
                                                                 {frame_, WM_COMMAND},
                                                                 {frame_, WM_INITMENU},
                                                                 {frame_, WM_COMMAND}}));
  EXPECT_TRUE(DestroyAcceleratorTable(table));
  EXPECT_FALSE(DestroyAcceleratorTable(table));
}

TEST_P(Menus, FilesDroppedOnAChildReachTheWindowThatAcceptsThem) {
  Input().DropFiles(edit_, {"/tmp/a.txt"}, {5, 5});
  Pump();
  EXPECT_TRUE(Of(frame_, WM_DROPFILES).empty());  // nobody accepts files yet

  DragAcceptFiles(frame_, TRUE);
  EXPECT_NE(GetWindowLongA(frame_, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
  Input().DropFiles(edit_, {"/tmp/a.txt", "/tmp/\xe4\xb8\xad.txt"}, {5, 6});
  Pump();
  std::vector<Message> drops = Of(frame_, WM_DROPFILES);
  ASSERT_EQ(drops.size(), 1u);
  auto drop = reinterpret_cast<HDROP>(drops[0].wParam);
  EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 2u);
  char path[64];
  EXPECT_EQ(DragQueryFileA(drop, 1, nullptr, 0), 11u);  // GBK: two bytes for the character
  EXPECT_EQ(DragQueryFileA(drop, 1, path, sizeof path), 11u);
  EXPECT_EQ(std::string(path), Gbk("/tmp/中.txt"));
  EXPECT_EQ(DragQueryFileA(drop, 0, path, 5), 4u);  // cut to the buffer
  EXPECT_STREQ(path, "/tmp");
  WCHAR wide[64];
  EXPECT_EQ(DragQueryFileW(drop, 1, wide, 64), 10u);  // UTF-16 units, every path whole
  EXPECT_EQ(std::u16string(wide), u"/tmp/中.txt");
  POINT at{};
  EXPECT_TRUE(DragQueryPoint(drop, &at));  // in the frame's client coordinates
  EXPECT_EQ(at.x, 15);
  EXPECT_EQ(at.y, 16);
  DragFinish(drop);
  EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(Backends, Menus, ::testing::ValuesIn(TestBackends()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace platform_test
