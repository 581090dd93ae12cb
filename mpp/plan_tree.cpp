// SPDX-License-Identifier: MIT
// The plan read from the entity tables, written as the tree the product's XML export would
// give: the same element names and value forms, so the load's steps after reading treat a
// binary plan exactly as its export.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "calendar/value_text.h"
#include "mpp/byte_cursor.h"
#include "mpp/custom_fields.h"
#include "mpp/plain_fields.h"
#include "mpp/plan_reading.h"
#include "mpp/row_fields.h"
#include "mpp/text_decoding.h"

namespace nerin::mpp {

namespace {

// Field numbers of the field maps.
namespace task_field {
constexpr std::uint16_t UID = 86;
constexpr std::uint16_t ID = 23;
constexpr std::uint16_t NAME = 14;
constexpr std::uint16_t NOTES = 15;
constexpr std::uint16_t OUTLINE_LEVEL = 249;
constexpr std::uint16_t OUTLINE_LEVEL_OLD = 85;
constexpr std::uint16_t START = 35;
constexpr std::uint16_t FINISH = 36;
constexpr std::uint16_t DURATION = 29;
constexpr std::uint16_t DURATION_FORMAT = 181;
constexpr std::uint16_t PERCENT_COMPLETE = 32;
constexpr std::uint16_t BASELINE_START = 43;
constexpr std::uint16_t BASELINE_FINISH = 44;
constexpr std::uint16_t BASELINE_DURATION = 27;
constexpr std::uint16_t BASELINE_DURATION_FORMAT = 179;
constexpr std::uint16_t START_SLACK = 438;
constexpr std::uint16_t FINISH_SLACK = 439;
constexpr std::uint16_t MANUAL_START = 1283;
constexpr std::uint16_t MANUAL_FINISH = 1284;
constexpr std::uint16_t MANUAL_DURATION = 1288;
constexpr std::uint16_t EXTRA_FIELDS = 481;
}  // namespace task_field

// Inner property keys of the project.
constexpr std::uint32_t PROJECT_START = 0x02400002;
constexpr std::uint32_t PROJECT_FINISH = 0x02400003;
constexpr std::uint32_t PROJECT_TITLE = 0x02400008;
constexpr std::uint32_t CURRENCY_SYMBOL = 0x02400010;
constexpr std::uint32_t DEFAULT_DURATION_FORMAT = 0x02400015;
constexpr std::uint32_t DEFAULT_START_TIME = 0x0240001C;
constexpr std::uint32_t MINUTES_PER_DAY = 0x0240001D;
constexpr std::uint32_t MINUTES_PER_WEEK = 0x0240001E;
constexpr std::uint32_t DAYS_PER_MONTH = 0x0240138F;
constexpr std::uint32_t NEW_TASKS_MANUAL = 0x024013C8;
constexpr std::uint32_t CUSTOM_FIELD_LIST = 0x024013C5;
constexpr std::uint32_t PROJECT_CALENDAR_NAME = 0x0240000E;

// Rows 0 to 2 of the task and resource tables are the product's own placeholders.
constexpr std::size_t FIRST_ROW = 3;
constexpr std::uint16_t ESTIMATED_FORMAT = 32;
constexpr std::uint32_t ROW_DELETED = 0x02;
constexpr std::uint32_t ROW_BLANK = 0x04;
// An assignment to this resource has none.
constexpr std::int32_t NO_RESOURCE = -65535;
constexpr double UNITS_PER_FULL_TIME = 10000.0;

struct TaskRow {
  bool isNull = false;
  std::int32_t uid = 0;
  std::int32_t id = 0;
  std::int64_t level = 0;
  bool summaryBit = false;
  bool summary = false;
  bool milestone = false;
  bool critical = false;
  bool manual = false;
  bool active = true;
  std::string name;
  std::string notes;
  std::string start;
  std::string finish;
  std::optional<std::int32_t> duration;
  std::optional<std::uint16_t> durationFormat;
  std::optional<std::uint16_t> percentComplete;
  std::string baselineStart;
  std::string baselineFinish;
  std::optional<std::int32_t> baselineDuration;
  std::optional<std::uint16_t> baselineDurationFormat;
  std::optional<std::int32_t> totalSlack;
  std::string outlineNumber;
  std::vector<std::size_t> links;  // indices into the link list
  std::vector<CustomValue> custom;
  std::vector<std::pair<std::string_view, std::string>> plain;
  // Baselines as (number, element, text), in that order (baseline 0: work and cost).
  std::vector<std::tuple<int, std::string_view, std::string>> baselines;
};

struct LinkRow {
  std::int32_t predecessor = 0;
  std::int32_t type = 0;
  std::int32_t lag = 0;
  std::uint16_t lagFormat = 0;
};

// The task field locations, looked up once per file.
struct TaskLocations {
  explicit TaskLocations(const FieldMap& map)
      : uid(map.Find(task_field::UID)),
        id(map.Find(task_field::ID)),
        name(map.Find(task_field::NAME)),
        notes(map.Find(task_field::NOTES)),
        level(map.Find(task_field::OUTLINE_LEVEL)),
        levelOld(map.Find(task_field::OUTLINE_LEVEL_OLD)),
        start(map.Find(task_field::START)),
        finish(map.Find(task_field::FINISH)),
        duration(map.Find(task_field::DURATION)),
        durationFormat(map.Find(task_field::DURATION_FORMAT)),
        percentComplete(map.Find(task_field::PERCENT_COMPLETE)),
        baselineStart(map.Find(task_field::BASELINE_START)),
        baselineFinish(map.Find(task_field::BASELINE_FINISH)),
        baselineDuration(map.Find(task_field::BASELINE_DURATION)),
        baselineDurationFormat(map.Find(task_field::BASELINE_DURATION_FORMAT)),
        startSlack(map.Find(task_field::START_SLACK)),
        finishSlack(map.Find(task_field::FINISH_SLACK)),
        manualStart(map.Find(task_field::MANUAL_START)),
        manualFinish(map.Find(task_field::MANUAL_FINISH)),
        manualDuration(map.Find(task_field::MANUAL_DURATION)) {}
  FieldLocation uid, id, name, notes, level, levelOld, start, finish, duration, durationFormat, percentComplete,
      baselineStart, baselineFinish, baselineDuration, baselineDurationFormat, startSlack, finishSlack,
      manualStart, manualFinish, manualDuration;
};

// The flag bits of a task row's index items, where the file's layout puts them. Only MPP14
// can hold manually scheduled tasks; older generations store every task as scheduled by the
// product, and their row has no manual bit.
void ReadTaskFlags(const GenerationLayout& layout, const ByteCursor& item, const ByteCursor& item2, TaskRow& row) {
  row.milestone = layout.milestone.In(item);
  row.summaryBit = layout.summary.In(item);
  row.critical = layout.critical.In(item);
  if (layout.manual) row.manual = layout.manual->In(item2);
  if (layout.active) row.active = layout.active->In(item2);
}

void ReadTaskFields(const TaskLocations& at, const RowFields& fields, TaskRow& row) {
  row.id = fields.I32(at.id).value_or(0);
  row.name = fields.Text(at.name);
  if (const auto notes = fields.Blob(at.notes); notes && !notes->empty()) row.notes = RtfPlainText(*notes);
  const auto level = fields.U16(at.level);
  row.level = level ? *level : fields.U16(at.levelOld).value_or(0);

  // A manually scheduled task shows the dates and duration the user entered; a scheduled one
  // those the product computed. Each falls back on the other where its own are not set (the
  // project summary task of a manual plan has only computed dates).
  const std::string computedStart = fields.Timestamp(at.start);
  const std::string computedFinish = fields.Timestamp(at.finish);
  const auto computedDuration = fields.I32(at.duration);
  if (row.manual) {
    row.start = fields.Timestamp(at.manualStart);
    row.finish = fields.Timestamp(at.manualFinish);
    const auto manualDuration = fields.I32(at.manualDuration);
    row.duration = manualDuration && *manualDuration >= 0 ? manualDuration : computedDuration;
    if (row.start.empty()) row.start = computedStart;
    if (row.finish.empty()) row.finish = computedFinish;
  } else {
    row.start = computedStart.empty() ? fields.Timestamp(at.manualStart) : computedStart;
    row.finish = computedFinish.empty() ? fields.Timestamp(at.manualFinish) : computedFinish;
    row.duration = computedDuration;
  }
  row.durationFormat = fields.U16(at.durationFormat);
  row.percentComplete = fields.U16(at.percentComplete);

  row.baselineStart = fields.Timestamp(at.baselineStart);
  row.baselineFinish = fields.Timestamp(at.baselineFinish);
  // A baseline duration of 0 is no baseline: the export leaves it out.
  if (const auto duration = fields.I32(at.baselineDuration); duration && *duration > 0) {
    row.baselineDuration = duration;
    row.baselineDurationFormat = fields.U16(at.baselineDurationFormat);
  }

  // Total slack is the smaller of start and finish slack.
  const auto startSlack = fields.I32(at.startSlack);
  const auto finishSlack = fields.I32(at.finishSlack);
  if (startSlack && finishSlack) {
    row.totalSlack = std::min(*startSlack, *finishSlack);
  } else {
    row.totalSlack = startSlack ? startSlack : finishSlack;
  }
}

// Baselines 0-10: what the row holds of each, as the export writes it (a zero duration, work or
// cost is no baseline value).
void ReadNumberedBaselines(const FieldMap& map, const RowFields& fields, TaskRow& row, ReaderNotes& notes) {
  const auto baselines = TaskBaselines();
  std::vector<std::pair<std::uint16_t, std::string_view>> extra;
  if (const auto block = fields.Blob(map.Find(task_field::EXTRA_FIELDS))) {
    extra = ExtraFieldValues(*block, notes.extraFieldsDamaged);
  }
  for (std::size_t number = 0; number < baselines.size(); ++number) {
    const BaselineFields& at = baselines[number];
    const auto Add = [&](std::string_view element, std::uint16_t field, ValueForm form) {
      const FieldLocation location = map.Find(field);
      std::string text;
      if (location.kind != FieldLocation::Kind::None) {
        text = PlainValueText(fields, location, form);
      } else {
        for (const auto& [extraField, value] : extra) {
          if (extraField == field) text = ValueText(ByteCursor(value), form);
        }
      }
      if (text.empty() || text == "PT0H0M0S" || text == "0") return;
      row.baselines.emplace_back(static_cast<int>(number), element, std::move(text));
    };
    // Baseline 0's dates and duration are read with the task's own fields.
    if (number > 0) {
      Add("Start", at.start, ValueForm::Timestamp);
      Add("Finish", at.finish, ValueForm::Timestamp);
      Add("Duration", at.duration, ValueForm::Duration);
    }
    Add("Work", at.work, ValueForm::Work);
    Add("Cost", at.cost, ValueForm::Amount);
  }
}

std::vector<TaskRow> ReadTaskRows(const PlanFile& file, CustomFieldReader& custom, ReaderNotes& notes) {
  const PlainFieldReader plain(TaskPlainFields(), file.taskMap);
  const EntityTable& table = file.tasks;
  const TaskLocations at(file.taskMap);
  const std::size_t blankRecordSize = file.layout.blankTaskRecordSize;
  std::vector<TaskRow> rows;
  rows.reserve(table.ItemCount());
  std::unordered_set<std::int32_t> seen;
  seen.reserve(table.ItemCount());
  for (std::size_t k = FIRST_ROW; k < table.ItemCount(); ++k) {
    const ByteCursor item = table.Item(k);
    const std::uint32_t flags = item.U32At(0).value_or(ROW_DELETED);
    const std::string_view record = table.Record(k);
    if (record.empty() || (flags & ROW_DELETED) != 0) continue;
    TaskRow row;
    if ((flags & ROW_BLANK) != 0 || record.size() <= blankRecordSize) {
      // Blank rows keep UID and ID at the start, whatever the layout of full records.
      ByteCursor blank(record);
      row.uid = blank.I32();
      row.id = blank.I32();
      if (blank.Failed()) continue;
      row.isNull = true;
    } else {
      RowFields fields(table, k, record);
      const auto uid = fields.I32(at.uid);
      if (!uid) continue;
      row.uid = *uid;
      fields.SetUid(row.uid);
      ReadTaskFlags(file.layout, item, table.Item2(k), row);
      ReadTaskFields(at, fields, row);
      row.custom = custom.Read(fields, item);
      plain.Read(fields, row.plain);
      ReadNumberedBaselines(file.taskMap, fields, row, notes);
    }
    if (!seen.insert(row.uid).second) {
      ++notes.repeatedTaskUids;
      continue;
    }
    rows.push_back(std::move(row));
  }
  std::stable_sort(rows.begin(), rows.end(), [](const TaskRow& a, const TaskRow& b) { return a.id < b.id; });
  return rows;
}

// Summary rows and outline numbers follow from the outline levels in ID order; blank rows
// take no number. The stored summary bit also marks inserted subprojects, which have no rows
// below them here.
void DeriveOutline(std::vector<TaskRow>& rows) {
  std::vector<std::int64_t> counters;
  std::size_t previous = rows.size();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    TaskRow& row = rows[i];
    if (row.isNull) continue;
    row.summary = row.summaryBit;
    if (previous < rows.size() && row.level > rows[previous].level) rows[previous].summary = true;
    previous = i;
    if (row.level <= 0) {
      row.outlineNumber = "0";
      continue;
    }
    // Levels past any real plan's depth are numbered as if they were that deep.
    const auto level = static_cast<std::size_t>(std::min<std::int64_t>(row.level, 100));
    if (counters.size() < level) counters.resize(level, 0);
    counters.resize(level);
    ++counters[level - 1];
    for (std::size_t d = 0; d < level; ++d) {
      if (d > 0) row.outlineNumber += '.';
      row.outlineNumber += IntegerText(counters[d] == 0 ? 1 : counters[d]);
    }
  }
}

std::vector<LinkRow> ReadLinks(const PlanFile& file, std::vector<TaskRow>& rows, ReaderNotes& notes) {
  std::unordered_map<std::int32_t, std::size_t> taskRow;
  taskRow.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!rows[i].isNull) taskRow.emplace(rows[i].uid, i);
  }
  std::vector<LinkRow> links;
  const EntityTable& table = file.links;
  for (std::size_t k = 0; k < table.ItemCount(); ++k) {
    // Only the first two bytes flag a link as deleted; some savers leave garbage after them.
    if (table.Item(k).U16At(0).value_or(1) != 0) continue;
    const LinkLayout& layout = file.layout.link;
    ByteCursor record(table.Record(k, layout.recordSize));
    LinkRow link;
    record.Seek(4);
    link.predecessor = record.I32();
    const std::int32_t successor = record.I32();
    link.type = record.U16();
    link.lag = record.Seek(layout.lagOffset).I32();
    link.lagFormat = record.Seek(layout.lagFormatOffset).U16();
    if (record.Failed() || record.Size() < layout.recordSize) continue;
    if (link.predecessor == 0 || successor == 0 || link.predecessor == successor) continue;
    const auto to = taskRow.find(successor);
    if (to == taskRow.end() || taskRow.find(link.predecessor) == taskRow.end()) {
      ++notes.linksToMissingTasks;
      continue;
    }
    rows[to->second].links.push_back(links.size());
    links.push_back(link);
  }
  return links;
}

