// SPDX-License-Identifier: MIT
// Binary plans on every road of nerin-cli: a path, standard input, a file: URI and a download,
// through every command; the text git diff compares is the twin's wherever the fields agree.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <thread>
#include <utility>

#include "mpp_test_support.h"
#include "sources/sources_test_support.h"

namespace nerin {
namespace {

using test::ProcessResult;
using test::TempDir;

const std::string CLI = NERIN_BIN_DIR "/nerin-cli";

ProcessResult Cli(const std::vector<std::string>& arguments, const TempDir& scratch,
                  const std::string* input = nullptr) {
  return test::RunProgram(CLI, arguments, scratch, input);
}

std::string SamplePath(const std::string& name) {
  return (mpp_test::PairsDir() / name).string();
}

// The lines of a dump or textconv output that the two files of a pair may not share: the
// project's name and author (allowed for every pair) and the binary reader's own line; the
// findings that name the file are read in the export's words.
std::vector<std::string> SharedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    // The findings that name the file, in the export's words.
    for (const auto& [binary, xml] :
         {std::pair<std::string_view, std::string_view>{"This plan contains no baseline",
                                                        "This export contains no baseline"},
          {"the plan contains no critical path", "the export contains no critical path"}}) {
      if (const std::size_t at = line.find(binary); at != std::string::npos)
        line.replace(at, binary.size(), xml);
    }
    // The plan's own terms (units, calendars, each task's further facts) are not read from
    // binary plans yet.
    const bool terms = line.starts_with("TERMS ") || line.starts_with("CAL ") || line.starts_with("CALEX ") ||
                       line.starts_with("TT ");
    if (!terms && !line.starts_with("PROJECT name=") && line.find("Read from a binary plan file") == std::string::npos) {
      lines.push_back(line);
    }
    start = end + 1;
  }
  return lines;
}

// Pairs whose twin was exported in the same task mode, of each generation.
const char* const PAIRS[] = {"task-links-project2016-mpp14", "mpp14assignmentfields", "mpp12nulltasks",
                             "task-links-project2007-mpp12", "mpp9resource", "task-baselines-project2003-mpp9"};

TEST(CliMpp, EveryCommandReadsABinaryPlanAsItsTwin) {
  NERIN_SKIP_WITHOUT_SAMPLES();
  TempDir dir;
  const bool drawing = Cli({"--help"}, dir).out.find("nerin-cli png") != std::string::npos;
  for (const char* pair : PAIRS) {
    SCOPED_TRACE(pair);
    const std::string binary = SamplePath(std::string(pair) + ".mpp");
    const std::string twin = SamplePath(std::string(pair) + ".xml");
    const ProcessResult dump = Cli({"dump", binary}, dir);
    EXPECT_EQ(dump.status, 0) << dump.err;
    EXPECT_EQ(SharedLines(dump.out), SharedLines(Cli({"dump", twin}, dir).out));
    EXPECT_EQ(SharedLines(Cli({"textconv", binary}, dir).out), SharedLines(Cli({"textconv", twin}, dir).out));
    for (const char* list : {"tasks", "resources"}) {
      EXPECT_EQ(Cli({"csv", binary, "--list", list}, dir).out, Cli({"csv", twin, "--list", list}, dir).out) << list;
    }
    const ProcessResult diff = Cli({"diff", binary, twin}, dir);
    EXPECT_EQ(diff.status, 0) << diff.out << diff.err;
    EXPECT_EQ(diff.out, "No differences.\n");
    const ProcessResult report = Cli({"report", binary}, dir);
    EXPECT_EQ(report.status, 0);
    EXPECT_NE(report.out.find("INFO: Read from a binary plan file (MPP"), std::string::npos) << report.out;
    if (drawing) {
      EXPECT_EQ(Cli({"png", binary, "-o", dir.File("chart.png")}, dir).status, 0);
      EXPECT_TRUE(test::ReadWholeFile(dir.File("chart.png")).starts_with("\x89PNG"));
      EXPECT_EQ(Cli({"pdf", binary, "-o", dir.File("chart.pdf")}, dir).status, 0);
      EXPECT_TRUE(test::ReadWholeFile(dir.File("chart.pdf")).starts_with("%PDF"));
    }
  }
}

TEST(CliMpp, RefusedBinaryPlansSayWhyAndTextconvStillTellsVersionsApart) {
  NERIN_SKIP_WITHOUT_SAMPLES();
  TempDir dir;
  const ProcessResult dump = Cli({"dump", SamplePath("bothpassword9.mpp")}, dir);
  EXPECT_EQ(dump.status, 1);
  EXPECT_NE(dump.err.find("ERROR: This plan is protected by a password"), std::string::npos) << dump.err;
  const ProcessResult first = Cli({"textconv", SamplePath("bothpassword9.mpp")}, dir);
  const ProcessResult second = Cli({"textconv", SamplePath("password-protected-mpp9.mpp")}, dir);
  EXPECT_EQ(first.status, 0);
  EXPECT_TRUE(first.out.starts_with("ERROR: This plan is protected by a password; the viewer does not open "
                                    "protected plans.\n\nBinary plan file: 74752 bytes, checksum "))
      << first.out;
  EXPECT_NE(first.out, second.out);
}

