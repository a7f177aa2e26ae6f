// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt 6 Widgets backend: each window the core makes gets a real widget as
// its peer, so input methods, selection, clipboard, undo and accessibility
// come from Qt, while every message and every decision stays the core's.
// What the user does comes back through PostMessageA (keys the loop must see
// first, clicks) or the Peer* reports (edits, choices, focus, frame).
#include <QAbstractEventDispatcher>
#include <QCloseEvent>
#include <QComboBox>
#include <QDropEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QUrl>
#include <QValidator>
#include <QWheelEvent>
#include <QWindow>
#include <array>
#include <atomic>
#include <cstring>
#include <functional>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"
#include "platform/qt/file_dialog.h"
#include "platform/qt/menu_bar.h"
#include "platform/qt/messagebox.h"
#include "platform/qt/peers.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_support.h"

namespace platform::qt {
namespace {

const char kHandleProperty[] = "molvaneWindow";
const char kChosenProperty[] = "molvaneChosen";  // a list's item as the core last set it

// The character cell of a face in font units: its em, its height (ascent and
// descent) and ascent. Faces named here are drawn with a stand-in whose line
// is taller; a zero ascent means the stand-in's own metrics hold.
struct Cell {
  int em = 1;
  int height = 1;
  int ascent = 0;
};
struct FaceCell {
  const char* face;  // GBK
  Cell cell;
};
// SimSun and NSimSun: a 256-unit em that is the whole cell, 220 above the
// baseline (a 12-px font is a 12-px cell, ascent 10).
constexpr FaceCell kFaceCells[] = {{"\xCB\xCE\xCC\xE5", {256, 256, 220}},          // 宋体
                                   {"\xD0\xC2\xCB\xCE\xCC\xE5", {256, 256, 220}},  // 新宋体
                                   {"SimSun", {256, 256, 220}},
                                   {"NSimSun", {256, 256, 220}}};

Cell CellOf(const char* face) {
  for (const FaceCell& f : kFaceCells)
    if (std::strcmp(f.face, face) == 0) return f.cell;
  // Other faces: a cell an eighth taller than the em, as most faces have.
  return Cell{7, 8, 0};
}

// A drop-down list that says when its popup closes. A popup dismissed with
// Escape or a click elsewhere chooses nothing, and the core must hear that
// it closed; the report waits for the event to end, so that a choice, which
// Qt reports after hiding the popup, comes first.
class PeerList : public QComboBox {
 public:
  using QComboBox::QComboBox;
  void hidePopup() override {
    QComboBox::hidePopup();
    if (closed) QTimer::singleShot(0, this, closed);
  }
  std::function<void()> closed;
};

// Whether an ANSI control can hold `text`: every character has GBK bytes.
bool HoldsInGbk(const QString& text) {
  BOOL lost = FALSE;
  WideCharToMultiByte(CP_GBK, 0, reinterpret_cast<LPCWSTR>(text.utf16()), int(text.size()), nullptr,
                      0, nullptr, &lost);
  return !lost;
}

// Typing or pasting what the control cannot hold is refused with a beep,
// as a control refuses a character it does not take, instead of reaching
// the program as "?".
class GbkValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    if (HoldsInGbk(input)) return Acceptable;
    QApplication::beep();
    return Invalid;
  }
};

void RememberChoice(QComboBox* list) {
  list->setProperty(kChosenProperty, list->currentIndex());
}

// What the core last read from or wrote into a multi-line editor, kept
// while the document has not changed since: reading a large document walks
// all of it.
struct TextCache {
  static constexpr quint64 kStale = ~quint64{0};
  quint64 revision = 0;  // of the document, counted by its changes
  quint64 textAt = kStale;
  quint64 boxAt = kStale;
  std::u16string text;
  std::string box;         // the core's form: GBK, CR LF breaks
  bool asWritten = false;  // the latest text written reads back unchanged
  bool keepsText = true;   // off while the core's form is written: that one is kept
};

struct Peer {
  QPointer<QWidget> widget;
  std::unique_ptr<TextCache> cache;  // multi-line editors only
  PeerKind kind = PeerKind::kWindow;
  DWORD style = 0;
  RECT window{};
  RECT client{};
  QMargins frame;  // the window manager's frame the client area was fitted to
  int textLimit = 0;
  int settling = 0;               // refits still to look at the frame
  QPointer<PeerMenuBar> menuBar;  // top-level windows with a menu
  int menuHeight = 0;             // the bar's share of the non-client area
  QFont baseFont;                 // rich edits: the font before zoom
  int zoomNumerator = 0;          // 0/0: no zoom
  int zoomDenominator = 0;
};

// The area of a top-level peer's widget when no window manager frames it:
// the client area with the menu bar above it.
QRect WidgetArea(const Peer& peer) {
  return QRect(peer.client.left, peer.client.top - peer.menuHeight,
               peer.client.right - peer.client.left,
               peer.client.bottom - peer.client.top + peer.menuHeight);
}

struct KeyPair {
  int qt;
  int vk;
};
// Keys the message loop's pre-translation must see before any widget does.
constexpr std::array<KeyPair, 10> kLoopKeys = {{{Qt::Key_Tab, VK_TAB},
                                                {Qt::Key_Backtab, VK_TAB},
                                                {Qt::Key_Return, VK_RETURN},
                                                {Qt::Key_Enter, VK_RETURN},
                                                {Qt::Key_Escape, VK_ESCAPE},
                                                {Qt::Key_F1, VK_F1},
                                                {Qt::Key_Left, VK_LEFT},
                                                {Qt::Key_Up, VK_UP},
                                                {Qt::Key_Right, VK_RIGHT},
                                                {Qt::Key_Down, VK_DOWN}}};
// Further keys the input module can press.
constexpr std::array<KeyPair, 12> kOtherKeys = {{{Qt::Key_Space, VK_SPACE},
                                                 {Qt::Key_Backspace, VK_BACK},
                                                 {Qt::Key_Delete, VK_DELETE},
                                                 {Qt::Key_Home, VK_HOME},
                                                 {Qt::Key_End, VK_END},
                                                 {Qt::Key_PageUp, VK_PRIOR},
                                                 {Qt::Key_PageDown, VK_NEXT},
                                                 {Qt::Key_Insert, VK_INSERT},
                                                 {Qt::Key_F4, VK_F4},
                                                 {Qt::Key_Shift, VK_SHIFT},
                                                 {Qt::Key_Control, VK_CONTROL},
                                                 {Qt::Key_Alt, VK_MENU}}};

QRect ToQRect(const RECT& r) {
  return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}
RECT ToRect(const QRect& r) {
  return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}
bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The frame a window manager drew around a shown top-level widget; none on
// platforms without one (the offscreen platform only pretends to have one).
QMargins ManagerFrame(QWidget* w) {
  static const bool simulated = QGuiApplication::platformName() == u"offscreen"_qs ||
                                QGuiApplication::platformName() == u"minimal"_qs;
  if (simulated || w->windowHandle() == nullptr || !w->isVisible()) return {};
  return w->windowHandle()->frameMargins();
}

std::string GbkOf(const QString& text) {
  return Utf8ToGbk(text.toStdString());
}

QString ToQString(const std::u16string& text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}
std::u16string ToU16(const QString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()));
}
// Plain-text editors keep paragraphs apart with LF; CR LF or a lone CR from
// the core would otherwise show as a stray glyph.
QString ToEditorText(const std::u16string& text) {
  QString s = ToQString(text);
  s.replace(u"\r\n"_qs, u"\n"_qs);
  s.replace(u'\r', u'\n');
  return s;
}

