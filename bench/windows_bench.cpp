// Opening every source window the program allows: total time and memory per window.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <chrono>
#include <fstream>
#include <memory>
#include <string>

#include "app/MDIForm1.h"
#include "app/Module1.h"

namespace {
long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmRSS:") {
      status >> value;
      return value;
    }
    status.ignore(1 << 10, '\n');
  }
  return 0;
}

void BM_Open255SourceWindows(benchmark::State& state) {
  for (auto _ : state) {
    EditorState = EditorStateRecord{};
    auto frame = std::make_unique<MDIForm1>();
    frame->Show();
    QCoreApplication::processEvents();
    const long before = ResidentKiB();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 2; i <= kMaxSrcWindows; ++i) frame->aSRC_Window_Click();
    QCoreApplication::processEvents();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    state.counters["KiB_per_window"] = double(ResidentKiB() - before) / (kMaxSrcWindows - 1);
    state.counters["seconds_for_254"] = seconds;
  }
}
}  // namespace

BENCHMARK(BM_Open255SourceWindows)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
