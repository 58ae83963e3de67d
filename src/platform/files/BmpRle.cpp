#include "platform/files/BmpRle.h"

#include <vector>

#include "platform/ImageBuffer.h"

namespace platform {

namespace {
constexpr quint32 kRle8 = 1;
constexpr quint32 kRle4 = 2;
constexpr qint64 kChunk = 64 * 1024;

// The palette as 256 colours: the entries the file holds, then black.
QVector<QRgb> Palette(const BmpHeader& h, const QByteArray& table, int entries) {
  QVector<QRgb> colours(256, qRgb(0, 0, 0));
  const auto* p = reinterpret_cast<const uchar*>(table.constData());
  for (int i = 0; i < entries; ++i, p += h.PaletteEntryBytes()) colours[i] = qRgb(p[2], p[1], p[0]);
  return colours;
}

// The pixel data, read a chunk at a time as the decoder gets to it.
class Stream {
 public:
  explicit Stream(QIODevice& file) : file_(file) {}
  // Makes `n` bytes available at Data(); false when the file ends first.
  bool Has(qint64 n) {
    if (end_ - at_ >= n) return true;
    buffer_.erase(buffer_.begin(), buffer_.begin() + at_);
    end_ -= at_;
    at_ = 0;
    buffer_.resize(size_t(end_ + kChunk));
    const qint64 got = file_.read(reinterpret_cast<char*>(buffer_.data() + end_), kChunk);
    end_ += qMax<qint64>(got, 0);
    return end_ - at_ >= n;
  }
  const uchar* Data() const { return buffer_.data() + at_; }
  void Skip(qint64 n) { at_ += n; }

 private:
  QIODevice& file_;
  std::vector<uchar> buffer_;
  qint64 at_ = 0, end_ = 0;
};

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

RleBitmap DecodeRleBitmap(const BmpHeader& h, QIODevice& file) {
  RleBitmap result;
  // A compressed bitmap has no top-down form.
  if (h.width <= 0 || h.height <= 0) return result;
  const int entries = h.colorsUsed ? int(qMin<quint32>(h.colorsUsed, 257)) : 1 << h.bitCount;
  if (entries > 256 || !file.seek(h.PaletteOffset())) return result;
  const QByteArray table = file.read(qint64(entries) * h.PaletteEntryBytes());
  if (table.size() < qint64(entries) * h.PaletteEntryBytes()) return result;
  result.image = NewImage(h.width, h.height, QImage::Format_ARGB32);
  if (result.image.isNull()) {
    result.outcome = RleBitmap::Outcome::NoMemory;
    return result;
  }
  const QVector<QRgb> colours = Palette(h, table, entries);
  Painter paint(result.image, colours);
  const bool rle8 = h.compression == kRle8;

  // An offset inside the headers is ignored.
  if (!file.seek(qMax<qint64>(h.dataOffset, h.PaletteOffset() + table.size()))) return result;
  Stream in(file);
  const qint64 width = h.width, rows = h.height;
  qint64 x = 0, row = 0;
  // Once the last row is whole nothing further can change the picture, so reading stops there.
  auto rowsRemain = [&] { return row < rows - 1 || (row == rows - 1 && x < width); };

  while (rowsRemain()) {
    if (!in.Has(2)) return result;
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
      if (!in.Has(2)) return result;
      x += in.Data()[0];
      row += in.Data()[1];
      in.Skip(2);
    } else {  // a literal run, padded to a whole number of 16-bit words
      const qint64 bytes = rle8 ? value : (value + 1) / 2;
      if (!in.Has(bytes)) return result;
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
  result.outcome = RleBitmap::Outcome::Decoded;
  return result;
}

}  // namespace platform
