// SPDX-License-Identifier: MIT
// Keyboard shortcuts, the messages button, the web-address and dump commands, tabs and timers.
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QFocusEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "app/chart_canvas.h"
#include "app/modal_windows.h"
#include "main_window_fixture.h"

namespace nerin {
namespace {

using test::ModalWatcher;
using test::WaitUntil;

int ShortcutsFor(const QWidget& window, const QKeySequence& key) {
  int count = 0;
  for (const QShortcut* shortcut : window.findChildren<QShortcut*>()) {
    count += shortcut->key() == key ? 1 : 0;
  }
  return count;
}

class ShortcutTest : public test::MainWindowTest {};

TEST_F(ShortcutTest, SearchFieldFocusSwitchesTheNavigationKeys) {
  Start();
  QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
  QCoreApplication::sendEvent(C().SearchField, &in);
  EXPECT_FALSE(State().NavigationKeysMode);
  EXPECT_EQ(ShortcutsFor(Window(), QKeySequence(Qt::Key_Up)), 0);
  QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
  QCoreApplication::sendEvent(C().SearchField, &out);
  EXPECT_TRUE(State().NavigationKeysMode);
  EXPECT_EQ(ShortcutsFor(Window(), QKeySequence(Qt::Key_Up)), 1);
}

TEST_F(ShortcutTest, CtrlDAndCtrlShiftDBothAskForTheDump) {
  Start();
  const std::vector<Qt::KeyboardModifiers> dumpKeys = {Qt::ControlModifier,
                                                       Qt::ControlModifier | Qt::ShiftModifier};
  for (const Qt::KeyboardModifiers modifiers : dumpKeys) {
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    ModalWatcher watcher;
    QTest::keyClick(&Window(), Qt::Key_D, modifiers);
    ASSERT_TRUE(WaitUntil([&] { return !watcher.seen.empty(); }));
    EXPECT_EQ(watcher.seen[0].title, "Model dump");
    EXPECT_EQ(watcher.seen[0].text, "No project is loaded, so there is nothing to dump.");
  }
}

TEST_F(ShortcutTest, KeyboardStartsOnTheChart) {
  Start();
  Window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
  EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(C().ChartCanvas));
  EXPECT_TRUE(State().NavigationKeysMode);
}

TEST_F(ShortcutTest, CommandKeysWinWhileTypingInTheSearchField) {
  Start();
  Window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
  C().SearchField->setFocus();
  ASSERT_TRUE(WaitUntil([&] { return QApplication::focusWidget() == C().SearchField; }));
  EXPECT_FALSE(State().NavigationKeysMode);
  QTest::keyClicks(C().SearchField, "deck");
  QTest::keyClick(C().SearchField, Qt::Key_Plus, Qt::KeypadModifier);
  QTest::keyClick(C().SearchField, Qt::Key_Home);
  QTest::keyClick(C().SearchField, Qt::Key_Delete);
  EXPECT_EQ(C().SearchField->text(), "eck+");
  ModalWatcher watcher;
  QTest::keyClick(C().SearchField, Qt::Key_D, Qt::ControlModifier);
  ASSERT_TRUE(WaitUntil([&] { return !watcher.seen.empty(); }));
  EXPECT_EQ(watcher.seen[0].title, "Model dump");
  EXPECT_EQ(C().SearchField->text(), "eck+");
}

struct OverrideCase {
  const char* name;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  bool windowTakesIt;
};

// ctest lists each case by this name.
void PrintTo(const OverrideCase& c, std::ostream* out) {
  *out << c.name;
}

class SearchFieldKeyTest : public test::MainWindowTest, public ::testing::WithParamInterface<OverrideCase> {};

// On desktops whose text fields use Ctrl+D and Ctrl+U for editing, the window's commands must
// still reach the window while the search field has the focus.
TEST_P(SearchFieldKeyTest, WindowCommandsAreNotKeptByTheField) {
  Start();
  const OverrideCase& c = GetParam();
  QKeyEvent override(QEvent::ShortcutOverride, c.key, c.modifiers);
  override.ignore();
  QObject& window = Window();
  EXPECT_EQ(window.eventFilter(C().SearchField, &override), c.windowTakesIt);
  if (c.windowTakesIt) {
    EXPECT_FALSE(override.isAccepted());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SearchFieldKeyTest,
    ::testing::Values(OverrideCase{"CtrlD", Qt::Key_D, Qt::ControlModifier, true},
                      OverrideCase{"CtrlShiftD", Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier, true},
                      OverrideCase{"CtrlU", Qt::Key_U, Qt::ControlModifier, true},
                      OverrideCase{"CtrlO", Qt::Key_O, Qt::ControlModifier, true},
                      OverrideCase{"CtrlA", Qt::Key_A, Qt::ControlModifier, false},
                      OverrideCase{"PlainD", Qt::Key_D, Qt::NoModifier, false},
                      OverrideCase{"KeypadPlus", Qt::Key_Plus, Qt::KeypadModifier, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShortcutTest, CtrlOOpensTheFileDialog) {
  Start();
  Window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
  ModalWatcher watcher;
  QTest::keyClick(&Window(), Qt::Key_O, Qt::ControlModifier);
  ASSERT_TRUE(WaitUntil([&] { return !watcher.seen.empty(); }));
  EXPECT_EQ(watcher.seen[0].title, "Open MS Project plan");
  EXPECT_FALSE(ShownPlan().ProjectLoaded);
}

class OpenCommandTest : public test::MainWindowTest {};

TEST_F(OpenCommandTest, OpenDialogLoadsTheChosenFile) {
  Start();
  QStringList filters;
  ModalWatcher watcher([&](QWidget* window) {
    auto* dialog = qobject_cast<QFileDialog*>(window);
    ASSERT_NE(dialog, nullptr);
    filters = dialog->nameFilters();
    test::ChooseInFileDialog(dialog, QString::fromStdString(test::AppData("bridge.xml")));
  });
  Window().RunCommand(Command::OpenFile);
  test::WaitForLoad(Window());
  ASSERT_EQ(watcher.seen.size(), 1u);
  EXPECT_EQ(watcher.seen[0].title, "Open MS Project plan");
  ASSERT_EQ(filters.size(), 2);
  EXPECT_EQ(filters[0], "Plans (*.xml *.mpp *.XML *.MPP)");
  EXPECT_EQ(filters[1], "All files (*)");
  EXPECT_TRUE(ShownPlan().ProjectLoaded);
  EXPECT_EQ(ShownPlan().ProjectName, "Bridge Works");
}

TEST_F(OpenCommandTest, CancelledOpenDialogChangesNothing) {
  Start();
  Open("bridge.xml");
  const std::string status = StatusText();
  ModalWatcher watcher;
  Window().RunCommand(Command::OpenFile);
  test::WaitForLoad(Window());
  EXPECT_EQ(watcher.seen.size(), 1u);
  EXPECT_EQ(StatusText(), status);
  EXPECT_EQ(ShownPlan().ProjectName, "Bridge Works");
}

// While a file is read or an address downloads, the window says so, not "No project loaded".
TEST_F(OpenCommandTest, StatusLineSaysWhatIsBeingOpened) {
  struct Case {
    std::string source;
    std::string during;
  };
  const Case cases[] = {
      {test::AppData("broken.xml"), "Opening broken.xml\u2026"},
      {"http://127.0.0.1:9/plans/plan.xml", "Downloading plan.xml\u2026"},
      {test::AppData("bridge.xml"), "Opening bridge.xml\u2026"},
  };
  Start();
  Window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    // A plan shown before would stay on the chart while the next one is read.
    ASSERT_FALSE(ShownPlan().ProjectLoaded);
    std::string during;
    QImage chart;
    QTimer::singleShot(0, &Window(), [&] {
      during = StatusText();
      chart = C().ChartCanvas->grab().toImage();
    });
    ModalWatcher watcher;
    Window().OpenFromCommandLine({c.source});
    test::WaitForLoad(Window());
    EXPECT_EQ(during, c.during);
    ASSERT_FALSE(chart.isNull());
    // Blank where the placeholder has its dark title band.
    EXPECT_EQ(chart.pixelColor(20, 20), QColor(238, 243, 247));
    EXPECT_NE(StatusText(), c.during);  // the outcome replaces it
  }
}

// The Open, Export and dump dialogs start in the folder of the plan shown, else in the folder
// used last.
TEST_F(OpenCommandTest, FileDialogsStartInThePlansFolder) {
  QTemporaryDir other;
  ASSERT_TRUE(other.isValid());
  const QString otherFolder = QDir(other.path()).absolutePath();
  ASSERT_TRUE(QFile::copy(QString::fromStdString(test::AppData("late-failure.xml")),
                          otherFolder + QStringLiteral("/unloadable.xml")));
  const QString dataFolder = QFileInfo(QString::fromStdString(test::AppData("bridge.xml"))).absolutePath();
  struct Step {
    std::string open;  // relative to the other folder when it starts with "other:"
    bool planShown;
    QString folder;
  };
  const Step steps[] = {
      {test::AppData("bridge.xml"), true, dataFolder},
      {"other:missing.xml", true, dataFolder},      // the plan shown stays, and its folder
      {"other:unloadable.xml", false, otherFolder},  // no plan left: the folder used last
  };
  Start();
  for (const Step& step : steps) {
    SCOPED_TRACE(step.open);
    const std::string path = step.open.rfind("other:", 0) == 0
                                 ? otherFolder.toStdString() + "/" + step.open.substr(6)
                                 : step.open;
    {
      ModalWatcher watcher;
      test::OpenAndWait(Window(), path);
    }
    ASSERT_EQ(ShownPlan().ProjectLoaded, step.planShown);
    std::vector<QString> folders;
    ModalWatcher watcher([&](QWidget* window) {
      if (auto* dialog = qobject_cast<QFileDialog*>(window)) {
        folders.push_back(dialog->directory().absolutePath());
      }
      qobject_cast<QDialog*>(window)->reject();
    });
    Window().RunCommand(Command::OpenFile);
    test::WaitForLoad(Window());
    if (step.planShown) {
      C().ExportButton->click();
      Window().RunCommand(Command::ModelDump);
    }
    ASSERT_EQ(folders.size(), step.planShown ? 3u : 1u);
    for (const QString& folder : folders) {
      EXPECT_EQ(folder.toStdString(), step.folder.toStdString());
    }
  }
}

TEST_F(OpenCommandTest, UnreachableAddressIsReportedAndRemembered) {
  Start();
  const std::string address = "http://127.0.0.1:9/plans/plan.xml";
  std::vector<std::string> labels;
  ModalWatcher watcher([&](QWidget* window) {
    if (auto* input = qobject_cast<QInputDialog*>(window)) {
      labels.push_back(input->labelText().toStdString());
      input->setTextValue(QString::fromStdString(address));
      input->accept();
    } else {
      qobject_cast<QDialog*>(window)->reject();
    }
  });
  Window().RunCommand(Command::OpenAddress);
  test::WaitForLoad(Window());
  ASSERT_EQ(watcher.seen.size(), 2u);
  EXPECT_EQ(watcher.seen[0].title, "Open from a web address");
  EXPECT_EQ(watcher.seen[0].text, "");
  ASSERT_EQ(labels.size(), 1u);
  EXPECT_EQ(labels[0], "Address of the MS Project plan (XML or .mpp):");
  EXPECT_EQ(watcher.seen[1].title, "plan.xml not loaded");
  EXPECT_EQ(watcher.seen[1].text,
            "ERROR: The address could not be read. Check the address, and that the server is reachable.\n");
  EXPECT_EQ(State().Opening.LastAddress, address);
  EXPECT_EQ(StatusText(), "FAILED | 1 error(s)");
  EXPECT_EQ(Title(), "Nerin Plan Viewer");
}

TEST_F(OpenCommandTest, AddressDialogOffersTheLastAddressAndCancelKeepsAll) {
  Start();
  {
    // An address typed before (its server refuses) is the one the dialog offers next.
    const ModalWatcher refused;
    test::OpenAndWait(Window(), "http://127.0.0.1:9/plans/week.xml");
  }
  Open("bridge.xml");
  const std::string status = StatusText();
  const std::size_t messages = ShownLog().messages.size();
  ModalWatcher watcher;
  Window().RunCommand(Command::OpenAddress);
  test::WaitForLoad(Window());
  ASSERT_EQ(watcher.seen.size(), 1u);
  EXPECT_EQ(watcher.seen[0].text, "http://127.0.0.1:9/plans/week.xml");
  EXPECT_EQ(StatusText(), status);
  EXPECT_EQ(ShownLog().messages.size(), messages);
  EXPECT_EQ(ShownPlan().ProjectName, "Bridge Works");
}

TEST_F(OpenCommandTest, EmptyAddressOpensNothing) {
  Start();
  ModalWatcher watcher([](QWidget* window) {
    auto* input = qobject_cast<QInputDialog*>(window);
    input->setTextValue(QString());
    input->accept();
  });
  Window().RunCommand(Command::OpenAddress);
  test::WaitForLoad(Window());
  EXPECT_EQ(watcher.seen.size(), 1u);
  EXPECT_EQ(StatusText(), "READY | Open or drag an MS Project plan (.xml or .mpp)");
  EXPECT_TRUE(State().Opening.LastAddress.empty());
}

class MessagesButtonTest : public test::MainWindowTest {};

TEST_F(MessagesButtonTest, OpensWarningsOrMessages) {
  Start();
  Open("quay-warnings.xml");
  {
    ModalWatcher watcher;
    C().MessagesButton->click();
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].title, "Warnings");
    EXPECT_EQ(watcher.seen[0].text, MessageListText(ShownLog()));
    EXPECT_NE(watcher.seen[0].text.find("WARNING: Task 1: "), std::string::npos);
  }
  Open("bridge.xml");
  {
    ModalWatcher watcher;
    C().MessagesButton->click();
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].title, "Messages");
    EXPECT_EQ(watcher.seen[0].text.rfind("INFO: ", 0), 0u);
  }
}

