#include "TestPictures.h"

#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QMap>
#include <QTemporaryDir>
#include <QtEndian>

#include "platform/PictureLimits.h"
#include "support/GifWriter.h"

namespace bench {

namespace {
// Smooth ramps with a finer pattern over them, so that no decoder gets an easy picture.
int Red(int x, int) { return (x >> 5) & 255; }
int Green(int, int y) { return (y >> 5) & 255; }
int Blue(int x, int y) { return int((qint64(x) * y) >> 9) & 255; }

QImage Rgb(QSize size, bool alpha) {
  QImage img(size, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < size.width(); ++x)
      row[x] = qRgba(Red(x, y), Green(x, y), Blue(x, y), alpha ? 64 + ((x ^ y) & 191) : 255);
  }
  return img;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString Unique(const QString& name) {
  static QTemporaryDir dir;
  return dir.filePath(name);
}

bool WriteGif(QSize size, const QString& path) {
  QList<QRgb> palette;
  for (int i = 0; i < 256; ++i) palette << qRgb((i & 7) * 36, ((i >> 3) & 7) * 36, (i >> 6) * 85);
  return WriteFile(path, gifwriter::Encode(size.width(), size.height(), palette,
                                           [](int x, int y) { return Red(x, y) ^ Green(x, y) ^ Blue(x, y); }));
}

bool Write(FileKind kind, QSize size, const QString& path) {
  switch (kind) {
    case FileKind::Bmp24: return Rgb(size, false).save(path, "BMP");
    case FileKind::Jpeg: return Rgb(size, false).save(path, "JPG", 90);
    case FileKind::Gif: return WriteGif(size, path);
    case FileKind::PngRgba: {
      QImageWriter writer(path, "PNG");
      writer.setQuality(90);  // light compression: the file is made quickly
      return writer.write(Rgb(size, true));
    }
  }
  return false;
}
}  // namespace

QString LargeFirstImageGif(QSize image) {
  const QString path = Unique(QStringLiteral("GIF_first_%1x%2").arg(image.width()).arg(image.height()));
  const bool declaredOnly = !platform::FitsPictureLimit(image.width(), image.height());
  const QSize encoded = declaredOnly ? QSize(4, 4) : image;
  QByteArray gif = gifwriter::Encode(encoded.width(), encoded.height(), {qRgb(40, 90, 160)}, [](int, int) { return 0; });
  const auto put16 = [&](int at, int value) { qToLittleEndian(quint16(value), gif.data() + at); };
  const int descriptor = 13 + 2 * 3;  // after the table of the one colour and black
  put16(6, 100), put16(8, 100);
  put16(descriptor + 5, image.width()), put16(descriptor + 7, image.height());
  return WriteFile(path, gif) ? path : QString();
}

const char* KindName(FileKind kind) {
  switch (kind) {
    case FileKind::Bmp24: return "BMP24";
    case FileKind::Jpeg: return "JPEG";
    case FileKind::Gif: return "GIF";
    case FileKind::PngRgba: return "PNG_RGBA";
  }
  return "";
}

QString PictureFile(FileKind kind, QSize size) {
  const QString path = Unique(QStringLiteral("%1_%2x%3").arg(KindName(kind)).arg(size.width()).arg(size.height()));
  static QMap<QString, bool> made;
  if (!made.contains(path)) made[path] = Write(kind, size, path);
  return made[path] ? path : QString();
}

}  // namespace bench
