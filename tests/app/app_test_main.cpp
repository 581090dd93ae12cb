// SPDX-License-Identifier: MIT
// The window's tests run without a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  // A 1920 x 1080 screen unless ctest names another one (a small one, or one scaled as on a 4K
  // display): what fits on screen is part of what the tests check.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" NERIN_SOURCE_DIR "/tests/app/data/screen-1920x1080.json");
  }
  // Settings the window reads or writes go to a folder of this run alone: the developer's own
  // never leak in, and the tests never change them.
  const QTemporaryDir config;
  if (!config.isValid()) return 1;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