// Characters a plain-text editor reads back as something else (paragraph and
// line separators and the no-break space as LF and space, frame marks not at
// all): a text holding none reads back as it was written.
bool ReadsBackAsWritten(const QString& text) {
  for (QChar c : text) {
    const char16_t u = c.unicode();
    if (u == 0x00A0 || u == 0x2028 || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1) return false;
  }
  return true;
}

// A text of many lines goes into the editor as one paragraph for every
// kLinesPerParagraph lines, the lines inside it kept apart by line separators
// (U+2028). Qt makes a block for each paragraph (about a microsecond each)
// and lays out only those in view; the lines stay lines for the caret, the
// selection, copying and screen readers, and read back with LF breaks.
constexpr int kLinesPerParagraph = 64;
constexpr qsizetype kGroupedFromLines = 4 * kLinesPerParagraph;
void GroupLines(QString& text) {
  if (text.count(u'\n') < kGroupedFromLines) return;
  int line = 0;
  for (QChar& c : text) {
    if (c == u'\n' && ++line % kLinesPerParagraph != 0) c = QChar::LineSeparator;
  }
}

// A multi-line box. What it copies is plain text only: the boxes hold no
// formatting, and Qt's default offers HTML and ODF as well, writing all three
// when the clipboard is first read, which for a book-length result costs
// seconds and half a gigabyte. What is pasted goes in with its lines grouped
// as a text written by the core does, so pasting a book takes a fraction of
// the time a block per line would.
class PeerTextBox : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;

 protected:
  QMimeData* createMimeDataFromSelection() const override {
    auto* data = new QMimeData;
    data->setText(textCursor().selection().toPlainText());
    return data;
  }
  void insertFromMimeData(const QMimeData* source) override {
    if (isReadOnly() || !source->hasText()) return;
    QString text = source->text();
    text.replace(u"\r\n"_qs, u"\n"_qs);
    text.replace(u'\r', u'\n');
    GroupLines(text);
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
    ensureCursorVisible();
  }
};

// Selects `range` in a line or plain-text editor; -1 as the end means the end
// of the text, as EM_SETSEL takes it.
void SelectInEditor(QWidget* w, CHARRANGE range) {
  if (auto* line = qobject_cast<QLineEdit*>(w)) {
    const int size = int(line->text().size());
    const int end = range.cpMax < 0 ? size : std::min<int>(range.cpMax, size);
    const int start = range.cpMin < 0 ? end : std::min<int>(range.cpMin, size);
    line->setSelection(start, end - start);
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
    QTextCursor c = plain->textCursor();
    const int size = plain->document()->characterCount() - 1;
    const int end = range.cpMax < 0 ? size : std::min<int>(range.cpMax, size);
    const int start = range.cpMin < 0 ? end : std::min<int>(range.cpMin, size);
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    plain->setTextCursor(c);
  }
}

// Queues a key-down and key-up pair as keyboard input (it goes to the window
// with the focus when read), wrapped in those of the held modifiers.
void PostKey(int vk, Qt::KeyboardModifiers mods) {
  unsigned held = 0;
  if (mods & Qt::ControlModifier) held |= MK_CONTROL;
  if (mods & Qt::ShiftModifier) held |= MK_SHIFT;
  if (mods & Qt::AltModifier) held |= kAltModifier;
  PostKeyStroke(vk, held);
}

class QtBackend;
// Process-wide: the backend the widgets' signals and the event filter report to.
QtBackend* g_backend = nullptr;

// Sees every event before its widget: keys for the loop, focus moved by the
// user, and the top-level frame's close, move, resize and activation.
class PeerFilter : public QObject {
 public:
  explicit PeerFilter(QtBackend* backend) : backend_(backend) {}
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QtBackend* backend_;
};

class QtBackend : public Backend {
 public:
  QtBackend() : filter_(this) {
    EnsureApplication();
    dispatcher_ = QAbstractEventDispatcher::instance(qApp->thread());
    qApp->installEventFilter(&filter_);
    g_backend = this;
  }
  ~QtBackend() override {
    WorkEnded();
    qApp->removeEventFilter(&filter_);
    for (auto& [handle, peer] : peers_) {
      if (peer.widget != nullptr && peer.widget->parentWidget() == nullptr) delete peer.widget;
    }
    if (g_backend == this) g_backend = nullptr;
  }

  const char* Name() const override { return "qt"; }

  SIZE ScreenSize() const override {
    const QSize size = QGuiApplication::primaryScreen()->size();
    return SIZE{size.width(), size.height()};
  }

