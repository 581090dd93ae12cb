// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "sources/plan_source.h"
#include "loaded_plan.h"

namespace nerin {
namespace {

using test::FirstLine;
using test::Loaded;
using test::OnlyMessage;
using test::ReferenceDump;

constexpr const char* UNREADABLE =
    "3 The address could not be read. Check the address, and that the server is reachable.";
constexpr const char* UNREADABLE_LIST =
    "ERROR: The address could not be read. Check the address, and that the server is reachable.\n";

class AddressSource : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = std::make_unique<test::PlanServer>(); }
  static void TearDownTestSuite() { server_.reset(); }
  void SetUp() override { ASSERT_NE(server_->port(), 0) << "the test web server did not start"; }

  static std::string Url(const std::string& path) { return server_->Url(path); }
  static std::unique_ptr<test::PlanServer> server_;
};

std::unique_ptr<test::PlanServer> AddressSource::server_;

// Every way the plan can arrive over http loads the same model as the file on disk.
TEST_F(AddressSource, PlanArrives) {
  struct Row {
    std::string what;
    std::string address;
    std::string displayName;
  };
  const std::vector<Row> rows = {
      {"plain", Url("/plan.xml"), "plan.xml"},
      {"gzip encoded", Url("/gzip/plan.xml"), "plan.xml"},
      {"after five redirects", Url("/redirect/5/plan.xml"), "plan.xml"},
      {"query and fragment", Url("/plan.xml?version=2&lang=de#tasks"), "plan.xml"},
      {"address ending in a slash", Url("/dir/"), Url("/dir/")},
      {"browser agent and gzip asked for", Url("/agent/plan.xml"), "plan.xml"},
      {"large body under the usual limit", Url("/big.xml"), "big.xml"},
  };
  for (const Row& row : rows) {
    Loaded loaded;
    EXPECT_TRUE(FetchAddressSource(*loaded.plan, loaded.log, row.address)) << row.what;
    EXPECT_EQ(loaded.Dump(), ReferenceDump()) << row.what;
    EXPECT_EQ(FirstLine(loaded.plan->LoadReport), row.displayName) << row.what;
  }
}

// An error status is the one ERROR and the body is not read, so that a missing file on the
// server does not read as a fault in the XML of its error page.
TEST_F(AddressSource, ErrorStatusIsNamed) {
  struct Row {
    std::string address;
    bool loads;
    std::string messages;  // the messages window's text
  };
  const std::vector<Row> rows = {
      {Url("/missing.xml"), false, "ERROR: The server answered with HTTP status 404; nothing was loaded.\n"},
      // Even a plan is not read when the server says it failed.
      {Url("/status404/plan.xml"), false, "ERROR: The server answered with HTTP status 404; nothing was loaded.\n"},
      {Url("/redirect/2/plan.xml"), true, ""},
      {Url("/empty.xml"), false, "ERROR: The source is empty.\n"},
  };
  for (const Row& row : rows) {
    Loaded loaded;
    EXPECT_EQ(FetchAddressSource(*loaded.plan, loaded.log, row.address), row.loads) << row.address;
    if (row.loads) {
      EXPECT_EQ(loaded.Dump(), ReferenceDump()) << row.address;
    } else {
      EXPECT_EQ(MessageListText(loaded.log), row.messages) << row.address;
    }
  }
}

// A download that never ends is parsed as it arrives and ends when it is stopped.
TEST_F(AddressSource, EndlessDownloadStops) {
  std::atomic<bool> stop{false};
  FetchOptions options;
  options.stop = &stop;
  std::int64_t received = 0;
  options.progress = [&](std::int64_t bytes) {
    received = bytes;
    if (bytes > 256 * 1024) stop = true;
  };
  Loaded loaded;
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(FetchAddressSource(*loaded.plan, loaded.log, Url("/endless.xml"), options));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  EXPECT_GT(received, 256 * 1024);
  EXPECT_EQ(OnlyMessage(loaded.log), UNREADABLE);
  EXPECT_FALSE(loaded.plan->ProjectLoaded);
}

// Each failed attempt leaves exactly its own one ERROR, never the earlier messages.
TEST_F(AddressSource, AddressesThatGiveNoPlan) {
  test::RefusingPort refusing;
  ASSERT_NE(refusing.port(), 0);
  const std::string nobody = "http://127.0.0.1:" + std::to_string(refusing.port()) + "/plan.xml";
  FetchOptions small;
  small.maxBodyBytes = 4096;
  FetchOptions medium;
  medium.maxBodyBytes = 64 * 1024;
  struct Row {
    std::string what;
    std::string address;
    FetchOptions options;
    std::string message;
  };
  const std::vector<Row> rows = {
      {"empty body", Url("/empty.xml"), {}, "3 The source is empty."},
      {"connection refused", nobody, {}, UNREADABLE},
      {"body over the limit", Url("/big.xml"), small, UNREADABLE},
      {"gzip body over the limit once decoded", Url("/gzip/big.xml"), medium, UNREADABLE},
      {"endless redirects", Url("/loop.xml"), {}, UNREADABLE},
      {"redirect to a local file", Url("/to-file.xml"), {}, UNREADABLE},
      {"file address", "file://" + test::SmallPlanPath(), {}, UNREADABLE},
      {"body cut short", Url("/truncated.xml"), {}, UNREADABLE},
  };
  for (const Row& row : rows) {
    Loaded loaded;
    AddMessage(loaded.log, MessageLevel::Warning, "from an earlier attempt");
    EXPECT_FALSE(FetchAddressSource(*loaded.plan, loaded.log, row.address, row.options)) << row.what;
    EXPECT_EQ(OnlyMessage(loaded.log), row.message) << row.what;
    EXPECT_FALSE(loaded.plan->ProjectLoaded) << row.what;
  }
}

// A server that stops sending is given up after the quiet time, not waited for forever; one
// that sends slowly but steadily is waited for.
TEST_F(AddressSource, QuietServersAreGivenUp) {
  FetchOptions quick;
  quick.lowSpeedBytesPerSecond = 50;
  quick.lowSpeedSeconds = 1;
  struct Row {
    std::string what;
    std::string address;
    std::string message;  // empty: the plan loads
  };
  const std::vector<Row> rows = {
      {"no answer after the request", Url("/stall/before-headers.xml"), UNREADABLE},
      {"answer stops after its first bytes", Url("/stall/in-body.xml"), UNREADABLE},
      {"slow but steady answer", Url("/slow/plan.xml"), ""},
  };
  for (const Row& row : rows) {
    Loaded loaded;
    const auto start = std::chrono::steady_clock::now();
    const bool result = FetchAddressSource(*loaded.plan, loaded.log, row.address, quick);
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 10) << row.what;
    EXPECT_EQ(result, row.message.empty()) << row.what;
    if (row.message.empty()) {
      EXPECT_EQ(loaded.Dump(), ReferenceDump()) << row.what;
    } else {
      EXPECT_EQ(OnlyMessage(loaded.log), row.message) << row.what;
    }
  }
}

TEST_F(AddressSource, EmptyAddressLeavesTheLogAlone) {
  Loaded loaded;
  AddMessage(loaded.log, MessageLevel::Info, "kept");
  EXPECT_FALSE(FetchAddressSource(*loaded.plan, loaded.log, ""));
  EXPECT_EQ(OnlyMessage(loaded.log), "1 kept");
}

}  // namespace
}  // namespace nerin
