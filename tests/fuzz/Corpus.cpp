#include "fuzz/Corpus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>

#include "fuzz/BmpEncoder.h"
#include "fuzz/DeclaredSize.h"
#include "fuzz/FileStructure.h"
#include "fuzz/Mutants.h"
#include "support/GifWriter.h"
#include "support/JpegWriter.h"
#include "support/PictureBytes.h"
#include "support/TestSupport.h"

namespace fuzz {

namespace {
using picturebytes::Encoded;

struct Seed {
  QString name;  // with its extension
  QByteArray bytes;
  QImage pixels;
};

// Runs of three and stretches of single pixels, so both run-length modes occur.
QImage IndexedPattern(int width, int height, int colours) {
  QImage image(width, height, QImage::Format_Indexed8);
  QList<QRgb> table;
  for (int i = 0; i < colours; ++i) table << qRgb((i * 97 + 13) % 256, (i * 53 + 101) % 256, (i * 29 + 211) % 256);
  image.setColorTable(table);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixel(x, y, (x < width * 2 / 3 ? x / 3 + y / 2 * 5 : x * 7 + y * 3) % colours);
  return image;
}

QList<Seed> BmpSeeds() {
  const QImage rgb = testsupport::PatternImage(29, 19, 4);
  const QImage pal1 = IndexedPattern(29, 19, 2), pal4 = IndexedPattern(29, 19, 11);
  const QImage pal8 = IndexedPattern(29, 19, 37);
  const QImage rle4 = IndexedPattern(31, 21, 11), rle8 = IndexedPattern(31, 21, 37);
  auto flat = [](const QImage& i) { return i.convertToFormat(QImage::Format_RGB32); };
  // 16-bit channels have no exact 8-bit value every reader agrees on: no pixels to compare.
  return {{"bmp-pal1.bmp", EncodeBmp(pal1, BmpLayout::Pal1), flat(pal1)},
          {"bmp-pal4.bmp", EncodeBmp(pal4, BmpLayout::Pal4), flat(pal4)},
          {"bmp-pal8.bmp", EncodeBmp(pal8, BmpLayout::Pal8), flat(pal8)},
          {"bmp-rle4.bmp", EncodeBmp(rle4, BmpLayout::Rle4), flat(rle4)},
          {"bmp-rle8.bmp", EncodeBmp(rle8, BmpLayout::Rle8), flat(rle8)},
          {"bmp-rgb555.bmp", EncodeBmp(rgb, BmpLayout::Rgb555), QImage()},
          {"bmp-rgb565-fields.bmp", EncodeBmp(rgb, BmpLayout::Rgb565Fields), QImage()},
          {"bmp-rgb24.bmp", EncodeBmp(rgb, BmpLayout::Rgb24), rgb},
          {"bmp-rgb24-topdown.bmp", EncodeBmp(rgb, BmpLayout::Rgb24TopDown), rgb},
          {"bmp-rgb32.bmp", EncodeBmp(rgb, BmpLayout::Rgb32), rgb},
          {"bmp-rgb32-fields.bmp", EncodeBmp(rgb, BmpLayout::Rgb32Fields), rgb}};
}

QList<Seed> QtWrittenSeeds() {
  const QImage rgb = testsupport::PatternImage(31, 23, 6);
  const QImage grey = rgb.convertToFormat(QImage::Format_Grayscale8);
  const QImage palette = IndexedPattern(29, 19, 16);
  // Every 16-bit channel is an 8-bit value times 257, so it comes back exactly.
  const QImage deep = rgb.convertToFormat(QImage::Format_RGBX64);
  QImage alpha = rgb.convertToFormat(QImage::Format_ARGB32), onWhite = rgb;
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x)
      if ((x / 4 + y / 4) % 3 == 0) {
        alpha.setPixel(x, y, qRgba(90, 60, 30, 0));
        onWhite.setPixel(x, y, qRgb(255, 255, 255));
      }
  return {{"jpeg-baseline.jpg", Encoded(rgb, "jpeg"), QImage()},
          {"jpeg-progressive.jpg", Encoded(rgb, "jpeg", true), QImage()},
          {"jpeg-grey.jpg", Encoded(grey, "jpeg"), QImage()},
          {"png-palette.png", Encoded(palette, "png"), palette.convertToFormat(QImage::Format_RGB32)},
          {"png-grey.png", Encoded(grey, "png"), grey.convertToFormat(QImage::Format_RGB32)},
          {"png-16bit.png", Encoded(deep, "png"), rgb},
          {"png-alpha.png", Encoded(alpha, "png"), onWhite}};
}

// GIF and CMYK JPEG come from Python's imaging library, with the pictures GIFs must show.
QList<Seed> PilSeeds(const QString& folder, QString* error) {
  QProcess python;
  python.start(QStringLiteral(TILORA_PYTHON), {QStringLiteral(TILORA_SEED_SCRIPT), folder});
  if (!python.waitForFinished(60000) || python.exitStatus() != QProcess::NormalExit ||
      python.exitCode() != 0) {
    *error = QStringLiteral("the seed script failed: ") + QString::fromLocal8Bit(python.readAllStandardError());
    return {};
  }
  QList<Seed> seeds;
  for (const char* seed : {"gif-plain", "gif-transparent", "gif-interlaced", "gif-animated", "jpeg-cmyk"}) {
    const QString name = QString::fromLatin1(seed);
    const bool gif = name.startsWith(QLatin1String("gif"));
    QFile file(folder + "/" + name + (gif ? ".gif" : ".jpg"));
    if (!file.open(QIODevice::ReadOnly)) *error = QStringLiteral("no seed ") + file.fileName();
    const QImage pixels =
        gif ? QImage(folder + "/" + name + ".expected.png").convertToFormat(QImage::Format_RGB32) : QImage();
    seeds.append({QFileInfo(file).fileName(), file.readAll(), pixels});
  }
  return seeds;
}

// Restart markers, a scan per component and arithmetic coding, which only libjpeg itself writes.
QList<Seed> LibjpegSeeds() {
  const QImage rgb = testsupport::PatternImage(37, 29, 7);
  return {{"jpeg-restarts.jpg", jpegwriter::Encode(rgb, jpegwriter::Layout::Restarts), QImage()},
          {"jpeg-scan-per-component.jpg", jpegwriter::Encode(rgb, jpegwriter::Layout::ScanPerComponent), QImage()},
          {"jpeg-arithmetic.jpg", jpegwriter::Encode(rgb, jpegwriter::Layout::Arithmetic), QImage()}};
}

// A 20 x 15 frame at (4, 3) on a 27 x 21 screen: the rest shows the background colour (entry 0),
// or nothing where the frame has a transparent index.
Seed OffsetGif(bool transparent) {
  QList<QRgb> table;
  for (int i = 0; i < 8; ++i) table << qRgb(30 * i, 255 - 30 * i, (70 * i) % 256);
  const auto index = [](int x, int y) { return (x / 2 + y) % 8; };
  QByteArray gif = gifwriter::Encode(20, 15, table, index, transparent ? 5 : -1);
  gif = WithField(WithField(gif, "screenWidth", 27), "screenHeight", 21);
  gif = WithField(WithField(gif, "imageLeft", 4), "imageTop", 3);
  QImage shown(27, 21, QImage::Format_RGB32);
  shown.fill(transparent ? qRgb(255, 255, 255) : table[0]);
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 20; ++x)
      if (!transparent || index(x, y) != 5) shown.setPixel(x + 4, y + 3, table[index(x, y)]);
  return {transparent ? "gif-offset-transparent.gif" : "gif-offset.gif", gif, shown};
}

