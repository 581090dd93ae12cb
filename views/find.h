// SPDX-License-Identifier: MIT
// Find: the next task (in the Resources list, the next resource) whose ID is the search text
// or whose name, task note or WBS code contains it, starting after the current one and wrapping around.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/plan.h"
#include "views/list_navigation.h"

namespace nerin {

// The platform's lower case of a text, character by character. Find lowers ASCII letters itself
// and hands over only the runs of other characters.
using LowerCaseFunction = std::function<std::string(std::string_view)>;

// Names and notes in lower case, made by the first Find over a plan and kept until the next
// load, so that each Find only searches.
struct FindTexts {
  std::vector<std::string> TaskNames;
  std::vector<std::string> TaskNotes;
  std::vector<std::string> TaskWbs;  // the plan's WBS codes
  std::vector<std::string> ResourceNames;
  bool TasksMade = false;
  bool ResourcesMade = false;
};

// After every load: the texts belong to the plan that was there.
void DropFindTexts(FindTexts& texts);

// The viewer's three views, numbered as the tabs.
enum class ViewKind : std::int64_t { Gantt = 0, Tasks = 1, Resources = 2 };
// The view Find runs in.
using FindView = ViewKind;

struct FindRequest {
  FindView View = FindView::Gantt;
  std::string_view FieldText;     // the search field as it stands
  std::int64_t SelectedRow = -1;  // the selected row of the shown list, -1 for none
  std::int64_t Highlight = -1;    // the task found last in the Gantt or Tasks view
};

enum class FindOutcome {
  Nothing,  // no plan, a blank search text or nothing to search: no message either
  NoMatch,
  Found,
};

struct FindResult {
  FindOutcome Outcome = FindOutcome::Nothing;
  std::int64_t Record = -1;  // the task or resource index found
  std::string Text;          // the search text without its outer spaces
};

// The search text names an ID only when it is exactly the plain decimal text of a number:
// "12" does, "012", "+12", "12a" and "1 2" do not.
bool SearchTextNumber(std::string_view text, std::int64_t& number);

// One Find step. `lastFindText` is the text of the previous step: a different text starts again
// at the first record. `listRows` maps the Tasks list's selected row to its task.
FindResult FindNextRecord(const Plan& plan, const TaskListRows& listRows, FindTexts& texts,
                          std::string& lastFindText, const FindRequest& request,
                          const LowerCaseFunction& lower);

// "No match for 'xyz'."
std::string NoMatchMessage(std::string_view text);

}  // namespace nerin
