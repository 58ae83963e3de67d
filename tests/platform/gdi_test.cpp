// Blits, outlines and colours, exact to the pixel on retained images.
#include <QPainter>
#include <QtTest>

#include "platform/Colour.h"
#include "platform/Errors.h"
#include "platform/files/Faults.h"
#include "platform/Gdi.h"
#include "platform/PictureBox.h"
#include "support/TestSupport.h"

using platform::PictureBox;

namespace {
void MakeBox(PictureBox& box, int w, int h, const QImage& content = QImage()) {
  box.SetWidth(w);
  box.SetHeight(h);
  if (!content.isNull()) box.SetPicture(content);
}

// What a clipped copy must produce, computed pixel by pixel.
QImage ExpectedCopy(QImage dst, const QImage& src, int x, int y, int w, int h, int sx, int sy) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      const QPoint d(x + i, y + j), s(sx + i, sy + j);
      if (dst.rect().contains(d) && src.rect().contains(s)) dst.setPixel(d, src.pixel(s));
    }
  return dst;
}
}  // namespace

class GdiTest : public QObject {
  Q_OBJECT
 private slots:
  void colourByteOrder() {
    QCOMPARE(platform::ToQRgb(0x0000FF), qRgb(255, 0, 0));
    QCOMPARE(platform::ToQRgb(0x00FF00), qRgb(0, 255, 0));
    QCOMPARE(platform::ToQRgb(0x00FFFF), qRgb(255, 255, 0));
    QCOMPARE(platform::ToQRgb(0x123456), qRgb(0x56, 0x34, 0x12));
  }

  void bitBltClips_data() {
    QTest::addColumn<QRect>("target");
    QTest::addColumn<QPoint>("from");
    QTest::newRow("inside") << QRect(10, 12, 32, 32) << QPoint(5, 6);
    QTest::newRow("negative destination") << QRect(-32, -10, 48, 32) << QPoint(0, 0);
    QTest::newRow("negative source") << QRect(4, 4, 32, 32) << QPoint(-20, -8);
    QTest::newRow("past right and bottom") << QRect(50, 40, 32, 32) << QPoint(0, 0);
    QTest::newRow("source past its edge") << QRect(0, 0, 32, 32) << QPoint(60, 50);
    QTest::newRow("zero width") << QRect(0, 0, 0, 10) << QPoint(0, 0);
    QTest::newRow("negative height") << QRect(0, 0, 10, -5) << QPoint(0, 0);
    QTest::newRow("entirely outside") << QRect(200, 0, 10, 10) << QPoint(0, 0);
    QTest::newRow("huge origin") << QRect(2147483600, 0, 40, 10) << QPoint(0, 0);
  }
  void bitBltClips() {
    QFETCH(QRect, target);
    QFETCH(QPoint, from);
    PictureBox src, dst;
    MakeBox(src, 70, 60, testsupport::PatternImage(70, 60, 1));
    MakeBox(dst, 64, 48, testsupport::PatternImage(64, 48, 2));
    const QImage expected = ExpectedCopy(dst.Image(), src.Image(), target.x(), target.y(),
                                         target.width(), target.height(), from.x(), from.y());
    platform::BitBlt(dst, target.x(), target.y(), target.width(), target.height(), src, from.x(), from.y());
    QCOMPARE(dst.Image(), expected);
  }

  void copyWithinOneBoxOverlapping_data() {
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::newRow("down and right") << QPoint(2, 3) << QPoint(6, 9);
    QTest::newRow("up and left") << QPoint(6, 9) << QPoint(2, 3);
  }
  void copyWithinOneBoxOverlapping() {
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    PictureBox box;
    MakeBox(box, 40, 40, testsupport::PatternImage(40, 40));
    const QImage before = box.Image();
    const QImage expected = ExpectedCopy(before, before, to.x(), to.y(), 20, 20, from.x(), from.y());
    platform::BitBlt(box, to.x(), to.y(), 20, 20, box, from.x(), from.y());
    QCOMPARE(box.Image(), expected);
  }

  void rectangleOutline_data() {
    QTest::addColumn<QRect>("edges");  // left, top, right, bottom as x, y, width, height
    QTest::newRow("selection 3x2 at (2,1)") << QRect(64, 32, 160, 96);
    QTest::newRow("clip preview 48x16") << QRect(32, 0, 80, 16);
    QTest::newRow("past the edges") << QRect(-10, -10, 500, 400);
    QTest::newRow("one pixel wide") << QRect(5, 5, 6, 20);
    QTest::newRow("empty") << QRect(5, 5, 5, 20);
  }
  void rectangleOutline() {
    QFETCH(QRect, edges);
    const int l = edges.x(), t = edges.y(), r = edges.width(), b = edges.height();
    PictureBox box;
    MakeBox(box, 200, 120, testsupport::PatternImage(200, 120));
    box.SetForeColor(0x00FF00);
    QImage expected = box.Image();
    for (int y = 0; y < expected.height(); ++y)
      for (int x = 0; x < expected.width(); ++x) {
        const bool inside = x >= l && x < r && y >= t && y < b;
        const bool onEdge = x == l || x == r - 1 || y == t || y == b - 1;
        if (inside && onEdge) expected.setPixel(x, y, qRgb(0, 255, 0));
      }
    platform::Rectangle(box, l, t, r, b);
    QCOMPARE(box.Image(), expected);
  }