// The window is as large as its text needs, up to 900 x 620, with a Close button.
TEST_F(MessagesButtonTest, MessagesWindowIsSizedToItsTextAndCloses) {
  Start();
  struct Case {
    std::string body;
    bool large;
  };
  const Case cases[] = {{"WARNING: one\n", false}, {std::string(200, 'x') + "\n" + std::string(60, '\n'), true}};
  for (const Case& c : cases) {
    bool checked = false;
    ModalWatcher watcher([&](QWidget* window) {
      auto* text = window->findChild<QPlainTextEdit*>();
      ASSERT_NE(text, nullptr);
      EXPECT_EQ(window->minimumSize(), window->maximumSize());
      EXPECT_EQ(window->width() < 900, !c.large);
      EXPECT_LE(window->width(), 900);
      EXPECT_LE(window->height(), 620);
      EXPECT_TRUE(window->rect().contains(text->geometry()));
      EXPECT_TRUE(text->isReadOnly());
      EXPECT_EQ(text->lineWrapMode(), QPlainTextEdit::WidgetWidth);
      EXPECT_EQ(QApplication::focusWidget(), text);
      auto* buttons = window->findChild<QDialogButtonBox*>();
      ASSERT_NE(buttons, nullptr);
      ASSERT_NE(buttons->button(QDialogButtonBox::Close), nullptr);
      checked = true;
      buttons->button(QDialogButtonBox::Close)->click();
    });
    RunMessagesWindow(&Window(), "plan.xml not loaded", c.body);
    EXPECT_TRUE(checked);
    EXPECT_EQ(watcher.seen.at(0).title, "plan.xml not loaded");
  }
}