  TEXTMETRICA MeasureFont(const LOGFONTA& font) const override {
    const QFont f = FontOf(font);
    const QFontMetrics m(f);
    TEXTMETRICA tm{};
    tm.tmAscent = m.ascent();
    tm.tmDescent = m.descent();
    tm.tmInternalLeading = std::max(0, m.ascent() + m.descent() - QFontInfo(f).pixelSize());
    tm.tmExternalLeading = std::max(0, m.leading());
    tm.tmAveCharWidth = m.averageCharWidth();
    tm.tmMaxCharWidth = m.maxWidth();
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, font.lfFaceName, LF_FACESIZE);
    const Cell cell = CellOf(face);
    if (cell.ascent != 0) {
      // The stand-in face has a taller line than the face the layout was
      // made with; control heights follow the named face's own cell.
      const int em = QFontInfo(f).pixelSize();
      const int height = em * cell.height / cell.em;
      tm.tmAscent = (height * cell.ascent + cell.height / 2) / cell.height;
      tm.tmDescent = height - tm.tmAscent;
      tm.tmInternalLeading = height - em;
      tm.tmExternalLeading = 0;
      tm.tmAveCharWidth = (em + 1) / 2;
      tm.tmMaxCharWidth = em;
    }
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmWeight = font.lfWeight != 0 ? font.lfWeight : FW_NORMAL;
    tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = 96;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = '?';
    tm.tmBreakChar = ' ';
    tm.tmPitchAndFamily = font.lfPitchAndFamily;
    tm.tmCharSet = font.lfCharSet;
    return tm;
  }

  void CreatePeer(HWND window, const PeerSpec& shape) override;
  void UpdatePeer(HWND window, const PeerSpec& shape) override;
  void DestroyPeer(HWND window) override;
  void PlacePeer(HWND window, const RECT& windowRect, const RECT& clientRect) override;
  void ShowPeer(HWND window, bool visible) override;
  void EnablePeer(HWND window, bool enabled) override {
    if (QWidget* w = Widget(window)) w->setEnabled(enabled);
  }
  void RestackPeer(HWND window, HWND above) override;
  void ReparentPeer(HWND window, HWND parent) override;
  void FocusPeer(HWND window) override;
  void ActivatePeer(HWND window) override;
  void SetPeerFont(HWND window, const LOGFONTA& font) override {
    auto it = peers_.find(window);
    if (it == peers_.end() || it->second.widget == nullptr) return;
    it->second.baseFont = FontOf(font);
    ShowZoom(it->second);
  }
  void SetPeerBackground(HWND window, COLORREF color) override;

  std::u16string PeerText(HWND window) const override;
  void SetPeerText(HWND window, const std::u16string& text) override;
  void ReplacePeerText(HWND window, size_t start, size_t end,
                       const std::u16string& insert) override;
  std::string PeerBoxText(HWND window) const override;
  void SetPeerBoxText(HWND window, std::string text, size_t units) override;
  size_t PeerTextLength(HWND window) const override;
  CHARRANGE PeerSelection(HWND window) const override;
  void SetPeerSelection(HWND window, CHARRANGE range) override;
  bool MovePeerCaret(HWND window, int virtualKey, bool extend) override;

  int ListCount(HWND window) const override {
    QComboBox* list = List(window);
    return list != nullptr ? list->count() : 0;
  }
  std::u16string ListItem(HWND window, int index) const override {
    QComboBox* list = List(window);
    return list != nullptr ? ToU16(list->itemText(index)) : std::u16string();
  }
  void InsertListItem(HWND window, int index, const std::u16string& text) override {
    Quiet quiet(this);
    if (QComboBox* list = List(window)) {
      const bool none = list->currentIndex() < 0;
      list->insertItem(index, ToQString(text));
      if (none) list->setCurrentIndex(-1);  // Qt would pick the first item itself
      RememberChoice(list);
    }
  }
  void DeleteListItem(HWND window, int index) override {
    Quiet quiet(this);
    if (QComboBox* list = List(window)) {
      const bool current = list->currentIndex() == index;
      list->removeItem(index);
      if (current) list->setCurrentIndex(-1);
      RememberChoice(list);
    }
  }
  int ListSelection(HWND window) const override {
    QComboBox* list = List(window);
    return list != nullptr ? list->currentIndex() : -1;
  }
  void SetListSelection(HWND window, int index) override {
    Quiet quiet(this);
    if (QComboBox* list = List(window)) {
      list->setCurrentIndex(index);
      RememberChoice(list);
    }
  }

  void SetPeerMenu(HWND window, const std::vector<PeerMenuItem>& bar) override;
  void ShowPeerMenuWalk(HWND window, const std::vector<int>& path) override {
    auto it = peers_.find(window);
    menuWalk_ = !path.empty();
    if (it != peers_.end() && it->second.menuBar != nullptr) it->second.menuBar->ShowWalk(path);
  }
  void SetPeerZoom(HWND window, int numerator, int denominator) override;

  // Runs a modal dialog: the owner's window takes no input while it is
  // open, and a task-modal one without owner holds every window of the
  // program.
  template <class Run>
  auto Modal(HWND owner, bool taskModal, Run run) {
    std::vector<HWND> held;
    if (HWND root = owner != nullptr ? GetAncestor(owner, GA_ROOT) : nullptr) {
      held.push_back(root);
    } else if (taskModal) {
      for (const auto& [handle, peer] : peers_)
        if (peer.widget != nullptr && peer.widget->isWindow()) held.push_back(handle);
    }
    std::erase_if(held, [](HWND w) { return !IsWindowVisible(w) || !IsWindowEnabled(w); });
    const HWND active = GetActiveWindow();
    const HWND focus = GetFocus();
    WorkEnded();  // the dialog waits for the user
    for (HWND w : held) EnableWindow(w, FALSE);
    QWidget* parent = held.size() == 1 ? Widget(held.front()) : nullptr;
    const auto answer = run(parent);
    for (HWND w : held)
      if (IsWindow(w)) EnableWindow(w, TRUE);
    // As when a dialog closes on Windows: its window active again, and the
    // focus back on the control that had it.
    if (IsWindow(active)) ActivatePeer(active);
    if (IsWindow(focus) && GetFocus() != focus) SetFocus(focus);
    return answer;
  }

  int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                     UINT style) override {
    return Modal(owner, (style & MB_TASKMODAL) != 0,
                 [&](QWidget* parent) { return RunMessageBox(parent, text, caption, style); });
  }

  std::optional<FileDialogAnswer> ShowFileDialog(const FileDialogCall& call) override {
    return Modal(call.owner, false, [&](QWidget* parent) { return RunFileDialog(parent, call); });
  }

  void PollInput() override { QCoreApplication::processEvents(QEventLoop::AllEvents); }
  void WaitForInput() override {
    held_ = false;  // the loop waits only with its queue empty
    WorkEnded();
    if (!woken_.exchange(false)) {
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    woken_ = false;
  }
  void Wake() override {
    woken_ = true;
    dispatcher_->wakeUp();
  }

  // ---- From the event filter and the widgets' signals ----
  bool quiet() const { return quiet_ > 0; }
  void FrameChanged(HWND window);
  bool KeyPressed(HWND window, QKeyEvent* key);
  bool TextCommitted(HWND window, QInputMethodEvent* event);
  bool Limited(HWND window) const;
  void QueueDrained() {
    held_ = false;
    WorkEnded();
  }
  // The program works on a click or key until its queue is empty again:
  // the busy cursor shows meanwhile, as over any window that is busy.
  void WorkStarted() {
    if (busy_) return;
    busy_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  void WorkEnded() {
    if (!busy_) return;
    busy_ = false;
    QApplication::restoreOverrideCursor();
  }
  void FocusedByUser(QWidget* widget, HWND window);
  // Ctrl+wheel, Ctrl+plus, Ctrl+minus and Ctrl+0 in a rich edit: a tenth
  // more or less, or none. False when `window` is no rich edit.
  bool ZoomByUser(HWND window, int step);
  // Files dropped on a peer go to the window that accepts them.
  bool FilesDragged(HWND window, QDropEvent* event, QWidget* over);
  // Alt pressed and let go with no key between walks the menu bar.
  bool altAlone = false;
  bool keyboardUsed = false;  // the user's latest input was a key, not a click
  bool menuWalk_ = false;     // the core walks a menu bar: every key is its
  void AltAlone() {
    PostKeyStroke(VK_MENU, 0);
    held_ = true;  // the keys after it follow it through the queue
  }

 private:
  // Changes the backend makes on the core's behalf are not user actions.
  struct Quiet {
    explicit Quiet(QtBackend* b) : backend(b) { ++backend->quiet_; }
    ~Quiet() { --backend->quiet_; }
    QtBackend* backend;
  };

  QWidget* Widget(HWND window) const {
    auto it = peers_.find(window);
    return it == peers_.end() ? nullptr : it->second.widget.data();
  }
  QComboBox* List(HWND window) const { return qobject_cast<QComboBox*>(Widget(window)); }
  TextCache* CacheOf(HWND window) const;
  QFont FontOf(const LOGFONTA& font) const;
  QWidget* MakeWidget(HWND window, const PeerSpec& shape);
  void Connect(HWND window, QWidget* widget);
  void ApplyStyle(Peer& peer, const PeerSpec& shape);
  void PlaceTopLevel(Peer& peer);
  void Refit(HWND window, int round);
  void ShowZoom(Peer& peer);
  int MenuOffset(QWidget* child) const {
    QWidget* parent = child->parentWidget();
    if (parent == nullptr || !parent->isWindow()) return 0;
    auto it = peers_.find(PeerWindow(parent));
    return it == peers_.end() ? 0 : it->second.menuHeight;
  }
  void Relabel(QWidget* widget) {
    if (widget != nullptr && widget->window() != nullptr) UpdateAccessibleNames(widget->window());
  }

  std::unordered_map<HWND, Peer> peers_;
  PeerFilter filter_;
  QAbstractEventDispatcher* dispatcher_ = nullptr;
  std::atomic<bool> woken_{false};
  int quiet_ = 0;
  // A key went to the queue and may not have been read yet: later keys and
  // committed text follow it through the queue, so they keep their order.
  bool held_ = false;
  HWND pendingActivation_ = nullptr;  // asked for by the core: no user action
  bool busy_ = false;                 // the busy cursor is ours

 public:
  bool ExpectedActivation(HWND window) {
    const bool expected = window == pendingActivation_;
    if (expected) pendingActivation_ = nullptr;
    return expected;
  }
  void MouseClicked(QObject* watched, QMouseEvent* event);
};

// ---- Peers ----

QWidget* QtBackend::MakeWidget(HWND window, const PeerSpec& shape) {
  QWidget* parent = Widget(shape.parent);
  const DWORD style = shape.style;
  switch (shape.kind) {
    case PeerKind::kEdit: {
      if (style & ES_MULTILINE) return new PeerTextBox(parent);
      auto* line = new QLineEdit(parent);
      line->setValidator(new GbkValidator(line));
      return line;
    }
    case PeerKind::kRichEdit:
      if (style & ES_MULTILINE) return new PeerTextBox(parent);
      return new QLineEdit(parent);
    case PeerKind::kButton:
      if ((style & BS_TYPEMASK) == BS_GROUPBOX) return new QGroupBox(parent);
      return new QPushButton(parent);
    case PeerKind::kComboBox: {
      auto* list = new PeerList(parent);
      list->setStyle(FocusMarkStyle());
      list->setEditable((style & 0x3) != CBS_DROPDOWNLIST);
      RememberChoice(list);
      if (list->isEditable()) {
        list->setValidator(new GbkValidator(list));
      } else {
        AnnounceItemChanges(list);
      }
      return list;
    }
    case PeerKind::kWindow:
      break;
  }
  auto* frame = new QWidget(parent);
  if (parent == nullptr) frame->setAttribute(Qt::WA_DeleteOnClose, false);
  return frame;
}

void QtBackend::Connect(HWND window, QWidget* widget) {
  auto edited = [this, window] {
    if (!quiet()) PeerTextEdited(window);
  };
  if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    QObject::connect(line, &QLineEdit::textEdited, line, edited);
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
    QObject::connect(plain, &QPlainTextEdit::textChanged, plain, edited);
    // Any change of the document, by the user or by Qt, makes the kept text stale.
    TextCache* cache = (peers_[window].cache = std::make_unique<TextCache>()).get();
    auto changed = [cache] { ++cache->revision; };
    QObject::connect(plain->document(), &QTextDocument::contentsChanged, plain, changed);
    QObject::connect(plain, &QPlainTextEdit::textChanged, plain, changed);
  } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
    QObject::connect(list, &QComboBox::activated, list, [this, window, list](int index) {
      if (quiet()) return;
      // The core changes the selection itself when it takes the choice.
      {
        Quiet hush(this);
        list->setCurrentIndex(list->property(kChosenProperty).toInt());
      }
      PeerItemChosen(window, index);
    });
    if (list->isEditable()) QObject::connect(list, &QComboBox::editTextChanged, list, edited);
    if (auto* peer = dynamic_cast<PeerList*>(list)) {
      peer->closed = [this, window] {
        if (!quiet()) PeerListClosed(window);
      };
    }
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    // A click reaches the core as the mouse messages Windows would post.
    QObject::connect(button, &QPushButton::clicked, button, [this, window, button] {
      if (quiet()) return;
      const QPoint c = button->rect().center();
      const LPARAM at = LPARAM((c.y() << 16) | (c.x() & 0xFFFF));
      PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
      PostMessageA(window, WM_LBUTTONUP, 0, at);
      WorkStarted();
    });
  }
}

