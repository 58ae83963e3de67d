// A picture is the file's pixels or a refusal: files cut short or pointing past their end are
// refused as damaged, irregular files that lose no pixel load exactly, and refusals name their
// true cause.
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/Errors.h"
#include "platform/Flatten.h"
#include "platform/files/Faults.h"
#include "platform/PictureBox.h"
#include "platform/files/PictureFile.h"
#include "support/GifWriter.h"
#include "support/JpegWriter.h"
#include "support/PictureBytes.h"
#include "support/TestSupport.h"

using namespace picturebytes;
using platform::ErrorKind;
using platform::PlatformError;

namespace {
QByteArray PatternGif(int w, int h, bool interlaced = false) {
  QList<QRgb> table;
  for (int i = 0; i < 64; ++i) table << qRgb(i * 4, 255 - i * 3, (i * 37) % 256);
  return gifwriter::Encode(w, h, table, [](int x, int y) { return (x / 3 + y * 5) % 64; }, -1, interlaced);
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

// The pattern GIF's pixels from row `top` on, on a screen of `size` filled with `around`.
QImage PatternGifOn(QSize size, QPoint at, QRgb around, int w, int h) {
  QImage img(size, QImage::Format_RGB32);
  img.fill(around);
  QPainter(&img).drawImage(at, PatternGifPixels(w, h));
  return img;
}

// A GIF of two pixels, red then blue, whose LZW data is `data` with minimum code size `codeSize`.
QByteArray TwoPixelGif(const char* codeSize, const char* data) {
  return QByteArray::fromHex(QByteArray("474946383961" "02000100" "800000" "ff0000" "0000ff"
                                        "2c" "00000000" "02000100" "00") + codeSize + data + "3b");
}
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
    QTest::newRow("jpeg cut inside its frame header") << jpeg.left(jpeg.indexOf("\xFF\xC0") + 6);
    QTest::newRow("progressive jpeg cut at a scan boundary") << progressive.left(secondScan);
    QTest::newRow("progressive jpeg cut at a scan and closed") << progressive.left(secondScan) + endMarker;
    QTest::newRow("gif whose code stream ends early") << shortLzw;
    QTest::newRow("gif whose block chain ends early") << gif.left(gif.indexOf(',', 13 + 64 * 3) + 10 + 1 + 1 + 255) + QByteArray("\0;", 2);
    QTest::newRow("gif naming a table entry not yet made") << TwoPixelGif("02", "02c40b00");
    QTest::newRow("gif whose minimum code size is 11") << TwoPixelGif("0b", "02c40b00");
    QByteArray relabelled = progressive;
    relabelled[relabelled.indexOf("\xFF\xC2") + 1] = char(0xC0);
    QTest::newRow("progressive jpeg relabelled as baseline") << relabelled;
    const QByteArray arithmetic = jpegwriter::Encode(pattern, jpegwriter::Layout::Arithmetic);
    QTest::newRow("arithmetic jpeg cut short") << arithmetic.left(arithmetic.size() / 2);
    QTest::newRow("arithmetic jpeg missing only its end marker") << arithmetic.chopped(2);
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
    QByteArray endOfSpectrumZero = jpeg;
    endOfSpectrumZero[endOfSpectrumZero.indexOf("\xFF\xDA") + 6 + 2 * 3] = 0;
    QTest::newRow("jpeg whose scan header says Se = 0") << endOfSpectrumZero << Rgb(QImage::fromData(jpeg));
    // Around a first image that leaves part of the screen: the global table's background colour,
    // else nothing; a local table does not change that.
    QByteArray offset = gif;
    Put16(offset, 6, 25), Put16(offset, 8, 16);
    const int descriptor = offset.indexOf(',', 13 + 64 * 3);
    Put16(offset, descriptor + 1, 3), Put16(offset, descriptor + 3, 2);
    const QRgb background = qRgb(0, 255, 0);  // entry 0 of the pattern's table
    QTest::newRow("gif on a larger screen") << offset << PatternGifOn({25, 16}, {3, 2}, background, 21, 13);
    QByteArray local = offset;
    local[descriptor + 9] = char(0x85);  // a local copy of the table
    local.insert(descriptor + 10, offset.mid(13, 64 * 3));
    QTest::newRow("gif with its own table on a larger screen") << local << PatternGifOn({25, 16}, {3, 2}, background, 21, 13);
    QByteArray noGlobal = local;
    noGlobal[10] = 0;
    noGlobal.remove(13, 64 * 3);
    QTest::newRow("gif without a global table on a larger screen")
        << noGlobal << PatternGifOn({25, 16}, {3, 2}, qRgb(255, 255, 255), 21, 13);
    QByteArray interlaced = PatternGif(21, 13, true);
    Put16(interlaced, 8, 10);
    QTest::newRow("gif interlaced, cut by its screen") << interlaced << PatternGifPixels(21, 13).copy(0, 0, 21, 10);
    const auto noise = [](int x, int y) { return (x * 73 + y * 151 + x * y / 7) % 256; };
    QList<QRgb> grey;
    for (int i = 0; i < 256; ++i) grey << qRgb(i, i, i);
    QImage noisy(128, 128, QImage::Format_RGB32);
    for (int y = 0; y < 128; ++y)
      for (int x = 0; x < 128; ++x) noisy.setPixel(x, y, grey[noise(x, y)]);
    QTest::newRow("gif whose code table fills and goes on without a clear")
        << gifwriter::Encode(128, 128, grey, noise, -1, false, false) << noisy;
  }
  void irregularFileThatLosesNoPixelLoads() {
    QFETCH(QByteArray, file);
    QFETCH(QImage, expected);
    QCOMPARE(platform::Flattened(platform::LoadPicture(Write(file)), qRgb(255, 255, 255)), expected);
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
    QByteArray huge = gifwriter::Encode(4, 4, {qRgb(1, 2, 3)}, [](int, int) { return 0; });
    Put16(huge, huge.indexOf(',', 13 + 6) + 5, 65535);  // the first image, on a screen of 4 x 4
    Put16(huge, huge.indexOf(',', 13 + 6) + 7, 16384);
    QTest::newRow("gif first image 65535 x 16384") << huge << QSize(65535, 16384);
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

  void fileOfAKindNoReaderHereTakesIsNamedSo_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("kind");
    const auto bmp = [](int bits, int compression) {
      QByteArray file = PalettedBmp(IndexPattern(16, 16, 4, 4));
      Put16(file, 28, quint16(bits));
      Put32(file, 30, quint32(compression));
      return file;
    };
    QTest::newRow("2 bits a pixel") << bmp(2, 0) << "BMP";
    QTest::newRow("64 bits a pixel") << bmp(64, 0) << "BMP";
    QTest::newRow("jpeg inside") << bmp(0, 4) << "BMP";
    QTest::newRow("png inside") << bmp(0, 5) << "BMP";
    QTest::newRow("alpha bitfields") << bmp(32, 6) << "BMP";
    const QByteArray jpeg = Encoded(testsupport::PatternImage(8, 8), "jpeg");
    const int frame = jpeg.indexOf("\xFF\xC0");
    QByteArray lossless = jpeg, twelveBits = jpeg, wide = jpeg;
    lossless[frame + 1] = char(0xC3);
    twelveBits[frame + 4] = 12;
    qToBigEndian(quint16(65501), wide.data() + frame + 7);
    QTest::newRow("lossless jpeg") << lossless << "JPEG";
    QTest::newRow("12-bit jpeg") << twelveBits << "JPEG";
    QTest::newRow("jpeg 65501 wide") << wide << "JPEG";
    QTest::newRow("jpeg of 2 components") << jpegwriter::OfComponents(2) << "JPEG";
    QTest::newRow("jpeg of 5 components") << jpegwriter::OfComponents(5) << "JPEG";
  }
  void fileOfAKindNoReaderHereTakesIsNamedSo() {
    QFETCH(QByteArray, file);
    QFETCH(QString, kind);
    const QString path = Write(file);
    const auto refusal = Refusal(path);
    QVERIFY(refusal);
    QCOMPARE(refusal->Text(), QStringLiteral("ファイルを読み込めませんでした。\n%1\nこの種類の %2 ファイルは読み込めません。").arg(path, kind));
  }

  void pictureThatCannotBeHeldIsRefusedForMemory_data() {
    QTest::addColumn<QByteArray>("file");
    const QImage pattern = testsupport::PatternImage(50, 40, 1);
    QTest::newRow("bmp") << Encoded(pattern, "bmp");
    QTest::newRow("jpeg") << Encoded(pattern, "jpeg");
    QTest::newRow("png") << Encoded(pattern.convertToFormat(QImage::Format_ARGB32), "png");
    QTest::newRow("rle8") << PalettedBmp(IndexPattern(50, 40, 3, 3), Rle::Whole);
    QTest::newRow("gif") << PatternGif(50, 40);
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