// A small web server of our own on 127.0.0.1 that answers one request with the bytes.
class OneAnswerServer {
 public:
  explicit OneAnswerServer(std::string body) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd_, 1) != 0 || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      return;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this, body = std::move(body)] {
      const int client = ::accept(fd_, nullptr, nullptr);
      if (client < 0) return;
      std::string request;
      char buffer[1024];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t got = ::read(client, buffer, sizeof buffer);
        if (got <= 0) break;
        request.append(buffer, static_cast<std::size_t>(got));
      }
      const std::string answer = "HTTP/1.1 200 OK\r\nContent-Type: application/vnd.ms-project\r\nContent-Length: " +
                                 std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
      std::size_t sent = 0;
      while (sent < answer.size()) {
        const ssize_t put = ::write(client, answer.data() + sent, answer.size() - sent);
        if (put <= 0) break;
        sent += static_cast<std::size_t>(put);
      }
      ::close(client);
    });
  }
  ~OneAnswerServer() {
    if (fd_ >= 0) ::shutdown(fd_, SHUT_RDWR);
    if (thread_.joinable()) thread_.join();
    if (fd_ >= 0) ::close(fd_);
  }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

 private:
  int fd_ = -1;
  int port_ = 0;
  std::thread thread_;
};

TEST(CliMpp, StandardInputFileUrisAndDownloads) {
  NERIN_SKIP_WITHOUT_SAMPLES();
  ::setenv("no_proxy", "127.0.0.1", 1);
  ::setenv("NO_PROXY", "127.0.0.1", 1);
  TempDir dir;
  const std::string path = SamplePath("mpp12nulltasks.mpp");
  const std::string bytes = mpp_test::Sample("mpp12nulltasks.mpp");
  const std::vector<std::string> expected = SharedLines(Cli({"dump", path}, dir).out);
  ASSERT_FALSE(expected.empty());

  const ProcessResult piped = Cli({"dump", "-"}, dir, &bytes);
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_EQ(SharedLines(piped.out), expected);

  // Named like a text file: the content decides.
  const std::string renamed = dir.Write("plan with space.xml", bytes);
  const ProcessResult uri = Cli({"dump", "file://" + dir.path() + "/plan%20with%20space.xml"}, dir);
  EXPECT_EQ(uri.status, 0) << uri.err;
  EXPECT_EQ(SharedLines(uri.out), expected);

  OneAnswerServer server(bytes);
  const ProcessResult downloaded = Cli({"dump", server.Url("/plans/site.mpp")}, dir);
  EXPECT_EQ(downloaded.status, 0) << downloaded.err;
  EXPECT_EQ(SharedLines(downloaded.out), expected);
  EXPECT_NE(downloaded.out.find("PROJECT name=site.mpp|"), std::string::npos);
}

// git diff of two versions of a binary plan, set up as the README says, reads as text.
TEST(CliMpp, GitDiffOfTwoBinaryVersionsReadsAsText) {
  NERIN_SKIP_WITHOUT_SAMPLES();
  const std::string git = test::ProgramOnPath("git");
  if (git.empty()) GTEST_SKIP() << "git is not installed";
  TempDir dir;
  const test::TextconvRepo repository(git, dir, CLI, "*.mpp");
  const std::string& repo = repository.Path();
  const auto Git = [&](const std::vector<std::string>& arguments) { return repository.Git(arguments); };
  // The same plan saved by two versions of the product: its critical tasks moved.
  test::WriteWholeFile(repo + "/plan.mpp", mpp_test::Sample("task-links-project2010-mpp14.mpp"));
  Git({"add", "--", ".gitattributes", "plan.mpp"});
  Git({"commit", "-q", "-m", "First version"});
  test::WriteWholeFile(repo + "/plan.mpp", mpp_test::Sample("task-links-project2016-mpp14.mpp"));
  Git({"commit", "-q", "-a", "-m", "Saved again"});
  const std::string diff = Git({"--no-pager", "diff", "--no-color", "HEAD~1"}).out;
  EXPECT_EQ(diff.find("Binary files"), std::string::npos) << diff;
  EXPECT_NE(diff.find("\n-T "), std::string::npos) << diff;
  EXPECT_NE(diff.find("\n+T "), std::string::npos) << diff;
  EXPECT_NE(diff.find("saved by MS Project 16.0"), std::string::npos) << diff;
}

}  // namespace
}  // namespace nerin
