// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt application object, fonts, accessible names and input-method
// commits: the parts of the Qt backend that know nothing of the core.
#include "platform/qt/qt_support.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QIcon>
#include <QInputMethodEvent>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include "platform/platform.h"

namespace platform::qt {
namespace {

// The Song/Ming faces Debian ships (fonts-noto-cjk, fonts-arphic-uming), best
// first; the sans face is the last resort that still has every glyph.
const QStringList& SongFaces() {
  static const QStringList faces = {u"Noto Serif CJK SC"_qs, u"AR PL UMing CN"_qs,
                                    u"AR PL SungtiL GB"_qs, u"Noto Sans CJK SC"_qs};
  return faces;
}

// A combo box's stock interface on Linux reports the current item as its
// name; screen readers then speak "老盲文" instead of what the list is for.
// Here the name is the label, and the current item is the list's text (read
// only), which is what screen readers speak as a drop-down list's value
// without a selection interface; a change of item is a text change. With the
// focus the text is selected, as a focused drop-down list shows its item
// highlighted, so the new item is spoken as the selected text it replaced.
class ListAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit ListAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QString text(QAccessible::Text t) const override {
    QComboBox* list = Combo();
    if (t == QAccessible::Name) {
      const QString name = list->accessibleName();
      return name.isEmpty() ? list->currentText() : name;
    }
    if (t == QAccessible::Value) return list->currentText();
    return QAccessibleWidget::text(t);
  }

  int childCount() const override { return 1; }
  QAccessibleInterface* child(int index) const override {
    return index == 0 ? QAccessible::queryAccessibleInterface(Combo()->view()) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child != nullptr && child->object() == Combo()->view() ? 0 : -1;
  }

  QStringList actionNames() const override {
    return {QAccessibleActionInterface::showMenuAction()};
  }
  void doAction(const QString& action) override {
    if (action == QAccessibleActionInterface::showMenuAction()) Combo()->showPopup();
  }

  // ---- The current item as read-only text ----
  QString text(int start, int end) const override {
    return Combo()->currentText().mid(start, end - start);
  }
  int characterCount() const override { return int(Combo()->currentText().size()); }
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  void selection(int, int* start, int* end) const override {
    *start = 0;
    *end = selectionCount() > 0 ? characterCount() : 0;
  }
  int selectionCount() const override { return Combo()->hasFocus() && characterCount() > 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return {};
  }

 private:
  QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* ListFactory(const QString&, QObject* object) {
  auto* list = qobject_cast<QComboBox*>(object);
  if (list == nullptr || list->isEditable()) return nullptr;
  return new ListAccessible(list);
}

// A program window is a plain top-level widget, which Qt presents as a
// "filler"; screen readers announce windows by the frame role.
QAccessibleInterface* FrameFactory(const QString& className, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (className != u"QWidget"_qs || widget == nullptr || !widget->isWindow()) return nullptr;
  return new QAccessibleWidget(widget, QAccessible::Window);
}

bool IsLabelled(QWidget* w) {
  return qobject_cast<QLineEdit*>(w) != nullptr || qobject_cast<QPlainTextEdit*>(w) != nullptr ||
         qobject_cast<QComboBox*>(w) != nullptr;
}

// Whether the user named the platform Qt runs on (QT_QPA_PLATFORM); noted
// when the process's one application object is made.
bool g_platformChosen = false;

bool Named(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != 0;
}

// Qt's warnings while it tries a display that does not answer and falls
// back; the caller says so in its own words.
void DropPlatformWarnings(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

}  // namespace

namespace {

class FocusMark : public QProxyStyle {
 public:
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element == CE_PushButton) Mark(option, painter);
  }
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override {
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_ComboBox) Mark(option, painter);
  }

 private:
  // Only with the keyboard in use, as the platform shows focus rectangles.
  static void Mark(const QStyleOption* option, QPainter* painter) {
    if (!(option->state & State_HasFocus) || !(option->state & State_KeyboardFocusChange)) return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(option->palette.color(QPalette::Highlight), 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(option->rect).adjusted(2, 2, -2, -2));
    painter->restore();
  }
};

}  // namespace

QStyle* FocusMarkStyle() {
  // One style for every button and list of the process; widgets do not own
  // the style they are given, so it lives to the end as the application does.
  static FocusMark* style = [] {
    auto* made = new FocusMark;
    made->setParent(qApp);
    return made;
  }();
  return style;
}

