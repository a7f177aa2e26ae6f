// SPDX-License-Identifier: GPL-3.0-or-later
// The window tree through the Win32 calls: what each window receives, in
// order, when windows are made, destroyed, shown, restacked, focused and
// activated, and the geometry the style bits give.
#include "tests/platform/window_test_support.h"

namespace platform_test {
namespace {

using Windows = WindowTest;
using S = Seen;

LRESULT RefuseNcCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) return FALSE;
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT RefuseCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) return -1;
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST_P(Windows, CreationSendsItsMessagesInOrder) {
  HWND frame = Frame(WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(Sequence(),
            (std::vector<Seen>{
                {frame, WM_NCCREATE}, {frame, WM_CREATE}, {frame, WM_SIZE}, {frame, WM_MOVE}}));
  Clear();
  HWND child = Make("Logged", WS_CHILD | WS_VISIBLE, frame, 7);
  EXPECT_EQ(Sequence(), (std::vector<Seen>{{child, WM_NCCREATE},
                                           {child, WM_CREATE},
                                           {child, WM_SIZE},
                                           {child, WM_MOVE},
                                           {child, WM_SHOWWINDOW},
                                           {child, WM_WINDOWPOSCHANGING},
                                           {child, WM_WINDOWPOSCHANGED}}));
  EXPECT_EQ(GetDlgCtrlID(child), 7);
  EXPECT_EQ(GetParent(child), frame);
  EXPECT_FALSE(IsWindowVisible(child));  // its parent is still hidden

  // A visible frame is shown and activated before it hears of the change.
  Clear();
  HWND shown = Frame();
  EXPECT_EQ(Sequence({WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS,
                      WM_WINDOWPOSCHANGED}),
            (std::vector<Seen>{{shown, WM_SHOWWINDOW},
                               {shown, WM_WINDOWPOSCHANGING},
                               {shown, WM_NCACTIVATE},
                               {shown, WM_ACTIVATE},
                               {shown, WM_SETFOCUS},
                               {shown, WM_WINDOWPOSCHANGED}}));
  EXPECT_EQ(GetActiveWindow(), shown);
  EXPECT_EQ(GetFocus(), shown);
}

TEST_P(Windows, CreationFailsCleanlyWhenTheProcedureRefuses) {
  EXPECT_EQ(
      CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
      nullptr);
  HWND parent = Frame(WS_OVERLAPPEDWINDOW);
  for (WNDPROC proc : {RefuseNcCreate, RefuseCreate}) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.lpszClassName = proc == RefuseNcCreate ? "RefuseNcCreate" : "RefuseCreate";
    RegisterClassA(&wc);
    EXPECT_EQ(CreateWindowExA(0, wc.lpszClassName, "", WS_CHILD, 0, 0, 1, 1, parent, nullptr,
                              nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
  }
  // A child needs a live parent.
  EXPECT_EQ(Make("Logged", WS_CHILD, nullptr), nullptr);
  EXPECT_FALSE(RegisterClassA(nullptr));
}

TEST_P(Windows, DestructionMovesFocusFirstThenDestroysTopDownAndFreesBottomUp) {
  HWND frame = Frame();
  HWND first = Make("Logged", WS_CHILD | WS_VISIBLE, frame, 1);
  HWND second = Make("Logged", WS_CHILD | WS_VISIBLE, frame, 2);
  HWND other = Frame();
  SetFocus(first);
  ASSERT_EQ(GetFocus(), first);
  ASSERT_EQ(GetActiveWindow(), frame);
  Clear();
  EXPECT_TRUE(DestroyWindow(frame));
  EXPECT_EQ(Sequence({WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS, WM_DESTROY, WM_NCDESTROY}),
            (std::vector<Seen>{{frame, WM_ACTIVATE},
                               {other, WM_ACTIVATE},
                               {first, WM_KILLFOCUS},
                               {other, WM_SETFOCUS},
                               {frame, WM_DESTROY},
                               {first, WM_DESTROY},
                               {second, WM_DESTROY},
                               {first, WM_NCDESTROY},
                               {second, WM_NCDESTROY},
                               {frame, WM_NCDESTROY}}));
  EXPECT_FALSE(IsWindow(frame));
  EXPECT_FALSE(IsWindow(second));
  EXPECT_EQ(GetActiveWindow(), other);
  EXPECT_EQ(GetFocus(), other);
  EXPECT_FALSE(DestroyWindow(frame));

  // A focused child that goes hands the focus to its parent.
  HWND child = Make("Logged", WS_CHILD | WS_VISIBLE, other, 3);
  SetFocus(child);
  DestroyWindow(child);
  EXPECT_EQ(GetFocus(), other);
}

TEST_P(Windows, ShowAndHideFollowAncestorsAndStates) {
  HWND frame = Frame(WS_OVERLAPPEDWINDOW);
  HWND child = Make("Logged", WS_CHILD | WS_VISIBLE, frame);
  EXPECT_FALSE(IsWindowVisible(child));
  Clear();
  EXPECT_FALSE(ShowWindow(frame, SW_SHOWNA));  // was hidden
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_EQ(GetActiveWindow(), nullptr);  // 8 shows without activating
  EXPECT_TRUE(ShowWindow(frame, SW_SHOW));
  EXPECT_EQ(Of(frame, WM_SHOWWINDOW).size(), 1u);

  RECT client;
  ShowWindow(frame, SW_SHOWMAXIMIZED);
  EXPECT_TRUE(IsZoomed(frame));
  GetClientRect(frame, &client);
  EXPECT_EQ(client.right, 1280);
  EXPECT_EQ(client.bottom, 1024 - GetSystemMetrics(SM_CYCAPTION));
  EXPECT_EQ(Of(frame, WM_SIZE).back().wParam, SIZE_MAXIMIZED);
  ShowWindow(frame, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(frame));
  EXPECT_EQ(Of(frame, WM_SIZE).back().wParam, SIZE_MINIMIZED);
  ShowWindow(frame, SW_RESTORE);
  RECT rect;
  GetWindowRect(frame, &rect);
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.right, 310);
  EXPECT_EQ(Of(frame, WM_SIZE).back().wParam, SIZE_RESTORED);

  Clear();
  EXPECT_TRUE(ShowWindow(frame, SW_HIDE));
  EXPECT_EQ(Sequence({WM_SHOWWINDOW}), (std::vector<Seen>{{frame, WM_SHOWWINDOW}}));
  EXPECT_EQ(Of(frame, WM_SHOWWINDOW)[0].wParam, static_cast<WPARAM>(FALSE));
  EXPECT_FALSE(IsWindowVisible(child));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_FALSE(ShowWindow(frame, SW_HIDE));
}

TEST_P(Windows, ZOrderChangesRestackSiblingsAndKeepTopmostAbove) {
  HWND a = Frame(WS_POPUP);
  HWND b = Frame(WS_POPUP);
  HWND c = Frame(WS_POPUP);
  EXPECT_EQ(GetTopWindow(nullptr), c);  // a new top-level window goes on top
  EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), b);
  Clear();
  SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(Sequence(), (std::vector<Seen>{{c, WM_WINDOWPOSCHANGING}, {c, WM_WINDOWPOSCHANGED}}));
  EXPECT_EQ(GetWindow(a, GW_HWNDLAST), c);
  SetWindowPos(a, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_TRUE(GetWindowLongA(a, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(GetTopWindow(nullptr), a);  // still above the ordinary windows
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), c);
  SetWindowPos(c, b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), c);

  // Children keep creation order from the top; a restack moves only one.
  HWND first = Make("Logged", WS_CHILD, a, 1);
  HWND second = Make("Logged", WS_CHILD, a, 2);
  EXPECT_EQ(GetWindow(a, GW_CHILD), first);
  EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), second);
  SetWindowPos(second, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(a, GW_CHILD), second);
  EXPECT_EQ(GetDlgItem(a, 1), first);
}

