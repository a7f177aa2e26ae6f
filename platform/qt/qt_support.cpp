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
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdlib>

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
class ListAccessible : public QAccessibleWidget {
 public:
  explicit ListAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

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

}  // namespace

QApplication* EnsureApplication() {
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) return app;
  // Qt allows one application object per process; it lives to the end.
  static int argc = 1;
  static char name[] = "molvane";
  static char* argv[] = {name, nullptr};
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  }
  auto* app = new QApplication(argc, argv);
  InstallFontSubstitutions();
  InstallAccessibility();
  // Windows show the icon the package installs, and desktop shells match
  // them to the desktop entry.
  QGuiApplication::setDesktopFileName(u"org.molvane.molvane"_qs);
  QApplication::setWindowIcon(QIcon::fromTheme(u"org.molvane.molvane"_qs));
  return app;
}

void InstallFontSubstitutions() {
  QFont::insertSubstitutions(u"宋体"_qs, SongFaces());
  QFont::insertSubstitutions(u"SimSun"_qs, SongFaces());
  QFont::insertSubstitutions(u"新宋体"_qs, SongFaces());
}

QFont FaceFont(const char* gbkFace, int pointSize) {
  QFont font(QString::fromStdString(GbkToUtf8(gbkFace)));
  font.setPointSize(pointSize);
  return font;
}

QFont DefaultGuiFont() {
  QFont font = QApplication::font();
  QStringList families = font.families();
  if (families.isEmpty()) families.append(font.family());
  for (const char* cjk : {"Noto Sans CJK SC", "AR PL UMing CN"}) {
    if (!families.contains(QLatin1String(cjk))) families.append(QLatin1String(cjk));
  }
  font.setFamilies(families);
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

void CommitText(QWidget* target, const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  QCoreApplication::sendEvent(target, &event);
}

}  // namespace platform::qt