void QtBackend::ApplyStyle(Peer& peer, const PeerSpec& shape) {
  QWidget* w = peer.widget;
  const DWORD style = shape.style;
  peer.style = style;
  const QString caption = ToQString(shape.caption);
  peer.textLimit = shape.textLimit;
  if (auto* line = qobject_cast<QLineEdit*>(w)) {
    line->setReadOnly(style & ES_READONLY);
    line->setEchoMode((style & ES_PASSWORD) != 0 ? QLineEdit::Password : QLineEdit::Normal);
    const DWORD align = style & (ES_CENTER | ES_RIGHT);
    line->setAlignment(align == ES_CENTER  ? Qt::AlignHCenter
                       : align == ES_RIGHT ? Qt::AlignRight
                                           : Qt::AlignLeft);
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
    plain->setReadOnly(style & ES_READONLY);
    // Without horizontal scrolling, Windows wraps multi-line text at the edge.
    const bool wrap =
        peer.kind == PeerKind::kRichEdit ? !(style & WS_HSCROLL) : !(style & ES_AUTOHSCROLL);
    plain->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    plain->setVerticalScrollBarPolicy((style & WS_VSCROLL) != 0 ? Qt::ScrollBarAsNeeded
                                                                : Qt::ScrollBarAlwaysOff);
    plain->setHorizontalScrollBarPolicy((style & WS_HSCROLL) != 0 ? Qt::ScrollBarAsNeeded
                                                                  : Qt::ScrollBarAlwaysOff);
    plain->setTabChangesFocus(false);
  } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
    group->setTitle(caption);
    const DWORD align = style & BS_CENTER;
    group->setAlignment(align == BS_CENTER  ? Qt::AlignHCenter
                        : align == BS_RIGHT ? Qt::AlignRight
                                            : Qt::AlignLeft);
  } else if (auto* button = qobject_cast<QPushButton*>(w)) {
    button->setText(caption);
    button->setAutoDefault(false);
    if (button->style() != FocusMarkStyle()) button->setStyle(FocusMarkStyle());
  } else if (peer.kind == PeerKind::kWindow && w->isWindow()) {
    w->setWindowTitle(caption);
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint;
    if ((style & WS_CAPTION) == WS_CAPTION) flags |= Qt::WindowTitleHint;
    if (style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
    if (style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
    if ((style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER)) == 0) flags |= Qt::FramelessWindowHint;
    if (shape.exStyle & WS_EX_TOOLWINDOW) flags |= Qt::Tool;
    if (shape.exStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
    if (w->windowFlags() != flags) {
      // Qt hides a window whose flags change; it stays as the core has it.
      const bool visible = w->isVisible();
      w->setWindowFlags(flags);
      if (visible) w->show();
    }
  }
  w->setAcceptDrops((shape.exStyle & WS_EX_ACCEPTFILES) != 0);
  w->setFocusPolicy(qobject_cast<QGroupBox*>(w) != nullptr || w->isWindow() ? Qt::NoFocus
                                                                            : Qt::StrongFocus);
}

void QtBackend::CreatePeer(HWND window, const PeerSpec& shape) {
  Quiet quiet(this);
  QWidget* w = MakeWidget(window, shape);
  w->setProperty(kHandleProperty, QVariant::fromValue(quintptr(window)));
  w->hide();
  Peer& peer = peers_[window];
  peer.widget = w;
  peer.kind = shape.kind;
  ApplyStyle(peer, shape);
  Connect(window, w);
  PlacePeer(window, shape.window, shape.client);
  Relabel(w);
}

void QtBackend::UpdatePeer(HWND window, const PeerSpec& shape) {
  auto it = peers_.find(window);
  if (it == peers_.end() || it->second.widget == nullptr) return;
  Quiet quiet(this);
  ApplyStyle(it->second, shape);
  Relabel(it->second.widget);
}

void QtBackend::DestroyPeer(HWND window) {
  auto it = peers_.find(window);
  if (it == peers_.end()) return;
  QPointer<QWidget> w = it->second.widget;
  if (it->second.menuBar != nullptr) menuWalk_ = false;  // a walk through its bar is over
  peers_.erase(it);
  if (w == nullptr) return;
  Quiet quiet(this);
  QWidget* top = w->isWindow() ? nullptr : w->window();
  w->hide();
  delete w.data();
  if (top != nullptr) UpdateAccessibleNames(top);
}

void QtBackend::PlacePeer(HWND window, const RECT& windowRect, const RECT& clientRect) {
  auto it = peers_.find(window);
  if (it == peers_.end() || it->second.widget == nullptr) return;
  Peer& peer = it->second;
  peer.window = windowRect;
  peer.client = clientRect;
  Quiet quiet(this);
  if (peer.widget->isWindow()) {
    PlaceTopLevel(peer);
  } else {
    // Child rectangles are the stored geometry, even where they reach past
    // the parent's client area: Qt clips them there as Windows does.
    peer.widget->setGeometry(ToQRect(windowRect).translated(0, MenuOffset(peer.widget)));
  }
}

// The outer rectangle includes whatever frame the window manager draws, so
// the client area is what remains of it; without a window manager (Qt's
// offscreen platform, a bare X server) the core's own frame metrics apply.
void QtBackend::PlaceTopLevel(Peer& peer) {
  QWidget* w = peer.widget;
  const QMargins frame = ManagerFrame(w);
  peer.frame = frame;
  const QRect outer = ToQRect(peer.window);
  const QRect client = frame.isNull() ? WidgetArea(peer) : outer.marginsRemoved(frame);
  if (peer.style & WS_THICKFRAME) {
    w->setMinimumSize(0, 0);
    w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else {
    w->setFixedSize(client.size());
  }
  w->setGeometry(client);
  if (peer.menuBar != nullptr) peer.menuBar->setGeometry(0, 0, client.width(), peer.menuHeight);
}

// Refits now, then looks again a few times: a window manager may redraw the
// frame (thinner once the window cannot be resized) without moving the
// client area, which gives Qt no event to report.
void QtBackend::Refit(HWND window, int round) {
  QWidget* w = Widget(window);
  if (w == nullptr) return;
  if (round == 0) ++peers_[window].settling;
  QTimer::singleShot(round == 0 ? 0 : 100, w, [this, window, round] {
    auto it = peers_.find(window);
    if (it == peers_.end() || it->second.widget == nullptr) return;
    if (round == 5) --it->second.settling;
    if (round == 0 || ManagerFrame(it->second.widget) != it->second.frame) {
      Quiet quiet(this);
      PlaceTopLevel(it->second);
    }
    if (round < 5) Refit(window, round + 1);
  });
}

void QtBackend::FrameChanged(HWND window) {
  auto it = peers_.find(window);
  if (it == peers_.end() || it->second.widget == nullptr || quiet()) return;
  Peer& peer = it->second;
  QWidget* w = peer.widget;
  const QMargins frame = ManagerFrame(w);
  if (frame != peer.frame) {
    // The window manager framed the window (or changed its frame): refit
    // the client area so the outer size stays what the core placed.
    Refit(window, 0);
    return;
  }
  const QRect client = w->geometry();
  QRect outer = client.marginsAdded(frame);
  if (frame.isNull()) {
    const QRect placedClient = WidgetArea(peer);
    const QRect placedOuter = ToQRect(peer.window);
    outer = QRect(client.topLeft() - (placedClient.topLeft() - placedOuter.topLeft()),
                  client.size() + (placedOuter.size() - placedClient.size()));
  }
  // The window manager confirms our own placements late and in steps; only
  // a settled window's moves, and the resizes of a resizable one, are the
  // user's.
  if (peer.settling > 0) return;
  if (!(peer.style & WS_THICKFRAME)) outer.setSize(ToQRect(peer.window).size());
  if (SameRect(ToRect(outer), peer.window)) return;
  peer.client = ToRect(client.adjusted(0, peer.menuHeight, 0, 0));
  peer.window = ToRect(outer);
  PeerPlaced(window, peer.window);
}

void QtBackend::ShowPeer(HWND window, bool visible) {
  QWidget* w = Widget(window);
  if (w == nullptr) return;
  Quiet quiet(this);
  w->setVisible(visible);
  if (visible && w->isWindow()) {
    PlaceTopLevel(peers_[window]);
    Refit(window, 0);  // the window manager frames it from now on
  }
}

void QtBackend::RestackPeer(HWND window, HWND above) {
  QWidget* w = Widget(window);
  if (w == nullptr) return;
  QWidget* over = Widget(above);
  if (over != nullptr && over->parentWidget() == w->parentWidget()) {
    w->stackUnder(over);
  } else {
    w->raise();
  }
  Relabel(w);
}

void QtBackend::ReparentPeer(HWND window, HWND parent) {
  QWidget* w = Widget(window);
  if (w == nullptr) return;
  Quiet quiet(this);
  const bool visible = w->isVisibleTo(w->parentWidget());
  const QRect geometry = w->geometry();
  w->setParent(Widget(parent));
  w->setGeometry(geometry);
  w->setVisible(visible);
  Relabel(w);
}

void QtBackend::FocusPeer(HWND window) {
  Quiet quiet(this);
  QWidget* w = Widget(window);
  if (w == nullptr) {
    if (QWidget* focus = QApplication::focusWidget()) focus->clearFocus();
    return;
  }
  w->setFocus(Qt::OtherFocusReason);
  // Focus moved after a key (Tab, a mnemonic) shows its mark on the control,
  // after a click it does not, as Windows shows focus cues once the keyboard
  // is used.
  if (w->window()->testAttribute(Qt::WA_KeyboardFocusChange) != keyboardUsed) {
    w->window()->setAttribute(Qt::WA_KeyboardFocusChange, keyboardUsed);
    w->window()->update();
  }
}

void QtBackend::ActivatePeer(HWND window) {
  QWidget* w = Widget(window);
  if (w == nullptr || !w->isWindow()) return;
  Quiet quiet(this);
  w->raise();
  if (!w->isActiveWindow()) pendingActivation_ = window;
  w->activateWindow();
}

void QtBackend::SetPeerBackground(HWND window, COLORREF color) {
  QWidget* w = Widget(window);
  if (w == nullptr) return;
  const bool editor = qobject_cast<QPlainTextEdit*>(w) != nullptr ||
                      qobject_cast<QLineEdit*>(w) != nullptr ||
                      qobject_cast<QComboBox*>(w) != nullptr;
  const QPalette::ColorRole back = editor ? QPalette::Base : QPalette::Window;
  const QPalette::ColorRole text = editor ? QPalette::Text : QPalette::WindowText;
  const DWORD system = GetSysColor(editor ? COLOR_WINDOW : COLOR_BTNFACE);
  // The system's own colour stands for the desktop's palette, text and
  // background alike, so a dark scheme gives light text on a dark box. A
  // colour of the window's own gets a text colour readable on it.
  QPalette palette;  // no role of its own: the desktop's palette throughout
  if (color != system) {
    const QColor c(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
    palette.setColor(back, c);
    palette.setColor(text, c.lightnessF() > 0.5 ? Qt::black : Qt::white);
  }
  w->setPalette(palette);
  w->setAutoFillBackground(!editor && color != system);
}

void QtBackend::SetPeerMenu(HWND window, const std::vector<PeerMenuItem>& bar) {
  auto it = peers_.find(window);
  if (it == peers_.end() || it->second.widget == nullptr || !it->second.widget->isWindow()) return;
  Peer& peer = it->second;
  Quiet quiet(this);
  if (bar.empty()) {
    delete peer.menuBar.data();
    peer.menuHeight = 0;
  } else {
    if (peer.menuBar == nullptr) {
      peer.menuBar = new PeerMenuBar(window, peer.widget);
      peer.menuBar->setFont(peer.widget->font());
      peer.menuBar->show();
    }
    peer.menuBar->Show(bar);
    peer.menuHeight = GetSystemMetrics(SM_CYMENU);
  }
  // The children keep their client coordinates below the bar.
  PlaceTopLevel(peer);
  for (auto& [handle, child] : peers_) {
    if (child.widget != nullptr && child.widget->parentWidget() == peer.widget)
      child.widget->setGeometry(ToQRect(child.window).translated(0, peer.menuHeight));
  }
  Relabel(peer.widget);
}

void QtBackend::ShowZoom(Peer& peer) {
  QFont font = peer.baseFont;
  if (peer.zoomNumerator > 0 && peer.zoomDenominator > 0) {
    const double ratio = double(peer.zoomNumerator) / peer.zoomDenominator;
    if (font.pixelSize() > 0) {
      font.setPixelSize(std::max(1, int(font.pixelSize() * ratio + 0.5)));
    } else {
      font.setPointSizeF(std::max(1.0, font.pointSizeF() * ratio));
    }
  }
  peer.widget->setFont(font);
}

void QtBackend::SetPeerZoom(HWND window, int numerator, int denominator) {
  auto it = peers_.find(window);
  if (it == peers_.end() || it->second.widget == nullptr) return;
  it->second.zoomNumerator = numerator;
  it->second.zoomDenominator = denominator;
  ShowZoom(it->second);
}

bool QtBackend::ZoomByUser(HWND window, int step) {
  auto it = peers_.find(window);
  if (it == peers_.end() || it->second.kind != PeerKind::kRichEdit) return false;
  Peer& peer = it->second;
  int numerator = 0, denominator = 0;  // Ctrl+0: no zoom
  if (step != 0) {
    const double ratio =
        peer.zoomDenominator > 0 ? double(peer.zoomNumerator) / peer.zoomDenominator : 1.0;
    // In tenths, kept inside the range the control takes (1/64 to 64).
    numerator = std::clamp(int(ratio * 10 + 0.5) + step, 1, 639);
    denominator = 10;
  }
  peer.zoomNumerator = numerator;
  peer.zoomDenominator = denominator;
  ShowZoom(peer);
  PeerZoomed(window, numerator, denominator);
  return true;
}

// The window that takes files dropped on `window`: it or its nearest
// ancestor with WS_EX_ACCEPTFILES.
HWND FileTaker(HWND window) {
  for (HWND w = window; w != nullptr; w = GetParent(w))
    if (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) return w;
  return nullptr;
}

bool QtBackend::FilesDragged(HWND window, QDropEvent* event, QWidget* over) {
  const QMimeData* data = event->mimeData();
  if (data == nullptr || !data->hasUrls() || FileTaker(window) == nullptr) return false;
  std::vector<std::string> paths;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
  if (paths.empty()) return false;
  event->setDropAction(Qt::CopyAction);
  event->accept();
  if (event->type() != QEvent::Drop) return true;
  QWidget* peer = Widget(window);
  QPoint at = event->position().toPoint();
  if (peer != nullptr && over != peer) at = over->mapTo(peer, at);
  if (peer != nullptr && peer->isWindow()) at.ry() -= peers_[window].menuHeight;
  PeerFilesDropped(window, paths, POINT{at.x(), at.y()});
  WorkStarted();
  return true;
}

QFont QtBackend::FontOf(const LOGFONTA& font) const {
  // Every font, the stock GUI font too, is the one the window asks for, at
  // its own size whatever the desktop's font size: the stored layout was
  // made for these fonts, and captions sized by the desktop would be cut.
  char face[LF_FACESIZE + 1] = {};
  std::memcpy(face, font.lfFaceName, LF_FACESIZE);
  QFont f = FaceFont(face, 9);
  const Cell cell = CellOf(face);
  // A negative height is the character height, a positive one the cell's.
  if (font.lfHeight < 0) f.setPixelSize(-font.lfHeight);
  if (font.lfHeight > 0) f.setPixelSize(std::max(1, font.lfHeight * cell.em / cell.height));
  if (font.lfWeight != 0) f.setWeight(font.lfWeight >= FW_BOLD ? QFont::Bold : QFont::Normal);
  f.setItalic(font.lfItalic != 0);
  f.setUnderline(font.lfUnderline != 0);
  f.setStrikeOut(font.lfStrikeOut != 0);
  return f;
}

// ---- Text and selection ----

TextCache* QtBackend::CacheOf(HWND window) const {
  auto it = peers_.find(window);
  return it == peers_.end() ? nullptr : it->second.cache.get();
}

std::u16string QtBackend::PeerText(HWND window) const {
  QWidget* w = Widget(window);
  if (auto* line = qobject_cast<QLineEdit*>(w)) return ToU16(line->text());
  if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
    TextCache* cache = CacheOf(window);
    if (cache == nullptr) return ToU16(plain->toPlainText());
    if (cache->textAt != cache->revision) {
      cache->text = ToU16(plain->toPlainText());
      cache->textAt = cache->revision;
    }
    return cache->text;
  }
  if (auto* list = qobject_cast<QComboBox*>(w)) return ToU16(list->currentText());
  return {};
}

void QtBackend::SetPeerText(HWND window, const std::u16string& text) {
  Quiet quiet(this);
  QWidget* w = Widget(window);
  WithoutCaretMoves(w, [&] {
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
      line->setText(ToQString(text));
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
      QString editorText = ToEditorText(text);
      TextCache* cache = CacheOf(window);
      const bool asWritten = cache != nullptr && ReadsBackAsWritten(editorText);
      const bool keep = asWritten && cache->keepsText;
      std::u16string readBack = keep ? ToU16(editorText) : std::u16string();
      GroupLines(editorText);
      plain->setPlainText(editorText);
      if (cache != nullptr) {
        cache->asWritten = asWritten;
        cache->text = std::move(readBack);
        cache->textAt = keep ? cache->revision : TextCache::kStale;
      }
    } else if (auto* list = qobject_cast<QComboBox*>(w); list != nullptr && list->isEditable()) {
      list->setEditText(ToQString(text));
    }
  });
}

// In a multi-line editor the range alone is edited, as the user's own typing
// edits it: Qt lays out only what changed, keeps the undo history, and tells
// a screen reader what was inserted instead of the whole text again.
void QtBackend::ReplacePeerText(HWND window, size_t start, size_t end,
                                const std::u16string& insert) {
  auto* plain = qobject_cast<QPlainTextEdit*>(Widget(window));
  TextCache* cache = CacheOf(window);
  if (plain == nullptr || cache == nullptr)
    return Backend::ReplacePeerText(window, start, end, insert);
  QString editorInsert = ToEditorText(insert);
  // The kept text stays current when what goes in reads back as written.
  const bool keep = cache->textAt == cache->revision && ReadsBackAsWritten(editorInsert);
  std::u16string text = keep ? std::move(cache->text) : std::u16string();
  const auto size = static_cast<size_t>(plain->document()->characterCount() - 1);
  start = std::min(start, size);
  end = std::max(start, std::min(end, size));
  if (keep) text.replace(start, end - start, ToU16(editorInsert));
  GroupLines(editorInsert);
  Quiet quiet(this);
  WithoutCaretMoves(plain, [&] {
    QTextCursor cursor(plain->document());
    cursor.setPosition(static_cast<int>(start));
    cursor.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
    cursor.insertText(editorInsert);
  });
  cache->text = std::move(text);
  cache->textAt = keep ? cache->revision : TextCache::kStale;
}

std::string QtBackend::PeerBoxText(HWND window) const {
  TextCache* cache = CacheOf(window);
  auto* plain = qobject_cast<QPlainTextEdit*>(Widget(window));
  if (cache == nullptr || plain == nullptr) return Backend::PeerBoxText(window);
  if (cache->boxAt != cache->revision) {
    // Only the form asked for is kept: a book's text is not held three times.
    cache->box =
        BoxTextOf(cache->textAt == cache->revision ? cache->text : ToU16(plain->toPlainText()));
    cache->boxAt = cache->revision;
  }
  return cache->box;
}

void QtBackend::SetPeerBoxText(HWND window, std::string text, size_t units) {
  TextCache* cache = CacheOf(window);
  if (cache == nullptr) return Backend::SetPeerBoxText(window, std::move(text), units);
  cache->keepsText = false;
  Backend::SetPeerBoxText(window, text, units);
  cache->keepsText = true;
  // Read back as written, the core's form of the text is the one given.
  if (cache->asWritten) {
    cache->box = std::move(text);
    cache->boxAt = cache->revision;
  }
}

size_t QtBackend::PeerTextLength(HWND window) const {
  if (auto* plain = qobject_cast<QPlainTextEdit*>(Widget(window)))
    return size_t(plain->document()->characterCount() - 1);
  return PeerText(window).size();
}

CHARRANGE QtBackend::PeerSelection(HWND window) const {
  QWidget* w = Widget(window);
  if (auto* list = qobject_cast<QComboBox*>(w)) w = list->lineEdit();
  if (auto* line = qobject_cast<QLineEdit*>(w)) {
    if (!line->hasSelectedText()) return CHARRANGE{line->cursorPosition(), line->cursorPosition()};
    return CHARRANGE{line->selectionStart(), line->selectionEnd()};
  }
  if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
    const QTextCursor c = plain->textCursor();
    return CHARRANGE{c.selectionStart(), c.selectionEnd()};
  }
  return CHARRANGE{0, 0};
}

