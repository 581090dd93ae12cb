// SPDX-License-Identifier: MIT
// Load times of generated plans, phase by phase, against the floor of a bare expat pass over
// the same text: no expat-based loader can be faster than expat doing nothing.
#include <benchmark/benchmark.h>
#include <expat.h>
#include <iconv.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

#include "model/load_plan.h"
#include "model/message_log.h"
#include "model/plan.h"
#include "model/xml_document.h"

namespace nerin {
namespace {

constexpr std::array<const char*, 9> PHASES = {"xml",         "validate", "reset", "tasks", "resources",
                                               "assignments", "derive",   "free",  "total"};

const std::string& PlanText(int tasks) {
  static std::map<int, std::string> texts;
  auto found = texts.find(tasks);
  if (found == texts.end()) {
    const std::string path = std::string(NERIN_BENCH_PLAN_DIR) + "/plan" + std::to_string(tasks) + ".xml";
    std::ifstream file(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    found = texts.emplace(tasks, std::move(text)).first;
  }
  return found->second;
}

// The same plan as a UTF-16LE file with a byte-order mark, as some tools save plans: the
// declaration names UTF-16, the rest is the UTF-8 plan converted by the C library.
const std::string& PlanTextUtf16(int tasks) {
  static std::map<int, std::string> texts;
  auto found = texts.find(tasks);
  if (found == texts.end()) {
    std::string utf8 = PlanText(tasks);
    const std::string declared = "encoding=\"UTF-8\"";
    const std::size_t at = utf8.find(declared);
    if (at != std::string::npos && at < 100) utf8.replace(at, declared.size(), "encoding=\"UTF-16\"");
    std::string utf16 = "\xFF\xFE";
    utf16.resize(2 + utf8.size() * 4);
    iconv_t converter = iconv_open("UTF-16LE", "UTF-8");
    char* in = utf8.data();
    std::size_t inLeft = utf8.size();
    char* out = utf16.data() + 2;
    std::size_t outLeft = utf16.size() - 2;
    const bool converted = converter != reinterpret_cast<iconv_t>(-1) &&
                           iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1);
    if (converter != reinterpret_cast<iconv_t>(-1)) iconv_close(converter);
    utf16.resize(converted ? utf16.size() - outLeft : 0);
    found = texts.emplace(tasks, std::move(utf16)).first;
  }
  return found->second;
}

// The ratio to the floor is taken on CPU time: on a shared machine wall time depends on
// what else runs. Page faults and other kernel work for this thread are included.
std::chrono::duration<double> CpuNow() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return std::chrono::duration<double>(static_cast<double>(now.tv_sec) +
                                       static_cast<double>(now.tv_nsec) * 1e-9);
}

// Seconds per iteration of the bare pass, by plan size, for the ratio of the load.
std::map<int, double>& FloorSeconds() {
  static std::map<int, double> floors;
  return floors;
}

// Time per iteration as a multiple of the bare pass over the same plan.
void SetRatio(benchmark::State& state, int tasks, double seconds) {
  const auto floor = FloorSeconds().find(tasks);
  if (floor != FloorSeconds().end() && floor->second > 0 && state.iterations() > 0) {
    state.counters["x_expat"] = seconds / static_cast<double>(state.iterations()) / floor->second;
  }
}

bool BareExpatPass(const std::string& text) {
  XML_Parser parser = XML_ParserCreate(nullptr);
  const bool ok = XML_Parse(parser, text.data(), static_cast<int>(text.size()), XML_TRUE) == XML_STATUS_OK;
  XML_ParserFree(parser);
  return ok;
}

void ExpatFloor(benchmark::State& state) {
  const int tasks = static_cast<int>(state.range(0));
  const std::string& text = PlanText(tasks);
  if (text.empty()) {
    state.SkipWithError("plan file missing");
    return;
  }
  double seconds = 0;
  for (auto _ : state) {
    const auto start = CpuNow();
    const bool ok = BareExpatPass(text);
    seconds += (CpuNow() - start).count();
    if (!ok) {
      state.SkipWithError("expat rejected the plan");
      return;
    }
  }
  FloorSeconds()[tasks] = seconds / static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void XmlTree(benchmark::State& state) {
  const std::string& text = PlanText(static_cast<int>(state.range(0)));
  XmlDocument document;
  double seconds = 0;
  for (auto _ : state) {
    const auto start = CpuNow();
    const bool built = document.Parse(text) && document.WellFormed();
    benchmark::DoNotOptimize(document.NodeCount());
    document.Free();
    seconds += (CpuNow() - start).count();
    if (!built) {
      state.SkipWithError("the tree was not built");
      return;
    }
  }
  SetRatio(state, static_cast<int>(state.range(0)), seconds);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// The milliseconds of each report line, in PHASES order; -1 where a line is missing.
std::array<double, PHASES.size()> PhaseMilliseconds(const std::string& report) {
  std::array<double, PHASES.size()> values;
  values.fill(-1);
  std::istringstream lines(report);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.size() < 13 + 6) continue;
    for (std::size_t i = 0; i < PHASES.size(); ++i) {
      const std::string label = PHASES[i];
      if (line.compare(0, label.size(), label) == 0 && line[label.size()] == ' ') {
        values[i] = std::atof(line.c_str() + 13);
      }
    }
  }
  return values;
}

// Seconds per iteration of the UTF-8 load, by plan size, for the ratio of the UTF-16 load.
std::map<int, double>& Utf8LoadSeconds() {
  static std::map<int, double> seconds;
  return seconds;
}

void LoadPlanBench(benchmark::State& state, bool utf16) {
  const int tasks = static_cast<int>(state.range(0));
  const std::string& text = utf16 ? PlanTextUtf16(tasks) : PlanText(tasks);
  if (text.empty()) {
    state.SkipWithError("plan file missing");
    return;
  }
  // One long-lived plan, as in the viewer: making a Plan allocates all its records.
  static Plan plan;
  static MessageLog log;
  std::array<double, PHASES.size()> sums{};
  double seconds = 0;
  for (auto _ : state) {
    const auto start = CpuNow();
    const bool loaded = LoadPlan(plan, log, "plan" + std::to_string(tasks) + ".xml", text);
    seconds += (CpuNow() - start).count();
    if (!loaded) {
      state.SkipWithError("the plan did not load");
      return;
    }
    const auto phases = PhaseMilliseconds(plan.LoadReport);
    for (std::size_t i = 0; i < phases.size(); ++i) sums[i] += phases[i];
  }
  for (std::size_t i = 0; i < PHASES.size(); ++i) {
    state.counters[std::string(PHASES[i]) + "_ms"] =
        benchmark::Counter(sums[i], benchmark::Counter::kAvgIterations);
  }
  if (!utf16) SetRatio(state, tasks, seconds);
  const double perIteration = seconds / static_cast<double>(state.iterations());
  if (!utf16) {
    Utf8LoadSeconds()[tasks] = perIteration;
  } else if (const auto utf8 = Utf8LoadSeconds().find(tasks); utf8 != Utf8LoadSeconds().end() && utf8->second > 0) {
    state.counters["x_utf8"] = perIteration / utf8->second;
  }
  state.counters["tasks"] = static_cast<double>(plan.TaskCount());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// The floor runs first so that the load can be set against it.
BENCHMARK(ExpatFloor)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(XmlTree)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(LoadPlanBench, utf8, false)
    ->Name("LoadPlan")
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
// After the UTF-8 load, so that it can be set against it (x_utf8).
BENCHMARK_CAPTURE(LoadPlanBench, utf16, true)
    ->Name("LoadPlanUtf16")
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

}  // namespace
}  // namespace nerin

BENCHMARK_MAIN();
