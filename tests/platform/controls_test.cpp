// SPDX-License-Identifier: GPL-3.0-or-later
// EDIT, BUTTON and COMBOBOX driven through messages and the input module:
// their notifications to the parent, limits and selections.
#include "tests/platform/window_test_support.h"

namespace platform_test {
namespace {

class Controls : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    frame_ = Frame();
  }
  HWND Control(const char* cls, DWORD style, const char* text = "", int id = 5) {
    HWND control = Make(cls, WS_CHILD | WS_VISIBLE | style, frame_, id, text, {10, 10, 200, 40});
    Clear();
    return control;
  }
  DWORD SelectionOf(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return MAKELONG(static_cast<WORD>(start), static_cast<WORD>(end));
  }
  HWND frame_ = nullptr;
};

TEST_P(Controls, EditTypingInsertsAtTheCaretAndNotifiesEveryChange) {
  HWND edit = Control("EDIT", ES_AUTOHSCROLL, "xy");
  EXPECT_EQ(Text(edit), "xy");
  SendMessageA(edit, EM_SETSEL, 1, 1);
  SetFocus(edit);
  Clear();
  Input().TypeText("a中");
  Pump();
  EXPECT_EQ(Text(edit), Gbk("xa中y"));
  EXPECT_EQ(SelectionOf(edit), static_cast<DWORD>(MAKELONG(4, 4)));  // bytes
  std::vector<Message> commands = Of(frame_, WM_COMMAND);
  ASSERT_EQ(Notifications(frame_), (std::vector<WORD>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}));
  EXPECT_EQ(LOWORD(commands[1].wParam), 5);
  EXPECT_EQ(commands[1].lParam, reinterpret_cast<LPARAM>(edit));
  EXPECT_TRUE(SendMessageA(edit, EM_GETMODIFY, 0, 0));

  Clear();
  SetWindowTextA(edit, "set");
  EXPECT_EQ(Notifications(frame_), (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
  EXPECT_FALSE(SendMessageA(edit, EM_GETMODIFY, 0, 0));

  // Backspace takes a whole double-byte character; Delete the next one.
  SetWindowTextA(edit, Gbk("甲乙丙").c_str());
  SendMessageA(edit, EM_SETSEL, 4, 4);
  Input().TypeText("\b");
  Input().PressKey(VK_HOME);
  Input().PressKey(VK_DELETE);
  Pump();
  EXPECT_EQ(Text(edit), Gbk("丙"));
}

TEST_P(Controls, EditLimitCutsTypingButNotSetText) {
  HWND edit = Control("EDIT", ES_AUTOHSCROLL);
  SendMessageA(edit, EM_LIMITTEXT, 4, 0);
  EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 4);
  SetFocus(edit);
  Clear();
  Input().TypeText("ab中c");
  Pump();
  EXPECT_EQ(Text(edit), Gbk("ab中"));
  EXPECT_EQ(Notifications(frame_).back(), EN_MAXTEXT);
  SendMessageA(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("zz"));
  EXPECT_EQ(Text(edit), Gbk("ab中"));
  SetWindowTextA(edit, "longer than four");
  EXPECT_EQ(Text(edit), "longer than four");
  SendMessageA(edit, EM_LIMITTEXT, 0, 0);
  EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

TEST_P(Controls, EditSelectionCountsBytesAndCrLf) {
  HWND edit = Control("EDIT", ES_MULTILINE | ES_WANTRETURN, "");
  SetWindowTextA(edit, Gbk("一\r\n二").c_str());
  EXPECT_EQ(GetWindowTextLengthA(edit), 6);
  SendMessageA(edit, EM_SETSEL, 2, -1);
  EXPECT_EQ(SelectionOf(edit), static_cast<DWORD>(MAKELONG(2, 6)));
  SendMessageA(edit, EM_SETSEL, 5, 1);  // reversed and inside characters
  EXPECT_EQ(SelectionOf(edit), static_cast<DWORD>(MAKELONG(0, 4)));
  SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(SelectionOf(edit), static_cast<DWORD>(MAKELONG(4, 4)));
  EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 2);

  // Enter breaks a multi-line box's line; a single line ignores it.
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SetFocus(edit);
  Input().TypeText("a\nb");
  Pump();
  EXPECT_EQ(Text(edit), "a\r\nb");
  HWND single = Control("EDIT", ES_AUTOHSCROLL);
  SetFocus(single);
  Input().TypeText("a\nb");
  Pump();
  EXPECT_EQ(Text(single), "ab");
}

TEST_P(Controls, EditReadOnlyAndPasswordModes) {
  HWND edit = Control("EDIT", ES_AUTOHSCROLL, "keep");
  SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
  EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & ES_READONLY);
  SetFocus(edit);
  Clear();
  Input().TypeText("x\b");
  Pump();
  EXPECT_EQ(Text(edit), "keep");
  EXPECT_TRUE(Notifications(frame_).empty() ||
              Notifications(frame_) == (std::vector<WORD>{EN_SETFOCUS}));

  HWND password = Control("EDIT", ES_PASSWORD, "secret");
  EXPECT_EQ(SendMessageA(password, EM_GETPASSWORDCHAR, 0, 0), '*');
  SendMessageA(password, EM_SETPASSWORDCHAR, '#', 0);
  EXPECT_EQ(SendMessageA(password, EM_GETPASSWORDCHAR, 0, 0), '#');
  EXPECT_EQ(Text(password), "secret");  // the text itself is unchanged
  SendMessageA(password, EM_SETPASSWORDCHAR, 0, 0);
  EXPECT_FALSE(GetWindowLongA(password, GWL_STYLE) & ES_PASSWORD);
}

