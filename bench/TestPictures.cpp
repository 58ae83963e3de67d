#include "TestPictures.h"

#include <QImage>
#include <QImageWriter>
#include <QMap>
#include <QPair>
#include <QTemporaryDir>

#include "GifWriter.h"

namespace bench {

namespace {
// Smooth ramps with a finer pattern over them, so that no decoder gets an easy picture.
int Red(int x, int) { return (x >> 5) & 255; }
int Green(int, int y) { return (y >> 5) & 255; }
int Blue(int x, int y) { return int((qint64(x) * y) >> 9) & 255; }

QImage Rgb(int side, bool alpha) {
  QImage img(side, side, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  for (int y = 0; y < side; ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < side; ++x)
      row[x] = qRgba(Red(x, y), Green(x, y), Blue(x, y), alpha ? 64 + ((x ^ y) & 191) : 255);
  }
  return img;
}

QImage Indexed(int side) {
  QImage img(side, side, QImage::Format_Indexed8);
  QList<QRgb> palette;
  for (int i = 0; i < 256; ++i) palette << qRgb((i & 7) * 36, ((i >> 3) & 7) * 36, (i >> 6) * 85);
  img.setColorTable(palette);
  for (int y = 0; y < side; ++y) {
    uchar* row = img.scanLine(y);
    for (int x = 0; x < side; ++x) row[x] = uchar(Red(x, y) ^ Green(x, y) ^ Blue(x, y));
  }
  return img;
}

bool Write(FileKind kind, int side, const QString& path) {
  switch (kind) {
    case FileKind::Bmp24: return Rgb(side, false).save(path, "BMP");
    case FileKind::Jpeg: return Rgb(side, false).save(path, "JPG", 90);
    case FileKind::Gif: return WriteGif(Indexed(side), path);
    case FileKind::PngRgba: {
      QImageWriter writer(path, "PNG");
      writer.setQuality(90);  // light compression: the file is made quickly
      return writer.write(Rgb(side, true));
    }
  }
  return false;
}
}  // namespace

const char* KindName(FileKind kind) {
  switch (kind) {
    case FileKind::Bmp24: return "BMP24";
    case FileKind::Jpeg: return "JPEG";
    case FileKind::Gif: return "GIF";
    case FileKind::PngRgba: return "PNG_RGBA";
  }
  return "";
}

QString PictureFile(FileKind kind, int side) {
  static QTemporaryDir dir;
  static QMap<QPair<int, int>, QString> made;
  const QPair<int, int> key(int(kind), side);
  if (!made.contains(key)) {
    const QString path = dir.filePath(QStringLiteral("%1_%2").arg(KindName(kind)).arg(side));
    made[key] = Write(kind, side, path) ? path : QString();
  }
  return made[key];
}

}  // namespace bench
