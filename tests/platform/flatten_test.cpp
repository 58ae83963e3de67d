// A picture with an alpha channel is painted over the back colour exactly as a painter paints it,
// whether it is flattened in its own memory (the only holder of an ARGB32 buffer) or copied.
#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

#include "platform/Flatten.h"

namespace {
QImage RandomTranslucent(QSize size, QImage::Format format, quint32 seed) {
  QRandomGenerator random(seed);
  QImage img(size, QImage::Format_ARGB32);
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width(); ++x) img.setPixel(x, y, random.generate());
  return img.convertToFormat(format);
}

QImage PaintedOver(const QImage& picture, QRgb back) {
  QImage out(picture.size(), QImage::Format_RGB32);
  out.fill(back);
  QPainter(&out).drawImage(0, 0, picture);
  return out;
}
}  // namespace

class FlattenTest : public QObject {
  Q_OBJECT

 private slots:
  void paintsOverTheBackColourAsAPainterDoes_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("onlyHolder");
    const QList<QSize> sizes = {{7, 5}, {100, 33}, {64, 64}, {1, 97}};
    for (const QSize& size : sizes) {
      const QString name = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
      QTest::newRow(qPrintable(name + " argb32 in place")) << size << int(QImage::Format_ARGB32) << true;
      QTest::newRow(qPrintable(name + " argb32 shared")) << size << int(QImage::Format_ARGB32) << false;
      QTest::newRow(qPrintable(name + " premultiplied")) << size << int(QImage::Format_ARGB32_Premultiplied) << true;
    }
  }
  void paintsOverTheBackColourAsAPainterDoes() {
    QFETCH(QSize, size);
    QFETCH(int, format);
    QFETCH(bool, onlyHolder);
    const QImage picture = RandomTranslucent(size, QImage::Format(format), quint32(size.width() * 131 + size.height()));
    const QRgb back = qRgb(250, 240, 10);
    const QImage expected = PaintedOver(picture, back);
    QImage given = picture.copy();
    const uchar* memory = given.constBits();
    const QImage held = onlyHolder ? QImage() : given;
    const QImage flat = platform::Flattened(std::move(given), back);
    QCOMPARE(flat.format(), QImage::Format_RGB32);
    QCOMPARE(flat, expected);
    QCOMPARE(flat.constBits() == memory, onlyHolder && format == QImage::Format_ARGB32);
    if (!onlyHolder) QCOMPARE(held, picture);  // a picture someone else holds is left alone
  }
};

QTEST_MAIN(FlattenTest)
#include "flatten_test.moc"