// Where each scan of a JPEG starts.
QList<qsizetype> JpegScans(const QByteArray& jpeg) {
  QList<qsizetype> scans;
  for (qsizetype at = jpeg.indexOf("\xFF\xDA"); at >= 0; at = jpeg.indexOf("\xFF\xDA", at + 2)) scans << at;
  return scans;
}

// A 64 x 48 GIF whose block chain ends (an empty block, then the trailer) after half its data.
QByteArray GifChainCut() {
  QList<QRgb> table;
  for (int i = 0; i < 64; ++i) table << qRgb(i * 4, 255 - i * 3, (i * 37) % 256);
  const QByteArray gif = gifwriter::Encode(64, 48, table, [](int x, int y) { return (x / 3 + y * 5) % 64; });
  qsizetype at = 0;
  for (const Field& f : HeaderFields(gif))
    if (f.name == QLatin1String("lzwCodeSize")) at = f.offset + 1;
  while (at < gif.size() / 2) at += 1 + uchar(gif[at]);
  return gif.left(at) + QByteArray("\0;", 2);
}

// A 1 x 1 RLE8 bitmap whose one pixel is followed by `runs` runs of 255 pixels past the row.
QByteArray RleWithRunsPastTheRow(int runs, QImage* shown) {
  QImage one(1, 1, QImage::Format_Indexed8);
  one.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 0)});
  one.fill(1);
  *shown = one.convertToFormat(QImage::Format_RGB32);
  const QByteArray bmp = EncodeBmp(one, BmpLayout::Rle8);
  QByteArray file = bmp.left(qFromLittleEndian<quint32>(bmp.constData() + 10)) + QByteArray::fromHex("0101");
  return file + QByteArray::fromHex("ff00").repeated(runs);
}

