#pragma once
// Picture files made by the tests themselves, byte by byte where Qt writes no such file.
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>

namespace picturebytes {

inline void Put16(QByteArray& d, int at, quint16 v) { qToLittleEndian(v, d.data() + at); }
inline void Put32(QByteArray& d, int at, quint32 v) { qToLittleEndian(v, d.data() + at); }

// The image as Qt writes it in `format` ("bmp", "png", "jpeg"; JPEG at quality 90).
inline QByteArray Encoded(const QImage& image, const char* format, bool progressive = false) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  writer.setQuality(90);
  writer.setProgressiveScanWrite(progressive);
  writer.write(image);
  return bytes;
}

// The first `tenths` tenths of the file.
inline QByteArray Cut(const QByteArray& file, int tenths) { return file.left(file.size() * tenths / 10); }

enum class Rle { None, Whole, NoEndOfBitmap, NoEndOfLastRow };

// An 8-bit paletted BMP of an Indexed8 image whose colour table is the palette (indexes past
// it stay as they are), uncompressed or RLE8 with one run per stretch of equal pixels.
inline QByteArray PalettedBmp(const QImage& indexes, Rle rle = Rle::None) {
  const int w = indexes.width(), h = indexes.height(), colours = int(indexes.colorCount());
  QByteArray pixels;
  for (int y = h - 1; y >= 0; --y) {
    const uchar* row = indexes.constScanLine(y);
    if (rle == Rle::None) {
      pixels += QByteArray(reinterpret_cast<const char*>(row), w) + QByteArray((4 - w % 4) % 4, '\0');
      continue;
    }
    for (int x = 0; x < w;) {
      int run = 1;
      while (x + run < w && run < 255 && row[x + run] == row[x]) ++run;
      pixels += QByteArray(1, char(run)) + char(row[x]);
      x += run;
    }
    if (y > 0 || rle == Rle::Whole || rle == Rle::NoEndOfBitmap) pixels += QByteArray(2, '\0');
  }
  if (rle == Rle::Whole) pixels += QByteArray::fromHex("0001");

  QByteArray d(54 + 4 * colours, '\0');
  d[0] = 'B';
  d[1] = 'M';
  Put32(d, 2, quint32(d.size() + pixels.size()));
  Put32(d, 10, quint32(d.size()));
  Put32(d, 14, 40);
  Put32(d, 18, quint32(w));
  Put32(d, 22, quint32(h));
  Put16(d, 26, 1);
  Put16(d, 28, 8);
  Put32(d, 30, rle == Rle::None ? 0 : 1);
  Put32(d, 34, quint32(pixels.size()));
  Put32(d, 46, quint32(colours));
  for (int i = 0; i < colours; ++i) {
    const QRgb c = indexes.color(i);
    d[54 + 4 * i] = char(qBlue(c));
    d[55 + 4 * i] = char(qGreen(c));
    d[56 + 4 * i] = char(qRed(c));
  }
  return d + pixels;
}

// An Indexed8 image whose pixel (x, y) is (x + 2y) modulo `colours`, over a palette of
// `colours` distinct colours (fewer when `palette` is smaller: the rest lie past it).
inline QImage IndexPattern(int w, int h, int colours, int palette) {
  QImage img(w, h, QImage::Format_Indexed8);
  QList<QRgb> table;
  for (int i = 0; i < palette; ++i) table << qRgb(40 + i * 7 % 200, 200 - i * 5 % 180, 90 + i * 11 % 150);
  img.setColorTable(table);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.scanLine(y)[x] = uchar((x + 2 * y) % colours);
  return img;
}

}  // namespace picturebytes