class ModelDumpTest : public test::MainWindowTest {
 protected:
  // Runs the dump command, answering the save dialog with `path`.
  std::vector<ModalWatcher::Seen> DumpTo(const QString& path, QString* proposed = nullptr) {
    ModalWatcher watcher([&](QWidget* window) {
      if (auto* dialog = qobject_cast<QFileDialog*>(window)) {
        if (proposed != nullptr) {
          *proposed = dialog->selectedFiles().value(0);
        }
        test::ChooseInFileDialog(dialog, path);
      } else {
        qobject_cast<QDialog*>(window)->reject();
      }
    });
    Window().RunCommand(Command::ModelDump);
    return watcher.seen;
  }
};

TEST_F(ModelDumpTest, WritesTheDumpAndFlashesTheExportButton) {
  Start();
  Open("bridge.xml");
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("bridge.dump.txt");
  QString proposed;
  const std::vector<ModalWatcher::Seen> seen = DumpTo(path, &proposed);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].title, "Save model dump");
  EXPECT_TRUE(proposed.endsWith("/Bridge Works.dump.txt")) << proposed.toStdString();

  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().startsWith("NERIN-VIEWER-DUMP v1\r\nLOADED 1\r\nPROJECT name=Bridge Works|"));
  EXPECT_EQ(StatusText(), "Model dump written to bridge.dump.txt");
  EXPECT_EQ(StatusBackground(), QColor(232, 238, 243)) << "a success in the ready colours";
  EXPECT_TRUE(Window().Timer(SessionTimer::Feedback).isActive());

  for (int tick = 0; tick < 40 && Window().Timer(SessionTimer::Feedback).isActive(); ++tick) {
    Window().Send(TimerEvent{SessionTimer::Feedback});
  }
  EXPECT_FALSE(Window().Timer(SessionTimer::Feedback).isActive());
  EXPECT_EQ(StatusText().rfind("OK | loaded | 3 tasks", 0), 0u);
}

