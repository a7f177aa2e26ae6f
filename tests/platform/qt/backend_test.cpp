// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt backend under the core: windows made with CreateWindowExA get the
// widgets they stand for, text and choices made in the widgets come back as
// the messages Windows sends, and the loop's keys reach the queue before the
// widget sees them. Input is real Qt events on the offscreen platform.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "platform/qt/peers.h"
#include "platform/qt/qt_input.h"
#include "platform/qt/qt_support.h"

namespace {
using platform::qt::PeerWidget;

struct Logged {
  HWND window;
  UINT message;
  WPARAM wParam;
};
std::vector<Logged> g_log;  // what the test frame's procedure received, in order

LRESULT LogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  g_log.push_back({window, message, wParam});
  return DefWindowProcA(window, message, wParam, lParam);
}

class QtBackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::UseQtBackend();
    LoadLibraryA("RICHED20.DLL");
    WNDCLASSA frameClass{};
    frameClass.lpfnWndProc = LogProc;
    frameClass.lpszClassName = "QtTestFrame";
    RegisterClassA(&frameClass);
    frame_ = CreateWindowExA(0, "QtTestFrame", "Frame",
                             WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_DLGFRAME, 40, 30, 400,
                             300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(frame_, nullptr);
    ShowWindow(frame_, SW_SHOW);
    // Qt activates a shown window in its own time; let it settle first.
    (void)QTest::qWaitForWindowActive(PeerWidget(frame_), 1000);
    Pump();
    g_log.clear();
  }
  void TearDown() override {
    if (IsWindow(frame_)) DestroyWindow(frame_);
    platform::SetBackend(platform::CreateHeadlessBackend());
  }

  HWND Child(const char* cls, DWORD style, int id, const char* text = "") {
    HWND h = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, 10 + 30 * id, 200, 24,
                             frame_, reinterpret_cast<HMENU>(intptr_t(id)), nullptr, nullptr);
    Pump();
    return h;
  }
  static void Pump() { platform::Input().PumpUntilIdle(); }

  // A drop-down list of "a", "b", "c" with `selected` chosen.
  HWND ListOfThree(int id, int selected) {
    HWND list = Child("COMBOBOX", CBS_DROPDOWNLIST, id);
    for (const char* item : {"a", "b", "c"}) SendMessageA(list, CB_ADDSTRING, 0, LPARAM(item));
    SendMessageA(list, CB_SETCURSEL, selected, 0);
    Pump();
    return list;
  }

  // The notification codes the frame got through WM_COMMAND from `child`.
  std::vector<int> Notifications(int id) const {
    std::vector<int> codes;
    for (const Logged& l : g_log)
      if (l.message == WM_COMMAND && int(l.wParam & 0xFFFF) == id) codes.push_back(l.wParam >> 16);
    return codes;
  }

  HWND frame_ = nullptr;
};

TEST_F(QtBackendTest, EachClassGetsItsWidget) {
  HWND edit = Child("EDIT", 0, 1);
  HWND multi = Child("EDIT", ES_MULTILINE, 2);
  HWND push = Child("BUTTON", BS_PUSHBUTTON, 3, "\xD7\xAA\xBB\xBB(&Z)");  // 转换(&Z)
  HWND group = Child("BUTTON", BS_GROUPBOX | BS_CENTER, 4, "Group");
  HWND list = Child("COMBOBOX", CBS_DROPDOWNLIST, 5);
  HWND rich = Child("RichEdit20A", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 6);

  EXPECT_NE(qobject_cast<QLineEdit*>(PeerWidget(edit)), nullptr);
  EXPECT_NE(qobject_cast<QPlainTextEdit*>(PeerWidget(multi)), nullptr);
  auto* button = qobject_cast<QPushButton*>(PeerWidget(push));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), u"转换(&Z)"_qs);
  auto* box = qobject_cast<QGroupBox*>(PeerWidget(group));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  EXPECT_EQ(box->focusPolicy(), Qt::NoFocus);
  auto* combo = qobject_cast<QComboBox*>(PeerWidget(list));
  ASSERT_NE(combo, nullptr);
  EXPECT_FALSE(combo->isEditable());
  auto* editor = qobject_cast<QPlainTextEdit*>(PeerWidget(rich));
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_EQ(editor->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
  EXPECT_EQ(PeerWidget(edit)->parentWidget(), PeerWidget(frame_));
}

