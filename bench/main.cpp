// One main for every benchmark: widgets need an application, and no display is needed.
#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>

#include "Session.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  // Windows must not outlive the application they belong to.
  bench::CloseEditor();
  return 0;
}