TEST_P(Controls, ButtonClicksReachTheParentOnce) {
  HWND button = Control("BUTTON", BS_PUSHBUTTON | BS_MULTILINE, "&Go", 9);
  SendMessageA(button, BM_CLICK, 0, 0);
  EXPECT_EQ(Notifications(frame_), std::vector<WORD>{BN_CLICKED});
  EXPECT_EQ(LOWORD(Of(frame_, WM_COMMAND)[0].wParam), 9);
  EXPECT_EQ(GetFocus(), button);

  Clear();
  Input().Click(button);
  Input().PressKey(VK_SPACE);
  Input().PressKey('G', platform::kAltModifier);
  Pump();
  EXPECT_EQ(Notifications(frame_), (std::vector<WORD>{BN_CLICKED, BN_CLICKED, BN_CLICKED}));

  Clear();
  EnableWindow(button, FALSE);
  SendMessageA(button, BM_CLICK, 0, 0);
  Input().Click(button);
  Pump();
  EXPECT_TRUE(Notifications(frame_).empty());
  EXPECT_EQ(SendMessageA(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
  HANDLE image = reinterpret_cast<HANDLE>(0x1234);
  EXPECT_EQ(SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image)), 0);
  EXPECT_EQ(SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(image));
}

TEST_P(Controls, GroupBoxNeverClicksNorTakesTheFocus) {
  HWND edit = Control("EDIT", ES_AUTOHSCROLL);
  HWND group = Control("BUTTON", BS_GROUPBOX | BS_CENTER, "&Frame");
  SetFocus(edit);
  Clear();
  SendMessageA(group, BM_CLICK, 0, 0);
  Input().Click(group);
  Input().PressKey('F', platform::kAltModifier);
  Pump();
  EXPECT_TRUE(Of(frame_, WM_COMMAND).empty());
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(SendMessageA(group, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
}

TEST_P(Controls, ComboBoxKeepsItemsDataAndSelection) {
  HWND combo = Control("COMBOBOX", CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL);
  for (const char* item : {"pear", "Apple", "fig"})
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  EXPECT_EQ(SendMessageA(combo, CB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("kiwi")), 1);
  EXPECT_EQ(SendMessageA(combo, CB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("x")), CB_ERR);
  ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 4);
  char text[16];
  std::vector<std::string> items;
  for (int i = 0; i < 4; ++i) {
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  EXPECT_EQ(items, (std::vector<std::string>{"Apple", "kiwi", "fig", "pear"}));
  EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXTLEN, 3, 0), 4);
  EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXTLEN, 4, 0), CB_ERR);

  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 2, 0), 2);
  EXPECT_EQ(Text(combo), "fig");
  EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 7, 0), CB_ERR);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_TRUE(Of(frame_, WM_COMMAND).empty());  // setting is not choosing

  SendMessageA(combo, CB_SETITEMDATA, 1, 77);
  SendMessageA(combo, CB_SETCURSEL, 3, 0);
  SendMessageA(combo, CB_DELETESTRING, 0, 0);
  EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 0, 0), 77);  // data moves with its item
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);     // so does the selection

  int height = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
  EXPECT_GT(height, 0);
  SendMessageA(combo, CB_SETITEMHEIGHT, 0, height + 1);
  EXPECT_EQ(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0), height + 1);
}

TEST_P(Controls, ComboBoxChoicesNotifySelectionChanges) {
  HWND combo = Control("COMBOBOX", CBS_DROPDOWNLIST);
  for (const char* item : {"one", "two", "three"})
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
  Input().ChooseItem(combo, 2);
  Pump();
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
  std::vector<WORD> codes = Notifications(frame_);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_SELCHANGE), 1);
  EXPECT_EQ(codes.back(), CBN_CLOSEUP);

  Clear();
  Input().PressKey(VK_UP);
  Input().PressKey(VK_UP);
  Input().PressKey(VK_UP);  // already at the first item
  Input().TypeText("t");    // no typing into a drop-down list: picks the next "t..."
  Pump();
  EXPECT_EQ(Notifications(frame_),
            (std::vector<WORD>{CBN_SELCHANGE, CBN_SELCHANGE, CBN_SELCHANGE}));
  EXPECT_EQ(Text(combo), "two");
}

TEST_P(Controls, DropDownKeepsItsClosedHeightAndEditLimit) {
  HWND combo =
      Make("COMBOBOX", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, frame_, 3, "", {0, 0, 100, 160});
  RECT rect;
  GetWindowRect(combo, &rect);
  EXPECT_LT(rect.bottom - rect.top, 40);
  EXPECT_EQ(rect.bottom - rect.top,
            SendMessageA(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0) +
                2 * GetSystemMetrics(SM_CYEDGE));
  SendMessageA(combo, CB_LIMITTEXT, 3, 0);
  SetFocus(combo);
  Clear();
  Input().TypeText("abcd");
  Pump();
  EXPECT_EQ(Text(combo), "abc");
  EXPECT_EQ(Notifications(frame_),
            (std::vector<WORD>{CBN_EDITUPDATE, CBN_EDITCHANGE, CBN_EDITUPDATE, CBN_EDITCHANGE,
                               CBN_EDITUPDATE, CBN_EDITCHANGE}));
  HWND simple = Make("COMBOBOX", WS_CHILD | CBS_SIMPLE, frame_, 4, "", {0, 0, 100, 160});
  GetWindowRect(simple, &rect);
  EXPECT_EQ(rect.bottom - rect.top, 160);
}

INSTANTIATE_TEST_SUITE_P(Backends, Controls, ::testing::ValuesIn(TestBackends()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace platform_test