TEST_P(Windows, MovingAndSizingReportOnlyWhatChanged) {
  HWND frame = Frame(WS_POPUP);
  HWND child = Make("Logged", WS_CHILD, frame, 0, "", {5, 5, 55, 25});
  Clear();
  MoveWindow(child, 15, 5, 50, 20, TRUE);
  EXPECT_EQ(Sequence({WM_SIZE, WM_MOVE}), (std::vector<Seen>{{child, WM_MOVE}}));
  EXPECT_EQ(Of(child, WM_MOVE)[0].lParam, MAKELPARAM(15, 5));
  Clear();
  SetWindowPos(child, nullptr, 0, 0, 60, 30, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(Sequence({WM_SIZE, WM_MOVE}), (std::vector<Seen>{{child, WM_SIZE}}));
  EXPECT_EQ(Of(child, WM_SIZE)[0].lParam, MAKELPARAM(60, 30));
}

// Stored templates may ask for any place and size; rectangles must stay
// computable, and the 16-bit fields of WM_MOVE and WM_SIZE true.
TEST_P(Windows, CoordinatesBeyondSixteenBitsAreClamped) {
  HWND frame = Frame(WS_POPUP);
  char logged[64];
  GetClassNameA(frame, logged, sizeof logged);
  HWND child = CreateWindowExA(0, logged, "", WS_CHILD, INT_MAX - 5, -INT_MAX, INT_MAX, INT_MAX,
                               frame, nullptr, nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  RECT rect;
  GetClientRect(child, &rect);
  EXPECT_EQ(rect.right, 32767);
  EXPECT_EQ(rect.bottom, 32767);
  Clear();
  SetWindowPos(child, nullptr, INT_MIN + 1, INT_MAX, INT_MAX, -5, SWP_NOZORDER);
  GetClientRect(child, &rect);
  EXPECT_EQ(rect.right, 32767);
  EXPECT_EQ(rect.bottom, 0);
  EXPECT_EQ(Of(child, WM_MOVE).back().lParam, MAKELPARAM(-32768, 32767));
  EXPECT_EQ(Of(child, WM_SIZE).back().lParam, MAKELPARAM(32767, 0));
}

TEST_P(Windows, NonClientAreasFollowTheStyleBits) {
  struct Case {
    DWORD style;
    DWORD exStyle;
    RECT inset;  // left, top, right, bottom
  };
  int caption = GetSystemMetrics(SM_CYCAPTION);
  const Case cases[] = {
      {WS_POPUP, 0, {0, 0, 0, 0}},
      {WS_POPUP | WS_CAPTION, 0, {3, 3 + caption, 3, 3}},
      {WS_POPUP | WS_CAPTION | WS_THICKFRAME, 0, {4, 4 + caption, 4, 4}},
      {WS_POPUP | WS_BORDER, 0, {1, 1, 1, 1}},
      {WS_POPUP, WS_EX_CLIENTEDGE, {2, 2, 2, 2}},
      {WS_POPUP, WS_EX_STATICEDGE, {1, 1, 1, 1}},
      {WS_POPUP, WS_EX_DLGMODALFRAME, {3, 3, 3, 3}},
      {WS_POPUP, WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE, {5, 5, 5, 5}},
      {WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW, {3, 3 + 15, 3, 3}},
      {WS_POPUP | WS_VSCROLL, 0, {0, 0, 16, 0}},
  };
  for (const Case& c : cases) {
    HWND window = Make("Logged", c.style, nullptr, 0, "", {100, 50, 400, 250}, c.exStyle);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 300 - c.inset.left - c.inset.right) << std::hex << c.style;
    EXPECT_EQ(client.bottom, 200 - c.inset.top - c.inset.bottom) << std::hex << c.style;
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    EXPECT_EQ(origin.x, 100 + c.inset.left);
    EXPECT_EQ(origin.y, 50 + c.inset.top);
    RECT adjusted = {0, 0, 10, 10};
    AdjustWindowRectEx(&adjusted, c.style & ~WS_VSCROLL, FALSE, c.exStyle);
    if (!(c.style & WS_VSCROLL)) {
      EXPECT_EQ(adjusted.left, -c.inset.left);
    }
  }
  // An overlapped window always has a caption.
  HWND overlapped = Frame(WS_OVERLAPPED);
  EXPECT_EQ(GetWindowLongA(overlapped, GWL_STYLE) & WS_CAPTION, static_cast<LONG>(WS_CAPTION));
}

TEST_P(Windows, PointsMapThroughNestedClientAreas) {
  HWND frame = Make("Logged", WS_POPUP | WS_CAPTION, nullptr, 0, "", {100, 100, 500, 400});
  HWND panel = Make("Logged", WS_CHILD, frame, 0, "", {10, 20, 210, 120}, WS_EX_CLIENTEDGE);
  HWND leaf = Make("Logged", WS_CHILD, panel, 0, "", {5, 6, 25, 26});
  RECT rect;
  GetWindowRect(leaf, &rect);
  int top = 100 + 3 + GetSystemMetrics(SM_CYCAPTION);
  EXPECT_EQ(rect.left, 100 + 3 + 10 + 2 + 5);
  EXPECT_EQ(rect.top, top + 20 + 2 + 6);
  POINT p{rect.left, rect.top};
  EXPECT_TRUE(ScreenToClient(leaf, &p));
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
  POINT q{0, 0};
  int delta = MapWindowPoints(leaf, frame, &q, 1);
  EXPECT_EQ(q.x, 10 + 2 + 5);
  EXPECT_EQ(q.y, 20 + 2 + 6);
  EXPECT_EQ(static_cast<SHORT>(LOWORD(delta)), 17);
}

TEST_P(Windows, ScreenSizeComesFromTheBackend) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
  if (GetParam().name != "headless") return;
  platform::SetBackend(platform::CreateHeadlessBackend({800, 600}));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
}

