// SPDX-License-Identifier: GPL-3.0-or-later
// The program's main window on the Qt backend (offscreen platform): the
// widgets' geometry against the window's layout table, its captions drawn
// with real CJK glyphs (the picture is kept as a test artifact), the names and
// roles a screen reader gets, and conversions driven with real Qt input.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextLayout>
#include <QTimer>

#include "platform/qt/peers.h"
#include "platform/qt/qt_input.h"
#include "platform/qt/qt_support.h"
#include "ui/program.h"

namespace {
using platform::qt::PeerWidget;

constexpr uint32_t kMainWindow = 0x52010001;

struct Control {
  uint32_t id;
  QRect place;  // client coordinates
  const char16_t* caption;
};
// The window's controls in stored order (front to back).
const Control kControls[] = {
    {0x1601000a, {20, 65, 120, 100}, u"转换结果"},
    {0x16010009, {160, 25, 500, 180}, nullptr},
    {0x16010008, {300, 240, 80, 32}, u"转换(&Z)"},
    {0x16010007, {560, 246, 100, 20}, u"转换为"},
    {0x16010006, {440, 246, 100, 20}, nullptr},
    {0x16010005, {20, 246, 120, 20}, u"分隔符，留空为换行符"},
    {0x16010004, {160, 246, 80, 20}, nullptr},
    {0x16010003, {20, 307, 120, 100}, u"转换内容"},
    {0x16010002, {160, 267, 500, 180}, nullptr},
};
constexpr uint32_t kInput = 0x16010002, kSeparator = 0x16010004, kList = 0x16010006,
                   kButton = 0x16010008, kOutput = 0x16010009;

class MainWindowQt : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::UseQtBackend();
    molvane::StartProgram();
    molvane::LoadStartWindow(kMainWindow);
    Pump();
    window_ = PeerWidget(Hwnd(kInput))->window();
    window_->activateWindow();
    Pump();
  }
  void TearDown() override { molvane::ShutdownRuntime(0); }

  static void Pump() {
    platform::Input().PumpUntilIdle([](MSG& m) { return molvane::PreTranslateRuntimeMessage(&m); });
  }
  static HWND Hwnd(uint32_t control) {
    return reinterpret_cast<HWND>(
        molvane::CallService(molvane::kServiceLookupControl, kMainWindow, control));
  }
  static QWidget* Widget(uint32_t control) { return PeerWidget(Hwnd(control)); }
  HWND Top() const { return window_ != nullptr ? platform::qt::PeerWindow(window_) : nullptr; }
  template <typename W>
  static W* As(uint32_t control) {
    return qobject_cast<W*>(Widget(control));
  }
  static QString Output() { return As<QPlainTextEdit>(kOutput)->toPlainText(); }

  // What a person does: click into a box and enter text through the input
  // method, click the button, press keys on the focused widget.
  static void Enter(uint32_t box, const QString& text) {
    QWidget* w = Widget(box);
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(10, 10));
    Pump();
    platform::qt::CommitText(QApplication::focusWidget(), text);
    Pump();
  }
  static void ClickConvert() {
    QTest::mouseClick(Widget(kButton), Qt::LeftButton);
    Pump();
  }
  static void Press(Qt::Key key, Qt::KeyboardModifiers mods = {}) {
    QTest::keyClick(QApplication::focusWidget(), key, mods);
    Pump();
  }

  QWidget* window_ = nullptr;
};

// True when every glyph of `text` in `font` is a real glyph (index 0 is the
// missing-glyph box).
bool HasAllGlyphs(const QFont& font, const QString& text) {
  QTextLayout layout(text, font);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  qsizetype glyphs = 0;
  for (const QGlyphRun& run : layout.glyphRuns()) {
    for (quint32 index : run.glyphIndexes()) {
      if (index == 0) return false;
      ++glyphs;
    }
  }
  return glyphs == text.size();
}

