// SPDX-License-Identifier: MIT
// Loads off the window's thread: what a load's end leaves shown, and loads dropped by Stop or
// by the next load, which end on their own and are never heard of.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>

#include <optional>

#include "app/command_input.h"
#include "app/plan_loader.h"
#include "gui_test_support.h"
#include "main_window_fixture.h"

namespace nerin {
namespace {

using test::AppData;
using test::WaitUntil;

// A server on 127.0.0.1 that takes connections into its backlog and never answers them.
class SilentServer {
 public:
  SilentServer() {
    socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (socket_ < 0 || ::bind(socket_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(socket_, 4) != 0 || ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      return;
    }
    port_ = ntohs(address.sin_port);
  }
  ~SilentServer() {
    if (socket_ >= 0) ::close(socket_);
  }
  std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/plan.xml"; }
  bool Listening() const { return port_ != 0; }

 private:
  int socket_ = -1;
  int port_ = 0;
};

// Every end the loader reports, kept.
struct Ends {
  std::vector<LoadResult> results;
  PlanLoader loader{[this](LoadResult& result) { results.push_back(std::move(result)); }};

  bool WaitForOne() {
    return WaitUntil([&] { return !results.empty(); }, 20000);
  }
};

// A shown plan, then a load's end taken in by the session: what stays shown and what it hears.
TEST(PlanLoaderTest, ALoadsEndReplacesTheShownPlanOnlyOnceItReachedItsModel) {
  struct Row {
    const char* file;
    bool reference;
    std::string shownAfter;  // the shown plan's name afterwards, "" none
    bool messagesReplaced;
    bool messagesMatchPlan;  // of the plan shown afterwards
    bool loaded;
    bool firstError;
  };
  const Row rows[] = {
      {"second.xml", false, "Second Plan", true, true, true, false},
      // Rejected before its model: the shown plan stays, its messages are the attempt's now.
      {"broken.xml", false, "Quay Wall", true, false, false, true},
      // Unreadable: nothing was read that could speak against the shown plan.
      {"missing.xml", false, "Quay Wall", true, true, false, true},
      // Rejected only while its model was read: nothing is left shown.
      {"late-failure.xml", false, "", true, false, false, true},
      // A reference is handed on whole; the shown plan and its messages stay.
      {"second.xml", true, "Quay Wall", false, true, true, false},
      {"missing.xml", true, "Quay Wall", false, true, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.file) + (row.reference ? " as the reference" : ""));
    ViewerSession session;
    Ends shown;
    shown.loader.Start(AppData("quay-warnings.xml"), false, false);
    ASSERT_TRUE(shown.WaitForOne());
    session.Apply(OpenSourceFor(AppData("quay-warnings.xml"), OpenOrigin::Dialog));
    session.Apply(TakeLoadResult(shown.results[0]));
    ASSERT_EQ(session.ShownPlan().ProjectName, "Quay Wall");
    const std::string shownMessages = MessageListText(session.ShownLog());

    Ends ends;
    ends.loader.Start(AppData(row.file), false, row.reference);
    ASSERT_TRUE(ends.WaitForOne());
    session.Apply(OpenSourceFor(AppData(row.file), row.reference ? OpenOrigin::Reference : OpenOrigin::Dialog));
    const SessionEvent event = TakeLoadResult(ends.results[0]);
    session.Apply(event);
    const Plan& plan = session.ShownPlan();
    EXPECT_EQ(plan.ProjectLoaded ? plan.ProjectName : "", row.shownAfter);
    EXPECT_EQ(MessageListText(session.ShownLog()) != shownMessages, row.messagesReplaced);
    EXPECT_EQ(session.State().MessagesMatchPlan, row.messagesMatchPlan);
    EXPECT_EQ(ends.results[0].PlanRead, nullptr) << "the load's plan went whole with its end";
    if (row.reference) {
      const auto* compared = std::get_if<CompareFinishedEvent>(&event);
      ASSERT_NE(compared, nullptr);
      EXPECT_EQ(compared->Reference != nullptr, row.loaded);
      EXPECT_EQ(compared->Reference ? compared->Reference->ProjectName : "", row.loaded ? "Second Plan" : "");
    } else {
      const auto* opened = std::get_if<OpenFinishedEvent>(&event);
      ASSERT_NE(opened, nullptr);
      EXPECT_EQ(opened->Source, AppData(row.file));
      EXPECT_EQ(opened->Loaded, row.loaded);
      ASSERT_NE(opened->Log, nullptr);
      EXPECT_EQ(CountMessages(*opened->Log, MessageLevel::Error) > 0, row.firstError);
    }
  }
}

// Stop, and a second load over the first, drop the load under way: its end never comes, and its
// thread ends on its own soon after, a download that has had no answer included.
TEST(PlanLoaderTest, ADroppedLoadIsNeverHeardOfAndItsThreadEnds) {
  SilentServer server;
  ASSERT_TRUE(server.Listening());
  {
    Ends ends;
    ends.loader.Start(server.Address(), true, false);
    EXPECT_TRUE(ends.loader.Running());
    test::Pump(200);
    EXPECT_TRUE(PlanLoader::ThreadsAlive()) << "the server has not answered";
    QElapsedTimer clock;
    clock.start();
    ends.loader.Stop();
    EXPECT_FALSE(ends.loader.Running());
    EXPECT_TRUE(WaitUntil([] { return !PlanLoader::ThreadsAlive(); }, 5000));
    EXPECT_LT(clock.elapsed(), 2000) << "a stopped download ends at once";
    test::Pump(100);
    EXPECT_TRUE(ends.results.empty());
  }
  {
    Ends ends;
    ends.loader.Start(server.Address(), true, false);
    ends.loader.Start(AppData("bridge.xml"), false, false);
    ASSERT_TRUE(ends.WaitForOne());
    EXPECT_TRUE(WaitUntil([] { return !PlanLoader::ThreadsAlive(); }, 5000));
    test::Pump(100);
    ASSERT_EQ(ends.results.size(), 1u);
    EXPECT_EQ(ends.results[0].Source, AppData("bridge.xml"));
    EXPECT_TRUE(ends.results[0].Loaded);
  }
  {
    // A loader that goes away drops its load the same way.
    auto ends = std::make_unique<Ends>();
    ends->loader.Start(server.Address(), true, false);
    ends.reset();
    EXPECT_TRUE(WaitUntil([] { return !PlanLoader::ThreadsAlive(); }, 5000));
  }
}

}  // namespace
}  // namespace nerin
