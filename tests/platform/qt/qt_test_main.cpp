// SPDX-License-Identifier: GPL-3.0-or-later
// Test entry for the Qt suites: Qt's offscreen platform with a 1280x1024
// screen at 96 dpi, like the headless backend's (unless the caller chose
// another platform: the AT-SPI smoke test runs on Xvfb), then one application.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/qt/qt_support.h"

// Fontconfig keeps its pattern cache to the end of the process (Qt's font
// database never calls FcFini): not a leak of ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

namespace {

// The offscreen platform's screen, in a file of this process's own: Qt reads
// it while the application is made, and one file shared by test processes
// running at once (suites of several builds) was at times read while another
// process rewrote it, which aborted the test. Returns the file's path; the
// process that wrote it removes it at its end.
std::string WriteScreenConfig() {
  std::string path = (std::filesystem::temp_directory_path() / "molvane-screen-XXXXXX").string();
  const int fd = mkstemp(path.data());
  if (fd < 0) return {};
  close(fd);
  std::ofstream(path) << R"({"windowFrameMargins": false, "screens": [{"name": "molvane",
    "x": 0, "y": 0, "width": 1280, "height": 1024, "logicalDpiX": 96, "logicalDpiY": 96}]})";
  setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path).c_str(), 1);
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const char* chosen = std::getenv("QT_QPA_PLATFORM");
  std::string config;
  if (chosen == nullptr || std::string(chosen) == "offscreen") config = WriteScreenConfig();
  platform::qt::EnsureApplication();
  // Tests written for every backend expect a message box to be answered; on
  // Qt it is a real box, so a patient reader presses its default button once
  // it has been open a while (a test that answers it itself is quicker).
  QTimer reader;
  QPointer<QMessageBox> seen;
  QElapsedTimer open;
  QObject::connect(&reader, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    if (box != seen) {
      seen = box;
      open.start();
    } else if (open.elapsed() > 300 && box->defaultButton() != nullptr) {
      QTest::mouseClick(box->defaultButton(), Qt::LeftButton);
    }
  });
  reader.start(20);
  const int failed = RUN_ALL_TESTS();
  // Kept until now: death tests run this program again, with the same file.
  if (!config.empty()) std::filesystem::remove(config);
  return failed;
}
