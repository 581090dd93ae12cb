// SPDX-License-Identifier: MIT
// Helpers for the plan source tests: temporary files, a local web server, child processes.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/golden.h"

namespace nerin::test {

inline std::string SmallPlanPath() {
  return NERIN_SOURCE_DIR "/tests/sources/data/small_plan.xml";
}
inline std::string SmallPlanBytes() {
  return ReadWholeFile(SmallPlanPath());
}

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "nerin-sources-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::string Write(const std::string& name, const std::string& bytes) const {
    WriteWholeFile(File(name), bytes);
    return File(name);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Waits for a child of ours, at most `limit`; a child that overstays is killed.
inline int WaitForChild(pid_t pid, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (true) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (done < 0) return -1;
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// The test web server (plan_server.py) on 127.0.0.1. It ends when this object closes its
// input, and by itself after two minutes.
class PlanServer {
 public:
  PlanServer() {
    // A proxy set in the environment must not stand between the tests and their own server;
    // the tool started by the tests inherits this.
    ::setenv("no_proxy", "127.0.0.1", 1);
    ::setenv("NO_PROXY", "127.0.0.1", 1);
    int toServer[2];
    int fromServer[2];
    if (::pipe2(toServer, O_CLOEXEC) != 0) return;
    if (::pipe2(fromServer, O_CLOEXEC) != 0) {
      ::close(toServer[0]);
      ::close(toServer[1]);
      return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(toServer[0], 0);
      ::dup2(fromServer[1], 1);
      const char* script = NERIN_SOURCE_DIR "/tests/sources/plan_server.py";
      const std::string plan = SmallPlanPath();
      ::execlp("python3", "python3", script, plan.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(toServer[0]);
    ::close(fromServer[1]);
    input_ = toServer[1];
    port_ = ReadPort(fromServer[0]);
    ::close(fromServer[0]);
  }
  ~PlanServer() {
    if (input_ >= 0) ::close(input_);
    if (pid_ > 0) WaitForChild(pid_, std::chrono::seconds(10));
  }
  PlanServer(const PlanServer&) = delete;
  PlanServer& operator=(const PlanServer&) = delete;

  int port() const { return port_; }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  static int ReadPort(int fd) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
      pollfd ready{fd, POLLIN, 0};
      if (::poll(&ready, 1, 200) <= 0) continue;
      char buffer[64];
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got <= 0) break;
      line.append(buffer, static_cast<std::size_t>(got));
    }
    return line.find('\n') == std::string::npos ? 0 : std::atoi(line.c_str());
  }

  pid_t pid_ = -1;
  int input_ = -1;
  int port_ = 0;
};

// A port on 127.0.0.1 that is bound but not listening: connecting to it is refused.
class RefusingPort {
 public:
  RefusingPort() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      port_ = ntohs(address.sin_port);
    }
  }
  ~RefusingPort() {
    if (fd_ >= 0) ::close(fd_);
  }
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;
  int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

struct ProcessResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs a program with the arguments and the input (none when not given), and collects what
// it writes.
inline ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                                const TempDir& scratch, const std::string* input = nullptr) {
  const std::string outPath = scratch.File("process.out");
  const std::string errPath = scratch.File("process.err");
  const std::string inPath = scratch.File("process.in");
  if (input != nullptr) WriteWholeFile(inPath, *input);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int in = ::open(input != nullptr ? inPath.c_str() : "/dev/null", O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) ::_exit(126);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ProcessResult result;
  result.status = WaitForChild(pid, std::chrono::seconds(60));
  result.out = ReadWholeFile(outPath);
  result.err = ReadWholeFile(errPath);
  return result;
}

// The program of that name found along PATH, or empty.
inline std::string ProgramOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  const std::string folders = path == nullptr ? "" : path;
  for (std::size_t from = 0; from <= folders.size();) {
    const std::size_t to = std::min(folders.find(':', from), folders.size());
    const std::string candidate = folders.substr(from, to - from) + "/" + name;
    if (to > from && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    from = to + 1;
  }
  return {};
}

// A git repository in `scratch`, set up as the README tells users to: files that match
// `pattern` are compared through `cli textconv`. Nothing from the user's or the system's git
// settings counts.
class TextconvRepo {
 public:
  TextconvRepo(std::string git, const TempDir& scratch, const std::string& cli, const std::string& pattern)
      : git_(std::move(git)), scratch_(scratch), path_(scratch.File("repo")) {
    ::setenv("GIT_CONFIG_NOSYSTEM", "1", 1);
    ::setenv("GIT_CONFIG_GLOBAL", "/dev/null", 1);
    std::filesystem::create_directory(path_);
    Git({"init", "-q"});
    Git({"config", "user.name", "Nerin Test"});
    Git({"config", "user.email", "test@example.invalid"});
    Git({"config", "diff.msproject.textconv", "'" + cli + "' textconv"});
    WriteWholeFile(path_ + "/.gitattributes", pattern + " diff=msproject\n");
  }
  const std::string& Path() const { return path_; }
  // Runs git in the repository; it is expected to succeed.
  ProcessResult Git(const std::vector<std::string>& arguments) const {
    std::vector<std::string> all = {"-C", path_};
    all.insert(all.end(), arguments.begin(), arguments.end());
    const ProcessResult result = RunProgram(git_, all, scratch_);
    EXPECT_EQ(result.status, 0) << "git " << arguments[0] << "\n" << result.err;
    return result;
  }

 private:
  std::string git_;
  const TempDir& scratch_;
  std::string path_;
};

}  // namespace nerin::test
