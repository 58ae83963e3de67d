// Cost of one mouse event through the real handlers on real windows, repaint included, for
// pictures of growing size: it must stay flat, since a move touches only a few cells.
#include <QCoreApplication>
#include <QImage>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "platform/MessageBox.h"
#include "source/SRC_W.h"

namespace {
MDIForm1& Editor() {
  static std::unique_ptr<MDIForm1> frame = [] {
    auto f = std::make_unique<MDIForm1>();
    f->Show();
    f->resize(1400, 1000);
    DEST_W::Instance().SubWindow()->move(0, 0);
    EditorState.SrcWindows(1)->SubWindow()->move(500, 0);
    return f;
  }();
  return *frame;
}

void Load(ChildWindow& w, int side) {
  QImage img(side, side, QImage::Format_RGB32);
  img.fill(qRgb(40, 90, 160));
  w.Picture2->SetPicture(img);
  w.WKP->SetPicture(img);
  LayoutChild(w);
}

void Send(QWidget* target, QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons held) {
  QMouseEvent event(type, pos, target->mapToGlobal(pos), button, held, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &event);
}

// A snake over the 8 x 8 cells at the top-left, one cell per step: always within the
// viewport, so every size repaints the same visible area.
std::vector<QPointF> Path() {
  std::vector<QPointF> path;
  for (int r = 0; r < 8; ++r)
    for (int i = 0; i < 8; ++i) path.emplace_back(((r % 2) ? 7 - i : i) * 32 + 16.5, r * 32 + 16.5);
  return path;
}

// Runs one move per iteration over picture, then lets the repaint happen.
void Moves(benchmark::State& state, QWidget* picture, Qt::MouseButtons held) {
  QStringList messages;
  platform::SetMessageSink([&](const QString& text) { messages << text; });
  const std::vector<QPointF> path = Path();
  size_t i = 0;
  for (auto _ : state) {
    Send(picture, QEvent::MouseMove, path[i], Qt::NoButton, held);
    QCoreApplication::processEvents();
    i = (i + 1) % path.size();
  }
  platform::SetMessageSink({});
  if (!messages.isEmpty()) state.SkipWithError(messages.first().toStdString().c_str());
}

void TakeClip() {
  SRC_W& src = *EditorState.SrcWindows(1);
  src.Picture2_MouseMove(0, 0, 40, 40);
  src.Picture2_MouseUp(1, 0, 0, 0);
}

void BM_MouseSourceHover(benchmark::State& state) {
  Editor();
  SRC_W& src = *EditorState.SrcWindows(1);
  Load(src, int(state.range(0)));
  Moves(state, src.Picture2, Qt::NoButton);
  Load(src, 256);
}

void BM_MouseCanvasHover(benchmark::State& state) {
  Editor();
  DEST_W& canvas = DEST_W::Instance();
  Load(canvas, int(state.range(0)));
  TakeClip();
  Moves(state, canvas.Picture2, Qt::NoButton);
  Load(canvas, 256);
}

void BM_MouseCanvasDrag(benchmark::State& state) {
  Editor();
  DEST_W& canvas = DEST_W::Instance();
  Load(canvas, int(state.range(0)));
  TakeClip();
  Send(canvas.Picture2, QEvent::MouseButtonPress, QPointF(16, 16), Qt::LeftButton, Qt::LeftButton);
  Moves(state, canvas.Picture2, Qt::LeftButton);
  Send(canvas.Picture2, QEvent::MouseButtonRelease, QPointF(16, 16), Qt::LeftButton, Qt::NoButton);
  Load(canvas, 256);
}
}  // namespace

BENCHMARK(BM_MouseSourceHover)->Arg(256)->Arg(2048)->Arg(8192);
BENCHMARK(BM_MouseCanvasHover)->Arg(256)->Arg(2048)->Arg(8192);
BENCHMARK(BM_MouseCanvasDrag)->Arg(256)->Arg(2048)->Arg(8192);