std::optional<std::int64_t> Widened(std::optional<std::int32_t> value) {
  if (!value) return std::nullopt;
  return *value;
}
std::optional<std::int64_t> Widened(std::optional<std::uint16_t> value) {
  if (!value) return std::nullopt;
  return *value;
}

void WriteBaselines(TreeWriter& out, const TaskRow& row) {
  auto next = row.baselines.begin();
  const bool zeroDates = !row.baselineStart.empty() || !row.baselineFinish.empty() || row.baselineDuration;
  for (int number = 0; number <= 10; ++number) {
    const bool any = next != row.baselines.end() && std::get<0>(*next) == number;
    if (!any && !(number == 0 && zeroDates)) continue;
    out.Open("Baseline");
    out.Integer("Number", number);
    if (number == 0) {
      out.Text("Start", row.baselineStart);
      out.Text("Finish", row.baselineFinish);
      if (row.baselineDuration) out.Text("Duration", DurationText(*row.baselineDuration));
      out.Integer("DurationFormat", Widened(row.baselineDurationFormat));
    }
    for (; next != row.baselines.end() && std::get<0>(*next) == number; ++next) {
      out.Text(std::get<1>(*next), std::get<2>(*next));
    }
    out.Close();
  }
}

void WriteTask(TreeWriter& out, const TaskRow& row, const std::vector<LinkRow>& links) {
  out.Open("Task");
  out.Integer("UID", row.uid);
  out.Integer("ID", row.id);
  if (row.isNull) {
    out.Flag("IsNull", true);
    out.Close();
    return;
  }
  out.Text("Name", row.name);
  out.Flag("Active", row.active);
  out.Flag("Manual", row.manual);
  out.Integer("OutlineLevel", row.level);
  out.Text("OutlineNumber", row.outlineNumber);
  out.Flag("Summary", row.summary);
  out.Flag("Milestone", row.milestone);
  out.Flag("Critical", row.critical);
  out.Text("Start", row.start);
  out.Text("Finish", row.finish);
  if (row.duration) out.Text("Duration", DurationText(*row.duration));
  out.Integer("DurationFormat", Widened(row.durationFormat));
  // The format's estimated bit is the "?" of the duration.
  if (row.durationFormat) out.Flag("Estimated", (*row.durationFormat & ESTIMATED_FORMAT) != 0);
  out.Integer("PercentComplete", Widened(row.percentComplete));
  // Plans keep no WBS codes of their own unless a code mask is defined; the export then
  // writes the outline number.
  out.Text("WBS", row.outlineNumber);
  for (const auto& [element, text] : row.plain) out.Text(element, text);
  out.Integer("TotalSlack", Widened(row.totalSlack));
  out.Text("Notes", row.notes);
  for (const std::size_t index : row.links) {
    const LinkRow& link = links[index];
    out.Open("PredecessorLink");
    out.Integer("PredecessorUID", link.predecessor);
    out.Integer("Type", link.type);
    out.Integer("LinkLag", link.lag);
    out.Integer("LagFormat", link.lagFormat);
    out.Close();
  }
  WriteBaselines(out, row);
  CustomFieldReader::Write(row.custom, out);
  out.Close();
}

