// SPDX-License-Identifier: MIT
// The settings and file watch tests need an event loop but no display, and never touch the
// user's own configuration.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication application(argc, argv);
  QStandardPaths::setTestModeEnabled(true);
  return RUN_ALL_TESTS();
}