TEST_F(ModelDumpTest, ReplacesAnExistingFileWithoutAsking) {
  Start();
  Open("bridge.xml");
  QTemporaryDir dir;
  const QString path = dir.filePath("old.txt");
  {
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
  }
  EXPECT_EQ(DumpTo(path).size(), 1u);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_TRUE(text.startsWith("NERIN-VIEWER-DUMP v1\r\n"));
  EXPECT_FALSE(text.contains("xxx"));
}

TEST_F(ModelDumpTest, FullDiskIsReportedNotPraised) {
  if (!QFile::exists("/dev/full")) {
    GTEST_SKIP() << "no /dev/full here";
  }
  Start();
  Open("bridge.xml");
  const std::vector<ModalWatcher::Seen> seen = DumpTo("/dev/full");
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].title, "Model dump");
  EXPECT_EQ(seen[1].text, "The file could not be written.");
  EXPECT_EQ(StatusText().find("Model dump written"), std::string::npos);
}

TEST_F(ModelDumpTest, WithoutPlanNothingIsAsked) {
  Start();
  ModalWatcher watcher;
  Window().RunCommand(Command::ModelDump);
  ASSERT_EQ(watcher.seen.size(), 1u);
  EXPECT_EQ(watcher.seen[0].title, "Model dump");
}