TEST_F(MainWindowQt, ControlsSitAtTheirStoredRectangles) {
  for (const Control& c : kControls) {
    QWidget* w = Widget(c.id);
    ASSERT_NE(w, nullptr) << std::hex << c.id;
    EXPECT_EQ(w->parentWidget(), window_);
    // The single-line edit box may grow to fit its font, and a drop-down
    // list keeps its closed height: those heights are the core's.
    RECT placed{};
    GetWindowRect(Hwnd(c.id), &placed);
    const bool ownHeight = c.id == kSeparator || c.id == kList;
    const int height = ownHeight ? placed.bottom - placed.top : c.place.height();
    EXPECT_EQ(w->geometry(), QRect(c.place.topLeft(), QSize(c.place.width(), height)))
        << std::hex << c.id;
    if (ownHeight) {
      EXPECT_GE(height, c.place.height());
      EXPECT_LE(height, c.place.height() + 2);
    }
  }
  // The input box reaches below the client area and is clipped there.
  QWidget* input = Widget(kInput);
  EXPECT_GT(input->geometry().bottom(), window_->height());
  EXPECT_LT(input->visibleRegion().boundingRect().height(), 180);
}

TEST_F(MainWindowQt, WindowIsCentredFixedAndStackedInStoredOrder) {
  RECT outer{};
  GetWindowRect(Top(), &outer);
  EXPECT_EQ(outer.right - outer.left, 680);
  EXPECT_EQ(outer.bottom - outer.top, 430);
  const QSize screen = window_->screen()->size();
  EXPECT_EQ(outer.left, (screen.width() - 680) / 2);
  EXPECT_EQ(outer.top, (screen.height() - 430) / 2);
  // No window manager here: the core's frame metrics give the client area.
  RECT client{};
  GetClientRect(Top(), &client);
  EXPECT_EQ(window_->size(), QSize(client.right, client.bottom));
  EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
  EXPECT_EQ(window_->windowTitle(), u"Molvane"_qs);
  EXPECT_TRUE(window_->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(window_->windowFlags() & Qt::WindowCloseButtonHint);

  QList<QWidget*> backToFront;
  for (QObject* child : window_->children())
    if (auto* w = qobject_cast<QWidget*>(child); w != nullptr && !w->isWindow())
      backToFront.append(w);
  ASSERT_EQ(backToFront.size(), 9);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(backToFront[8 - i], Widget(kControls[i].id)) << i;
}

TEST_F(MainWindowQt, CaptionsRenderWithCjkGlyphsAndThePictureIsKept) {
  for (const Control& c : kControls) {
    if (c.caption == nullptr) continue;
    QWidget* w = Widget(c.id);
    const QString caption = platform::qt::StripMnemonic(QString::fromUtf16(c.caption));
    EXPECT_TRUE(HasAllGlyphs(w->font(), caption)) << caption.toStdString();
  }
  auto* list = As<QComboBox>(kList);
  for (int i = 0; i < list->count(); ++i)
    EXPECT_TRUE(HasAllGlyphs(list->font(), list->itemText(i)));
  // The boxes' default text is the Song face.
  const QString family = QFontInfo(Widget(kInput)->font()).family();
  EXPECT_TRUE(family.contains(u"Serif CJK"_qs) || family.contains(u"UMing"_qs))
      << family.toStdString();

  Enter(kInput, u"中国的盲文"_qs);
  const QImage picture = window_->grab().toImage();
  ASSERT_FALSE(picture.isNull());
  QDir().mkpath(QStringLiteral(MOLVANE_ARTIFACTS));
  EXPECT_TRUE(picture.save(QStringLiteral(MOLVANE_ARTIFACTS "/main_window.png")));
  // Something dark is drawn where each group box caption sits.
  for (const Control& c : kControls) {
    if (c.caption == nullptr || qobject_cast<QGroupBox*>(Widget(c.id)) == nullptr) continue;
    int dark = 0;
    for (int y = c.place.top(); y < c.place.top() + 14; ++y)
      for (int x = c.place.left(); x < c.place.right(); ++x)
        dark += qGray(picture.pixel(x, y)) < 100 ? 1 : 0;
    EXPECT_GT(dark, 10) << c.id;
  }
}

TEST_F(MainWindowQt, ScreenReadersGetEachControlsNameAndRole) {
  struct Expect {
    uint32_t id;
    QString name;
    QAccessible::Role role;
  };
  for (const Expect& e : {Expect{kInput, u"转换内容"_qs, QAccessible::EditableText},
                          Expect{kOutput, u"转换结果"_qs, QAccessible::EditableText},
                          Expect{kSeparator, u"分隔符，留空为换行符"_qs, QAccessible::EditableText},
                          Expect{kList, u"转换为"_qs, QAccessible::ComboBox},
                          Expect{kButton, u"转换(Z)"_qs, QAccessible::Button}}) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(Widget(e.id));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(QAccessible::Name), e.name);
    EXPECT_EQ(a->role(), e.role);
  }
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(Widget(kList));
  EXPECT_EQ(list->text(QAccessible::Value), u"老盲文"_qs);
  QAccessibleInterface* top = QAccessible::queryAccessibleInterface(window_);
  EXPECT_EQ(top->text(QAccessible::Name), u"Molvane"_qs);
  EXPECT_EQ(top->role(), QAccessible::Window);
  EXPECT_EQ(top->childCount(), 9);
}