void WriteTasks(const PlanFile& file, TreeWriter& out, ReaderNotes& notes) {
  CustomFieldReader custom(EntityClass::Task, file.taskMap, file.layout.taskCustomFlagBase, DefaultDurationFormat(file));
  std::vector<TaskRow> rows = ReadTaskRows(file, custom, notes);
  DeriveOutline(rows);
  const std::vector<LinkRow> links = ReadLinks(file, rows, notes);
  out.Open("Tasks");
  for (const TaskRow& row : rows) WriteTask(out, row, links);
  out.Close();
}

// Property set strings: 8-bit in the set's code page, or UTF-16.
struct SummaryTexts {
  std::string title;
  std::string author;
};

// One property's value as text: 8-bit in the set's code page, or UTF-16.
std::string PropertyText(ByteCursor value, std::int64_t codePage) {
  const std::uint16_t type = value.U16();
  value.Skip(2);
  const std::uint32_t length = value.U32();
  if (value.Failed()) return {};
  const std::string_view data = value.Rest();
  if (type == 0x001E) return CodePageText(data.substr(0, std::min<std::size_t>(length, data.size())), codePage);
  if (type == 0x001F) return Utf16LeText(data.substr(0, std::min<std::size_t>(2 * std::size_t{length}, data.size())));
  return {};
}