// A 24-bit 4096 x 4096 picture whose file ends 96 rows early: the one large file.
QByteArray TruncatedLargeBmp() {
  constexpr int kSide = 4096, kRowBytes = kSide * 3, kRowsPresent = kSide - 96;
  QImage one(1, 1, QImage::Format_RGB32);
  one.fill(0);
  QByteArray file = EncodeBmp(one, BmpLayout::Rgb24).left(54);
  file = WithField(WithField(file, "biWidth", kSide), "biHeight", kSide);
  file = WithField(file, "biSizeImage", quint32(kRowBytes) * kSide);
  file = WithField(file, "bfSize", 54 + quint32(kRowBytes) * kSide);
  QByteArray row(kRowBytes, Qt::Uninitialized);
  for (int i = 0; i < kRowBytes; ++i) row[i] = char(i * 7);
  file.reserve(54 + qsizetype(kRowBytes) * kRowsPresent);
  for (int y = 0; y < kRowsPresent; ++y) {
    row[0] = char(y);
    file += row;
  }
  return file;
}

QByteArray OverLimit(const QByteArray& seed, const QString& widthField, const QString& heightField,
                     quint32 width, quint32 height) {
  return WithField(WithField(seed, widthField, width), heightField, height);
}

struct Writer {
  QString folder;
  QList<CorpusFile>* files;
  QString* error;
  void operator()(const QString& name, const QByteArray& bytes, Expect expect, const QImage& pixels = {}) {
    QFile file(folder + "/" + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) *error = "cannot write " + name;
    files->append({name, expect, DeclaresOverLimit(bytes), pixels});
  }
};
}  // namespace

