// SPDX-License-Identifier: MIT
// nerin-cli csv: the Tasks or Resources list as CSV, as "Export list…" writes it in the window
// for a list in plan order.
#include "calendar/text_units.h"
#include "tools/cli/cli.h"
#include "views/list_csv.h"
#include "views/list_navigation.h"

namespace nerin::cli {

int RunCsv(const Invocation& invocation) {
  const std::string& source = invocation.operands[0];
  const std::string list = ToLowerAscii(invocation.Value("list").value_or("tasks"));
  if (list != "tasks" && list != "resources") {
    return UsageError("--list takes tasks or resources, not '" + list + "'");
  }
  Plan plan;
  MessageLog log;
  if (!LoadCliSource(plan, log, source)) {
    ReportNotLoaded(source, log);
    return EXIT_NOT_LOADED;
  }
  std::vector<std::int64_t> rows;
  if (list == "tasks") {
    TaskListRows listRows;
    FillTaskListRows(listRows, plan, invocation.Has("critical"));
    rows.assign(listRows.ListRowTask.begin(), listRows.ListRowTask.begin() + listRows.RowCount);
  } else {
    // The Resources list has no filter: every resource, in plan order.
    for (std::int64_t resource = 0; resource < plan.ResourceCount(); ++resource) rows.push_back(resource);
  }
  return WriteOutput(ListCsv(plan, list == "tasks" ? PlanList::Tasks : PlanList::Resources, rows),
                     invocation.Output(), EXIT_LOADED);
}

}  // namespace nerin::cli
