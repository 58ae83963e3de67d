// A mouse move asks for a repaint of the rectangles it changed and nothing else.
#include <QtTest>

#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "source/Expected.h"
#include "source/SRC_W.h"
#include "support/TestSupport.h"

using expected::PaintSpy;

class RepaintTest : public QObject {
  Q_OBJECT

  std::unique_ptr<MDIForm1> frame_;

  SRC_W& Src() { return *EditorState.SrcWindows(1); }
  DEST_W& Canvas() { return DEST_W::Instance(); }

  // The region painted after f, once the event loop has run.
  template <typename F>
  QRegion PaintedBy(QWidget* picture, F&& f) {
    QCoreApplication::processEvents();
    PaintSpy spy(picture);
    f();
    QCoreApplication::processEvents();
    return spy.painted;
  }

 private slots:
  void init() {
    frame_ = testsupport::StartEditor();
    frame_->resize(1400, 1000);
    Canvas().SubWindow()->move(0, 0);
    Src().SubWindow()->move(500, 0);
    QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
  }
  void cleanup() { frame_.reset(); }

  void sourceMoves_data() {
    QTest::addColumn<bool>("held");
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<QRegion>("painted");
    QTest::newRow("hover, next cell") << false << QPointF(40, 40) << QPointF(70, 40) << QRegion(32, 32, 64, 32);
    QTest::newRow("hover, diagonal") << false << QPointF(40, 40) << QPointF(70, 70)
                                     << (QRegion(32, 32, 32, 32) | QRegion(64, 64, 32, 32));
    QTest::newRow("hover, far") << false << QPointF(10, 10) << QPointF(300, 200)
                                << (QRegion(0, 0, 32, 32) | QRegion(288, 192, 32, 20));
    QTest::newRow("drag grows") << true << QPointF(40, 40) << QPointF(100, 70) << QRegion(32, 32, 96, 64);
  }
  void sourceMoves() {
    QFETCH(bool, held);
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    QFETCH(QRegion, painted);
    SRC_W& w = Src();
    w.Picture2_MouseMove(0, 0, float(from.x()), float(from.y()));
    if (held) w.Picture2_MouseDown(1, 0, 0, 0);
    QCOMPARE(PaintedBy(w.Picture2, [&] { w.Picture2_MouseMove(0, 0, float(to.x()), float(to.y())); }), painted);
  }

  void canvasMoves_data() {
    QTest::addColumn<bool>("held");
    QTest::addColumn<QRegion>("painted");
    // A 64 x 32 clip, from cell (1, 1) to cell (4, 3).
    QTest::newRow("hover") << false << (QRegion(32, 32, 64, 32) | QRegion(128, 96, 64, 32));
    QTest::newRow("drag stamp") << true << (QRegion(32, 32, 64, 32) | QRegion(128, 96, 64, 32));
  }
  void canvasMoves() {
    QFETCH(bool, held);
    QFETCH(QRegion, painted);
    Src().Picture2_MouseDown(1, 0, 0, 0);
    Src().Picture2_MouseMove(0, 0, 40, 10);
    Src().Picture2_MouseUp(1, 0, 0, 0);
    DEST_W& c = Canvas();
    c.Picture2_MouseMove(0, 0, 40, 40);
    if (held) c.Picture2_MouseDown(1, 0, 40, 40);
    QCOMPARE(PaintedBy(c.Picture2, [&] { c.Picture2_MouseMove(0, 0, 140, 100); }), painted);
  }
};

QTEST_MAIN(RepaintTest)
#include "repaint_test.moc"
