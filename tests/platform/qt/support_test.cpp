// SPDX-License-Identifier: GPL-3.0-or-later
// Fonts, accessible names and input-method commits of the Qt backend,
// checked on plain widgets laid out like the main window's labelled rows.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRawFont>
#include <QTextLayout>

#include "platform/platform.h"
#include "platform/qt/qt_support.h"

namespace {
using platform::qt::CommitText;

// True when every glyph of `text` laid out in `font` is a real glyph (index
// 0 is the missing-glyph box) from a face that has the character.
bool RendersWithoutBoxes(const QFont& font, const QString& text) {
  QTextLayout layout(text, font);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  int glyphs = 0;
  for (const QGlyphRun& run : layout.glyphRuns()) {
    for (quint32 index : run.glyphIndexes()) {
      if (index == 0) return false;
      ++glyphs;
    }
  }
  return glyphs == text.size();
}

TEST(QtFonts, SongFaceResolvesToAnInstalledCjkSerifFace) {
  QFont song = platform::qt::FaceFont(platform::Utf8ToGbk("宋体").c_str(), 9);
  const QString family = QFontInfo(song).family();
  EXPECT_TRUE(family.contains(u"Serif CJK"_qs) || family.contains(u"UMing"_qs))
      << family.toStdString();
  EXPECT_TRUE(QRawFont::fromFont(song).supportsCharacter(U'转'));
  EXPECT_EQ(QFontInfo(song).pointSize(), 9);
  EXPECT_TRUE(RendersWithoutBoxes(song, u"转换内容，中国"_qs));
}

TEST(QtTranslations, QtsOwnTextsAreChineseWhateverTheLocale) {
  platform::qt::EnsureApplication();
  // The editors' context menus take these.
  EXPECT_NE(QCoreApplication::translate("QLineEdit", "&Copy"), u"&Copy"_qs);
  EXPECT_NE(QCoreApplication::translate("QWidgetTextControl", "Select All"), u"Select All"_qs);
}

TEST(QtAccessibility, MnemonicMarkersAreStripped) {
  EXPECT_EQ(platform::qt::StripMnemonic(u"转换(&Z)"_qs), u"转换(Z)"_qs);
  EXPECT_EQ(platform::qt::StripMnemonic(u"A&&B&"_qs), u"A&B"_qs);
}

TEST(QtAccessibility, ControlsTakeTheGroupBoxJustAboveThem) {
  // Children made back to front, each raised over the previous one, as the
  // loader stacks them: the group box label sits just above its control.
  QWidget window;
  auto* input = new QPlainTextEdit(&window);
  new QGroupBox(u"转换内容"_qs, &window);
  auto* list = new QComboBox(&window);
  list->addItems({u"老盲文"_qs, u"新盲文"_qs});
  new QGroupBox(u"转换为"_qs, &window);
  auto* button = new QPushButton(u"转换(&Z)"_qs, &window);
  auto* unlabelled = new QLineEdit(&window);
  platform::qt::UpdateAccessibleNames(&window);

  struct Expect {
    QWidget* widget;
    QString name;
    QAccessible::Role role;
  };
  for (const Expect& e : {Expect{input, u"转换内容"_qs, QAccessible::EditableText},
                          Expect{list, u"转换为"_qs, QAccessible::ComboBox},
                          Expect{button, u"转换(Z)"_qs, QAccessible::Button},
                          Expect{unlabelled, QString(), QAccessible::EditableText}}) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(e.widget);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(QAccessible::Name), e.name);
    EXPECT_EQ(a->role(), e.role);
  }
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(list);
  EXPECT_EQ(a->text(QAccessible::Value), u"老盲文"_qs);
  list->setCurrentIndex(1);
  EXPECT_EQ(a->text(QAccessible::Name), u"转换为"_qs);
  EXPECT_EQ(a->text(QAccessible::Value), u"新盲文"_qs);
}

TEST(QtInput, CommittedTextReachesLineAndPlainTextEditors) {
  QLineEdit line;
  QPlainTextEdit plain;
  CommitText(&line, u"中国"_qs);
  CommitText(&line, u"人"_qs);
  CommitText(&plain, u"学生们每天都在学习。"_qs);
  EXPECT_EQ(line.text(), u"中国人"_qs);
  EXPECT_EQ(plain.toPlainText(), u"学生们每天都在学习。"_qs);
}

}  // namespace