QApplication* EnsureApplication() {
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) return app;
  // Qt allows one application object per process; it lives to the end.
  static int argc = 1;
  static char name[] = "molvane";
  static char* argv[] = {name, nullptr};
  const bool chosen = Named("QT_QPA_PLATFORM");
  g_platformChosen = chosen;
  if (!Named("DISPLAY") && !Named("WAYLAND_DISPLAY")) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  } else if (!chosen && !Named("WAYLAND_DISPLAY")) {
    // An X display that does not answer falls back to the offscreen
    // platform instead of aborting the process.
    setenv("QT_QPA_PLATFORM", "xcb;offscreen", 1);
  }
  const QtMessageHandler previous = qInstallMessageHandler(chosen ? nullptr : DropPlatformWarnings);
  auto* app = new QApplication(argc, argv);
  qInstallMessageHandler(previous);
  InstallFontSubstitutions();
  InstallAccessibility();
  // The whole window is Chinese, so Qt's own texts (the boxes' context
  // menus, standard dialogs) are too, whatever the locale. Without Debian's
  // translations they stay in English.
  static QTranslator translator;
  if (translator.load(u"qtbase_zh_CN"_qs, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(&translator);
  // Windows show the icon the package installs, and desktop shells match
  // them to the desktop entry.
  QGuiApplication::setDesktopFileName(u"org.molvane.molvane"_qs);
  QApplication::setWindowIcon(QIcon::fromTheme(u"org.molvane.molvane"_qs));
  return app;
}

bool DisplayAnswers() {
  if (QCoreApplication::instance() == nullptr && !Named("QT_QPA_PLATFORM") && !Named("DISPLAY") &&
      !Named("WAYLAND_DISPLAY"))
    return false;
  EnsureApplication();
  // A platform the user chose is taken as it is, offscreen too.
  const QString platform = QGuiApplication::platformName();
  return g_platformChosen || (platform != u"offscreen"_qs && platform != u"minimal"_qs);
}

void InstallFontSubstitutions() {
  QFont::insertSubstitutions(u"宋体"_qs, SongFaces());
  QFont::insertSubstitutions(u"SimSun"_qs, SongFaces());
  QFont::insertSubstitutions(u"新宋体"_qs, SongFaces());
  QFont::insertSubstitutions(u"NSimSun"_qs, SongFaces());
}

QFont FaceFont(const char* gbkFace, int pointSize) {
  QFont font(QString::fromStdString(GbkToUtf8(gbkFace)));
  font.setPointSize(pointSize);
  return font;
}

void InstallAccessibility() {
  // Installing twice would ask the factory twice; once per process is enough.
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(ListFactory);
  QAccessible::installFactory(FrameFactory);
}

QString StripMnemonic(const QString& caption) {
  // "&Z" shows Z underlined and "&&" a single "&"; a lone trailing "&" shows nothing.
  QString out;
  out.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&' && ++i >= caption.size()) break;
    out += caption[i];
  }
  return out;
}

void UpdateAccessibleNames(QWidget* window) {
  // children() lists siblings back to front, so the one just above a control
  // in stacking order is the next widget in the list.
  QList<QWidget*> order;
  for (QObject* child : window->children()) {
    auto* w = qobject_cast<QWidget*>(child);
    if (w != nullptr && !w->isWindow()) order.append(w);
  }
  for (qsizetype i = 0; i < order.size(); ++i) {
    QWidget* w = order[i];
    if (auto* button = qobject_cast<QPushButton*>(w)) {
      button->setAccessibleName(StripMnemonic(button->text()));
    } else if (IsLabelled(w)) {
      auto* label = i + 1 < order.size() ? qobject_cast<QGroupBox*>(order[i + 1]) : nullptr;
      w->setAccessibleName(label != nullptr ? StripMnemonic(label->title()) : QString());
    }
  }
}

namespace {
// The editor whose caret moves are held back while the backend changes it;
// Qt's update handler, which holds them back, is process-wide too.
QObject* g_heldCaret = nullptr;

void HoldCaretMoves(QAccessibleEvent* event) {
  if (event->type() == QAccessible::TextCaretMoved && event->object() == g_heldCaret) return;
  // Everything else reaches the platform's bridge as it would without us.
  const QAccessible::UpdateHandler self = QAccessible::installUpdateHandler(nullptr);
  QAccessible::updateAccessibility(event);
  QAccessible::installUpdateHandler(self);
}
}  // namespace

void WithoutCaretMoves(QWidget* editor, const std::function<void()>& change) {
  if (editor == nullptr || editor->hasFocus() || g_heldCaret != nullptr) {
    change();
    return;
  }
  g_heldCaret = editor;
  const QAccessible::UpdateHandler previous = QAccessible::installUpdateHandler(HoldCaretMoves);
  change();
  QAccessible::installUpdateHandler(previous);
  g_heldCaret = nullptr;
}

void AnnounceItemChanges(QComboBox* list) {
  // The item may change several times in one turn (the core puts a choice
  // back and then takes it); a screen reader hears the outcome once. The new
  // item is told as inserted text only: screen readers read the whole text
  // again, and would speak the old item's removal as "selection deleted".
  auto spoken = std::make_shared<QString>(list->currentText());
  QObject::connect(list, &QComboBox::currentIndexChanged, list, [list, spoken] {
    QTimer::singleShot(0, list, [list, spoken] {
      const QString now = list->currentText();
      if (now == *spoken) return;
      *spoken = now;
      if (now.isEmpty()) return;
      QAccessibleTextInsertEvent event(list, 0, now);
      QAccessible::updateAccessibility(&event);
    });
  });
}

void CommitText(QWidget* target, const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  QCoreApplication::sendEvent(target, &event);
}

}  // namespace platform::qt
