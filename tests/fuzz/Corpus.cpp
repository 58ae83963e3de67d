#include "fuzz/Corpus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "fuzz/BmpEncoder.h"
#include "fuzz/DeclaredSize.h"
#include "fuzz/FileStructure.h"
#include "fuzz/Mutants.h"
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
  QList<Seed> seeds = BmpSeeds() + QtWrittenSeeds() + PilSeeds(folder + "/pil", &corpus.error);
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
  return corpus;
}

}  // namespace fuzz
