// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "sources/plan_source.h"
#include "loaded_plan.h"
#include "model/plan_text.h"

namespace nerin {
namespace {

using test::FirstLine;
using test::Loaded;
using test::OnlyMessage;
using test::ReferenceDump;
using test::SmallPlanBytes;
using test::TempDir;

// The UTF-8 text as UTF-16 with a byte-order mark; the declaration is left as it was.
std::string Utf16(const std::string& utf8, bool bigEndian) {
  return test::Utf16(utf8, bigEndian, true);
}

TEST(FileSource, PlanFileLoads) {
  Loaded loaded;
  EXPECT_TRUE(ReadFileSource(*loaded.plan, loaded.log, test::SmallPlanPath()));
  EXPECT_TRUE(loaded.plan->ProjectLoaded);
  EXPECT_EQ(loaded.plan->TaskCount(), 3);
  EXPECT_EQ(loaded.plan->ProjectName, "Brücke über die Aare");
  EXPECT_EQ(loaded.plan->Tasks[2].Name, "Abnahme 🏗");
  EXPECT_EQ(FirstLine(loaded.plan->LoadReport), "small_plan.xml");
}

// Every file that cannot be read gives exactly one ERROR, whatever the log held before.
TEST(FileSource, UnreadableFiles) {
  TempDir dir;
  const std::string fifo = dir.File("pipe.xml");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct Row {
    std::string what;
    std::string path;
    std::string message;
  };
  const std::vector<Row> rows = {
      {"missing file", dir.File("nothing-here.xml"), "3 File does not exist or cannot be read."},
      {"directory", dir.path(), "3 File does not exist or cannot be read."},
      {"directory with a slash", dir.path() + "/", "3 File does not exist or cannot be read."},
      {"empty path", "", "3 File does not exist or cannot be read."},
      {"pipe", fifo, "3 File does not exist or cannot be read."},
      {"empty file", dir.Write("empty.xml", ""), "3 The source is empty."},
  };
  for (const Row& row : rows) {
    Loaded loaded;
    AddMessage(loaded.log, MessageLevel::Warning, "from an earlier attempt");
    EXPECT_FALSE(ReadFileSource(*loaded.plan, loaded.log, row.path)) << row.what;
    EXPECT_EQ(OnlyMessage(loaded.log), row.message) << row.what;
    EXPECT_FALSE(loaded.plan->ProjectLoaded) << row.what;
  }
}

TEST(FileSource, FailedReadKeepsThePlanShown) {
  TempDir dir;
  Loaded loaded;
  ASSERT_TRUE(ReadFileSource(*loaded.plan, loaded.log, test::SmallPlanPath()));
  const std::string report = loaded.plan->LoadReport;
  EXPECT_FALSE(ReadFileSource(*loaded.plan, loaded.log, dir.File("missing.xml")));
  EXPECT_TRUE(loaded.plan->ProjectLoaded);
  EXPECT_EQ(loaded.plan->TaskCount(), 3);
  EXPECT_EQ(loaded.plan->LoadReport, report);
  EXPECT_EQ(OnlyMessage(loaded.log), "3 File does not exist or cannot be read.");
}

// Files whose bytes differ from the plain plan in ways that must not matter.
TEST(FileSource, VariantsLoadLikeThePlainFile) {
  TempDir dir;
  const std::string plan = SmallPlanBytes();
  struct Row {
    std::string what;
    std::string bytes;
  };
  const std::vector<Row> rows = {
      {"byte-order mark", "\xEF\xBB\xBF" + plan},
      {"zero byte after the plan", plan + std::string("\0<garbage>\xFF\xFE", 12)},
      {"zero bytes at the end", plan + std::string(100, '\0')},
      // Saved again as UTF-16 by a tool that kept the declaration: the mark tells.
      {"UTF-16LE with a mark", Utf16(plan, false)},
      {"UTF-16BE with a mark", Utf16(plan, true)},
      {"UTF-16LE with zero bytes after the plan", Utf16(plan, false) + std::string(64, '\0')},
  };
  for (const Row& row : rows) {
    Loaded loaded;
    EXPECT_TRUE(ReadFileSource(*loaded.plan, loaded.log, dir.Write("variant.xml", row.bytes))) << row.what;
    EXPECT_EQ(loaded.Dump(), ReferenceDump()) << row.what;
    EXPECT_EQ(FirstLine(loaded.plan->LoadReport), "variant.xml") << row.what;
  }
}

// Invalid bytes become U+FFFD, one WARNING counts them, and the plan still loads.
TEST(FileSource, InvalidBytesInANameAreReplaced) {
  TempDir dir;
  std::string bytes = SmallPlanBytes();
  const std::string name = "<Name>Kran</Name>";
  bytes.replace(bytes.find(name), name.size(), "<Name>Kr\xFF\xC0n</Name>");
  Loaded loaded;
  EXPECT_TRUE(ReadFileSource(*loaded.plan, loaded.log, dir.Write("bad-bytes.xml", bytes)));
  ASSERT_EQ(loaded.plan->ResourceCount(), 1);
  EXPECT_EQ(loaded.plan->Resources[0].Name, "Kr\xEF\xBF\xBD\xEF\xBF\xBDn");
  ASSERT_FALSE(loaded.log.messages.empty());
  EXPECT_EQ(loaded.log.messages[0].text,
            "2 character(s) could not be decoded as UTF-8 and are shown as \"\xEF\xBF\xBD\".");
  EXPECT_EQ(CountMessages(loaded.log, MessageLevel::Warning), 1);
}

TEST(LoadSourceBytes, EmptySources) {
  const char* plan = "<Project/>";
  struct Row {
    std::string what;
    const char* bytes;
    std::int64_t count;
  };
  const std::vector<Row> rows = {
      {"no bytes", nullptr, 10},
      {"count zero", plan, 0},
      {"negative count", plan, -5},
  };
  for (const Row& row : rows) {
    Loaded loaded;
    AddMessage(loaded.log, MessageLevel::Info, "from an earlier attempt");
    EXPECT_FALSE(LoadSource(*loaded.plan, loaded.log, "x.xml", row.bytes, row.count)) << row.what;
    EXPECT_EQ(OnlyMessage(loaded.log), "3 The source is empty.") << row.what;
  }
}

// The text handed on ends where the count says, BOM or not.
TEST(LoadSourceBytes, TakesOnlyCountBytes) {
  const std::string plan = SmallPlanBytes();
  const std::string withBom = "\xEF\xBB\xBF" + plan + "trailing junk";
  struct Row {
    std::string what;
    std::string bytes;
    std::int64_t count;
  };
  const std::vector<Row> rows = {
      {"plain", plan + "trailing junk", static_cast<std::int64_t>(plan.size())},
      {"with mark", withBom, static_cast<std::int64_t>(plan.size() + 3)},
  };
  for (const Row& row : rows) {
    Loaded loaded;
    EXPECT_TRUE(LoadSource(*loaded.plan, loaded.log, "bytes.xml", row.bytes.data(), row.count)) << row.what;
    EXPECT_EQ(loaded.Dump(), ReferenceDump()) << row.what;
  }
}

// Standard input and other streams: read to the end, at most the limit, then loaded like a file.
TEST(StreamSource, ReadsToTheEndWithinTheLimit) {
  const std::string plan = SmallPlanBytes();
  const auto size = static_cast<std::int64_t>(plan.size());
  struct Row {
    std::string what;
    std::string bytes;
    std::int64_t limit;
    std::string message;  // empty: the plan loads
  };
  const std::vector<Row> rows = {
      {"plan", plan, MAX_STREAM_BYTES, ""},
      {"plan of exactly the limit", plan, size, ""},
      {"one byte over the limit", plan + " ", size,
       "3 The source is larger than " + std::to_string(size) + " bytes, more than the viewer reads."},
      {"nothing", "", MAX_STREAM_BYTES, "3 The source is empty."},
      {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), MAX_STREAM_BYTES, "(2 messages)"},
  };
  for (const Row& row : rows) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    // Written from a thread: more than a pipe holds would otherwise block the test.
    std::thread writer([&] {
      std::string_view rest = row.bytes;
      while (!rest.empty()) {
        const ssize_t written = ::write(ends[1], rest.data(), rest.size());
        if (written <= 0) break;
        rest.remove_prefix(static_cast<std::size_t>(written));
      }
      ::close(ends[1]);
    });
    Loaded loaded;
    AddMessage(loaded.log, MessageLevel::Warning, "from an earlier attempt");
    const bool result = ReadStreamSource(*loaded.plan, loaded.log, ends[0], "stdin", row.limit);
    ::close(ends[0]);
    writer.join();
    EXPECT_EQ(result, row.message.empty()) << row.what;
    if (row.message.empty()) {
      EXPECT_EQ(loaded.Dump(), ReferenceDump()) << row.what;
      EXPECT_EQ(FirstLine(loaded.plan->LoadReport), "stdin") << row.what;
    } else {
      EXPECT_EQ(OnlyMessage(loaded.log), row.message) << row.what;
    }
  }
}