  void stretchFillsTheTarget() {
    PictureBox src, dst;
    QImage two(2, 1, QImage::Format_RGB32);
    two.setPixel(0, 0, qRgb(255, 0, 0));
    two.setPixel(1, 0, qRgb(0, 0, 255));
    src.SetAutoSize(true);
    src.SetPicture(two);
    MakeBox(dst, 10, 4);
    platform::StretchBlt(dst, 0, 0, 10, 4, src, 0, 0, 2, 1);
    QCOMPARE(dst.Image().pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(dst.Image().pixel(4, 3), qRgb(255, 0, 0));
    QCOMPARE(dst.Image().pixel(5, 0), qRgb(0, 0, 255));
    QCOMPARE(dst.Image().pixel(9, 3), qRgb(0, 0, 255));
  }

  // A stretch covering the whole box writes every pixel, exactly as a painter drawing the
  // same stretch over whatever the box held.
  void wholeBoxStretchMatchesAPainter_data() {
    QTest::addColumn<QSize>("box");
    QTest::addColumn<QRect>("part");
    QTest::newRow("viewport from the gradient") << QSize(345, 264) << QRect(0, 0, 160, 120);
    QTest::newRow("shrunk") << QSize(7, 5) << QRect(0, 0, 160, 120);
    QTest::newRow("one pixel") << QSize(1, 1) << QRect(0, 0, 160, 120);
    QTest::newRow("a part, widened") << QSize(500, 3) << QRect(40, 30, 17, 9);
  }
  void wholeBoxStretchMatchesAPainter() {
    QFETCH(QSize, box);
    QFETCH(QRect, part);
    PictureBox src, dst;
    src.SetAutoSize(true);
    src.SetPicture(testsupport::PatternImage(160, 120, 3));
    MakeBox(dst, box.width(), box.height(), testsupport::PatternImage(box.width(), box.height(), 4));
    QImage expected = dst.Image();
    QPainter(&expected).drawImage(expected.rect(), src.Image(), part);
    platform::StretchBlt(dst, 0, 0, box.width(), box.height(), src, part.x(), part.y(), part.width(),
                         part.height());
    QCOMPARE(dst.Image(), expected);
  }

  void boxesOfOneSizeShareTheirWholeStretchUntilWritten() {
    PictureBox src, first, second;
    src.SetAutoSize(true);
    src.SetPicture(testsupport::PatternImage(160, 120, 5));
    MakeBox(first, 345, 264);
    MakeBox(second, 345, 264);
    for (PictureBox* box : {&first, &second}) platform::StretchBlt(*box, 0, 0, 345, 264, src, 0, 0, 160, 120);
    const PictureBox& a = first;
    const PictureBox& b = second;
    QCOMPARE(a.Image().constBits(), b.Image().constBits());
    const QImage shown = b.Image();
    first.SetForeColor(0x00FF00);
    platform::Rectangle(first, 0, 0, 32, 32);
    QVERIFY(a.Image().constBits() != b.Image().constBits());
    QCOMPARE(a.Image().pixel(0, 0), qRgb(0, 255, 0));
    QCOMPARE(b.Image(), shown);
  }

  void wholeBoxStretchWithoutMemoryIsRefusedAndChangesNothing() {
    PictureBox src, dst;
    src.SetAutoSize(true);
    src.SetPicture(testsupport::PatternImage(160, 120, 6));
    MakeBox(dst, 331, 257, testsupport::PatternImage(331, 257, 7));  // a size no other case stretches to
    const QImage before = dst.Image();
    platform::InjectAllocationFault(1);
    platform::ErrorKind kind = platform::ErrorKind::Failed;
    try {
      platform::StretchBlt(dst, 0, 0, 331, 257, src, 0, 0, 160, 120);
    } catch (const platform::PlatformError& e) {
      kind = e.Kind();
    }
    platform::InjectAllocationFault(0);
    QCOMPARE(kind, platform::ErrorKind::OutOfMemory);
    QCOMPARE(dst.Image(), before);
  }
};

QTEST_MAIN(GdiTest)
#include "gdi_test.moc"
