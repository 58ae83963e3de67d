#include "platform/files/BmpRle.h"

#include "platform/files/ChunkedInput.h"

namespace platform {

namespace {
constexpr quint32 kRle8 = 1;
constexpr quint32 kRle4 = 2;

// The palette as 256 colours: the entries the file holds, then black.
QVector<QRgb> Palette(const BmpHeader& h, const QByteArray& table, int entries) {
  QVector<QRgb> colours(256, qRgb(0, 0, 0));
  const auto* p = reinterpret_cast<const uchar*>(table.constData());
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
  // How many of `count` pixels from x on still land in the row.
  qint64 Inside(qint64 x, qint64 count) const { return qBound<qint64>(0, width_ - x, count); }

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

Decoded DecodeRleBitmap(const BmpHeader& h, QIODevice& file, const PictureMemory& memory) {
  const Extent size{h.width, h.height};
  const Decoded damaged = Decoded::Refused(Decoded::Outcome::Damaged, size, Damage::DataEndsEarly);
  // A compressed bitmap has no top-down form.
  if (h.width <= 0 || h.height <= 0) return damaged;
  const int entries = h.colorsUsed ? int(qMin<quint32>(h.colorsUsed, 257)) : 1 << h.bitCount;
  if (entries > 256 || !file.seek(h.PaletteOffset())) return damaged;
  const QByteArray table = file.read(qint64(entries) * h.PaletteEntryBytes());
  if (table.size() < qint64(entries) * h.PaletteEntryBytes()) return damaged;
  Decoded result = Decoded::Picture(memory(h.width, h.height, QImage::Format_ARGB32));
  if (result.image.isNull()) return Decoded::Refused(Decoded::Outcome::NoMemory, size);
  result.image.fill(Qt::transparent);
  const QVector<QRgb> colours = Palette(h, table, entries);
  Painter paint(result.image, colours);
  const bool rle8 = h.compression == kRle8;

  // An offset inside the headers is ignored.
  if (!file.seek(qMax<qint64>(h.dataOffset, h.PaletteOffset() + table.size()))) return damaged;
  ChunkedInput in(file);
  const qint64 width = h.width, rows = h.height;
  qint64 x = 0, row = 0;
  // Once the last row is whole nothing further can change the picture, so reading stops there.
  auto rowsRemain = [&] { return row < rows - 1 || (row == rows - 1 && x < width); };

  while (rowsRemain()) {
    if (!in.Has(2)) return damaged;
    const uchar count = in.Data()[0], value = in.Data()[1];
    in.Skip(2);
    if (count > 0) {  // a run of one colour, or of two alternating ones; past the row it costs nothing
      for (qint64 i = 0, n = paint.Inside(x, count); i < n; ++i)
        paint.Put(x + i, row, rle8 ? value : (i % 2 ? value & 0x0F : value >> 4));
      x += count;
    } else if (value == 0) {  // end of line
      x = 0;
      ++row;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // delta
      if (!in.Has(2)) return damaged;
      x += in.Data()[0];
      row += in.Data()[1];
      in.Skip(2);
    } else {  // a literal run, padded to a whole number of 16-bit words
      const qint64 bytes = rle8 ? value : (value + 1) / 2;
      if (!in.Has(bytes)) return damaged;
      const uchar* data = in.Data();
      for (qint64 i = 0, n = paint.Inside(x, value); i < n; ++i) {
        const uchar byte = data[rle8 ? i : i / 2];
        paint.Put(x + i, row, rle8 ? byte : (i % 2 ? byte & 0x0F : byte >> 4));
      }
      x += value;
      in.Skip(bytes);
      if (bytes % 2 && in.Has(1)) in.Skip(1);
    }
  }
  return result;
}

}  // namespace platform