SummaryTexts ReadSummaryInformation(std::string_view stream) {
  SummaryTexts texts;
  ByteCursor in(stream);
  if (in.U16() != 0xFFFE || stream.size() < 48) return texts;
  const ByteCursor set = in.Range(in.Seek(44).U32());
  ByteCursor entries = set.Range(8);
  const std::uint32_t count = set.U32At(4).value_or(0);
  std::int64_t codePage = 1252;
  ByteCursor titleValue = ByteCursor::Missing();
  ByteCursor authorValue = ByteCursor::Missing();
  for (std::uint32_t i = 0; i < count && entries.Remaining() >= 8; ++i) {
    const std::uint32_t id = entries.U32();
    const ByteCursor value = set.Range(entries.U32());
    if (value.Failed()) continue;
    if (id == 1 && value.U16At(0) == 0x0002) codePage = value.U16At(4).value_or(codePage);
    if (id == 2) titleValue = value;
    if (id == 4) authorValue = value;
  }
  texts.title = PropertyText(titleValue, codePage);
  texts.author = PropertyText(authorValue, codePage);
  return texts;
}

std::string TimeOfDayText(std::uint16_t tenthsOfMinutes) {
  const std::int64_t seconds = static_cast<std::int64_t>(tenthsOfMinutes) * 6 % 86400;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  return text;
}

