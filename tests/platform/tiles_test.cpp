// A box showing the same picture as another holds only tiles where the two differ: exact
// pixels, the tiles an erase lets go, and writes that fail for want of memory.
#include <QtTest>

#include "platform/Errors.h"
#include "platform/Gdi.h"
#include "platform/PictureBox.h"
#include "source/Expected.h"
#include "support/FailingAllocator.h"
#include "support/TestSupport.h"

using platform::PictureBox;

namespace {
const QImage& Sheet() {
  static const QImage sheet = testsupport::PatternImage(300, 200, 4);
  return sheet;
}

void Show(PictureBox& box, const QImage& picture) {
  box.SetAutoSize(true);
  box.SetPicture(picture);
  box.SetForeColor(0x00FF00);
}

void Outline(PictureBox& box, const QRect& r) { platform::Rectangle(box, r.left(), r.top(), r.right() + 1, r.bottom() + 1); }
}  // namespace

class TilesTest : public QObject {
  Q_OBJECT
 private slots:
  void eraseLetsTilesGo_data() {
    QTest::addColumn<QRect>("outline");
    QTest::addColumn<QRect>("erase");
    QTest::addColumn<int>("tilesLeft");
    QTest::newRow("cell inside one tile") << QRect(32, 32, 32, 32) << QRect(32, 32, 32, 32) << 0;
    QTest::newRow("cell across four tiles") << QRect(48, 48, 32, 32) << QRect(48, 48, 32, 32) << 0;
    QTest::newRow("erase of one corner cell") << QRect(32, 32, 96, 64) << QRect(32, 32, 32, 32) << 5;
    QTest::newRow("cut by the edges, erased past them") << QRect(250, 150, 150, 150) << QRect(-20, -20, 400, 400) << 0;
  }
  void eraseLetsTilesGo() {
    QFETCH(QRect, outline);
    QFETCH(QRect, erase);
    QFETCH(int, tilesLeft);
    PictureBox clean, shown;
    Show(clean, Sheet());
    Show(shown, Sheet());
    Outline(shown, outline);
    platform::BitBlt(shown, erase.x(), erase.y(), erase.width(), erase.height(), clean, erase.x(), erase.y());
    QCOMPARE(shown.Image(), expected::Restored(expected::Framed(Sheet(), outline, expected::kGreen), Sheet(), erase));
    QCOMPARE(shown.TileCount(), tilesLeft);
    if (tilesLeft == 0) QCOMPARE(shown.Image().constBits(), Sheet().constBits());
  }

  // The canvas: a stamp goes into the clean copy and the shown picture; the erase of the
  // outline over it leaves the two alike.
  void eraseOverAStampShowsTheCleanCopy() {
    PictureBox clean, shown, source;
    Show(clean, Sheet());
    Show(shown, Sheet());
    Show(source, testsupport::PatternImage(100, 100, 8));
    for (PictureBox* box : {&clean, &shown}) platform::BitBlt(*box, 40, 20, 70, 50, source, 10, 5);
    Outline(shown, QRect(40, 20, 70, 50));
    platform::BitBlt(shown, 40, 20, 70, 50, clean, 40, 20);
    QCOMPARE(shown.Image(), clean.Image());
    QCOMPARE(shown.Image(), expected::Copied(Sheet(), 40, 20, 70, 50, source.Image(), 10, 5));
    QCOMPARE(shown.TileCount(), clean.TileCount());
  }

