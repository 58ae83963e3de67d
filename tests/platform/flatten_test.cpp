// A picture with an alpha channel is laid over the back colour, each channel rounded to the
// nearest level, whether it is flattened in its own memory (the only holder of an ARGB32 buffer)
// or copied.
#include <QRandomGenerator>
#include <cmath>
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

QImage LaidOver(const QImage& picture, QRgb back) {
  const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
  QImage out(picture.size(), QImage::Format_RGB32);
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) {
      const QRgb c = argb.pixel(x, y);
      const double a = qAlpha(c) / 255.0;
      const auto mix = [a](int colour, int under) { return int(std::lround(colour * a + under * (1 - a))); };
      out.setPixel(x, y, qRgb(mix(qRed(c), qRed(back)), mix(qGreen(c), qGreen(back)), mix(qBlue(c), qBlue(back))));
    }
  return out;
}
}  // namespace

class FlattenTest : public QObject {
  Q_OBJECT

 private slots:
  void liesOverTheBackColourRoundedToTheNearestLevel_data() {
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
  void liesOverTheBackColourRoundedToTheNearestLevel() {
    QFETCH(QSize, size);
    QFETCH(int, format);
    QFETCH(bool, onlyHolder);
    const QImage picture = RandomTranslucent(size, QImage::Format(format), quint32(size.width() * 131 + size.height()));
    const QRgb back = qRgb(250, 240, 10);
    const QImage expected = LaidOver(picture, back);
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
