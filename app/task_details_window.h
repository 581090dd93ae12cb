// SPDX-License-Identifier: MIT
// The modal window with everything the viewer knows about one task, whose predecessor and
// successor lists lead along the dependency chain.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QDialog>
#include <QElapsedTimer>

#include "model/plan.h"
#include "views/change_texts.h"
#include "views/task_details_text.h"

class QLabel;
class QPlainTextEdit;
class QScrollArea;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace nerin {

class TaskDetailsWindow : public QDialog {
 public:
  // Brings the main chart to a linked task; the window then shows that task.
  using GoToTask = std::function<void(std::int64_t task)>;

  // The window filled for the task, 760 x 620 (less on a smaller screen, with the part above
  // the buttons scrolling), centred on the screen; taller where the details need it and the
  // screen has room. Run it with exec(). With a comparison, the details end with what changed
  // since the reference version.
  TaskDetailsWindow(const Plan& plan, std::int64_t task, GoToTask goTo, QWidget* parent,
                    const ChartComparison* comparison = nullptr);

  // Every control for the task; nothing for an index that is no task.
  void FillTaskDetails(std::int64_t task);
  std::int64_t ShownTask() const { return shownTask_; }

 private:
  struct LinkList {
    QLabel* label = nullptr;
    QTreeWidget* list = nullptr;
    QPushButton* goTo = nullptr;
    std::vector<std::int64_t> rowTask;  // the task behind each row
  };

  void CreateControls();
  void CreateLinkList(LinkList& links, const char* label, const char* button, const char* name);
  // Every control placed for a window of `size` whose details box is boxHeight_ high.
  void PlaceControls(QSize size);
  // The details box made as high as its text asks, the window with it, as far as the screen
  // allows.
  void GrowDetailsBox(const QString& text);
  // The note and the link lists share their room by what they hold.
  void ShareNoteAndLists();
  void FillLinkList(LinkList& links, const std::vector<LinkRow>& rows);
  void ListClicked(const LinkList& links, QTreeWidgetItem* item);
  void GoToPressed(const LinkList& links);
  void GoToLinkedTask(std::int64_t task);

  const Plan& plan_;
  const ChartComparison* comparison_ = nullptr;
  GoToTask goTo_;
  std::int64_t shownTask_ = -1;
  bool filling_ = false;
  QElapsedTimer clock_;
  std::int64_t openedAt_ = 0;
  std::int64_t lastNavigation_ = 0;

  QWidget* content_ = nullptr;  // the controls above the buttons, in a scroll area
  QScrollArea* scroll_ = nullptr;
  QLabel* title_ = nullptr;
  QPlainTextEdit* details_ = nullptr;
  std::int64_t boxHeight_ = DETAILS_BOX_HEIGHT;
  DetailsShare share_;
  QLabel* noteLabel_ = nullptr;
  QPlainTextEdit* note_ = nullptr;
  QPushButton* close_ = nullptr;
  LinkList predecessors_;
  LinkList successors_;
};

}  // namespace nerin
