// Cost of one mouse event through the real handlers on real windows, repaint included, for
// pictures of growing size: it must stay flat, since a move touches only a few cells.
#include <QCoreApplication>
#include <QImage>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <vector>

#include "Session.h"
#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "source/SRC_W.h"
#include "support/TestSupport.h"

namespace {
// Both windows side by side in a large frame, so that each repaint shows the whole move.
void Arrange() {
  MDIForm1& frame = bench::Editor();
  frame.resize(1400, 1000);
  DEST_W::Instance().SubWindow()->move(0, 0);
  EditorState.SrcWindows(1)->SubWindow()->move(500, 0);
}

void Load(ChildWindow& w, int side) {
  QImage img(side, side, QImage::Format_RGB32);
  img.fill(qRgb(40, 90, 160));
  w.Picture2->SetPicture(img);
  w.WKP->SetPicture(img);
  LayoutChild(w);
}

// A snake over an 8 x 8 grid of points `step` pixels apart from `origin`.
std::vector<QPointF> Snake(QPointF origin, double step) {
  std::vector<QPointF> path;
  for (int r = 0; r < 8; ++r)
    for (int i = 0; i < 8; ++i) path.push_back(origin + QPointF(((r % 2) ? 7 - i : i) * step, r * step));
  return path;
}

// The 8 x 8 cells at the top-left, one cell per step: always within the viewport, so every
// size repaints the same visible area.
std::vector<QPointF> CellToCell() { return Snake(QPointF(16.5, 16.5), 32); }
// Within cell (2, 2), 4 pixels per step, never on a cell edge.
std::vector<QPointF> WithinCell() { return Snake(QPointF(65.5, 65.5), 4); }

// Runs one move per iteration over picture, then lets the repaint happen.
void Moves(benchmark::State& state, QWidget* picture, Qt::MouseButtons held,
           const std::vector<QPointF>& path = CellToCell()) {
  testsupport::MessageRecorder recorder;
  size_t i = 0;
  for (auto _ : state) {
    testsupport::SendMouse(picture, QEvent::MouseMove, path[i], Qt::NoButton, held);
    QCoreApplication::processEvents();
    i = (i + 1) % path.size();
  }
  if (!recorder.messages.isEmpty()) state.SkipWithError(recorder.messages.first().toStdString().c_str());
}

void TakeClip() {
  SRC_W& src = *EditorState.SrcWindows(1);
  src.Picture2_MouseMove(0, 0, 40, 40);
  src.Picture2_MouseUp(1, 0, 0, 0);
}

// Every move changes the cell, so the caption changes too.
void BM_MouseSourceHover(benchmark::State& state) {
  Arrange();
  SRC_W& src = *EditorState.SrcWindows(1);
  Load(src, int(state.range(0)));
  Moves(state, src.Picture2, Qt::NoButton);
  Load(src, 256);
}

// The caption stays: the cost of a move that changes nothing the user reads.
void BM_MouseSourceHoverInCell(benchmark::State& state) {
  Arrange();
  SRC_W& src = *EditorState.SrcWindows(1);
  Load(src, int(state.range(0)));
  Moves(state, src.Picture2, Qt::NoButton, WithinCell());
  Load(src, 256);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// The first outline on a sheet just loaded, each time a new one, against the moves that
// follow it on the same sheet: it must cost what they cost, whatever the sheet's size. The
// largest sheet is one row short of the side squared, the most the limit takes. Medians in
// microseconds, as one slow event on a busy machine must not move them.
void BM_MouseFirstOutline(benchmark::State& state) {
  Arrange();
  SRC_W& src = *EditorState.SrcWindows(1);
  const int side = int(state.range(0));
  testsupport::MessageRecorder recorder;
  const std::vector<QPointF> path = CellToCell();
  auto move = [&](QPointF at) {
    const auto start = std::chrono::steady_clock::now();
    testsupport::SendMouse(src.Picture2, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    QCoreApplication::processEvents();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  std::vector<double> first, later;
  for (auto _ : state) {
    QImage sheet(side, side - 1, QImage::Format_RGB32);
    sheet.fill(qRgb(40, 90, 160));
    SetWindowPicture(src, std::move(sheet));
    QCoreApplication::processEvents();
    first.push_back(move(path[0]));
    state.SetIterationTime(first.back());
    for (size_t i = 1; i < path.size(); ++i) later.push_back(move(path[i]));
  }
  state.counters["first_us"] = Median(first) * 1e6;
  state.counters["later_us"] = Median(later) * 1e6;
  Load(src, 256);
  if (!recorder.messages.isEmpty()) state.SkipWithError(recorder.messages.first().toStdString().c_str());
}

void BM_MouseCanvasHover(benchmark::State& state) {
  Arrange();
  DEST_W& canvas = DEST_W::Instance();
  Load(canvas, int(state.range(0)));
  TakeClip();
  Moves(state, canvas.Picture2, Qt::NoButton);
  Load(canvas, 256);
}

void BM_MouseCanvasDrag(benchmark::State& state) {
  Arrange();
  DEST_W& canvas = DEST_W::Instance();
  Load(canvas, int(state.range(0)));
  TakeClip();
  testsupport::SendMouse(canvas.Picture2, QEvent::MouseButtonPress, QPointF(16, 16), Qt::LeftButton, Qt::LeftButton);
  Moves(state, canvas.Picture2, Qt::LeftButton);
  testsupport::SendMouse(canvas.Picture2, QEvent::MouseButtonRelease, QPointF(16, 16), Qt::LeftButton, Qt::NoButton);
  Load(canvas, 256);
}
}  // namespace

BENCHMARK(BM_MouseSourceHover)->Arg(256)->Arg(2048)->Arg(8192);
BENCHMARK(BM_MouseSourceHoverInCell)->Arg(256)->Arg(2048)->Arg(8192);
BENCHMARK(BM_MouseCanvasHover)->Arg(256)->Arg(2048)->Arg(8192);
BENCHMARK(BM_MouseFirstOutline)
    ->Arg(bench::Quick() ? 8192 : 16384)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(bench::Quick() ? 1 : 10);
BENCHMARK(BM_MouseCanvasDrag)->Arg(256)->Arg(2048)->Arg(8192);