TEST_F(QtBackendTest, FrameFollowsTheStyleWords) {
  QWidget* top = PeerWidget(frame_);
  ASSERT_NE(top, nullptr);
  EXPECT_TRUE(top->isVisible());
  const Qt::WindowFlags flags = top->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  // No WS_THICKFRAME: the user cannot resize it.
  EXPECT_EQ(top->minimumSize(), top->maximumSize());
  // Without a window manager the core's frame metrics give the client area.
  RECT client{};
  GetClientRect(frame_, &client);
  EXPECT_EQ(top->size(), QSize(client.right, client.bottom));
  POINT origin{0, 0};
  ClientToScreen(frame_, &origin);
  EXPECT_EQ(top->geometry().topLeft(), QPoint(origin.x, origin.y));

  RECT outer{};
  GetWindowRect(frame_, &outer);
  EXPECT_EQ(outer.right - outer.left, 400);
  EXPECT_EQ(outer.bottom - outer.top, 300);
}

TEST_F(QtBackendTest, TextGoesBothWaysAndUserEditsNotify) {
  HWND edit = Child("EDIT", 0, 1);
  HWND rich = Child("RichEdit20A", ES_MULTILINE | WS_VSCROLL, 2);
  SetWindowTextA(edit, "\xD6\xD0\xB9\xFA");  // 中国
  Pump();
  EXPECT_EQ(qobject_cast<QLineEdit*>(PeerWidget(edit))->text(), u"中国"_qs);

  SendMessageA(rich, EM_SETEVENTMASK, 0, ENM_CHANGE);
  g_log.clear();
  SetFocus(rich);
  Pump();
  platform::Input().TypeText("学生\nab");
  Pump();
  EXPECT_EQ(qobject_cast<QPlainTextEdit*>(PeerWidget(rich))->toPlainText(), u"学生\nab"_qs);
  char text[64] = {};
  GetWindowTextA(rich, text, sizeof text);
  EXPECT_STREQ(text, "\xD1\xA7\xC9\xFA\r\nab");
  const std::vector<int> codes = Notifications(2);
  EXPECT_GE(std::count(codes.begin(), codes.end(), EN_CHANGE), 1);
}

TEST_F(QtBackendTest, LoopKeysReachTheQueueBeforeTheWidget) {
  HWND edit = Child("EDIT", ES_MULTILINE, 1);
  SetFocus(edit);
  Pump();
  QWidget* widget = PeerWidget(edit);
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    int vk;
  };
  for (const Case& c :
       {Case{Qt::Key_Tab, {}, VK_TAB}, Case{Qt::Key_Backtab, Qt::ShiftModifier, VK_TAB},
        Case{Qt::Key_Escape, {}, VK_ESCAPE}, Case{Qt::Key_F1, {}, VK_F1},
        Case{Qt::Key_Up, {}, VK_UP}}) {
    QTest::keyClick(widget, c.key, c.mods);
    std::vector<MSG> seen;
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) seen.push_back(msg);
    bool down = false;
    for (const MSG& m : seen) down = down || (m.message == WM_KEYDOWN && int(m.wParam) == c.vk);
    EXPECT_TRUE(down) << "key " << c.vk;
    if (c.mods & Qt::ShiftModifier) {
      ASSERT_FALSE(seen.empty());
      EXPECT_EQ(seen.front().wParam, WPARAM(VK_SHIFT));
    }
    for (const MSG& m : seen) EXPECT_EQ(m.hwnd, edit);
  }
  EXPECT_EQ(qobject_cast<QPlainTextEdit*>(widget)->toPlainText(), QString());
}

TEST_F(QtBackendTest, ClickAndChoiceNotifyOnce) {
  HWND push = Child("BUTTON", BS_PUSHBUTTON, 1, "Go");
  HWND list = ListOfThree(2, 0);
  g_log.clear();

  platform::Input().Click(push);
  Pump();
  EXPECT_EQ(Notifications(1), std::vector<int>{BN_CLICKED});
  EXPECT_EQ(GetFocus(), push);

  platform::Input().ChooseItem(list, 2);
  Pump();
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 2);
  const std::vector<int> codes = Notifications(2);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_SELCHANGE), 1)
      << ::testing::PrintToString(codes);
  EXPECT_EQ(qobject_cast<QComboBox*>(PeerWidget(list))->currentText(), u"c"_qs);
  // A choice the program makes is no user action.
  g_log.clear();
  SendMessageA(list, CB_SETCURSEL, 1, 0);
  Pump();
  EXPECT_TRUE(Notifications(2).empty());
}