void QtBackend::SetPeerSelection(HWND window, CHARRANGE range) {
  Quiet quiet(this);
  QWidget* w = Widget(window);
  if (auto* list = qobject_cast<QComboBox*>(w)) w = list->lineEdit();
  WithoutCaretMoves(w, [&] { SelectInEditor(w, range); });
}

// Lines of a document end at paragraph ends and at line separators.
bool EndsLine(const QTextDocument& document, int position) {
  const QChar c = document.characterAt(position);
  return c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}
int LineStart(const QTextDocument& document, int position) {
  while (position > 0 && !EndsLine(document, position - 1)) --position;
  return position;
}
int LineEnd(const QTextDocument& document, int position) {
  const int last = document.characterCount() - 1;
  while (position < last && !EndsLine(document, position)) ++position;
  return position;
}
// The position in the line above (or below) at the same column, or at that
// line's end if it is shorter; -1 when there is no such line.
int LineAbove(const QTextDocument& document, int position, bool below) {
  const int start = LineStart(document, position);
  const int column = position - start;
  if (!below) {
    if (start == 0) return -1;
    return std::min(LineStart(document, start - 1) + column, start - 1);
  }
  const int end = LineEnd(document, position);
  if (end >= document.characterCount() - 1) return -1;
  return std::min(end + 1 + column, LineEnd(document, end + 1));
}

