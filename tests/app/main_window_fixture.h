// SPDX-License-Identifier: MIT
// A started viewer for each test, as the program starts it, without a display.
#pragma once

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include <memory>
#include <string>
#include <vector>

#include "app/startup.h"
#include "app/status_text.h"
#include "gui_test_support.h"

namespace nerin::test {

// Waits, asserting, until no load runs.
inline void WaitForLoad(MainWindow& window) {
  EXPECT_TRUE(WaitUntil([&] { return !window.Loading(); }, 20000)) << "still loading";
}

// Waits, asserting, until the window has done what the last events asked of it: no load runs
// and the redraw timer (the throttled redraw, the relayout a new plan asks for) has fired.
inline void WaitUntilSettled(MainWindow& window) {
  WaitForLoad(window);
  EXPECT_TRUE(WaitUntil([&] { return !window.Timer(SessionTimer::Redraw).isActive(); })) << "a redraw still waits";
}

// Opens a source as the given way in would and waits, asserting, until its load has ended and
// the window has settled.
inline void OpenAndWait(MainWindow& window, const std::string& source, OpenOrigin origin = OpenOrigin::Dialog) {
  window.Open(source, origin);
  WaitUntilSettled(window);
}

inline std::string AppData(const std::string& name) {
  return std::string(NERIN_SOURCE_DIR) + "/tests/app/data/" + name;
}

inline QColor ColourOf(Rgb rgb) {
  return QColor(rgb.r, rgb.g, rgb.b);
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindow& Start(const std::vector<std::string>& arguments = {}) {
    window_ = StartViewer(arguments);
    EXPECT_NE(window_, nullptr);
    if (window_ != nullptr) WaitUntilSettled(*window_);
    return *window_;
  }

  MainWindow& Window() { return *window_; }
  const MainWindowControls& C() { return window_->Controls(); }
  // The session's state, read only: tests change it as the user would, through the window.
  const SessionState& State() { return window_->Session().State(); }
  const Plan& ShownPlan() { return window_->Session().ShownPlan(); }
  const MessageLog& ShownLog() { return window_->Session().ShownLog(); }

  std::string StatusText() { return C().StatusField->text().toStdString(); }
  QColor StatusBackground() { return C().StatusField->palette().color(QPalette::Window); }
  std::string Title() { return window_->windowTitle().toStdString(); }
  void Settle() { WaitUntilSettled(*window_); }

  // Opens a plan of tests/app/data as the Open dialog would, answering any window it raises.
  std::vector<ModalWatcher::Seen> Open(const std::string& name) {
    ModalWatcher watcher;
    OpenAndWait(*window_, AppData(name));
    return watcher.seen;
  }

 private:
  std::unique_ptr<MainWindow> window_;
};

}  // namespace nerin::test
