// Test entry for the Qt suites: Qt's offscreen platform unless the caller
// chose another (the AT-SPI smoke test runs on Xvfb), then one application.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/qt/qt_support.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  platform::qt::EnsureApplication();
  return RUN_ALL_TESTS();
}