TEST_P(Windows, FocusMovesInWindowsOrderAndOnlyToWindowsThatCanTakeIt) {
  HWND frame = Frame();
  HWND a = Make("Logged", WS_CHILD | WS_VISIBLE, frame, 1);
  HWND b = Make("Logged", WS_CHILD | WS_VISIBLE, frame, 2);
  HWND hidden = Make("Logged", WS_CHILD, frame, 3);
  HWND disabled = Make("Logged", WS_CHILD | WS_VISIBLE | WS_DISABLED, frame, 4);
  EXPECT_EQ(SetFocus(a), frame);
  Clear();
  EXPECT_EQ(SetFocus(b), a);
  EXPECT_EQ(Log(), (std::vector<Message>{{a, WM_KILLFOCUS, reinterpret_cast<WPARAM>(b), 0},
                                         {b, WM_SETFOCUS, reinterpret_cast<WPARAM>(a), 0}}));
  Clear();
  EXPECT_EQ(SetFocus(b), b);
  EXPECT_EQ(SetFocus(hidden), nullptr);
  EXPECT_EQ(SetFocus(disabled), nullptr);
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(GetFocus(), b);

  // Disabling the focused window leaves no focus.
  EnableWindow(b, FALSE);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_FALSE(IsWindowEnabled(b));
  EXPECT_TRUE(EnableWindow(b, TRUE));  // it was disabled
}