bool QtBackend::MovePeerCaret(HWND window, int virtualKey, bool extend) {
  struct Move {
    int vk;
    QTextCursor::MoveOperation text;
  };
  // Home and End keep to the line the caret is on, as in every editor.
  static constexpr Move kMoves[] = {{VK_LEFT, QTextCursor::Left},
                                    {VK_RIGHT, QTextCursor::Right},
                                    {VK_UP, QTextCursor::Up},
                                    {VK_DOWN, QTextCursor::Down},
                                    {VK_HOME, QTextCursor::StartOfLine},
                                    {VK_END, QTextCursor::EndOfLine}};
  QWidget* w = Widget(window);
  if (auto* list = qobject_cast<QComboBox*>(w)) w = list->lineEdit();
  Quiet quiet(this);
  for (const Move& m : kMoves) {
    if (m.vk != virtualKey) continue;
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
      const auto mode = extend ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
      QTextCursor c = plain->textCursor();
      if (!c.movePosition(m.text, mode) && (virtualKey == VK_UP || virtualKey == VK_DOWN)) {
        // Lines not laid out yet (a hidden editor): move by the text's lines.
        const int to = LineAbove(*plain->document(), c.position(), virtualKey == VK_DOWN);
        if (to >= 0) c.setPosition(to, mode);
      }
      plain->setTextCursor(c);
      return true;
    }
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
      if (virtualKey == VK_UP || virtualKey == VK_DOWN) return true;  // one line: nowhere to go
      if (virtualKey == VK_LEFT) line->cursorBackward(extend);
      if (virtualKey == VK_RIGHT) line->cursorForward(extend);
      if (virtualKey == VK_HOME) line->home(extend);
      if (virtualKey == VK_END) line->end(extend);
      return true;
    }
  }
  return false;
}

