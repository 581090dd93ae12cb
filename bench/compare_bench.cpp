// SPDX-License-Identifier: MIT
// Comparing two versions of the realistic 10,000-task plan, the second derived from the first
// with a few hundred known edits: the comparison against one load of a version, and
// `nerin-cli diff` of the two files against `nerin-cli report` of one.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "compare/plan_changes.h"
#include "tests/fixtures/plan_edits.h"
#include "tests/fixtures/plan_xml_writer.h"
#include "bench/bench_support.h"
#include "model/load_plan.h"
#include "model/message_log.h"
#include "model/plan.h"

extern char** environ;

namespace nerin {
namespace {

const std::string REFERENCE_PATH = std::string(NERIN_BENCH_PLAN_DIR) + "/plan10000.xml";
const std::string SUBJECT_PATH = std::string(NERIN_BENCH_PLAN_DIR) + "/plan10000-changed.xml";

// CPU time of this thread: on a shared machine wall time depends on what else runs.
double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Versions {
  std::string referenceText;
  std::unique_ptr<Plan> reference = std::make_unique<Plan>();
  std::unique_ptr<Plan> subject = std::make_unique<Plan>();
  std::size_t edits = 0;
  bool ready = false;
};

// Loads the plan, derives the second version (one edit about every 30 tasks, every kind in
// turn), writes it beside the first for the command-line runs and loads it.
Versions& TheVersions() {
  static Versions versions = [] {
    Versions v;
    v.referenceText = bench::BenchPlanText("plan10000.xml");
    MessageLog log;
    auto edited = std::make_unique<Plan>();
    if (!LoadPlan(*v.reference, log, "plan10000.xml", v.referenceText) ||
        !LoadPlan(*edited, log, "plan10000.xml", v.referenceText)) {
      return v;
    }
    v.edits = ApplySpreadEdits(*edited, 30).size();
    const std::string subjectText = PlanXmlText(*edited);
    std::ofstream(SUBJECT_PATH, std::ios::binary | std::ios::trunc) << subjectText;
    v.ready = LoadPlan(*v.subject, log, "plan10000-changed.xml", subjectText);
    return v;
  }();
  return versions;
}

double& LoadSeconds() {
  static double seconds = 0;
  return seconds;
}

void LoadOneVersion(benchmark::State& state) {
  Versions& v = TheVersions();
  if (!v.ready) {
    state.SkipWithError("the plans did not load");
    return;
  }
  static Plan plan;
  MessageLog log;
  double seconds = 0;
  for (auto _ : state) {
    const double start = CpuSeconds();
    benchmark::DoNotOptimize(LoadPlan(plan, log, "plan10000.xml", v.referenceText));
    seconds += CpuSeconds() - start;
  }
  LoadSeconds() = seconds / static_cast<double>(state.iterations());
}

void ComparePlansBench(benchmark::State& state) {
  Versions& v = TheVersions();
  if (!v.ready) {
    state.SkipWithError("the plans did not load");
    return;
  }
  double seconds = 0;
  std::size_t changed = 0;
  for (auto _ : state) {
    const double start = CpuSeconds();
    const PlanChanges changes = ComparePlans(*v.reference, *v.subject);
    seconds += CpuSeconds() - start;
    changed = changes.Tasks.size();
  }
  state.counters["edits"] = static_cast<double>(v.edits);
  state.counters["changed_tasks"] = static_cast<double>(changed);
  if (LoadSeconds() > 0) {
    state.counters["x_load"] = seconds / static_cast<double>(state.iterations()) / LoadSeconds();
  }
}

// Wall seconds of one run of the tool, its output thrown away; negative when it failed to run.
double RunCli(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  std::string program = NERIN_BENCH_CLI;
  argv.push_back(program.data());
  std::vector<std::string> copies = arguments;
  for (std::string& argument : copies) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return WIFEXITED(status) && WEXITSTATUS(status) <= 1 ? took.count() : -1;
}

double& ReportSeconds() {
  static double seconds = 0;
  return seconds;
}

void CliBench(benchmark::State& state, const std::vector<std::string>& arguments, bool isReport) {
  if (!TheVersions().ready) {
    state.SkipWithError("the plans did not load");
    return;
  }
  double seconds = 0;
  for (auto _ : state) {
    const double took = RunCli(arguments);
    if (took < 0) {
      state.SkipWithError("nerin-cli failed");
      return;
    }
    seconds += took;
    state.SetIterationTime(took);
  }
  const double each = seconds / static_cast<double>(state.iterations());
  if (isReport) {
    ReportSeconds() = each;
  } else if (ReportSeconds() > 0) {
    state.counters["x_report"] = each / ReportSeconds();
  }
}

void CliReport(benchmark::State& state) {
  CliBench(state, {"report", REFERENCE_PATH}, true);
}

void CliDiff(benchmark::State& state) {
  CliBench(state, {"diff", REFERENCE_PATH, SUBJECT_PATH}, false);
}

// The load runs first so that the comparison can be set against it; report before diff.
BENCHMARK(LoadOneVersion)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(ComparePlansBench)->Name("ComparePlans")->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(CliReport)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(CliDiff)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

}  // namespace
}  // namespace nerin

BENCHMARK_MAIN();