// Escape in an open list chooses nothing; the core must still learn that
// the list closed, or Enter would go to the list instead of the window.
TEST_F(QtBackendTest, AListDismissedWithoutAChoiceClosesInTheCore) {
  HWND list = ListOfThree(2, 1);
  g_log.clear();
  platform::Input().Click(list);
  Pump();
  EXPECT_EQ(SendMessageA(list, CB_GETDROPPEDSTATE, 0, 0), TRUE);
  QWidget* popup = QApplication::activePopupWidget();
  ASSERT_NE(popup, nullptr);
  // The key goes where a keyboard's would: the popup's focused list.
  QTest::keyClick(popup->focusWidget() != nullptr ? popup->focusWidget() : popup, Qt::Key_Escape);
  QTest::qWait(20);
  Pump();
  EXPECT_EQ(SendMessageA(list, CB_GETDROPPEDSTATE, 0, 0), FALSE);
  std::vector<int> codes = Notifications(2);
  std::erase_if(codes, [](int code) { return code != CBN_DROPDOWN && code != CBN_CLOSEUP; });
  EXPECT_EQ(codes, (std::vector<int>{CBN_DROPDOWN, CBN_CLOSEUP}));
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 1);
  // The next click drops it again rather than closing what is not open.
  platform::Input().Click(list);
  Pump();
  EXPECT_EQ(SendMessageA(list, CB_GETDROPPEDSTATE, 0, 0), TRUE);
  if (QWidget* again = QApplication::activePopupWidget())
    QTest::keyClick(again->focusWidget() != nullptr ? again->focusWidget() : again, Qt::Key_Escape);
  QTest::qWait(20);
  Pump();
}

TEST_F(QtBackendTest, TheFrameOnlyAsksToClose) {
  platform::Input().CloseFromFrame(frame_);
  EXPECT_TRUE(PeerWidget(frame_)->isVisible());
  Pump();
  bool asked = false;
  for (const Logged& l : g_log) asked = asked || l.message == WM_CLOSE;
  EXPECT_TRUE(asked);
  // DefWindowProcA destroyed the window, and with it the widget.
  EXPECT_FALSE(IsWindow(frame_));
  EXPECT_EQ(PeerWidget(frame_), nullptr);
}

TEST_F(QtBackendTest, PostFromAnotherThreadWakesTheWait) {
  std::thread poster([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    PostMessageA(frame_, WM_USER + 7, 42, 0);
  });
  MSG msg{};
  ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
  poster.join();
  EXPECT_EQ(msg.message, UINT(WM_USER + 7));
  EXPECT_EQ(msg.wParam, WPARAM(42));
}

TEST_F(QtBackendTest, MessageBoxIsModalAndAnswersWithThePressedButton) {
  struct Case {
    UINT style;
    QMessageBox::Icon icon;
    QMessageBox::StandardButton press;
    int answer;
  };
  for (const Case& c :
       {Case{MB_OK | MB_ICONEXCLAMATION, QMessageBox::Warning, QMessageBox::Ok, IDOK},
        Case{MB_YESNO | MB_ICONQUESTION, QMessageBox::Question, QMessageBox::No, IDNO},
        Case{MB_OKCANCEL | MB_ICONHAND, QMessageBox::Critical, QMessageBox::Cancel, IDCANCEL}}) {
    QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
    bool ownerEnabled = true;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      shownIcon = box->icon();
      ownerEnabled = IsWindowEnabled(frame_);
      EXPECT_EQ(box->text(), u"内容不能为空"_qs);
      EXPECT_EQ(box->windowTitle(), u"警告"_qs);
      QTest::mouseClick(box->button(c.press), Qt::LeftButton);
    });
    const int answer = MessageBoxA(frame_, "\xC4\xDA\xC8\xDD\xB2\xBB\xC4\xDC\xCE\xAA\xBF\xD5",
                                   "\xBE\xAF\xB8\xE6", c.style);
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(shownIcon, c.icon);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(frame_));
  }
}

}  // namespace