  // Every write makes what it needs, tiles and places for them in the map, before it changes a
  // pixel: a failure at any allocation shows what was shown before, and the write then goes
  // through whole.
  void failedWriteShowsWhatItShowedBefore_data() {
    QTest::addColumn<bool>("outline");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QPoint>("from");  // where a copy reads the clean copy
    QTest::newRow("outline across many tiles") << true << QRect(10, 20, 150, 90) << QPoint();
    QTest::newRow("erase across four tiles") << false << QRect(50, 50, 40, 40) << QPoint(50, 50);
    QTest::newRow("erase that writes part of a tile") << false << QRect(0, 0, 30, 30) << QPoint(0, 0);
    QTest::newRow("erase taking the clean copy's tiles") << false << QRect(0, 0, 64, 64) << QPoint(0, 0);
    QTest::newRow("copy over whole tiles from elsewhere") << false << QRect(0, 0, 128, 96) << QPoint(7, 3);
  }
  void failedWriteShowsWhatItShowedBefore() {
    QFETCH(bool, outline);
    QFETCH(QRect, area);
    QFETCH(QPoint, from);
    PictureBox clean, shown;
    Show(clean, Sheet());
    Show(shown, Sheet());
    platform::BitBlt(clean, 0, 0, 40, 40, clean, 100, 100);  // the clean copy differs at the top-left
    Outline(shown, QRect(100, 100, 60, 60));
    const QImage before = shown.Image();
    int failures = 0;
    for (;; ++failures) {
      bool stopped = false;
      testsupport::FailAllocation(failures + 1);
      try {
        if (outline) Outline(shown, area);
        else platform::BitBlt(shown, area.x(), area.y(), area.width(), area.height(), clean, from.x(), from.y());
      } catch (const platform::PlatformError& e) {
        stopped = e.Kind() == platform::ErrorKind::OutOfMemory;
      } catch (const std::bad_alloc&) {
        stopped = true;
      }
      if (!testsupport::AllocationFailed()) break;
      QVERIFY(stopped);
      QCOMPARE(shown.Image(), before);
    }
    QVERIFY(failures >= 1);
    QCOMPARE(shown.Image(), outline ? expected::Framed(before, area, expected::kGreen)
                                    : expected::Copied(before, area.x(), area.y(), area.width(), area.height(),
                                                       clean.Image(), from.x(), from.y()));
  }

  // What a tile held past an edge the box shrank to is gone when the box grows again.
  void regrownAreaShowsThePictureAgain_data() {
    QTest::addColumn<QSize>("shrunk");
    QTest::newRow("narrower") << QSize(270, 200);
    QTest::newRow("lower") << QSize(300, 130);
  }
  void regrownAreaShowsThePictureAgain() {
    QFETCH(QSize, shrunk);
    PictureBox box;
    Show(box, Sheet());
    Outline(box, QRect(230, 100, 60, 60));
    box.SetSize(shrunk.width(), shrunk.height());
    box.SetSize(300, 200);
    const QImage cut = expected::Framed(Sheet(), QRect(230, 100, 60, 60), expected::kGreen);
    QCOMPARE(box.Image(), expected::Copied(Sheet(), 0, 0, shrunk.width(), shrunk.height(), cut, 0, 0));
  }

  // Painting shows what Image() holds: the shared picture, the back colour past it, the tiles.
  void paintShowsTheComposedImage_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("outline");
    QTest::addColumn<QRect>("exposed");
    QTest::newRow("picture alone") << QSize(300, 200) << QRect() << QRect(0, 0, 300, 200);
    QTest::newRow("tiles over the picture") << QSize(300, 200) << QRect(10, 20, 150, 90) << QRect(0, 0, 300, 200);
    QTest::newRow("tiles past the picture") << QSize(420, 260) << QRect(250, 150, 140, 90) << QRect(0, 0, 420, 260);
    QTest::newRow("a part between tiles") << QSize(420, 260) << QRect(30, 30, 300, 200) << QRect(40, 50, 250, 100);
  }
  void paintShowsTheComposedImage() {
    QFETCH(QSize, size);
    QFETCH(QRect, outline);
    QFETCH(QRect, exposed);
    PictureBox box;
    Show(box, Sheet());
    box.SetSize(size.width(), size.height());
    if (!outline.isNull()) Outline(box, outline);
    QCOMPARE(box.grab(exposed).toImage().convertToFormat(QImage::Format_RGB32), box.Image().copy(exposed));
  }

  void deviceContextFoldsTheTiles() {
    PictureBox box;
    Show(box, Sheet());
    Outline(box, QRect(70, 70, 32, 32));
    const QImage shown = box.Image();
    QCOMPARE(box.Dc(), shown);
    QCOMPARE(box.TileCount(), 0);
  }
};

QTEST_MAIN(TilesTest)
#include "tiles_test.moc"
