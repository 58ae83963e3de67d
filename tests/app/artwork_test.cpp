// The program's icon at the sizes it is installed in: the same 16-colour design, its grid
// lines and lifted tile in place, the lines thicker on the larger sizes.
#include <QtTest>

#include "app/Artwork.h"

namespace {
const QRgb kLine = qRgb(0, 0, 0), kDark = qRgb(0, 128, 0), kLight = qRgb(0, 255, 0);
const QRgb kBorder = qRgb(255, 255, 0), kLifted = qRgb(255, 0, 0);
}  // namespace

class ArtworkTest : public QObject {
  Q_OBJECT

 private slots:
  void tileIcon_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QRgb>("colour");
    auto row = [](const char* name, int size, int x, int y, QRgb colour) {
      QTest::newRow(name) << size << QPoint(x, y) << colour;
    };
    // The window's own icon.
    row("32 grid corner", 32, 0, 0, kLine);
    row("32 first tile", 32, 1, 1, kDark);
    row("32 line after it", 32, 8, 3, kLine);
    row("32 second tile", 32, 9, 1, kLight);
    row("32 lifted, top-left", 32, 16, 8, kBorder);
    row("32 lifted, inside", 32, 17, 9, kLifted);
    row("32 lifted, inside bottom-right", 32, 23, 15, kLifted);
    row("32 lifted, bottom-right", 32, 24, 16, kBorder);
    row("32 past the lifted tile", 32, 25, 17, kLight);
    row("32 last pixel, a tile", 32, 31, 31, kDark);
    // One-pixel lines on cells of 4.
    row("16 first tile", 16, 1, 1, kDark);
    row("16 lifted, top-left", 16, 8, 4, kBorder);
    row("16 lifted, inside", 16, 9, 5, kLifted);
    row("16 lifted, bottom-right", 16, 12, 8, kBorder);
    row("16 past the lifted tile", 16, 13, 9, kLight);
    row("24 lifted, bottom-right", 24, 18, 12, kBorder);
    row("48 lifted, inside", 48, 25, 13, kLifted);
    // Two-pixel lines.
    row("64 line, second pixel", 64, 1, 1, kLine);
    row("64 first tile", 64, 2, 2, kDark);
    row("64 lifted border, second pixel", 64, 33, 17, kBorder);
    row("64 lifted, inside", 64, 34, 18, kLifted);
    row("64 lifted border, last pixel", 64, 49, 33, kBorder);
    row("64 past the lifted tile", 64, 50, 34, kLight);
    row("128 four-pixel line", 128, 35, 3, kLine);
    // Eight-pixel lines.
    row("256 line, last pixel", 256, 7, 7, kLine);
    row("256 first tile", 256, 8, 8, kDark);
    row("256 vertical line", 256, 71, 10, kLine);
    row("256 second tile", 256, 72, 10, kLight);
    row("256 lifted border, last pixel", 256, 135, 71, kBorder);
    row("256 lifted, inside", 256, 136, 72, kLifted);
    row("256 lifted, inside bottom-right", 256, 191, 127, kLifted);
    row("256 lifted border, bottom-right", 256, 199, 135, kBorder);
    row("256 past the lifted tile", 256, 200, 136, kLight);
  }
  void tileIcon() {
    QFETCH(int, size);
    QFETCH(QPoint, at);
    QFETCH(QRgb, colour);
    const QImage icon = TileIcon(size);
    QCOMPARE(icon.size(), QSize(size, size));
    QCOMPARE(icon.colorCount(), 16);
    QCOMPARE(icon.pixel(at), colour);
  }
};

QTEST_MAIN(ArtworkTest)
#include "artwork_test.moc"