TEST_F(MainWindowQt, TypedChineseConvertsOnAClick) {
  EXPECT_EQ(QApplication::focusWidget(), Widget(kInput));
  Enter(kInput, u"中国"_qs);
  platform::Input().ChooseItem(Hwnd(kList), 3);  // 全拼, with the mouse
  Pump();
  EXPECT_EQ(As<QComboBox>(kList)->currentText(), u"全拼"_qs);
  ClickConvert();
  EXPECT_EQ(Output(), u"zhong\nguo\n"_qs);
  EXPECT_EQ(QApplication::focusWidget(), Widget(kOutput));

  Enter(kSeparator, u" "_qs);
  ClickConvert();
  EXPECT_EQ(Output(), u"zhong guo "_qs);
}

TEST_F(MainWindowQt, KeyboardAloneChoosesAndConverts) {
  Enter(kInput, u"中"_qs);
  // Tab: input box, separator box, list, button, output box, and around.
  const uint32_t order[] = {kSeparator, kList, kButton, kOutput, kInput};
  for (uint32_t next : order) {
    Press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Widget(next)) << std::hex << next;
  }
  Press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), Widget(kOutput));
  Press(Qt::Key_Tab);
  Press(Qt::Key_Tab);
  Press(Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), Widget(kList));
  // Enter and Esc leave the list and the window where they are.
  Press(Qt::Key_Return);
  Press(Qt::Key_Escape);
  EXPECT_TRUE(window_->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), Widget(kList));
  Press(Qt::Key_Down);
  Press(Qt::Key_Down);
  EXPECT_EQ(As<QComboBox>(kList)->currentText(), u"双拼字根"_qs);
  Press(Qt::Key_Z, Qt::AltModifier);
  EXPECT_EQ(Output(), u"vs"_qs);
}