TEST_P(Windows, FocusInAnotherWindowActivatesItFirst) {
  HWND one = Frame();
  HWND two = Frame();
  HWND inOne = Make("Logged", WS_CHILD | WS_VISIBLE, one, 1);
  ASSERT_EQ(GetActiveWindow(), two);
  Clear();
  SetFocus(inOne);
  EXPECT_EQ(Sequence({WM_NCACTIVATE, WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS}),
            (std::vector<Seen>{{two, WM_NCACTIVATE},
                               {two, WM_ACTIVATE},
                               {one, WM_NCACTIVATE},
                               {one, WM_ACTIVATE},
                               {two, WM_KILLFOCUS},
                               {one, WM_SETFOCUS},
                               {one, WM_KILLFOCUS},
                               {inOne, WM_SETFOCUS}}));
  EXPECT_EQ(Of(two, WM_ACTIVATE)[0].wParam, static_cast<WPARAM>(WA_INACTIVE));
  EXPECT_EQ(Of(two, WM_ACTIVATE)[0].lParam, reinterpret_cast<LPARAM>(one));
  EXPECT_EQ(Of(one, WM_ACTIVATE)[0].wParam, static_cast<WPARAM>(WA_ACTIVE));
  EXPECT_EQ(GetActiveWindow(), one);
  EXPECT_EQ(GetFocus(), inOne);

  // Activating back gives the focus to the activated window.
  EXPECT_EQ(SetActiveWindow(two), one);
  EXPECT_EQ(GetFocus(), two);
}

