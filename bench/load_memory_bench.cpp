// Memory a picture costs, as multiples of its own W x H x 4 bytes: loaded through the real
// "Load Image" button into a fresh source window holding only its white default, and
// through "Load Picture" onto the canvas; then worked on with the mouse (on a source window a
// hover, a selection and a clip taken; on the canvas a clip stamped); then enlarged through
// the options dialog by 64 pixels each way (those figures are multiples of the enlarged size).
// Settled is the resident size the step leaves behind, peak the highest it reached on the
// way, both counted from before the load.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <chrono>
#include <functional>
#include <string>

#include "Memory.h"
#include "Session.h"
#include "TestPictures.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "options/OPT_DEST.h"
#include "options/OPT_SRC.h"
#include "source/SRC_W.h"
#include "support/TestSupport.h"

namespace {
constexpr int kGrowth = 64;  // pixels the options dialog adds to each side

enum class Target { Source, Canvas };

SRC_W& Source() { return *EditorState.SrcWindows(1); }

ChildWindow& WindowOf(Target t) {
  if (t == Target::Source) return Source();
  return DEST_W::Instance();
}
platform::CommandButton& LoadButton(Target t) {
  return t == Target::Source ? *Source().Command2 : *DEST_W::Instance().Command3;
}
platform::CommandButton& OptionButton(Target t) {
  return t == Target::Source ? *Source().Command1 : *DEST_W::Instance().Command4;
}
OptionDialog* OpenDialog(Target t) {
  if (t == Target::Source) return OPT_SRC::Current();
  return OPT_DEST::Current();
}

struct Cost {
  double settled, peak;  // bytes
  bool peakKnown;
};

// Runs the step and the events it posted; the peak is reset first.
Cost Measure(long baseKiB, const std::function<void()>& step) {
  const bool reset = bench::ResetPeak();
  step();
  QCoreApplication::processEvents();
  return {double(bench::ResidentKiB() - baseKiB) * 1024, double(bench::PeakKiB() - baseKiB) * 1024, reset};
}

void Enlarge(Target target, int side) {
  OptionButton(target).click();
  OptionDialog* dialog = OpenDialog(target);
  if (!dialog) return;
  dialog->t_Width->setText(QString::number(side + kGrowth));
  dialog->t_Height->setText(QString::number(side + kGrowth));
  dialog->Command1->click();
}

// A hover, a press, a held move and a release at `from` and `to`, as the user makes them.
void Drag(QWidget* picture, QPointF from, QPointF to) {
  using testsupport::SendMouse;
  SendMouse(picture, QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
  SendMouse(picture, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
  SendMouse(picture, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
  SendMouse(picture, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

// A clip of 2 x 2 cells taken from source window 1; on the canvas, stamped once and left.
void Work(Target target) {
  Drag(Source().Picture2, QPointF(40, 40), QPointF(70, 70));
  if (target == Target::Source) return;
  QWidget* canvas = DEST_W::Instance().Picture2;
  Drag(canvas, QPointF(100, 100), QPointF(100, 100));
  testsupport::SendMouse(canvas, QEvent::MouseMove, QPointF(300, 300), Qt::NoButton, Qt::NoButton);
}

bool HasSide(const ChildWindow& w, int side) { return w.Picture2->Width() == side && w.Picture2->Height() == side; }

void BM_LoadMemory(benchmark::State& state, Target target, bench::FileKind kind, int side) {
  const QString path = bench::PictureFile(kind, QSize(side, side));
  bench::DialogAnswer answer(path);
  testsupport::MessageRecorder recorder;
  const double loaded = double(side) * side * 4, enlarged = double(side + kGrowth) * (side + kGrowth) * 4;
  for (auto _ : state) {
    bench::FreshEditor();
    const long base = bench::ResidentKiB();
    const auto start = std::chrono::steady_clock::now();
    const Cost load = Measure(base, [&] { LoadButton(target).click(); });
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    const bool loadedRight = HasSide(WindowOf(target), side);
    const Cost work = Measure(base, [&] { Work(target); });
    const Cost resize = Measure(base, [&] { Enlarge(target, side); });
    const bool enlargedRight = HasSide(WindowOf(target), side + kGrowth);
    bench::CloseEditor();
    if (!recorder.messages.isEmpty()) {
      state.SkipWithError(recorder.messages.first().toStdString().c_str());
      break;
    }
    if (!loadedRight || !enlargedRight) {
      state.SkipWithError("the picture did not get its size");
      break;
    }
    if (!load.peakKnown || !work.peakKnown || !resize.peakKnown) {
      state.SkipWithError("the kernel does not reset the peak resident size (/proc/self/clear_refs)");
      break;
    }
    state.counters["settled_x"] = load.settled / loaded;
    state.counters["peak_x"] = load.peak / loaded;
    state.counters["worked_settled_x"] = work.settled / loaded;
    state.counters["worked_peak_x"] = work.peak / loaded;
    state.counters["enlarged_settled_x"] = resize.settled / enlarged;
    state.counters["enlarged_peak_x"] = resize.peak / enlarged;
  }
}

std::string Name(Target target, bench::FileKind kind, int side) {
  return std::string(target == Target::Source ? "BM_LoadMemory_Source/" : "BM_LoadMemory_Canvas/") +
         bench::KindName(kind) + "/" + std::to_string(side);
}

[[maybe_unused]] const bool kRegistered = [] {
  for (Target target : {Target::Source, Target::Canvas})
    for (bench::FileKind kind : bench::kFileKinds)
      for (int side : {4096, 8192})
        benchmark::RegisterBenchmark(Name(target, kind, side).c_str(), BM_LoadMemory, target, kind, side)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
  return true;
}();
}  // namespace