TEST_F(MainWindowQt, TheBusyCursorShowsUntilTheProgramHasWorked) {
  Enter(kInput, u"中国"_qs);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  // The click is queued; the program has not converted yet.
  QTest::mouseClick(Widget(kButton), Qt::LeftButton);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  EXPECT_EQ(Output(), QString());
  Pump();
  EXPECT_EQ(Output(), u"34-256\n1245-135\n"_qs);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  // The mnemonic works the program too.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::AltModifier);
  EXPECT_NE(QApplication::overrideCursor(), nullptr);
  Pump();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The text of both boxes stands out from their background under a dark
// desktop palette and a light one; the pictures are kept.
TEST_F(MainWindowQt, BoxTextIsReadableUnderDarkAndLightPalettes) {
  const QPalette desktop = QApplication::palette();
  QPalette dark;
  for (auto [role, colour] : {std::pair{QPalette::Window, QColor(45, 45, 48)},
                              std::pair{QPalette::WindowText, QColor(230, 230, 230)},
                              std::pair{QPalette::Base, QColor(30, 30, 30)},
                              std::pair{QPalette::Text, QColor(235, 235, 235)},
                              std::pair{QPalette::Button, QColor(60, 60, 64)},
                              std::pair{QPalette::ButtonText, QColor(230, 230, 230)}})
    dark.setColor(role, colour);
  QPalette light = dark;
  for (auto [role, colour] :
       {std::pair{QPalette::Window, QColor(239, 239, 239)},
        std::pair{QPalette::WindowText, QColor(Qt::black)},
        std::pair{QPalette::Base, QColor(Qt::white)}, std::pair{QPalette::Text, QColor(Qt::black)},
        std::pair{QPalette::Button, QColor(239, 239, 239)},
        std::pair{QPalette::ButtonText, QColor(Qt::black)}})
    light.setColor(role, colour);
  Enter(kInput, u"中国的盲文，中国的盲文"_qs);
  ClickConvert();
  QDir().mkpath(QStringLiteral(MOLVANE_ARTIFACTS));
  for (const auto& [name, palette] : {std::pair{"dark", dark}, std::pair{"light", light}}) {
    QApplication::setPalette(palette);
    Pump();
    const QImage picture = window_->grab().toImage();
    EXPECT_TRUE(picture.save(QStringLiteral(MOLVANE_ARTIFACTS "/main_window_%1.png").arg(name)));
    for (uint32_t box : {kInput, kOutput}) {
      // The box's background is the palette's, and its text differs from it
      // clearly: many pixels far from the background's grey.
      const QColor base = Widget(box)->palette().color(QPalette::Base);
      EXPECT_EQ(base, palette.color(QPalette::Base)) << name;
      const QRect area =
          Widget(box)->geometry().intersected(window_->rect()).adjusted(4, 4, -4, -4);
      int ink = 0;
      for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
          ink += std::abs(qGray(picture.pixel(x, y)) - qGray(base.rgb())) > 120 ? 1 : 0;
      EXPECT_GT(ink, 100) << name << " " << std::hex << box;
    }
  }
  QApplication::setPalette(desktop);
}

TEST_F(MainWindowQt, EmptyInputAsksThroughARealBox) {
  QString text, title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool ownerEnabled = true;
  bool busyCursor = true;
  // A person reads the box when it shows, then presses OK.
  QTimer watcher;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    watcher.stop();
    text = box->text();
    title = box->windowTitle();
    icon = box->icon();
    ownerEnabled = window_->isEnabled() && IsWindowEnabled(Top());
    busyCursor = QApplication::overrideCursor() != nullptr;
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
  });
  watcher.start(10);
  ClickConvert();
  EXPECT_EQ(text, u"内容不能为空"_qs);
  EXPECT_EQ(title, u"警告"_qs);
  EXPECT_EQ(icon, QMessageBox::Warning);
  EXPECT_FALSE(ownerEnabled);
  EXPECT_FALSE(busyCursor);  // the box waits for the user with the usual cursor
  EXPECT_TRUE(window_->isEnabled());
  // The window is active again, with the focus in the input box.
  (void)QTest::qWaitForWindowActive(window_, 1000);
  Pump();
  EXPECT_EQ(GetFocus(), Hwnd(kInput));
  EXPECT_EQ(QApplication::focusWidget(), Widget(kInput));
  EXPECT_EQ(Output(), QString());
}

}  // namespace
