// SPDX-License-Identifier: MIT
// Driving the window in tests: modal windows are answered from a timer, so no test waits on
// a person.
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

namespace nerin::test {

// Processes events until the condition holds or the time is up; returns the condition.
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 3000) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > timeoutMs) {
      return false;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return true;
}

inline void Pump(int ms = 30) {
  WaitUntil([] { return false; }, ms);
}

// Types the path into the file dialog's name field and presses its OK button, as a user would.
inline void ChooseInFileDialog(QFileDialog* dialog, const QString& path) {
  if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
    name->setText(path);
  }
  static_cast<QDialog*>(dialog)->accept();
}

// Watches for modal windows while it lives. Each new one is written down (title and text) and
// handed to the action; without an action, or when the action leaves it open for 3 seconds,
// it is closed.
class ModalWatcher {
 public:
  struct Seen {
    std::string title;
    std::string text;
  };
  using Action = std::function<void(QWidget*)>;

  explicit ModalWatcher(Action action = nullptr) : action_(std::move(action)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
    timer_.start(10);
  }

  std::vector<Seen> seen;

 private:
  static std::string TextOf(QWidget* window) {
    if (auto* box = qobject_cast<QMessageBox*>(window)) {
      return box->text().toStdString();
    }
    if (auto* input = qobject_cast<QInputDialog*>(window)) {
      return input->textValue().toStdString();
    }
    if (auto* files = qobject_cast<QFileDialog*>(window)) {
      return files->selectedFiles().join('\n').toStdString();
    }
    if (auto* text = window->findChild<QPlainTextEdit*>()) {
      return text->toPlainText().toStdString();
    }
    return {};
  }

  static void Close(QWidget* window) {
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
      dialog->reject();
    } else {
      window->close();
    }
  }

  void Tick() {
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr || !window->isVisible()) {
      return;
    }
    if (window != current_) {
      current_ = window;
      since_.start();
      seen.push_back({window->windowTitle().toStdString(), TextOf(window)});
      if (action_) {
        action_(window);
      } else {
        Close(window);
      }
    } else if (since_.elapsed() > 3000) {
      Close(window);
    }
  }

  Action action_;
  QTimer timer_;
  QPointer<QWidget> current_;
  QElapsedTimer since_;
};

}  // namespace nerin::test