TEST_P(Windows, DefaultProcedureClosesHandlesTextAndFonts) {
  HWND frame = Frame();
  EXPECT_TRUE(SetWindowTextA(frame, Gbk("标题").c_str()));
  EXPECT_EQ(Text(frame), Gbk("标题"));
  char small[3];
  EXPECT_EQ(GetWindowTextA(frame, small, sizeof small), 2);
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageA(frame, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  EXPECT_EQ(SendMessageA(frame, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
  Clear();
  SendMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(Sequence({WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
            (std::vector<Seen>{{frame, WM_SYSCOMMAND}, {frame, WM_CLOSE}, {frame, WM_DESTROY}}));
  EXPECT_FALSE(IsWindow(frame));
}

TEST_P(Windows, ClosingFromTheFrameNeedsTheCloseCommand) {
  HWND frame = Frame();
  Input().CloseFromFrame(frame);
  Pump();
  EXPECT_FALSE(IsWindow(frame));

  HWND fixed = Frame();
  HMENU menu = GetSystemMenu(fixed, FALSE);
  EXPECT_TRUE(DeleteMenu(menu, SC_CLOSE, MF_BYCOMMAND));
  EXPECT_FALSE(DeleteMenu(menu, SC_CLOSE, MF_BYCOMMAND));
  Input().CloseFromFrame(fixed);
  Input().PressKey(VK_F4, platform::kAltModifier);
  Pump();
  EXPECT_TRUE(IsWindow(fixed));
  EXPECT_TRUE(Of(fixed, WM_CLOSE).empty());
}

LRESULT Doubling(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
WNDPROC g_original = nullptr;  // the subclassed window's own procedure
LRESULT Doubling(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) return 2 * CallWindowProcA(g_original, window, message, wParam, lParam);
  return CallWindowProcA(g_original, window, message, wParam, lParam);
}

LRESULT Answering(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return message == WM_APP ? 21 : DefWindowProcA(window, message, wParam, lParam);
}

TEST_P(Windows, WindowLongsHoldStylesDataAndTheProcedure) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = Answering;
  wc.lpszClassName = "Answering";
  wc.cbWndExtra = sizeof(LONG_PTR);
  RegisterClassA(&wc);
  WNDCLASSA found{};
  ASSERT_TRUE(GetClassInfoA(nullptr, "answering", &found));  // names ignore case
  EXPECT_EQ(found.lpfnWndProc, Answering);
  HWND window = CreateWindowExA(0, "Answering", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
  EXPECT_EQ(SendMessageA(window, WM_APP, 0, 0), 21);
  g_original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Doubling)));
  EXPECT_EQ(g_original, Answering);
  EXPECT_EQ(SendMessageA(window, WM_APP, 0, 0), 42);
  SetWindowLongPtrA(window, GWLP_USERDATA, 1234);
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 1234);
  SetWindowLongPtrA(window, 0, 99);
  EXPECT_EQ(GetWindowLongPtrA(window, 0), 99);
  EXPECT_EQ(GetWindowLongPtrA(window, 8), 0);  // beyond the extra bytes
  SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_DISABLED));
  EXPECT_FALSE(IsWindowEnabled(window));
  EXPECT_FALSE(UnregisterClassA("Answering", nullptr));  // a window still uses it
  DestroyWindow(window);
  EXPECT_TRUE(UnregisterClassA("Answering", nullptr));
}

INSTANTIATE_TEST_SUITE_P(Backends, Windows, ::testing::ValuesIn(TestBackends()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace platform_test
