// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program on Qt's offscreen platform, driven as a person would:
// paste a whole corpus into the input box (Ctrl+V), choose the notation in
// the list, click 转换, and time the round trip from the click until the
// result is in the output box and painted. Also times one typed key in the
// filled input box, which must stay immediate, and Ctrl+A, Ctrl+C in the
// output box at the end, and reports the process's peak memory. Nothing the
// benchmark itself reads from the boxes falls inside a timed interval.
//
//   molvane_window_bench CORPUS.txt [RUNS] [LIST_ITEM]
#include <sys/resource.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/conversion.h"
#include "platform/backend.h"
#include "platform/qt/qt_input.h"
#include "platform/win32.h"
#include "runtime/runtime.h"
#include "ui/program.h"

namespace {

template <typename W>
W* Labelled(const QString& name) {
  for (QWidget* w : QApplication::allWidgets()) {
    if (auto* typed = qobject_cast<W*>(w); typed != nullptr && w->accessibleName() == name) {
      return typed;
    }
  }
  return nullptr;
}

// Runs what one key press leaves behind: Qt's events and the core's queue,
// as the program's loop would.
void Settle() {
  QCoreApplication::processEvents();
  MSG msg{};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (molvane::PreTranslateRuntimeMessage(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// Steps run from timers inside the program's own message loop.
class Driver {
 public:
  Driver(QString corpus, int runs, int item)
      : corpus_(std::move(corpus)), runs_(runs), item_(item) {}

  void Start() {
    input_ = Labelled<QPlainTextEdit>(u"转换内容"_qs);
    output_ = Labelled<QPlainTextEdit>(u"转换结果"_qs);
    list_ = Labelled<QComboBox>(u"转换为"_qs);
    button_ = Labelled<QPushButton>(u"转换(Z)"_qs);
    // Keys sent before the window is exposed are dropped, and would time nothing.
    const QWindow* shown = input_ != nullptr ? input_->window()->windowHandle() : nullptr;
    if (!input_ || !output_ || !list_ || !button_ || shown == nullptr || !shown->isExposed()) {
      // The window is not up yet: look again shortly.
      if (++tries_ > 500) {
        std::fprintf(stderr, "window controls not found\n");
        std::exit(1);
      }
      QTimer::singleShot(10, [this] { Start(); });
      return;
    }
    QTest::mouseClick(input_, Qt::LeftButton, {}, input_->rect().center());
    QApplication::clipboard()->setText(corpus_);
    QElapsedTimer t;
    t.start();
    QTest::keyClick(input_, Qt::Key_V, Qt::ControlModifier);
    QCoreApplication::processEvents();
    paste_ = t.nsecsElapsed() / 1e6;
    if (input_->toPlainText().isEmpty()) {
      std::fprintf(stderr, "the paste left the input box empty\n");
      std::exit(1);
    }
    QTest::keyClick(input_, Qt::Key_End, Qt::ControlModifier);
    for (int i = 0; i < 5; ++i) {
      t.restart();
      QTest::keyClick(input_, Qt::Key_A);
      Settle();
      keys_.push_back(t.nsecsElapsed() / 1e6);
      QTest::keyClick(input_, Qt::Key_Backspace);
      Settle();
    }
    if (!ChooseItem()) {
      std::fprintf(stderr, "the list did not take item %d\n", item_);
      std::exit(1);
    }
    QObject::connect(output_, &QPlainTextEdit::textChanged, output_, [this] {
      if (output_->document()->isEmpty()) return;  // the box is emptied first
      set_.push_back(clock_.nsecsElapsed() / 1e6);
      QTimer::singleShot(0, output_, [this] { Shown(); });
    });
    QTimer::singleShot(0, button_, [this] { Click(); });
  }

  void Report() const {
    std::printf("corpus: %lld characters; notation: list item %d (%s)\n",
                static_cast<long long>(corpus_.size()), item_, qPrintable(itemText_));
    std::printf("paste (Ctrl+V) into the input box: %.1f ms\n", paste_);
    std::printf("one typed key in the filled input box: median %.2f ms, keys:", Median(keys_));
    for (double k : keys_) std::printf(" %.2f", k);
    std::printf("\n");
    std::printf("click to result in the output box: median %.0f ms of %zu\n", Median(set_),
                set_.size());
    std::printf("click to result painted (round trip): median %.0f ms, runs:", Median(shown_));
    for (double s : shown_) std::printf(" %.0f", s);
    std::printf("\nresult: %lld characters\n", static_cast<long long>(resultSize_));
    std::printf("Ctrl+A, Ctrl+C in the output box: %.0f ms (%lld characters copied)\n", copy_,
                static_cast<long long>(copied_));
    std::printf("peak memory: %ld MB with the result shown, %ld MB after the clipboard was read\n",
                shownPeak_, PeakMegabytes());
  }

 private:
  // Clicks the list open and the item in it, through the backend's input
  // module (which waits out the popup's guard against the opening click),
  // then asks the core which item the program will read.
  bool ChooseItem() {
    auto list = reinterpret_cast<HWND>(molvane::CallService(
        molvane::kServiceLookupControl, molvane::kMainWindowId, molvane::kNotationListId));
    if (list == nullptr || item_ < 0 || item_ >= list_->count()) return false;
    platform::Input().ChooseItem(list, item_);
    Settle();
    itemText_ = list_->itemText(item_);
    return SendMessageA(list, CB_GETCURSEL, 0, 0) == item_;
  }
  void Click() {
    clock_.start();
    QTest::mouseClick(button_, Qt::LeftButton, {}, button_->rect().center());
  }
  static long PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
  }
  // Reading the clipboard makes Qt write the copied text in every format it
  // offers (HTML among them), which is the reader's cost, not the copy's.
  void CopyAll() {
    shownPeak_ = PeakMegabytes();
    QTest::mouseClick(output_->viewport(), Qt::LeftButton, {},
                      output_->viewport()->rect().center());
    Settle();
    QElapsedTimer t;
    t.start();
    QTest::keyClick(output_, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(output_, Qt::Key_C, Qt::ControlModifier);
    Settle();
    copy_ = t.nsecsElapsed() / 1e6;
    copied_ = QApplication::clipboard()->text().size();
  }
  void Shown() {
    output_->viewport()->repaint();
    shown_.push_back(clock_.nsecsElapsed() / 1e6);
    resultSize_ = output_->document()->characterCount() - 1;  // less the closing paragraph mark
    if (int(shown_.size()) < runs_) {
      QTimer::singleShot(0, button_, [this] { Click(); });
    } else {
      CopyAll();
      output_->window()->close();
    }
  }

  QString corpus_;
  int runs_;
  int item_;
  QString itemText_;
  QPlainTextEdit* input_ = nullptr;
  QPlainTextEdit* output_ = nullptr;
  QComboBox* list_ = nullptr;
  QPushButton* button_ = nullptr;
  QElapsedTimer clock_;
  double paste_ = 0;
  double copy_ = 0;
  long shownPeak_ = 0;
  qsizetype copied_ = 0;
  std::vector<double> keys_, set_, shown_;
  qsizetype resultSize_ = 0;
  int tries_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS.txt [RUNS] [LIST_ITEM]\n", argv[0]);
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QFile file(QString::fromLocal8Bit(argv[1]));
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 2;
  }
  platform::UseQtBackend();
  Driver driver(QString::fromUtf8(file.readAll()), argc > 2 ? std::atoi(argv[2]) : 5,
                argc > 3 ? std::atoi(argv[3]) : 0);
  QTimer::singleShot(0, [&driver] { driver.Start(); });
  const int result = molvane::ProgramEntry();
  driver.Report();
  std::fflush(stdout);
  molvane::ShutdownRuntime(result);
  return result;
}