class ViewSwitchTest : public test::MainWindowTest {};

// The tab panel tells the session, and the session's view shows on the tab panel (indexes out
// of range: viewer_session_test).
TEST_F(ViewSwitchTest, TabsFollowTheViewAndOutOfRangeMeansGantt) {
  Start();
  C().ViewTabs->setCurrentIndex(2);
  EXPECT_EQ(State().CurrentView, ViewKind::Resources);
  Window().Send(TabEvent{ViewKindOf(1)});
  EXPECT_EQ(C().ViewTabs->currentIndex(), 1);
}

TEST_F(ViewSwitchTest, ListsAreMarkedFilledWhenShownWithAPlan) {
  Start();
  C().ViewTabs->setCurrentIndex(1);
  EXPECT_FALSE(State().TaskListFilled);  // nothing to fill without a plan
  Open("bridge.xml");
  EXPECT_EQ(State().CurrentView, ViewKind::Tasks);  // a load keeps the view
  EXPECT_TRUE(State().TaskListFilled);
  EXPECT_FALSE(State().ResourceListFilled);
  C().ViewTabs->setCurrentIndex(2);
  EXPECT_TRUE(State().ResourceListFilled);
}

TEST_F(ViewSwitchTest, ScrollBarMovesTheOffset) {
  Start({std::string(NERIN_SOURCE_DIR) + "/samples/demo-plan.xml"});
  ASSERT_TRUE(ShownPlan().ProjectLoaded);
  C().ChartVScroll->setValue(1);
  EXPECT_EQ(State().View.ScrollY, 1);
  C().ChartHScroll->setValue(1);
  EXPECT_EQ(State().View.ScrollX, 1);
}

}  // namespace
}  // namespace nerin
