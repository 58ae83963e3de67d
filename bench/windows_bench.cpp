// Opening every source window the program allows, against the floor of a minimal Qt program
// showing the same windows, in the same run: the time of windows 2 to 255, whether a window
// costs more when many are open, and the memory an empty window holds once hovered.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <functional>
#include <vector>

#include "Floor.h"
#include "Memory.h"
#include "Session.h"
#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "source/SRC_W.h"
#include "support/TestSupport.h"

namespace {
constexpr int kOpened = kMaxSrcWindows - 1;  // windows 2 to 255

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Seconds for windows 2 to 255, and the median seconds per window of windows 2 to 51 and
// of windows 201 to 250.
struct Costs {
  double total = 0, early = 0, late = 0;
};

Costs Summarize(const std::vector<double>& each) {
  Costs c;
  for (double s : each) c.total += s;
  c.early = Median({each.begin(), each.begin() + 50});
  c.late = Median({each.begin() + 199, each.begin() + 249});
  return c;
}

// Wall time, and the processor time of all the process's threads: the latter leaves out
// waiting for a processor, so it still means something on a busy machine.
struct Opening {
  Costs wall, cpu;
};

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Each opening is followed by the events it posted, as after a menu command: the new
// window is painted before the next one opens.
Opening TimeOpenings(const std::function<void()>& open) {
  std::vector<double> wall, cpu;
  for (int i = 0; i < kOpened; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    open();
    QCoreApplication::processEvents();
    cpu.push_back(CpuSeconds() - cpuStart);
    wall.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return {Summarize(wall), Summarize(cpu)};
}

Opening FloorOpenings() {
  bench::FloorFrame floor;
  QCoreApplication::processEvents();
  return TimeOpenings([&] { floor.OpenWindow(); });
}

Opening EditorOpenings() {
  MDIForm1& frame = bench::FreshEditor();
  const Opening o = TimeOpenings([&] { frame.aSRC_Window_Click(); });
  bench::CloseEditor();
  return o;
}

// Medians over the runs, figure by figure.
Costs MedianOf(const std::vector<Opening>& runs, Costs Opening::*clock) {
  auto field = [&](double Costs::*f) {
    std::vector<double> v;
    for (const Opening& o : runs) v.push_back(o.*clock.*f);
    return Median(v);
  };
  return {field(&Costs::total), field(&Costs::early), field(&Costs::late)};
}

void BM_OpenWindows(benchmark::State& state) {
  const int runs = bench::Quick() ? 1 : 5;
  for (auto _ : state) {
    std::vector<Opening> floor, editor;
    for (int r = 0; r < runs; ++r) {
      floor.push_back(FloorOpenings());
      editor.push_back(EditorOpenings());
    }
    const Costs f = MedianOf(floor, &Opening::wall), e = MedianOf(editor, &Opening::wall);
    const Costs fCpu = MedianOf(floor, &Opening::cpu), eCpu = MedianOf(editor, &Opening::cpu);
    state.SetIterationTime(e.total);
    state.counters["floor_s"] = f.total;
    state.counters["editor_s"] = e.total;
    state.counters["x_floor"] = e.total / f.total;
    state.counters["ms_2_51"] = e.early * 1e3;
    state.counters["ms_201_250"] = e.late * 1e3;
    state.counters["late_x_early"] = e.late / e.early;
    state.counters["floor_late_x_early"] = f.late / f.early;
    state.counters["cpu_x_floor"] = eCpu.total / fCpu.total;
    state.counters["cpu_late_x_early"] = eCpu.late / eCpu.early;
    state.counters["floor_cpu_late_x_early"] = fCpu.late / fCpu.early;
  }
}

// Resident memory per window, each window hovered once after it opens.
double KiBPerWindow(const std::function<QWidget*()>& open) {
  const long before = bench::ResidentKiB();
  for (int i = 0; i < kOpened; ++i) {
    QWidget* picture = open();
    QCoreApplication::processEvents();
    testsupport::SendMouse(picture, QEvent::MouseMove, QPointF(16.5, 16.5), Qt::NoButton, Qt::NoButton);
    QCoreApplication::processEvents();
  }
  return double(bench::ResidentKiB() - before) / kOpened;
}

void BM_EmptyWindowMemory(benchmark::State& state) {
  for (auto _ : state) {
    double floorKiB = 0;
    {
      bench::FloorFrame floor;
      QCoreApplication::processEvents();
      floorKiB = KiBPerWindow([&] { return floor.OpenWindow(); });
    }
    MDIForm1& frame = bench::FreshEditor();
    const double editorKiB = KiBPerWindow([&] {
      frame.aSRC_Window_Click();
      return EditorState.SrcWindows(EditorState.SrcCount)->Picture2;
    });
    bench::CloseEditor();
    state.counters["floor_KiB"] = floorKiB;
    state.counters["editor_KiB"] = editorKiB;
  }
}
}  // namespace

BENCHMARK(BM_OpenWindows)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmptyWindowMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