// ---- User actions ----

// Typed text as an input method gives it to an ANSI window: GBK bytes as
// WM_CHAR, one by one. Text GBK cannot hold is refused with a beep.
void PostChars(const QString& text) {
  if (!HoldsInGbk(text)) {
    QApplication::beep();
    return;
  }
  for (char byte : GbkOf(text)) PostKeyInput(WM_CHAR, static_cast<unsigned char>(byte), 1);
}

bool QtBackend::KeyPressed(HWND window, QKeyEvent* key) {
  const int vk = VirtualKeyOf(key->key());
  Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
  if (key->key() == Qt::Key_Backtab) mods |= Qt::ShiftModifier;
  bool loopKey = false;
  for (const KeyPair& k : kLoopKeys) loopKey = loopKey || k.qt == key->key();
  // A window without a native control behind it gets every key through the
  // queue; system keys (mnemonics) are the core's too.
  auto it = peers_.find(window);
  const bool plain = it != peers_.end() && it->second.kind == PeerKind::kWindow;
  // A box with a length limit takes typed text through the core, which
  // counts it as the control does and tells the parent when it is full.
  const bool limited = Limited(window);
  const QString text = key->text();
  const bool printable = !text.isEmpty() && text[0].unicode() >= 0x20 &&
                         !(mods & (Qt::ControlModifier | Qt::AltModifier));
  // In a window with a menu bar, Ctrl with a letter the editors do not use
  // themselves may be an accelerator, which the loop translates.
  auto root = peers_.find(GetAncestor(window, GA_ROOT));
  const bool hasMenu = root != peers_.end() && root->second.menuBar != nullptr;
  const bool editorKey = vk >= 'A' && vk <= 'Z' && std::strchr("ACVXYZ", vk) != nullptr;
  const bool accelerator =
      hasMenu && (mods & Qt::ControlModifier) && vk >= 'A' && vk <= 'Z' && !editorKey;
  if (vk != 0 && (loopKey || plain || menuWalk_ || accelerator || (mods & Qt::AltModifier))) {
    PostKey(vk, mods);
    // Enter and a mnemonic may set the program working.
    if (vk == VK_RETURN || ((mods & Qt::AltModifier) && vk != VK_MENU)) WorkStarted();
  } else if (printable && (plain || held_ || limited)) {
    PostChars(text);
  } else if (vk != 0 && held_ && !(mods & Qt::ControlModifier)) {  // Ctrl+C, V, Z stay Qt's
    PostKey(vk, mods);
  } else {
    return false;
  }
  held_ = true;
  return true;
}

bool QtBackend::Limited(HWND window) const {
  auto it = peers_.find(window);
  return it != peers_.end() && it->second.textLimit > 0 && it->second.textLimit < 0x7FFFFFFE;
}

bool QtBackend::TextCommitted(HWND window, QInputMethodEvent* event) {
  if ((!held_ && !Limited(window)) || event->commitString().isEmpty()) return false;
  PostChars(event->commitString());
  return true;
}

void QtBackend::FocusedByUser(QWidget* widget, HWND window) {
  if (quiet()) return;
  // Only a control the user clicked or reached by a mnemonic; activation
  // and popups give the focus back on their own.
  if (widget->focusPolicy() == Qt::NoFocus) return;
  PeerFocused(window);
}

