// SPDX-License-Identifier: MIT
// Loading a binary plan (.mpp) against loading its twin, the product's XML export of the same
// plan, for the largest sample with a twin of each generation: reading binary fields should
// never cost more than parsing their text. Both go the whole road of an open (LoadSource: the
// reader, the checks, the model) from bytes in memory. The samples come from the shared folder
// beside the project (../shared/mpp/pairs), never from the project itself.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "sources/plan_source.h"
#include "model/message_log.h"
#include "model/plan.h"

namespace nerin {
namespace {

namespace fs = std::filesystem;

const fs::path PAIRS = fs::path(NERIN_SHARED_DIR) / "mpp" / "pairs";

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Pair {
  std::string binary;  // file names
  std::string twin;
};

// Of each generation's samples with a twin, as INDEX.tsv lists them: the largest binary file
// (key "MPP14"), and the one whose twin is largest, the most content (key "MPP14 content").
const std::map<std::string, Pair>& LargestPairs() {
  static const std::map<std::string, Pair> pairs = [] {
    std::map<std::string, Pair> found;
    std::map<std::string, std::uintmax_t> sizes;
    const auto Consider = [&](const std::string& key, const fs::path& measured, const Pair& pair) {
      std::error_code error;
      const std::uintmax_t size = fs::file_size(measured, error);
      if (error || size <= sizes[key]) return;
      sizes[key] = size;
      found[key] = pair;
    };
    std::ifstream index(PAIRS / "INDEX.tsv");
    std::string line;
    std::getline(index, line);
    while (std::getline(index, line)) {
      std::vector<std::string> cells;
      std::stringstream split(line);
      std::string cell;
      while (std::getline(split, cell, '\t')) cells.push_back(cell);
      if (cells.size() < 5 || cells[4] == "-" || !cells[1].starts_with("MPP")) continue;
      Consider(cells[1], PAIRS / cells[0], {cells[0], cells[4]});
      Consider(cells[1] + " content", PAIRS / cells[4], {cells[0], cells[4]});
    }
    return found;
  }();
  return pairs;
}

std::chrono::duration<double> CpuNow() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return std::chrono::duration<double>(static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9);
}

// CPU seconds per load of each generation's twin, for the ratio of its binary load.
std::map<std::string, double>& TwinSeconds() {
  static std::map<std::string, double> seconds;
  return seconds;
}

// Loads the file's bytes again and again into one plan; CPU seconds per load.
double LoadRepeatedly(benchmark::State& state, const std::string& name, const std::string& bytes) {
  auto plan = std::make_unique<Plan>();
  MessageLog log;
  double seconds = 0;
  for (auto _ : state) {
    const auto start = CpuNow();
    const bool loaded = LoadSource(*plan, log, name, bytes.data(), static_cast<std::int64_t>(bytes.size()));
    seconds += (CpuNow() - start).count();
    benchmark::DoNotOptimize(loaded);
    // The project's own dates can keep a sample from loading; it is read whole all the same.
    if (!loaded && CountMessages(log, MessageLevel::Error) == 0) {
      state.SkipWithError(("did not load: " + name).c_str());
      break;
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
  state.counters["tasks"] = static_cast<double>(plan->TaskCount());
  return state.iterations() > 0 ? seconds / static_cast<double>(state.iterations()) : 0;
}

void TwinLoad(benchmark::State& state, const std::string& generation) {
  const auto pair = LargestPairs().find(generation);
  if (pair == LargestPairs().end()) {
    state.SkipWithError(("no " + generation + " sample with a twin in " + PAIRS.string()).c_str());
    return;
  }
  state.SetLabel(pair->second.twin);
  TwinSeconds()[generation] = LoadRepeatedly(state, pair->second.twin, Bytes(PAIRS / pair->second.twin));
}

void BinaryLoad(benchmark::State& state, const std::string& generation) {
  const auto pair = LargestPairs().find(generation);
  if (pair == LargestPairs().end()) {
    state.SkipWithError(("no " + generation + " sample with a twin in " + PAIRS.string()).c_str());
    return;
  }
  state.SetLabel(pair->second.binary);
  const double seconds = LoadRepeatedly(state, pair->second.binary, Bytes(PAIRS / pair->second.binary));
  const auto twin = TwinSeconds().find(generation);
  // Reported as the binary load's time as a multiple of its twin's: at most 1 is the target.
  if (twin != TwinSeconds().end() && twin->second > 0) state.counters["x_twin"] = seconds / twin->second;
}

// Each twin first, so that the binary load after it can report its ratio.
const bool REGISTERED = [] {
  for (const char* key : {"MPP14", "MPP12", "MPP9", "MPP14 content", "MPP12 content", "MPP9 content"}) {
    std::string name(key);
    for (char& c : name) c = c == ' ' ? '-' : c;
    benchmark::RegisterBenchmark(("LoadTwinXml/" + name).c_str(), TwinLoad, std::string(key))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("LoadMpp/" + name).c_str(), BinaryLoad, std::string(key))
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace
}  // namespace nerin

BENCHMARK_MAIN();
