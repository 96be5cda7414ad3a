#pragma once
// The main of a benchmark that runs the program's windows: a widgets application,
// offscreen unless a platform was chosen, then the benchmarks.
#include <benchmark/benchmark.h>

#include <QApplication>

namespace vantrel::bench {

inline int RunWidgetBenchmarks(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace vantrel::bench
