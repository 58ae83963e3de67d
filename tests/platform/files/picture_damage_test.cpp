// A picture is the file's pixels or a refusal: files cut short or pointing past their end are
// refused as damaged, irregular files that lose no pixel load exactly, and refusals name their
// true cause.
#include <QTemporaryDir>
#include <QtTest>

#include "platform/Errors.h"
#include "platform/files/Faults.h"
#include "platform/PictureBox.h"
#include "platform/files/PictureFile.h"
#include "support/GifWriter.h"
#include "support/PictureBytes.h"
#include "support/TestSupport.h"

using namespace picturebytes;
using platform::ErrorKind;
using platform::PlatformError;

namespace {
QByteArray PatternGif(int w, int h) {
  QList<QRgb> table;
  for (int i = 0; i < 64; ++i) table << qRgb(i * 4, 255 - i * 3, (i * 37) % 256);
  return gifwriter::Encode(w, h, table, [](int x, int y) { return (x / 3 + y * 5) % 64; });
}

QImage PatternGifPixels(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int i = (x / 3 + y * 5) % 64;
      img.setPixel(x, y, qRgb(i * 4, 255 - i * 3, (i * 37) % 256));
    }
  return img;
}

// The pixels an Indexed8 image shows, an index past its colour table as black.
QImage Shown(const QImage& indexes) {
  QImage img(indexes.size(), QImage::Format_RGB32);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const int i = indexes.constScanLine(y)[x];
      img.setPixel(x, y, i < indexes.colorCount() ? indexes.color(i) : qRgb(0, 0, 0));
    }
  return img;
}

QImage Rgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }
}  // namespace

class PictureDamageTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;

  QString Write(const QByteArray& bytes, const QString& name = QStringLiteral("picture")) {
    QFile f(dir_.filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write %s", qPrintable(name));
    return f.fileName();
  }
  // The error LoadPicture raises for the file, or a null kind text when it loads.
  static std::optional<PlatformError> Refusal(const QString& path) {
    try {
      platform::LoadPicture(path);
    } catch (const PlatformError& e) {
      return e;
    }
    return std::nullopt;
  }
  static QString DamageText(const QString& path) {
    return QStringLiteral("ファイルを読み込めませんでした。\n%1\n画像データが壊れています。").arg(path);
  }

 private slots:
  void initTestCase() { QVERIFY(dir_.isValid()); }
  void cleanup() { platform::InjectAllocationFault(0); }

  void fileCutShortIsRefusedAsDamaged_data() {
    QTest::addColumn<QByteArray>("whole");
    QTest::addColumn<int>("tenths");
    const QImage pattern = testsupport::PatternImage(64, 48, 2);
    const QList<std::pair<const char*, QByteArray>> files = {
        {"bmp 24-bit", Encoded(pattern, "bmp")},
        {"bmp 8-bit", PalettedBmp(IndexPattern(64, 48, 200, 200))},
        {"bmp rle8", PalettedBmp(IndexPattern(64, 48, 7, 7), Rle::Whole)},
        {"gif", PatternGif(64, 48)},
        {"jpeg baseline", Encoded(pattern, "jpeg")},
        {"jpeg progressive", Encoded(pattern, "jpeg", true)},
        {"jpeg grey", Encoded(pattern.convertToFormat(QImage::Format_Grayscale8), "jpeg")},
        {"png", Encoded(pattern, "png")},
        {"png with alpha", Encoded(pattern.convertToFormat(QImage::Format_ARGB32), "png")}};
    for (const auto& [name, bytes] : files)
      for (int tenths = 1; tenths <= 9; tenths += 2)
        QTest::newRow(qPrintable(QStringLiteral("%1 at %2/10").arg(name).arg(tenths))) << bytes << tenths;
  }
  void fileCutShortIsRefusedAsDamaged() {
    QFETCH(QByteArray, whole);
    QFETCH(int, tenths);
    QVERIFY(!Refusal(Write(whole)));
    const QString path = Write(Cut(whole, tenths));
    const auto refusal = Refusal(path);
    QVERIFY(refusal);
    QCOMPARE(refusal->Kind(), ErrorKind::UnreadableFile);
    QCOMPARE(refusal->Text(), DamageText(path));
  }

  // The damage that ends inside a well-formed file: markers, terminators and trailer in place.
  void damageInsideAWellFormedFileIsRefused_data() {
    QTest::addColumn<QByteArray>("file");
    const QImage pattern = testsupport::PatternImage(64, 48, 2);
    const QByteArray jpeg = Encoded(pattern, "jpeg"), progressive = Encoded(pattern, "jpeg", true);
    const QByteArray endMarker("\xFF\xD9");
    QByteArray taller = jpeg;
    qToBigEndian(quint16(96), taller.data() + taller.indexOf("\xFF\xC0") + 5);
    const qsizetype secondScan = progressive.indexOf("\xFF\xDA", progressive.indexOf("\xFF\xDA") + 2);
    QByteArray shortLzw = gifwriter::Encode(20, 5, {qRgb(1, 2, 3), qRgb(250, 0, 0)}, [](int x, int y) { return (x + y) % 2; });
    Put16(shortLzw, 8, 20);
    Put16(shortLzw, shortLzw.indexOf(',', 13 + 6) + 7, 20);
    const QByteArray gif = PatternGif(64, 48);
    QTest::newRow("jpeg declaring more rows than it holds") << taller;
    QTest::newRow("jpeg scan cut and closed by its end marker") << jpeg.left(jpeg.size() / 2) + endMarker;
    QTest::newRow("progressive jpeg cut at a scan boundary") << progressive.left(secondScan);
    QTest::newRow("progressive jpeg cut at a scan and closed") << progressive.left(secondScan) + endMarker;
    QTest::newRow("gif whose code stream ends early") << shortLzw;
    QTest::newRow("gif whose block chain ends early") << gif.left(gif.indexOf(',', 13 + 64 * 3) + 10 + 1 + 1 + 255) + QByteArray("\0;", 2);
  }
  void damageInsideAWellFormedFileIsRefused() {
    QFETCH(QByteArray, file);
    const QString path = Write(file);
    const auto refusal = Refusal(path);
    QVERIFY(refusal);
    QCOMPARE(refusal->Text(), DamageText(path));
  }

  void largeBmpCutShortIsRefused() {
    QImage big(4096, 4096, QImage::Format_RGB32);
    big.fill(qRgb(10, 200, 30));
    const QString path = Write(Cut(Encoded(big, "bmp"), 5));
    const auto refusal = Refusal(path);
    QVERIFY(refusal);
    QCOMPARE(refusal->Text(), DamageText(path));
  }

  void pixelDataPastTheEndIsRefused() {
    // 30 x 28 pixels, 2,630 bytes, whose data offset points two gigabytes on.
    QByteArray file = Encoded(testsupport::PatternImage(30, 28), "bmp");
    QCOMPARE(file.size(), 2630);
    Put32(file, 10, 0x7FFFFFFF);
    const QString path = Write(file);
    const auto refusal = Refusal(path);
    QVERIFY(refusal);
    QCOMPARE(refusal->Text(), DamageText(path));
  }

  void irregularFileThatLosesNoPixelLoads_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QImage>("expected");
    const QImage pattern = testsupport::PatternImage(37, 23, 4);
    const QByteArray bmp = Encoded(pattern, "bmp");
    QByteArray wrongSizes = bmp;
    Put32(wrongSizes, 2, 12345);  // bfSize
    Put32(wrongSizes, 34, 7);     // biSizeImage
    QTest::newRow("bmp with bytes after the image") << bmp + QByteArray(300, '\x5A') << pattern;
    QTest::newRow("bmp whose size fields disagree") << wrongSizes << pattern;
    const QImage lowIndexes = IndexPattern(33, 9, 3, 256);
    QTest::newRow("bmp with unused palette entries") << PalettedBmp(lowIndexes) << Shown(lowIndexes);
    const QImage runs = IndexPattern(40, 6, 5, 5);
    QTest::newRow("rle8 without end of bitmap") << PalettedBmp(runs, Rle::NoEndOfBitmap) << Shown(runs);
    QTest::newRow("rle8 without the last end of line") << PalettedBmp(runs, Rle::NoEndOfLastRow) << Shown(runs);
    const QByteArray gif = PatternGif(21, 13);
    QTest::newRow("gif without its trailer") << gif.chopped(1) << PatternGifPixels(21, 13);
    QTest::newRow("gif with bytes after the trailer") << gif + "junk" << PatternGifPixels(21, 13);
    const QByteArray jpeg = Encoded(pattern, "jpeg");
    QTest::newRow("jpeg with bytes after the image") << jpeg + QByteArray(5000, '\x11') << Rgb(QImage::fromData(jpeg));
    const QByteArray png = Encoded(pattern, "png");
    QTest::newRow("png with bytes after the image") << png + QByteArray(40, '\0') << pattern;
    QTest::newRow("jpeg missing only its end marker") << jpeg.chopped(2) << Rgb(QImage::fromData(jpeg));
  }
  void irregularFileThatLosesNoPixelLoads() {
    QFETCH(QByteArray, file);
    QFETCH(QImage, expected);
    QCOMPARE(Rgb(platform::LoadPicture(Write(file))), expected);
  }

  void indexPastThePaletteShowsBlack_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QImage>("expected");
    const QImage indexes = IndexPattern(19, 7, 6, 2);  // indexes 2 to 5 lie past the palette
    QTest::newRow("bmp") << PalettedBmp(indexes) << Shown(indexes);
    QTest::newRow("bmp rle8") << PalettedBmp(indexes, Rle::Whole) << Shown(indexes);
    const QList<QRgb> two = {qRgb(250, 10, 10), qRgb(10, 10, 250)};
    QImage gifShown(19, 7, QImage::Format_RGB32);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 19; ++x) gifShown.setPixel(x, y, (x + 2 * y) % 6 < 2 ? two[(x + 2 * y) % 6] : qRgb(0, 0, 0));
    QTest::newRow("gif") << gifwriter::Encode(19, 7, two, [](int x, int y) { return (x + 2 * y) % 6; }) << gifShown;
  }
  void indexPastThePaletteShowsBlack() {
    QFETCH(QByteArray, file);
    QFETCH(QImage, expected);
    platform::PictureBox box;
    box.SetAutoSize(true);
    box.SetPicture(platform::LoadPicture(Write(file)));
    QCOMPARE(box.Image(), expected);
  }

  void pixelsAnRleStreamSkipsTakeTheBackColour() {
    // 4 x 3, bottom row first: a run of two, a delta of (1, 1) to x = 3 of the middle row, one
    // pixel, end of line, a run of four on the top row, end of bitmap.
    const QImage palette = IndexPattern(4, 3, 1, 2);
    QByteArray file = PalettedBmp(palette, Rle::Whole).left(54 + 2 * 4);
    file += QByteArray::fromHex("0201" "00020101" "0101" "0000" "0400" "0001");
    platform::PictureBox box;
    box.SetAutoSize(true);
    box.SetBackColor(0xFFFFFF);
    box.SetPicture(platform::LoadPicture(Write(file)));
    const QRgb a = palette.color(0), b = palette.color(1), white = qRgb(255, 255, 255);
    const QRgb expected[3][4] = {{a, a, a, a}, {white, white, white, b}, {b, b, white, white}};
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) QCOMPARE(box.Image().pixel(x, y), expected[y][x]);
  }

  void sizeBeyondTheLimitIsRefusedForSize_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QSize>("size");
    QByteArray bmp = Encoded(testsupport::PatternImage(4, 4), "bmp");
    Put32(bmp, 18, 16385);
    Put32(bmp, 22, 16384);
    QByteArray jpeg = Encoded(testsupport::PatternImage(8, 8), "jpeg");
    const int sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    qToBigEndian(quint16(65535), jpeg.data() + sof + 5);
    qToBigEndian(quint16(65535), jpeg.data() + sof + 7);
    QByteArray png = Encoded(testsupport::PatternImage(4, 4), "png");
    qToBigEndian(quint32(70000), png.data() + 16);
    QByteArray gif = gifwriter::Encode(4, 4, {qRgb(1, 2, 3)}, [](int, int) { return 0; });
    Put16(gif, 6, 16384);
    Put16(gif, 8, 16384);
    QTest::newRow("bmp 16385 x 16384") << bmp << QSize(16385, 16384);
    QTest::newRow("jpeg 65535 x 65535") << jpeg << QSize(65535, 65535);
    QTest::newRow("png 70000 wide") << png << QSize(70000, 4);
    QTest::newRow("gif 16384 x 16384") << gif << QSize(16384, 16384);
    QByteArray frameOnly = gifwriter::Encode(4, 4, {qRgb(1, 2, 3)}, [](int, int) { return 0; });
    Put16(frameOnly, 6, 0);  // no screen size: the frame's extent is the picture's
    Put16(frameOnly, 8, 0);
    const int descriptor = frameOnly.indexOf(',', 13 + 6);
    Put16(frameOnly, descriptor + 1, 60000);  // left
    Put16(frameOnly, descriptor + 5, 4);      // width
    Put16(frameOnly, descriptor + 7, 20000);  // height
    QTest::newRow("gif frame 60004 x 20000") << frameOnly << QSize(60004, 20000);
  }
  void sizeBeyondTheLimitIsRefusedForSize() {
    QFETCH(QByteArray, file);
    QFETCH(QSize, size);
    const auto refusal = Refusal(Write(file));
    QVERIFY(refusal);
    QCOMPARE(refusal->Kind(), ErrorKind::RefusedSize);
    QVERIFY2(refusal->Text().contains(QStringLiteral("%1 × %2 ピクセルの画像です。").arg(size.width()).arg(size.height())),
             qPrintable(refusal->Text()));
  }

  void sizeBeyondAnIntIsReportedAsDeclared_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("size");
    QByteArray png = Encoded(testsupport::PatternImage(4, 4), "png"), widest = png, bmp = Encoded(testsupport::PatternImage(4, 4), "bmp");
    qToBigEndian(quint32(1) << 31, png.data() + 16);
    qToBigEndian(quint32(0xFFFFFFFF), widest.data() + 16);
    Put32(bmp, 18, quint32(1) << 31);
    QTest::newRow("png 2^31 wide") << png << "2147483648 × 4";
    QTest::newRow("png 2^32 - 1 wide") << widest << "4294967295 × 4";
    QTest::newRow("bmp -2^31 wide") << bmp << "2147483648 × 4";
  }
  void sizeBeyondAnIntIsReportedAsDeclared() {
    QFETCH(QByteArray, file);
    QFETCH(QString, size);
    const auto refusal = Refusal(Write(file));
    QVERIFY(refusal);
    QVERIFY2(refusal->Text().contains(size + QStringLiteral(" ピクセルの画像です。")), qPrintable(refusal->Text()));
  }

  void bmpOfAKindNoReaderHereTakesIsNamedSo_data() {
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("compression");
    QTest::newRow("2 bits a pixel") << 2 << 0;
    QTest::newRow("64 bits a pixel") << 64 << 0;
    QTest::newRow("jpeg inside") << 0 << 4;
    QTest::newRow("png inside") << 0 << 5;
    QTest::newRow("alpha bitfields") << 32 << 6;
  }
  void bmpOfAKindNoReaderHereTakesIsNamedSo() {
    QFETCH(int, bits);
    QFETCH(int, compression);
    QByteArray file = PalettedBmp(IndexPattern(16, 16, 4, 4));
    Put16(file, 28, quint16(bits));
    Put32(file, 30, quint32(compression));
    const QString path = Write(file);
    const auto refusal = Refusal(path);
    QVERIFY(refusal);
    QCOMPARE(refusal->Text(), QStringLiteral("ファイルを読み込めませんでした。\n%1\nこの種類の BMP ファイルは読み込めません。").arg(path));
  }

  void pictureThatCannotBeHeldIsRefusedForMemory_data() {
    QTest::addColumn<QByteArray>("file");
    const QImage pattern = testsupport::PatternImage(50, 40, 1);
    QTest::newRow("bmp") << Encoded(pattern, "bmp");
    QTest::newRow("jpeg") << Encoded(pattern, "jpeg");
    QTest::newRow("png") << Encoded(pattern.convertToFormat(QImage::Format_ARGB32), "png");
    QTest::newRow("rle8") << PalettedBmp(IndexPattern(50, 40, 3, 3), Rle::Whole);
  }
  void pictureThatCannotBeHeldIsRefusedForMemory() {
    QFETCH(QByteArray, file);
    const QString path = Write(file);
    platform::InjectAllocationFault(1);
    const auto refusal = Refusal(path);
    QVERIFY(refusal);
    QCOMPARE(refusal->Kind(), ErrorKind::OutOfMemory);
    QCOMPARE(refusal->Text(), QStringLiteral("メモリが不足しています。\n%1\n50 × 40 ピクセルの画像を読み込むだけのメモリがありません。").arg(path));
  }
};

QTEST_MAIN(PictureDamageTest)
#include "picture_damage_test.moc"