TEST(StreamSource, UnreadableDescriptorIsReportedLikeAFile) {
  Loaded loaded;
  EXPECT_FALSE(ReadStreamSource(*loaded.plan, loaded.log, -1, "stdin"));
  EXPECT_EQ(OnlyMessage(loaded.log), "3 File does not exist or cannot be read.");
}

// What a desktop hands the viewer (file: URIs) reaches the file it names, or is reported as
// a file that cannot be read.
TEST(FileSource, CommandLineUrisReachTheFile) {
  TempDir dir;
  const std::string plan = SmallPlanBytes();
  dir.Write("My plan.xml", plan);
  dir.Write("\xC3\xBC" "bergabe.xml", plan);
  struct Row {
    std::string uri;
    std::string message;  // empty: the plan loads
  };
  const std::vector<Row> rows = {
      {"file://" + dir.path() + "/My%20plan.xml", ""},
      {"file://" + dir.path() + "/%C3%BCbergabe.xml", ""},
      {"file://localhost" + dir.path() + "/My%20plan.xml", ""},
      {"file://" + dir.path() + "/missing.xml", "3 File does not exist or cannot be read."},
      {"file://" + dir.path(), "3 File does not exist or cannot be read."},
      {"file://" + dir.path() + "/", "3 File does not exist or cannot be read."},
      {"file://" + dir.path() + "/My%2plan.xml", "3 File does not exist or cannot be read."},
  };
  for (const Row& row : rows) {
    const std::string source = CommandLineSource(row.uri);
    ASSERT_TRUE(ClassifySource(source) == SourceKind::Path) << row.uri;
    Loaded loaded;
    EXPECT_EQ(ReadFileSource(*loaded.plan, loaded.log, source), row.message.empty()) << row.uri;
    if (row.message.empty()) {
      EXPECT_EQ(loaded.Dump(), ReferenceDump()) << row.uri;
    } else {
      EXPECT_EQ(OnlyMessage(loaded.log), row.message) << row.uri;
    }
  }
}

}  // namespace
}  // namespace nerin