void WriteHeader(const PlanFile& file, std::string_view sourceName, TreeWriter& out) {
  const PropertyBlock& props = file.props;
  const SummaryTexts summary = ReadSummaryInformation(file.summaryInformation);
  std::string title = summary.title;
  if (title.empty()) {
    if (const auto value = props.Value(PROJECT_TITLE)) title = Utf16LeText(*value);
  }
  // The export names the project after the file it was saved as.
  out.Text("Name", sourceName);
  out.Text("Title", title);
  out.Text("Author", summary.author);
  const auto Timestamp = [&props](std::uint32_t key) {
    const auto value = props.Value(key);
    return value ? TimestampText(*value, 0) : std::string();
  };
  const auto Number = [&props](std::uint32_t key, std::size_t width) -> std::optional<std::int64_t> {
    const auto value = props.Value(key);
    if (!value) return std::nullopt;
    const ByteCursor number(*value);
    if (width == 4) return Widened(number.I32At(0));
    return Widened(number.U16At(0));
  };
  out.Text("StartDate", Timestamp(PROJECT_START));
  out.Text("FinishDate", Timestamp(PROJECT_FINISH));
  if (const auto value = props.Value(CURRENCY_SYMBOL)) out.Text("CurrencySymbol", Utf16LeText(*value));
  if (const auto time = Number(DEFAULT_START_TIME, 2)) {
    out.Text("DefaultStartTime", TimeOfDayText(static_cast<std::uint16_t>(*time)));
  }
  out.Integer("MinutesPerDay", Number(MINUTES_PER_DAY, 4));
  out.Integer("MinutesPerWeek", Number(MINUTES_PER_WEEK, 4));
  out.Integer("DaysPerMonth", Number(DAYS_PER_MONTH, 2));
  out.Integer("DurationFormat", Number(DEFAULT_DURATION_FORMAT, 2));
  if (const auto manual = Number(NEW_TASKS_MANUAL, 2)) out.Flag("NewTasksAreManual", *manual != 0);
  // The plan keeps its calendar by name.
  if (const auto name = props.Value(PROJECT_CALENDAR_NAME)) {
    out.Integer("CalendarUID", Widened(CalendarNamed(file, Utf16LeText(*name))));
  }
}

}  // namespace