// Mouse buttons on a window without a native control, and the click that
// opens a list (the core drops the list down), reach the core as the mouse
// messages Windows sends; native controls handle their own clicks.
void QtBackend::MouseClicked(QObject* watched, QMouseEvent* event) {
  if (quiet() || event->button() != Qt::LeftButton || !watched->isWidgetType()) return;
  const QVariant handle = watched->property(kHandleProperty);
  if (!handle.isValid()) return;
  HWND window = reinterpret_cast<HWND>(handle.value<quintptr>());
  auto it = peers_.find(window);
  if (it == peers_.end()) return;
  const bool press = event->type() == QEvent::MouseButtonPress;
  QPoint p = event->position().toPoint();
  if (static_cast<QWidget*>(watched)->isWindow()) p.ry() -= it->second.menuHeight;
  const LPARAM at = LPARAM((p.y() << 16) | (p.x() & 0xFFFF));
  if (it->second.kind == PeerKind::kWindow) {
    // The core activates the window when it reads the click.
    QWidget* top = static_cast<QWidget*>(watched)->window();
    if (press && !top->isActiveWindow()) pendingActivation_ = PeerWindow(top);
    PostMessageA(window, press ? WM_LBUTTONDOWN : WM_LBUTTONUP, press ? MK_LBUTTON : 0, at);
  } else if (it->second.kind == PeerKind::kComboBox && press) {
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
  }
}

bool PeerFilter::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      if (!watched->isWidgetType()) return false;
      auto* key = static_cast<QKeyEvent*>(event);
      HWND window = PeerWindow(watched);
      if (window == nullptr) window = MenuOwner(watched);  // keys in an open menu
      if (window == nullptr) return false;
      backend_->keyboardUsed = true;
      backend_->altAlone = key->key() == Qt::Key_Alt;
      if (key->key() == Qt::Key_Alt) return true;  // the core hears it when it comes up
      if (key->modifiers() & Qt::ControlModifier) {
        static const std::array<std::pair<int, int>, 4> kZoomKeys = {
            {{Qt::Key_Plus, 1}, {Qt::Key_Equal, 1}, {Qt::Key_Minus, -1}, {Qt::Key_0, 0}}};
        for (const auto& [qtKey, step] : kZoomKeys)
          if (key->key() == qtKey && backend_->ZoomByUser(window, step)) return true;
      }
      return backend_->KeyPressed(window, key);
    }
    case QEvent::KeyRelease: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() != Qt::Key_Alt || key->isAutoRepeat()) return false;
      HWND window = watched->isWidgetType() ? PeerWindow(watched) : nullptr;
      if (window == nullptr) window = MenuOwner(watched);
      if (window == nullptr) return false;
      if (backend_->altAlone) backend_->AltAlone();
      backend_->altAlone = false;
      return true;
    }
    case QEvent::Wheel: {
      auto* wheel = static_cast<QWheelEvent*>(event);
      if (!(wheel->modifiers() & Qt::ControlModifier) || wheel->angleDelta().y() == 0) return false;
      HWND window = PeerWindow(watched);
      return window != nullptr &&
             backend_->ZoomByUser(window, wheel->angleDelta().y() > 0 ? 1 : -1);
    }
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
      auto* widget = qobject_cast<QWidget*>(watched);
      HWND window = widget != nullptr ? PeerWindow(widget) : nullptr;
      return window != nullptr &&
             backend_->FilesDragged(window, static_cast<QDropEvent*>(event), widget);
    }
    case QEvent::ShortcutOverride: {
      // Alt+letter is the core's mnemonic: Qt's own shortcut must not fire too.
      auto* key = static_cast<QKeyEvent*>(event);
      if (!watched->isWidgetType() ||
          (PeerWindow(watched) == nullptr && MenuOwner(watched) == nullptr) ||
          !(key->modifiers() & Qt::AltModifier) || VirtualKeyOf(key->key()) == 0) {
        return false;
      }
      event->accept();
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
      if (event->type() == QEvent::MouseButtonPress) backend_->keyboardUsed = false;
      backend_->MouseClicked(watched, static_cast<QMouseEvent*>(event));
      return false;
    case QEvent::InputMethod: {
      HWND window = watched->isWidgetType() ? PeerWindow(watched) : nullptr;
      return window != nullptr &&
             backend_->TextCommitted(window, static_cast<QInputMethodEvent*>(event));
    }
    case QEvent::FocusIn: {
      auto* focus = static_cast<QFocusEvent*>(event);
      const Qt::FocusReason reason = focus->reason();
      if (reason != Qt::MouseFocusReason && reason != Qt::ShortcutFocusReason) return false;
      auto* widget = qobject_cast<QWidget*>(watched);
      HWND window = widget != nullptr ? PeerWindow(widget) : nullptr;
      if (window != nullptr) backend_->FocusedByUser(widget, window);
      return false;
    }
    case QEvent::Close: {
      auto* widget = qobject_cast<QWidget*>(watched);
      if (widget == nullptr || !widget->isWindow() || backend_->quiet()) return false;
      HWND window = PeerWindow(widget);
      if (window == nullptr) return false;
      // The core decides whether the window closes; the frame only asks.
      event->ignore();
      PeerCloseRequested(window);
      return true;
    }
    case QEvent::Move:
    case QEvent::Resize: {
      auto* widget = qobject_cast<QWidget*>(watched);
      if (widget == nullptr || !widget->isWindow()) return false;
      if (HWND window = PeerWindow(widget)) backend_->FrameChanged(window);
      return false;
    }
    case QEvent::WindowActivate: {
      auto* widget = qobject_cast<QWidget*>(watched);
      if (widget == nullptr || !widget->isWindow() || backend_->quiet()) return false;
      HWND window = PeerWindow(widget);
      if (window != nullptr && !backend_->ExpectedActivation(window)) PeerActivated(window);
      return false;
    }
    default:
      return false;
  }
}

}  // namespace

void QueueDrained() {
  if (g_backend != nullptr) g_backend->QueueDrained();
}

QWidget* PeerWidget(HWND window) {
  if (g_backend == nullptr || window == nullptr) return nullptr;
  for (QWidget* w : QApplication::allWidgets()) {
    if (w->property(kHandleProperty).value<quintptr>() == quintptr(window)) return w;
  }
  return nullptr;
}

HWND PeerWindow(const QObject* object) {
  for (const QObject* o = object; o != nullptr; o = o->parent()) {
    const QVariant handle = o->property(kHandleProperty);
    if (handle.isValid()) return reinterpret_cast<HWND>(handle.value<quintptr>());
    if (o->isWidgetType() && static_cast<const QWidget*>(o)->isWindow()) break;
  }
  return nullptr;
}

int VirtualKeyOf(int qtKey) {
  for (const KeyPair& k : kLoopKeys) {
    if (k.qt == qtKey) return k.vk;
  }
  for (const KeyPair& k : kOtherKeys) {
    if (k.qt == qtKey) return k.vk;
  }
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
    return qtKey;  // letters and digits share their codes
  }
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return VK_F1 + (qtKey - Qt::Key_F1);
  return 0;
}

int QtKeyOf(int virtualKey) {
  for (const KeyPair& k : kLoopKeys) {
    if (k.vk == virtualKey && k.qt != Qt::Key_Backtab && k.qt != Qt::Key_Enter) return k.qt;
  }
  for (const KeyPair& k : kOtherKeys) {
    if (k.vk == virtualKey) return k.qt;
  }
  if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9')) {
    return virtualKey;
  }
  if (virtualKey >= VK_F1 && virtualKey <= VK_F1 + 11) return Qt::Key_F1 + (virtualKey - VK_F1);
  return 0;
}

}  // namespace platform::qt

namespace platform {

std::unique_ptr<Backend> CreateQtBackend() {
  return std::make_unique<qt::QtBackend>();
}

}  // namespace platform

namespace {
// Linking the library offers the backend by name, which is how the desktop
// program finds it without including anything of Qt.
const bool kRegistered = [] {
  platform::RegisterBackend("qt", []() -> std::unique_ptr<platform::Backend> {
    if (!platform::qt::DisplayAnswers()) return nullptr;
    return platform::CreateQtBackend();
  });
  return true;
}();
}  // namespace