namespace {

TEST_F(QtBackendTest, CaretKeysMoveByTheEditorsOwnLines) {
  HWND rich = Child("RichEdit20A", ES_MULTILINE | WS_VSCROLL, 1);
  SetWindowTextA(rich, "ab\r\ncd\r\nef");
  SetFocus(rich);
  SendMessageA(rich, EM_SETSEL, 4, 4);  // between c and d
  Pump();
  ASSERT_EQ(GetFocus(), rich);
  auto* editor = qobject_cast<QPlainTextEdit*>(PeerWidget(rich));
  platform::Input().PressKey(VK_UP, 0);
  Pump();
  EXPECT_EQ(editor->textCursor().position(), 1);
  platform::Input().PressKey(VK_DOWN, MK_SHIFT);
  platform::Input().PressKey(VK_END, MK_SHIFT);
  Pump();
  EXPECT_EQ(editor->textCursor().selectedText(), u"b\u2029cd"_qs);
  // The keys went through the queue: nothing was typed.
  EXPECT_EQ(editor->toPlainText(), u"ab\ncd\nef"_qs);
}

// A result of thousands of lines is given to Qt in few paragraphs, yet the
// caret keys, a selection, Ctrl+A with Ctrl+C and a screen reader's line all
// still go by the text's own lines.
TEST_F(QtBackendTest, ALongResultKeepsItsLines) {
  HWND rich = Child("RichEdit20A", ES_MULTILINE | WS_VSCROLL, 1);
  std::string text;
  QString shown;
  for (int i = 0; i < 3000; ++i) {
    text += std::to_string(i % 10) + "\xD7\xD6\r\n";  // 字
    shown += QString::number(i % 10) + u"字\n"_qs;
  }
  SetWindowTextA(rich, text.c_str());
  SetFocus(rich);
  Pump();
  auto* editor = qobject_cast<QPlainTextEdit*>(PeerWidget(rich));
  EXPECT_LT(editor->document()->blockCount(), 100);
  EXPECT_EQ(editor->toPlainText(), shown);
  EXPECT_EQ(GetWindowTextLengthA(rich), int(text.size()));

  for (int i = 0; i < 70; ++i) platform::Input().PressKey(VK_DOWN, 0);
  platform::Input().PressKey(VK_RIGHT, 0);
  platform::Input().PressKey(VK_DOWN, MK_SHIFT);
  platform::Input().PressKey(VK_END, MK_SHIFT);
  Pump();
  CHARRANGE sel{};
  SendMessageA(rich, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
  EXPECT_EQ(sel.cpMin, 70 * 3 + 1);  // three characters a line, the break one
  EXPECT_EQ(sel.cpMax, 72 * 3 - 1);  // the end of the line below, not of its paragraph

  QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(editor);
  ASSERT_NE(reader, nullptr);
  ASSERT_NE(reader->textInterface(), nullptr);
  int start = 0, end = 0;
  const QString line =
      reader->textInterface()->textAtOffset(65 * 3 + 1, QAccessible::LineBoundary, &start, &end);
  EXPECT_EQ(line.trimmed(), u"5字"_qs);
  EXPECT_EQ(start, 65 * 3);

  QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(editor, Qt::Key_C, Qt::ControlModifier);
  Pump();
  EXPECT_EQ(QApplication::clipboard()->text(), shown);
  // Plain text only: the boxes hold no formatting worth an HTML copy.
  EXPECT_EQ(QApplication::clipboard()->mimeData()->formats(), QStringList{u"text/plain"_qs});
  SendMessageA(rich, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
  EXPECT_EQ(sel.cpMax, 9000);
}

}  // namespace

namespace {

// A key typed into a long text (through the core: the box has a limit) edits
// that place alone: the lines stay grouped, and Ctrl+Z takes it back as in
// any editor. (What a screen reader hears is checked on a real bus.)
TEST_F(QtBackendTest, AKeyTypedIntoALongTextEditsThatPlaceAlone) {
  HWND rich = Child("RichEdit20A", ES_MULTILINE | WS_VSCROLL, 1);
  SendMessageA(rich, EM_EXLIMITTEXT, 0, 1 << 20);
  std::string text;
  for (int i = 0; i < 3000; ++i) text += std::to_string(i % 10) + "\xD7\xD6\r\n";  // 字
  SetWindowTextA(rich, text.c_str());
  SetFocus(rich);
  SendMessageA(rich, EM_SETSEL, 70 * 3 + 1, 70 * 3 + 1);  // after the digit of line 71
  Pump();
  auto* editor = qobject_cast<QPlainTextEdit*>(PeerWidget(rich));
  const int blocks = editor->document()->blockCount();

  QTest::keyClick(editor, Qt::Key_X);
  Pump();
  std::string typed = text;
  typed.insert(70 * 5 + 1, "x");  // five bytes a line: digit, 字, CR LF
  std::string read(typed.size() + 16, '\0');
  read.resize(GetWindowTextA(rich, read.data(), int(read.size())));
  EXPECT_TRUE(read == typed) << read.substr(70 * 5 - 4, 12);
  EXPECT_EQ(editor->document()->blockCount(), blocks);
  EXPECT_EQ(editor->textCursor().position(), 70 * 3 + 2);

  EXPECT_TRUE(editor->document()->isUndoAvailable());
  QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
  Pump();
  read.assign(text.size() + 16, '\0');
  read.resize(GetWindowTextA(rich, read.data(), int(read.size())));
  EXPECT_TRUE(read == text) << read.substr(70 * 5 - 4, 12);
}

// Run by ctest on Xvfb with openbox (frame_under_wm.sh); skipped elsewhere.
// A book pasted with Ctrl+V goes in with its lines grouped as a long result
// does, where the caret was, and reads back line for line.
TEST_F(QtBackendTest, APastedBookKeepsItsLines) {
  HWND rich = Child("RichEdit20A", ES_MULTILINE | WS_VSCROLL, 1);
  SetWindowTextA(rich, "<>");
  SetFocus(rich);
  Pump();
  auto* editor = qobject_cast<QPlainTextEdit*>(PeerWidget(rich));
  QTextCursor at = editor->textCursor();
  at.setPosition(1);
  editor->setTextCursor(at);
  QString book;
  std::string gbk = "<";
  for (int i = 0; i < 3000; ++i) {
    book += QString::number(i % 10) + u"字\r\n"_qs;
    gbk += std::to_string(i % 10) + "\xD7\xD6\r\n";
  }
  gbk += ">";
  QApplication::clipboard()->setText(book);
  QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
  Pump();
  EXPECT_LT(editor->document()->blockCount(), 100);
  std::string read(gbk.size() + 16, '\0');
  read.resize(GetWindowTextA(rich, read.data(), int(read.size())));
  EXPECT_EQ(read, gbk);
  EXPECT_EQ(editor->textCursor().position(), 1 + 3000 * 3);  // after what was pasted
  platform::Input().PressKey(VK_UP, 0);
  Pump();
  EXPECT_EQ(editor->textCursor().position(), 1 + 2999 * 3);  // one line up, not one paragraph
}

TEST_F(QtBackendTest, OuterSizeIncludesTheWindowManagersFrame) {
  if (QGuiApplication::platformName() != u"xcb"_qs) GTEST_SKIP() << "needs an X server";
  HWND fixed = CreateWindowExA(0, "QtTestFrame", "Fixed",
                               WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 100, 80,
                               680, 430, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(fixed, SW_SHOW);
  QWidget* top = PeerWidget(fixed);
  for (int i = 0; i < 40 && top->windowHandle()->frameMargins().isNull(); ++i) {
    QTest::qWait(50);
    Pump();
  }
  if (top->windowHandle()->frameMargins().isNull()) GTEST_SKIP() << "no window manager frame";
  QTest::qWait(200);
  Pump();
  const QMargins m = top->windowHandle()->frameMargins();
  EXPECT_EQ(top->frameGeometry().size(), QSize(680, 430))
      << "margins " << m.left() << "," << m.top() << "," << m.right() << "," << m.bottom()
      << " client " << top->width() << "x" << top->height();
  EXPECT_EQ(top->minimumSize(), top->maximumSize());
  RECT outer{};
  GetWindowRect(fixed, &outer);
  EXPECT_EQ(outer.right - outer.left, 680);
  EXPECT_EQ(outer.bottom - outer.top, 430);
}

}  // namespace

namespace {

// The first and last columns of `image` with dark pixels (a caption drawn in
// black); {-1, -1} when there are none.
std::pair<int, int> DarkColumns(const QImage& image) {
  std::pair<int, int> columns{-1, -1};
  for (int x = 0; x < image.width(); ++x)
    for (int y = 0; y < image.height(); ++y)
      if (qGray(image.pixel(x, y)) < 110) {
        if (columns.first < 0) columns.first = x;
        columns.second = x;
      }
  return columns;
}

}  // namespace

TEST_F(QtBackendTest, ControlsKeepTheirFontsAndHeightsWhateverTheDesktopFont) {
  const QFont desktop = QApplication::font();
  LOGFONTA gui{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
  const WPARAM guiFont = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
  for (int points : {9, 10, 11, 14}) {
    QFont larger = desktop;
    larger.setPointSize(points);
    QApplication::setFont(larger);
    // The Song face's own cell: 12 px high, 10 above the baseline.
    const TEXTMETRICA tm = platform::CurrentBackend().MeasureFont(gui);
    EXPECT_EQ(tm.tmHeight, 12) << points;
    EXPECT_EQ(tm.tmAscent, 10);
    EXPECT_EQ(tm.tmInternalLeading, 0);

    HWND list = Child("COMBOBOX", CBS_DROPDOWNLIST, 1);
    SendMessageA(list, WM_SETFONT, guiFont, TRUE);
    HWND group = Child("BUTTON", BS_GROUPBOX | BS_CENTER, 2, "");
    SendMessageA(group, WM_SETFONT, guiFont, TRUE);
    SetWindowTextA(group, platform::Utf8ToGbk("分隔符，留空为换行符").c_str());
    SetWindowPos(group, nullptr, 0, 0, 120, 20, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_EQ(QFontInfo(PeerWidget(list)->font()).pixelSize(), 12) << points;
    EXPECT_EQ(QFontInfo(PeerWidget(group)->font()).pixelSize(), 12) << points;
    // A drop-down list closes to its field: 20 to 22 px, like an edit box.
    RECT placed{};
    GetWindowRect(list, &placed);
    EXPECT_GE(placed.bottom - placed.top, 20);
    EXPECT_LE(placed.bottom - placed.top, 22);
    EXPECT_EQ(PeerWidget(list)->height(), placed.bottom - placed.top);
    // A caption as wide as its box is drawn whole, up to its last character.
    const auto [first, last] = DarkColumns(PeerWidget(group)->grab().toImage());
    EXPECT_LE(first, 4) << points;
    EXPECT_GE(last, 115) << points;
    DestroyWindow(list);
    DestroyWindow(group);
  }
  QApplication::setFont(desktop);
}

TEST_F(QtBackendTest, TextGbkCannotHoldIsRefused) {
  HWND edit = Child("EDIT", ES_AUTOHSCROLL, 1);
  HWND limited = Child("EDIT", ES_AUTOHSCROLL, 2);
  SendMessageA(limited, EM_LIMITTEXT, 10, 0);  // typed text goes through the core
  for (HWND box : {edit, limited}) {
    QWidget* w = PeerWidget(box);
    QTest::mouseClick(w, Qt::LeftButton);
    Pump();
    platform::qt::CommitText(w, u"、"_qs);
    Pump();
    platform::qt::CommitText(w, u"한"_qs);  // Hangul: no GBK bytes
    platform::qt::CommitText(w, u"😀"_qs);
    platform::qt::CommitText(w, u"中😀"_qs);  // refused whole
    Pump();
    char text[32] = {};
    GetWindowTextA(box, text, sizeof text);
    EXPECT_EQ(platform::GbkToUtf8(text), "、");
  }
  // Pasting is typing too.
  auto* line = qobject_cast<QLineEdit*>(PeerWidget(edit));
  line->selectAll();
  line->insert(u"x한"_qs);
  Pump();
  EXPECT_EQ(line->text(), u"、"_qs);
}

TEST_F(QtBackendTest, RichEditZoomsOnCtrlKeysAndWheelAndTellsTheCore) {
  HWND box = Child("RichEdit20A", ES_MULTILINE | WS_VSCROLL, 1);
  auto* editor = qobject_cast<QPlainTextEdit*>(PeerWidget(box));
  ASSERT_NE(editor, nullptr);
  const int plain = QFontInfo(editor->font()).pixelSize();
  QTest::mouseClick(editor->viewport(), Qt::LeftButton);
  Pump();
  int numerator = 0, denominator = 0;
  auto zoom = [&] {
    SendMessageA(box, EM_GETZOOM, WPARAM(&numerator), LPARAM(&denominator));
    return std::pair{numerator, denominator};
  };
  QTest::keyClick(editor, Qt::Key_Plus, Qt::ControlModifier);
  QTest::keyClick(editor, Qt::Key_Equal, Qt::ControlModifier);
  Pump();
  EXPECT_EQ(zoom(), (std::pair{12, 10}));
  EXPECT_GT(QFontInfo(editor->font()).pixelSize(), plain);
  QWheelEvent down(QPointF(5, 5), editor->viewport()->mapToGlobal(QPointF(5, 5)), {}, {0, -120},
                   Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(editor->viewport(), &down);
  EXPECT_EQ(zoom(), (std::pair{11, 10}));
  QTest::keyClick(editor, Qt::Key_0, Qt::ControlModifier);
  EXPECT_EQ(zoom(), (std::pair{0, 0}));
  EXPECT_EQ(QFontInfo(editor->font()).pixelSize(), plain);
  // The program's own zoom shows too; the text itself never changed.
  EXPECT_TRUE(SendMessageA(box, EM_SETZOOM, 2, 1));
  EXPECT_NEAR(QFontInfo(editor->font()).pixelSize(), 2 * plain, 1);
  EXPECT_EQ(GetWindowTextLengthA(box), 0);
}

TEST_F(QtBackendTest, MenuItemsReadTheirCheckStateToAssistiveTechnology) {
  HMENU options = CreatePopupMenu();
  AppendMenuA(options, MF_STRING | MF_CHECKED, 201, platform::Utf8ToGbk("按词注音(&W)").c_str());
  AppendMenuA(options, MF_STRING, 202, platform::Utf8ToGbk("全文(&F)").c_str());
  AppendMenuA(options, MF_STRING | MF_GRAYED, 203, "&Gray");
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_POPUP, UINT_PTR(options), platform::Utf8ToGbk("选项(&O)").c_str());
  SetMenu(frame_, bar);
  Pump();
  auto* menuBar = PeerWidget(frame_)->findChild<QMenuBar*>();
  ASSERT_NE(menuBar, nullptr);
  EXPECT_EQ(menuBar->height(), GetSystemMetrics(SM_CYMENU));
  // The Chinese caption fits the bar's height: no item left for the overflow button.
  EXPECT_TRUE(menuBar->actionGeometry(menuBar->actions().at(0)).isValid());
  EXPECT_LE(menuBar->actionGeometry(menuBar->actions().at(0)).bottom(), menuBar->height());
  QMenu* popup = menuBar->actions().at(0)->menu();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(menuBar->actions().at(0)->text(), u"选项(&O)"_qs);
  const QList<QAction*> items = popup->actions();
  ASSERT_EQ(items.size(), 3);
  EXPECT_TRUE(items[0]->isChecked());
  EXPECT_FALSE(items[2]->isEnabled());
  CheckMenuItem(bar, 201, MF_UNCHECKED);
  CheckMenuItem(bar, 202, MF_CHECKED);
  EXPECT_FALSE(items[0]->isChecked());
  EXPECT_TRUE(items[1]->isChecked());
  // What a screen reader reads: the name without the mnemonic's mark, and the state.
  QAccessibleInterface* item = QAccessible::queryAccessibleInterface(popup)->child(1);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(QAccessible::Name), u"全文(F)"_qs);
  EXPECT_TRUE(item->state().checked);
  // The client area keeps its controls below the bar.
  HWND button = Child("BUTTON", BS_PUSHBUTTON, 1, "OK");
  EXPECT_EQ(PeerWidget(button)->y(), 10 + 30 + GetSystemMetrics(SM_CYMENU));
  SetMenu(frame_, nullptr);
  DestroyMenu(bar);
  Pump();
  EXPECT_EQ(PeerWidget(frame_)->findChild<QMenuBar*>(), nullptr);
  EXPECT_EQ(PeerWidget(button)->y(), 10 + 30);
}

TEST_F(QtBackendTest, TheWalkShowsInQtsMenusAndAClickBesideThemEndsIt) {
  HWND edit = Child("EDIT", ES_AUTOHSCROLL, 1);
  HMENU file = CreatePopupMenu();
  AppendMenuA(file, MF_STRING, 101, "&Open");
  AppendMenuA(file, MF_STRING, 102, "&Save");
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_POPUP, UINT_PTR(file), "&File");
  AppendMenuA(bar, MF_STRING, 103, "&Go");
  SetMenu(frame_, bar);
  SetFocus(edit);
  Pump();
  auto* menuBar = PeerWidget(frame_)->findChild<QMenuBar*>();
  ASSERT_NE(menuBar, nullptr);
  QMenu* popup = menuBar->actions().at(0)->menu();
  platform::Input().PressKey('F', platform::kAltModifier);
  platform::Input().PressKey(VK_DOWN);
  Pump();
  EXPECT_TRUE(popup->isVisible());
  EXPECT_EQ(popup->activeAction(), popup->actions().at(1));
  // Qt closes the popup itself, as on a click beside it: the walk ends and
  // keys reach the box again.
  popup->hide();
  QTest::qWait(20);
  Pump();
  EXPECT_EQ(GetMenuState(bar, 0, MF_BYPOSITION) & MF_HILITE, 0u);
  platform::Input().TypeText("x");
  Pump();
  char text[8] = {};
  GetWindowTextA(edit, text, sizeof text);
  EXPECT_STREQ(text, "x");
  // Alt alone makes the bar's first item hot without opening it.
  platform::Input().PressKey(VK_MENU);
  Pump();
  EXPECT_NE(GetMenuState(bar, 0, MF_BYPOSITION) & MF_HILITE, 0u);
  EXPECT_FALSE(popup->isVisible());
  platform::Input().PressKey(VK_RIGHT);
  platform::Input().PressKey(VK_RETURN);  // a command on the bar itself
  Pump();
  EXPECT_EQ(
      std::count_if(g_log.begin(), g_log.end(),
                    [](const Logged& l) { return l.message == WM_COMMAND && l.wParam == 103; }),
      1);
}

TEST_F(QtBackendTest, KeyboardFocusShowsAMarkOnButtonsAndListsOnLightAndDarkPalettes) {
  HWND button = Child("BUTTON", BS_PUSHBUTTON, 1, "OK");
  HWND list = ListOfThree(2, 0);
  HWND edit = Child("EDIT", ES_AUTOHSCROLL, 3);
  const QPalette light = QApplication::palette();
  QPalette dark = light;
  dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
  dark.setColor(QPalette::Button, QColor(0x40, 0x40, 0x40));
  dark.setColor(QPalette::ButtonText, Qt::white);
  dark.setColor(QPalette::WindowText, Qt::white);
  dark.setColor(QPalette::Highlight, QColor(0x3d, 0xae, 0xe9));
  for (const QPalette& palette : {light, dark}) {
    QApplication::setPalette(palette);
    for (HWND control : {button, list}) {
      SetFocus(edit);
      Pump();
      const QImage before = PeerWidget(control)->grab().toImage();
      platform::Input().PressKey(VK_SHIFT);  // the keyboard is in use
      SetFocus(control);
      Pump();
      EXPECT_NE(PeerWidget(control)->grab().toImage(), before) << "no focus mark";
      // After a click elsewhere the focus moves without a mark.
      QTest::mouseClick(PeerWidget(edit), Qt::LeftButton);
      SetFocus(control);
      Pump();
      EXPECT_EQ(PeerWidget(control)->grab().toImage(), before) << "a mark after a click";
    }
  }
  QApplication::setPalette(light);
}

TEST_F(QtBackendTest, OuterSizeIncludesTheWindowManagersFrameWithAMenuBarInside) {
  if (QGuiApplication::platformName() != u"xcb"_qs) GTEST_SKIP() << "needs an X server";
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_STRING, 1, "&File");
  HWND framed = CreateWindowExA(0, "QtTestFrame", "Menu", WS_CAPTION | WS_SYSMENU, 100, 80, 680,
                                430, nullptr, bar, nullptr, nullptr);
  HWND box = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, framed, nullptr,
                             nullptr, nullptr);
  ShowWindow(framed, SW_SHOW);
  QWidget* top = PeerWidget(framed);
  for (int i = 0; i < 40 && top->windowHandle()->frameMargins().isNull(); ++i) {
    QTest::qWait(50);
    Pump();
  }
  if (top->windowHandle()->frameMargins().isNull()) GTEST_SKIP() << "no window manager frame";
  QTest::qWait(200);
  Pump();
  EXPECT_EQ(top->frameGeometry().size(), QSize(680, 430));
  auto* menuBar = top->findChild<QMenuBar*>();
  ASSERT_NE(menuBar, nullptr);
  EXPECT_EQ(menuBar->geometry(), QRect(0, 0, top->width(), GetSystemMetrics(SM_CYMENU)));
  EXPECT_EQ(PeerWidget(box)->pos(), QPoint(0, GetSystemMetrics(SM_CYMENU)));
}

TEST_F(QtBackendTest, KeysInAPopupThePointerOpenedWalkIt) {
  HMENU file = CreatePopupMenu();
  AppendMenuA(file, MF_STRING, 101, "&Open");
  AppendMenuA(file, MF_STRING, 102, "&Save");
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_POPUP, UINT_PTR(file), "&File");
  SetMenu(frame_, bar);
  Pump();
  auto* menuBar = PeerWidget(frame_)->findChild<QMenuBar*>();
  ASSERT_NE(menuBar, nullptr);
  QAction* top = menuBar->actions().at(0);
  QTest::mouseClick(menuBar, Qt::LeftButton, {}, menuBar->actionGeometry(top).center());
  Pump();
  QMenu* popup = top->menu();
  ASSERT_TRUE(popup->isVisible());
  EXPECT_EQ(std::count_if(g_log.begin(), g_log.end(),
                          [](const Logged& l) { return l.message == WM_INITMENUPOPUP; }),
            1);
  // The popup has the keyboard, as Qt grabs it; the keys still go to the core's walk.
  QTest::keyClick(popup, Qt::Key_Down);
  QTest::keyClick(popup, Qt::Key_Down);
  Pump();
  EXPECT_NE(GetMenuState(file, 1, MF_BYPOSITION) & MF_HILITE, 0u);
  EXPECT_EQ(popup->activeAction(), popup->actions().at(1));
  QTest::keyClick(popup, Qt::Key_Return);
  Pump();
  EXPECT_FALSE(popup->isVisible());
  EXPECT_EQ(
      std::count_if(g_log.begin(), g_log.end(),
                    [](const Logged& l) { return l.message == WM_COMMAND && l.wParam == 102; }),
      1);
}
