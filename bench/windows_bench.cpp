// Opening every source window the program allows, against the floor of a minimal Qt program
// showing the same windows, in the same run: the time of windows 2 to 255, whether a window
// costs more when many are open, and the memory an empty window holds once hovered.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
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

struct Opening {
  double total = 0;  // seconds for windows 2 to 255
  double early = 0;  // median seconds per window, windows 2 to 51
  double late = 0;   // the same for windows 201 to 250
};

// Each opening is followed by the events it posted, as after a menu command: the new
// window is painted before the next one opens.
Opening TimeOpenings(const std::function<void()>& open) {
  std::vector<double> each;
  for (int i = 0; i < kOpened; ++i) {
    const auto start = std::chrono::steady_clock::now();
    open();
    QCoreApplication::processEvents();
    each.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  Opening o;
  for (double s : each) o.total += s;
  o.early = Median({each.begin(), each.begin() + 50});
  o.late = Median({each.begin() + 199, each.begin() + 249});
  return o;
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

// Medians over the runs, field by field.
Opening MedianOf(const std::vector<Opening>& runs) {
  auto field = [&](double Opening::*f) {
    std::vector<double> v;
    for (const Opening& o : runs) v.push_back(o.*f);
    return Median(v);
  };
  return {field(&Opening::total), field(&Opening::early), field(&Opening::late)};
}

void BM_OpenWindows(benchmark::State& state) {
  const int runs = bench::Quick() ? 1 : 5;
  for (auto _ : state) {
    std::vector<Opening> floor, editor;
    for (int r = 0; r < runs; ++r) {
      floor.push_back(FloorOpenings());
      editor.push_back(EditorOpenings());
    }
    const Opening f = MedianOf(floor), e = MedianOf(editor);
    state.SetIterationTime(e.total);
    state.counters["floor_s"] = f.total;
    state.counters["editor_s"] = e.total;
    state.counters["x_floor"] = e.total / f.total;
    state.counters["floor_ms_2_51"] = f.early * 1e3;
    state.counters["floor_ms_201_250"] = f.late * 1e3;
    state.counters["ms_2_51"] = e.early * 1e3;
    state.counters["ms_201_250"] = e.late * 1e3;
    state.counters["late_x_early"] = e.late / e.early;
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
