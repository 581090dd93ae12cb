// SPDX-License-Identifier: MIT
// From a binary plan file's bytes to the plan's document tree: the container, which program
// and generation wrote the file, whether it may be read, and the streams the plan lives in.
#include "mpp/mpp_reader.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "calendar/text_units.h"
#include "calendar/value_text.h"
#include "model/load_plan.h"
#include "mpp/byte_cursor.h"
#include "mpp/compound_file.h"
#include "mpp/plan_reading.h"

namespace nerin {

namespace {

using mpp::CompoundFile;
using mpp::EntryId;
using mpp::Generation;
using mpp::PlanFile;

constexpr std::string_view PROTECTED =
    "This plan is protected by a password; the viewer does not open protected plans.";

// Outer property keys: the protection flags and the obfuscation code.
constexpr std::uint32_t PROTECTION_FLAGS = 0x35400000;
constexpr std::uint32_t OBFUSCATION_CODE = 0x35400007;
constexpr std::uint8_t READ_PROTECTED = 0x01;

// Inner property keys of the field maps: the preferred copy, then the second one.
constexpr std::uint32_t TASK_MAP = 0x00020014;
constexpr std::uint32_t TASK_MAP_COPY = 0x03000014;
constexpr std::uint32_t RESOURCE_MAP = 0x00020015;
constexpr std::uint32_t RESOURCE_MAP_COPY = 0x03000015;
constexpr std::uint32_t ASSIGNMENT_MAP = 0x00020017;
constexpr std::uint32_t ASSIGNMENT_MAP_COPY = 0x03000017;

// The fields every row of an entity needs: task UID, resource UID, an assignment's task.
constexpr std::uint16_t TASK_UID_FIELD = 86;
constexpr std::uint16_t RESOURCE_UID_FIELD = 27;
constexpr std::uint16_t ASSIGNMENT_TASK_FIELD = 1;


std::int64_t NowMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool Refuse(MessageLog& log, std::string text) {
  ClearMessages(log);
  AddMessage(log, MessageLevel::Error, std::move(text));
  return false;
}

// What \x01CompObj says about the file: the program's name for its kind of document and the
// format string.
struct FileKind {
  bool found = false;
  std::string userType;
  std::string format;
};

// A length-prefixed 8-bit string; false when it does not fit.
bool LengthPrefixed(mpp::ByteCursor& in, std::string& text) {
  const std::uint32_t length = in.U32();
  text.assign(in.Take(length));
  if (in.Failed()) return false;
  text.erase(std::find(text.begin(), text.end(), '\0'), text.end());
  return true;
}

FileKind ReadFileKind(std::string_view compObj) {
  FileKind kind;
  mpp::ByteCursor in(compObj);
  in.Seek(28);
  if (!LengthPrefixed(in, kind.userType)) return kind;
  const std::uint32_t marker = in.Range(in.Position(), 4).U32();
  // A numeric clipboard format instead of a name: no program's named format, so no plan.
  if (marker == 0xFFFFFFFFu || marker == 0xFFFFFFFEu) {
    kind.found = true;
    return kind;
  }
  kind.found = LengthPrefixed(in, kind.format);
  return kind;
}

// The number before ".0" at the end of the user type ("Microsoft.Project 14.0" -> 14).
std::int64_t SavingVersion(std::string_view userType) {
  if (!userType.ends_with(".0")) return 0;
  std::string_view head = userType.substr(0, userType.size() - 2);
  std::size_t digits = 0;
  while (digits < head.size() && digits < 4 && head[head.size() - 1 - digits] >= '0' &&
         head[head.size() - 1 - digits] <= '9') {
    ++digits;
  }
  if (digits == 0) return 0;
  return IntegerFieldValue(head.substr(head.size() - digits));
}

bool ContainsWord(std::string_view text, std::string_view word) {
  return ToLowerAscii(text).find(ToLowerAscii(word)) != std::string::npos;
}

// The generation named by the format string, or the ERROR that refuses the file.
bool ChooseGeneration(const FileKind& kind, Generation& generation, std::string& refusal) {
  constexpr std::string_view PREFIX = "MSProject.";
  const std::string_view format = kind.format;
  const bool product = format.size() > PREFIX.size() && ToLowerAscii(format.substr(0, PREFIX.size())) == "msproject.";
  if (!product) {
    const std::string_view name = !kind.userType.empty() ? std::string_view(kind.userType) : format;
    refusal = name.empty() ? "This file is a compound document but not a plan."
                           : "This file is not a plan but a compound document of another kind (\"" +
                                 std::string(name) + "\").";
    return false;
  }
  const std::string_view rest = format.substr(PREFIX.size());
  if (rest.size() > 3 && ToLowerAscii(rest.substr(0, 3)) == "mpp" &&
      std::all_of(rest.begin() + 3, rest.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    const std::int64_t number = IntegerFieldValue(rest.substr(3));
    const std::string name = "MPP" + IntegerText(number);
    switch (number) {
      case 9:
        generation = Generation::Mpp9;
        return true;
      case 12:
        generation = Generation::Mpp12;
        return true;
      case 14:
        generation = Generation::Mpp14;
        return true;
      default:
        break;
    }
    refusal = number < 9 ? "This plan was saved in an older file format (" + name +
                               ") that the viewer does not read; save it as XML from the product."
                         : "This plan was saved in a file format (" + name +
                               ") that this version cannot read yet; save it as XML from the product.";
    return false;
  }
  const std::string what = ContainsWord(format, "mpt") || ContainsWord(kind.userType, "template") ? "a template"
                           : ContainsWord(format, "global") || ContainsWord(kind.userType, "global")
                               ? "a global file"
                               : "a file";
  refusal = "This file is " + what + " of the product (format \"" + std::string(format) +
            "\"), not a plan; the viewer opens plans only.";
  return false;
}

void Unobfuscate(std::string& bytes, std::uint8_t key) {
  if (key == 0) return;
  for (char& c : bytes) c = static_cast<char>(static_cast<unsigned char>(c) ^ key);
}

class FileReader {
 public:
  FileReader(CompoundFile& container, PlanFile& file) : container_(container), file_(file) {}

  // Reads a stream the plan needs; a missing one is left empty when `optional`.
  bool Stream(std::string_view path, std::string& out, bool optional = false) {
    const EntryId entry = container_.Find(path);
    if (entry == mpp::NO_ENTRY || !container_.IsStream(entry)) {
      out.clear();
      if (optional) return true;
      error_ = "The plan file is damaged: a part of the plan is missing (\"" + Printable(path) + "\").";
      return false;
    }
    return container_.ReadStream(entry, out, error_);
  }

  bool Table(std::string_view storage, std::size_t itemSize, mpp::EntityTable& table, std::string_view what) {
    const std::string base = DataStorage() + "/" + std::string(storage) + "/";
    if (!Stream(base + "FixedMeta", table.fixedMeta) || !Stream(base + "FixedData", table.fixedData) ||
        !Stream(base + "Fixed2Meta", table.fixed2Meta, true) || !Stream(base + "Fixed2Data", table.fixed2Data, true) ||
        !Stream(base + "VarMeta", table.varMeta, true) || !Stream(base + "Var2Data", table.varData, true)) {
      return false;
    }
    Unobfuscate(table.fixedData, file_.obfuscation);
    if (!table.Prepare(itemSize, file_.layout)) {
      error_ = "The plan file is damaged: its " + std::string(what) + " table is unreadable.";
      return false;
    }
    return true;
  }

  // A table a plan may lack: without its storage it stays empty.
  bool OptionalTable(std::string_view storage, std::size_t itemSize, mpp::EntityTable& table, std::string_view what) {
    const mpp::EntryId entry = container_.Find(DataStorage() + "/" + std::string(storage) + "/FixedMeta");
    if (entry == mpp::NO_ENTRY) return true;
    return Table(storage, itemSize, table, what);
  }

  // The entity's field map; `required` is the field without which no row can be read (the
  // UID of tasks and resources, the task of an assignment).
  bool Map(std::uint32_t key, std::uint32_t copyKey, std::uint16_t required, mpp::FieldMap& map,
           std::string_view what) {
    auto bytes = file_.props.Value(key);
    if (!bytes) bytes = file_.props.Value(copyKey);
    if (bytes) map.Parse(*bytes, file_.layout.oneByteVarKeys);
    if (!bytes || map.Empty() || map.Find(required).kind != mpp::FieldLocation::Kind::Fixed) {
      error_ = "The plan file is damaged: it does not say where the fields of its " + std::string(what) + " are.";
      return false;
    }
    return true;
  }

  std::string DataStorage() const { return std::string(file_.layout.dataStorage); }
  const std::string& Error() const { return error_; }

 private:
  // Storage names start with spaces or control characters; the message shows the readable part.
  static std::string Printable(std::string_view path) {
    std::string text;
    for (const char c : path) {
      if (static_cast<unsigned char>(c) >= 0x20) text += c;
    }
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? text : text.substr(first);
  }

  CompoundFile& container_;
  PlanFile& file_;
  std::string error_;
};

void AddReaderNotes(const PlanFile& file, const mpp::ReaderNotes& found, MessageLog& notes) {
  AddMessage(notes, MessageLevel::Info,
             "Read from a binary plan file (MPP" + std::string(file.layout.digits) + ", saved by MS Project " +
                 IntegerText(file.savingVersion) + ".0).");
  if (found.repeatedTaskUids > 0) {
    AddMessage(notes, MessageLevel::Warning,
               IntegerText(found.repeatedTaskUids) +
                   " task row(s) in the file repeat the UID of an earlier row; the first row was kept.");
  }
  if (found.repeatedResourceUids > 0) {
    AddMessage(notes, MessageLevel::Warning,
               IntegerText(found.repeatedResourceUids) +
                   " resource row(s) in the file repeat the UID of an earlier row; the first row was kept.");
  }
  if (found.customFieldListCut) {
    AddMessage(notes, MessageLevel::Warning,
               "The plan's list of custom fields claims more entries than it holds; the fields it holds were read.");
  }
  if (found.extraFieldsDamaged) {
    AddMessage(notes, MessageLevel::Warning,
               "A task's block of further fields (baselines 1-10) claims more than it holds; what it holds was read.");
  }
  if (found.selfBasedCalendars) {
    AddMessage(notes, MessageLevel::Warning,
               "A calendar in the file names itself as its base calendar; it was read as a base calendar.");
  }
  if (found.damagedExceptionLists) {
    AddMessage(notes, MessageLevel::Warning,
               "A calendar's list of exceptions claims more than the file holds; the exceptions it holds were read.");
  }
  if (found.shortCalendarRecords) {
    AddMessage(notes, MessageLevel::Warning, "A calendar record in the file is shorter than a calendar; it was skipped.");
  }
  if (found.linksToMissingTasks > 0) {
    AddMessage(notes, MessageLevel::Warning,
               IntegerText(found.linksToMissingTasks) +
                   " dependency link(s) in the file name a task it does not hold; they were skipped.");
  }
}

}  // namespace

bool IsCompoundFile(std::string_view bytes) {
  return mpp::HasCompoundFileSignature(bytes);
}

bool ReadMppDocument(std::string_view bytes, std::string_view sourceName, XmlDocument& document,
                     MessageLog& log, MessageLog& notes) {
  document.Free();
  ClearMessages(notes);
  CompoundFile container;
  std::string error;
  if (!container.Open(bytes, error)) return Refuse(log, error);

  PlanFile file;
  FileReader reader(container, file);
  std::string compObj;
  if (!reader.Stream("\x01" "CompObj", compObj, true)) return Refuse(log, reader.Error());
  const FileKind kind = ReadFileKind(compObj);
  if (!kind.found) return Refuse(log, "This file is a compound document but not a plan.");
  std::string refusal;
  Generation generation = Generation::Mpp14;
  if (!ChooseGeneration(kind, generation, refusal)) return Refuse(log, refusal);
  file.savingVersion = SavingVersion(kind.userType);
  file.layout = mpp::ChooseGenerationLayout(generation, file.savingVersion, 0);

  // The outer properties are never obfuscated; they say whether the rest is.
  std::string outerStream;
  if (!reader.Stream(file.layout.outerProps, outerStream, true)) {
    return Refuse(log, reader.Error());
  }
  mpp::PropertyBlock outer;
  outer.Parse(outerStream);
  const std::uint8_t protection = mpp::ByteCursor(outer.Value(PROTECTION_FLAGS).value_or("")).U8At(0).value_or(0);
  if ((protection & READ_PROTECTED) != 0) return Refuse(log, std::string(PROTECTED));
  const std::uint8_t code = mpp::ByteCursor(outer.Value(OBFUSCATION_CODE).value_or("")).U8At(0).value_or(0);
  if (protection != 0 && code != 0) file.obfuscation = static_cast<std::uint8_t>(0xFF - code);

  const std::string data = reader.DataStorage();
  if (container.Find(data) == mpp::NO_ENTRY) {
    return Refuse(log, "The plan file is damaged: its MPP" + std::string(file.layout.digits) +
                           " data storage is missing.");
  }
  if (!reader.Stream(data + "/Props", file.innerPropsStream)) return Refuse(log, reader.Error());
  Unobfuscate(file.innerPropsStream, file.obfuscation);
  file.props.Parse(file.innerPropsStream);
  if (!reader.Stream("\x05" "SummaryInformation", file.summaryInformation, true)) return Refuse(log, reader.Error());

  if (!reader.Map(TASK_MAP, TASK_MAP_COPY, TASK_UID_FIELD, file.taskMap, "tasks") ||
      !reader.Map(RESOURCE_MAP, RESOURCE_MAP_COPY, RESOURCE_UID_FIELD, file.resourceMap, "resources") ||
      !reader.Map(ASSIGNMENT_MAP, ASSIGNMENT_MAP_COPY, ASSIGNMENT_TASK_FIELD, file.assignmentMap, "assignments")) {
    return Refuse(log, reader.Error());
  }
  // The maps settle which record layout an older generation's file was written in.
  file.layout = mpp::ChooseGenerationLayout(generation, file.savingVersion, file.assignmentMap.LargestFixedOffset());
  const mpp::GenerationLayout& layout = file.layout;
  if (!reader.Table("TBkndTask", layout.taskItemSize, file.tasks, "task") ||
      !reader.Table("TBkndRsc", layout.resourceItemSize, file.resources, "resource") ||
      !reader.Table("TBkndAssn", layout.assignmentItemSize, file.assignments, "assignment") ||
      !reader.Table("TBkndCons", layout.linkItemSize, file.links, "dependency link") ||
      !reader.OptionalTable("TBkndCal", layout.calendarItemSize, file.calendars, "calendar")) {
    return Refuse(log, reader.Error());
  }

  mpp::ReaderNotes found;
  {
    XmlDocumentBuilder builder(document);
    mpp::WritePlanTree(file, sourceName, builder, found);
    if (!builder.Finish()) {
      return Refuse(log, "The plan is too large for the viewer: its document tree could not be built.");
    }
  }
  AddReaderNotes(file, found, notes);
  return true;
}

bool LoadMppPlan(Plan& plan, MessageLog& log, std::string_view sourceName, std::string_view bytes) {
  plan.MessagesMatchPlan = false;
  const std::int64_t started = NowMilliseconds();
  XmlDocument document;
  MessageLog notes;
  if (!ReadMppDocument(bytes, sourceName, document, log, notes)) return false;
  const bool loaded =
      LoadPlanDocument(plan, log, sourceName, document, NowMilliseconds() - started, PlanFileForm::Binary);
  for (Message& note : notes.messages) log.messages.push_back(std::move(note));
  return loaded;
}

}  // namespace nerin
