// Cell outlines on a window's visible picture: exact pixels, the pen colour put back, and
// the clean copy left alone.
#include <QtTest>

#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "platform/Errors.h"
#include "source/SRC_W.h"
#include "support/TestSupport.h"

namespace {
// The picture with a one-pixel frame of colour on the rectangle [l, r) x [t, b), clipped.
QImage WithFrame(QImage img, int l, int t, int r, int b, QRgb colour) {
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x) {
      const bool edge = x == l || x == r - 1 || y == t || y == b - 1;
      if (edge && img.rect().contains(x, y)) img.setPixel(x, y, colour);
    }
  return img;
}
}  // namespace

class OutlineTest : public QObject {
  Q_OBJECT

  std::unique_ptr<MDIForm1> frame_;
  SRC_W* window_ = nullptr;
  QImage sheet_;

 private slots:
  void init() {
    frame_ = testsupport::StartEditor();
    window_ = EditorState.SrcWindows(1);
    sheet_ = testsupport::PatternImage(200, 120, 4);
    window_->Picture2->SetPicture(sheet_);
    window_->WKP->SetPicture(sheet_);
    window_->Picture2->SetForeColor(0x123456);
  }
  void cleanup() { frame_.reset(); }

  void drawsExactlyTheFrame_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("cols");  // SelCols, or ClipW in destination mode
    QTest::addColumn<int>("rows");  // SelRows, or ClipH
    QTest::addColumn<int>("cell");
    QTest::addColumn<QRect>("frame");  // null: nothing drawn

    QTest::newRow("selection 3x2 at (2,1)") << SIDE_SRC << 2 << 1 << 3 << 2 << 32 << QRect(64, 32, 96, 64);
    QTest::newRow("hover cell (0,0)") << SIDE_SRC << 0 << 0 << 1 << 1 << 32 << QRect(0, 0, 32, 32);
    QTest::newRow("16-pixel cells") << SIDE_SRC << 3 << 2 << 2 << 1 << 16 << QRect(48, 32, 32, 16);
    QTest::newRow("past the right edge") << SIDE_SRC << 5 << 3 << 2 << 1 << 32 << QRect(160, 96, 64, 32);
    QTest::newRow("left of the picture") << SIDE_SRC << -1 << 0 << 2 << 1 << 32 << QRect(-32, 0, 64, 32);
    QTest::newRow("clip 48x16 at (1,0)") << SIDE_DEST << 1 << 0 << 48 << 16 << 32 << QRect(32, 0, 48, 16);
    QTest::newRow("clip off the top") << SIDE_DEST << 2 << -1 << 32 << 40 << 32 << QRect(64, -32, 32, 40);
    QTest::newRow("clip one pixel high") << SIDE_DEST << 0 << 0 << 5 << 1 << 32 << QRect(0, 0, 5, 1);
    QTest::newRow("empty clip") << SIDE_DEST << 1 << 1 << 0 << 0 << 32 << QRect();
    QTest::newRow("mode 2 draws nothing") << 2 << 1 << 1 << 1 << 1 << 32 << QRect();
  }
  void drawsExactlyTheFrame() {
    QFETCH(int, mode);
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(int, cell);
    QFETCH(QRect, frame);
    auto& s = EditorState;
    s.CurCol(mode == SIDE_DEST ? 1 : 0) = col;
    s.CurRow(mode == SIDE_DEST ? 1 : 0) = row;
    if (mode == SIDE_DEST) {
      s.ClipW = cols;
      s.ClipH = rows;
    } else {
      s.SelCols(SIDE_SRC) = cols;
      s.SelRows(SIDE_SRC) = rows;
    }
    DrawGridOutline(*window_, mode, 0x00FFFF, cell, cell);

    const QImage expected = frame.isNull() ? sheet_
        : WithFrame(sheet_, frame.x(), frame.y(), frame.x() + frame.width(), frame.y() + frame.height(), qRgb(255, 255, 0));
    QCOMPARE(window_->Picture2->Image(), expected);
    QCOMPARE(window_->WKP->Image(), sheet_);
    QCOMPARE(window_->Picture2->ForeColor(), 0x123456);
  }

  void overflowStopsAndRestoresThePen() {
    EditorState.CurCol(SIDE_SRC) = 0x40000000;
    bool raised = false;
    try {
      DrawGridOutline(*window_, SIDE_SRC, 0x00FF00, 32, 32);
    } catch (const platform::PlatformError& e) {
      raised = e.Kind() == platform::ErrorKind::Overflow;
    }
    QVERIFY(raised);
    QCOMPARE(window_->Picture2->ForeColor(), 0x123456);
    QCOMPARE(window_->Picture2->Image(), sheet_);
  }
};

QTEST_MAIN(OutlineTest)
#include "outline_test.moc"