std::optional<std::uint16_t> DefaultDurationFormat(const PlanFile& file) {
  const auto value = file.props.Value(DEFAULT_DURATION_FORMAT);
  return value ? ByteCursor(*value).U16At(0) : std::nullopt;
}

std::string TimestampText(std::string_view bytes, std::size_t offset) {
  const ByteCursor in(bytes);
  const auto time = in.U16At(offset);
  const auto days = in.U16At(offset + 2);
  if (!time || !days || *days == 0xFFFF || *days <= 1) return {};
  using namespace std::chrono;
  const std::int64_t tenths = *time == 0xFFFF ? 0 : *time;
  const std::int64_t seconds = tenths * 6;
  const sys_days day = sys_days(year{1983} / December / 31) + std::chrono::days(*days + seconds / 86400);
  const year_month_day date(day);
  const std::int64_t rest = seconds % 86400;
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
  return text;
}

std::string DurationText(std::int64_t tenthsOfMinutes) {
  if (tenthsOfMinutes < 0) return {};
  return "PT" + IntegerText(tenthsOfMinutes / 600) + "H" + IntegerText(tenthsOfMinutes % 600 / 10) + "M" +
         IntegerText(tenthsOfMinutes % 10 * 6) + "S";
}

std::string NumberText(double value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  if (result.ec != std::errc()) return "0";
  return std::string(text, result.ptr);
}

void WritePlanTree(const PlanFile& file, std::string_view sourceName, XmlDocumentBuilder& builder,
                   ReaderNotes& notes) {
  TreeWriter out(builder);
  out.Open("Project");
  WriteHeader(file, sourceName, out);
  if (const auto list = file.props.Value(CUSTOM_FIELD_LIST)) {
    WriteFieldDefinitions(*list, out, notes.customFieldListCut);
  }
  WriteCalendars(file, ResourceNames(file), out, notes);
  WriteTasks(file, out, notes);
  const std::vector<AssignmentRow> assignments = ReadAssignmentRows(file);
  WriteResources(file, assignments, out, notes);
  WriteAssignments(assignments, out);
  out.Close();
}

}  // namespace nerin::mpp
