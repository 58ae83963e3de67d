#pragma once
// An independent reader for the BMP files the program writes: 24-bit, uncompressed, with a
// BITMAPINFOHEADER. It checks every header field it relies on, so a test learns exactly what
// the writer got wrong; it shares no code with Qt's own BMP reader.
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>
#include <cstdint>

namespace bmpfile {

struct Parsed {
  QString error;  // empty when the file is a valid 24-bit BMP
  int width = 0, height = 0;
  QImage pixels;  // RGB32
};

inline uint32_t U32(const QByteArray& d, int at) {
  const auto* p = reinterpret_cast<const unsigned char*>(d.constData()) + at;
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t U16(const QByteArray& d, int at) {
  const auto* p = reinterpret_cast<const unsigned char*>(d.constData()) + at;
  return uint16_t(p[0] | p[1] << 8);
}

inline Parsed Parse(const QByteArray& d) {
  Parsed r;
  auto fail = [&](const QString& why) { r.error = why; return r; };
  if (d.size() < 54) return fail(QStringLiteral("shorter than the two headers"));
  if (d[0] != 'B' || d[1] != 'M') return fail(QStringLiteral("no BM signature"));
  if (U32(d, 2) != uint32_t(d.size())) return fail(QStringLiteral("file size field %1").arg(U32(d, 2)));
  const uint32_t offset = U32(d, 10);
  if (U32(d, 14) < 40) return fail(QStringLiteral("info header size %1").arg(U32(d, 14)));
  const int32_t w = int32_t(U32(d, 18)), h = int32_t(U32(d, 22));
  if (U16(d, 26) != 1) return fail(QStringLiteral("planes %1").arg(U16(d, 26)));
  if (U16(d, 28) != 24) return fail(QStringLiteral("bit count %1").arg(U16(d, 28)));
  if (U32(d, 30) != 0) return fail(QStringLiteral("compression %1").arg(U32(d, 30)));
  if (w <= 0 || h == 0) return fail(QStringLiteral("size %1 x %2").arg(w).arg(h));
  const int rows = h < 0 ? -h : h;
  const qint64 stride = (qint64(w) * 3 + 3) / 4 * 4;
  if (offset < 54 || offset + stride * rows > qint64(d.size()))
    return fail(QStringLiteral("pixel data outside the file"));
  r.width = w;
  r.height = rows;
  r.pixels = QImage(w, rows, QImage::Format_RGB32);
  for (int y = 0; y < rows; ++y) {
    const int fileRow = h > 0 ? rows - 1 - y : y;  // positive height: bottom-up
    const auto* src = reinterpret_cast<const unsigned char*>(d.constData()) + offset + fileRow * stride;
    auto* dst = reinterpret_cast<QRgb*>(r.pixels.scanLine(y));
    for (int x = 0; x < w; ++x) dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
  }
  return r;
}

inline Parsed ParseFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    Parsed r;
    r.error = QStringLiteral("cannot open ") + path;
    return r;
  }
  return Parse(f.readAll());
}

}  // namespace bmpfile