Corpus WriteCorpus(const QString& folder) {
  Corpus corpus;
  QDir(folder).mkpath(QStringLiteral("pil"));
  QList<Seed> seeds = BmpSeeds() + QtWrittenSeeds() + LibjpegSeeds() + PilSeeds(folder + "/pil", &corpus.error);
  seeds << OffsetGif(false) << OffsetGif(true);
  Writer write{folder, &corpus.files, &corpus.error};
  QHash<QString, QByteArray> byName;
  for (const Seed& seed : seeds) {
    if (seed.bytes.isEmpty()) corpus.error = "no seed " + seed.name;
    byName[seed.name] = seed.bytes;
    write(seed.name, seed.bytes, Expect::Loads, seed.pixels);
    const QString base = QFileInfo(seed.name).completeBaseName(), extension = QFileInfo(seed.name).suffix();
    // Cutting an animated GIF after its first picture loses nothing the loader shows.
    const int gifEnd = FormatOf(seed.bytes) == Format::Gif ? GifFirstImageEnd(seed.bytes) : -1;
    for (const Mutant& m : Mutate(base, seed.bytes)) {
      const bool incomplete = m.keptBytes >= 0 && (gifEnd < 0 || m.keptBytes < gifEnd);
      write(base + "~" + m.name + "." + extension, m.bytes, incomplete ? Expect::Refused : Expect::Anything);
    }
  }
  if (!corpus.error.isEmpty()) return corpus;

  QByteArray farOffset = EncodeBmp(testsupport::PatternImage(30, 28, 8), BmpLayout::Rgb24);  // 2,630 bytes
  write("bmp24-offset-7fffffff.bmp", WithField(farOffset, "bfOffBits", 0x7FFFFFFF), Expect::Refused);
  write("bmp24-4096x4096-cut.bmp", TruncatedLargeBmp(), Expect::Refused);

  const QByteArray bmp = byName["bmp-rgb24.bmp"], gif = byName["gif-plain.gif"];
  const QByteArray jpeg = byName["jpeg-baseline.jpg"], png = byName["png-grey.png"];
  const struct {
    const char* name;
    QByteArray bytes;
  } over[] = {
      {"over-bmp-16385x16384.bmp", OverLimit(bmp, "biWidth", "biHeight", 16385, 16384)},
      {"over-bmp-65536x1.bmp", OverLimit(bmp, "biWidth", "biHeight", 65536, 1)},
      {"over-bmp-1x65536-topdown.bmp", OverLimit(bmp, "biWidth", "biHeight", 1, quint32(-65536))},
      {"over-gif-16385x16384.gif", OverLimit(OverLimit(gif, "screenWidth", "screenHeight", 16385, 16384),
                                             "imageWidth", "imageHeight", 16385, 16384)},
      {"over-gif-65535x65535.gif", OverLimit(OverLimit(gif, "screenWidth", "screenHeight", 65535, 65535),
                                             "imageWidth", "imageHeight", 65535, 65535)},
      {"over-jpeg-16384x16385.jpg", OverLimit(jpeg, "sofWidth", "sofHeight", 16384, 16385)},
      {"over-jpeg-65535x65535.jpg", OverLimit(jpeg, "sofWidth", "sofHeight", 65535, 65535)},
      {"over-png-16385x16384.png", OverLimit(png, "width", "height", 16385, 16384)},
      {"over-png-65536x1.png", OverLimit(png, "width", "height", 65536, 1)},
  };
  for (const auto& o : over) write(o.name, o.bytes, Expect::SizeRefused);

  // Damage inside well-formed files: every marker, terminator and trailer in its place.
  const QByteArray progressive = byName["jpeg-progressive.jpg"], perComponent = byName["jpeg-scan-per-component.jpg"];
  const QByteArray endMarker("\xFF\xD9");
  const qsizetype thirdScan = JpegScans(progressive).value(2), lastScan = JpegScans(perComponent).last();
  const QByteArray shortLzw = gifwriter::Encode(20, 5, {qRgb(1, 2, 3), qRgb(250, 0, 0)}, [](int x, int y) { return (x + y) % 2; });
  const struct {
    const char* name;
    QByteArray bytes;
  } damaged[] = {
      {"jpeg-rows-invented.jpg", WithField(jpeg, "sofHeight", 46)},
      {"jpeg-scan-cut-closed.jpg", jpeg.left(jpeg.size() * 6 / 10) + endMarker},
      {"jpeg-progressive-cut-at-scan.jpg", progressive.left(thirdScan)},
      {"jpeg-progressive-cut-at-scan-closed.jpg", progressive.left(thirdScan) + endMarker},
      {"jpeg-missing-a-component-scan.jpg", perComponent.left(lastScan) + endMarker},
      {"jpeg-declaring-16384x16383.jpg", OverLimit(jpeg, "sofWidth", "sofHeight", 16384, 16383)},
      {"gif-short-lzw.gif", WithField(WithField(shortLzw, "imageHeight", 20), "screenHeight", 20)},
      {"gif-chain-cut.gif", GifChainCut()},
      {"gif-declaring-16384x16383.gif", OverLimit(OverLimit(gif, "screenWidth", "screenHeight", 16384, 16383),
                                                  "imageWidth", "imageHeight", 16384, 16383)},
  };
  for (const auto& d : damaged) write(d.name, d.bytes, Expect::Refused);

  // Files that lose no pixel: an end marker missing from a single scan, and long tails that
  // the loader must not read.
  const auto onWhite = [](const QByteArray& whole) { return QImage::fromData(whole).convertToFormat(QImage::Format_RGB32); };
  const QByteArray restarts = byName["jpeg-restarts.jpg"], tail(4 << 20, '\0');
  QImage rleShown;
  const QByteArray rleRuns = RleWithRunsPastTheRow(2 << 20, &rleShown);
  write("jpeg-no-end-marker.jpg", jpeg.chopped(2), Expect::Loads, onWhite(jpeg));
  write("jpeg-restarts-no-end-marker.jpg", restarts.chopped(2), Expect::Loads, onWhite(restarts));
  write("jpeg-long-tail.jpg", jpeg + tail, Expect::Loads, onWhite(jpeg));
  write("gif-long-tail.gif", gif + tail, Expect::Loads, onWhite(gif));
  write("bmp-rle8-runs-past-the-row.bmp", rleRuns, Expect::Loads, rleShown);
  return corpus;
}

}  // namespace fuzz
