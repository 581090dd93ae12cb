// SPDX-License-Identifier: MIT
// What the benchmark programs share: the generated plans' text, and a main() for the ones that
// draw text, which needs a GUI application but no display.
#pragma once

#include <benchmark/benchmark.h>

#ifdef QT_GUI_LIB
#include <QGuiApplication>
#endif

#include <fstream>
#include <iterator>
#include <string>

namespace nerin::bench {

// The whole text of a plan that bench/generate_plan.py wrote into the build folder; empty when
// it is missing.
inline std::string BenchPlanText(const std::string& name) {
  std::ifstream file(std::string(NERIN_BENCH_PLAN_DIR) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

#ifdef QT_GUI_LIB
// Runs the benchmarks named on the command line with Qt's off-screen platform, unless the
// caller chose another.
inline int RunDrawingBenchmarks(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
#endif

}  // namespace nerin::bench
