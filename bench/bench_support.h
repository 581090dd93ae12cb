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
// Runs the benchmarks named on the command line in an application of the given kind, on Qt's
// off-screen platform unless the caller chose another or, where a real window is measured,
// there is a display. `atEnd` runs before the application goes.
template <typename Application>
int RunQtBenchmarks(int argc, char** argv, bool onDisplay = false, void (*atEnd)() = nullptr) {
  const bool display = onDisplay && !qEnvironmentVariableIsEmpty("DISPLAY");
  if (!display && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  Application application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (atEnd != nullptr) atEnd();
  return 0;
}

// The benchmarks that draw text, which needs a GUI application but no display.
inline int RunDrawingBenchmarks(int argc, char** argv) {
  return RunQtBenchmarks<QGuiApplication>(argc, argv);
}
#endif

}  // namespace nerin::bench
