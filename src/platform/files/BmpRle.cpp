#include "platform/files/BmpRle.h"

#include <algorithm>

#include "platform/ImageBuffer.h"

namespace platform {

namespace {
constexpr quint32 kRle8 = 1;
constexpr quint32 kRle4 = 2;

// The palette as 256 colours: the entries the file holds, then black.
QVector<QRgb> Palette(const BmpHeader& h, const QByteArray& file, int entries) {
  QVector<QRgb> colours(256, qRgb(0, 0, 0));
  const auto* p = reinterpret_cast<const uchar*>(file.constData()) + h.PaletteOffset();
  for (int i = 0; i < entries; ++i, p += h.PaletteEntryBytes()) colours[i] = qRgb(p[2], p[1], p[0]);
  return colours;
}

class Painter {
 public:
  Painter(QImage& image, const QVector<QRgb>& colours)
      : bits_(image.bits()), stride_(image.bytesPerLine()), width_(image.width()),
        height_(image.height()), colours_(colours) {}
  // Rows count from the bottom, as the stream stores them; pixels past the row are dropped.
  void Put(qint64 x, qint64 row, uchar index) {
    if (x < width_ && row < height_)
      reinterpret_cast<QRgb*>(bits_ + (height_ - 1 - row) * stride_)[x] = colours_[index];
  }

 private:
  uchar* bits_;
  qint64 stride_, width_, height_;
  const QVector<QRgb>& colours_;
};
}  // namespace

bool IsRleBitmap(const BmpHeader& header) {
  return (header.compression == kRle8 && header.bitCount == 8) ||
         (header.compression == kRle4 && header.bitCount == 4);
}

RleBitmap DecodeRleBitmap(const BmpHeader& h, const QByteArray& file) {
  RleBitmap result;
  // A compressed bitmap has no top-down form.
  if (h.width <= 0 || h.height <= 0) return result;
  const int entries = h.colorsUsed ? int(qMin<quint32>(h.colorsUsed, 257)) : 1 << h.bitCount;
  const qint64 paletteEnd = h.PaletteOffset() + qint64(entries) * h.PaletteEntryBytes();
  if (entries > 256 || paletteEnd > file.size()) return result;
  result.image = NewImage(h.width, h.height, QImage::Format_ARGB32);
  if (result.image.isNull()) {
    result.outcome = RleBitmap::Outcome::NoMemory;
    return result;
  }
  const QVector<QRgb> colours = Palette(h, file, entries);
  Painter paint(result.image, colours);
  const bool rle8 = h.compression == kRle8;

  const auto* data = reinterpret_cast<const uchar*>(file.constData());
  qint64 at = qMax<qint64>(h.dataOffset, paletteEnd);  // an offset inside the headers is ignored
  const qint64 end = file.size();
  const qint64 width = h.width, rows = h.height;
  qint64 x = 0, row = 0;
  auto lastRowWhole = [&] { return row >= rows || (row == rows - 1 && x >= width); };

  while (row < rows) {
    if (at + 2 > end) {
      if (!lastRowWhole()) return result;
      break;
    }
    const uchar count = data[at], value = data[at + 1];
    at += 2;
    if (count > 0) {  // a run of one colour, or of two alternating ones
      for (int i = 0; i < count; ++i, ++x)
        paint.Put(x, row, rle8 ? value : (i % 2 ? value & 0x0F : value >> 4));
    } else if (value == 0) {  // end of line
      x = 0;
      ++row;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // delta
      if (at + 2 > end) return result;
      x += data[at];
      row += data[at + 1];
      at += 2;
    } else {  // a literal run, padded to a whole number of 16-bit words
      const qint64 bytes = rle8 ? value : (value + 1) / 2;
      if (at + bytes > end) return result;
      for (int i = 0; i < value; ++i, ++x) {
        const uchar byte = data[at + (rle8 ? i : i / 2)];
        paint.Put(x, row, rle8 ? byte : (i % 2 ? byte & 0x0F : byte >> 4));
      }
      at += bytes + (bytes % 2);
    }
  }
  result.outcome = RleBitmap::Outcome::Decoded;
  return result;
}

}  // namespace platform
