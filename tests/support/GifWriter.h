#pragma once
// A small GIF encoder for test pictures (Qt writes no GIF): one frame covering the screen, one
// global colour table, real LZW compression so that even a 16384-pixel-wide picture stays small.
#include <QByteArray>
#include <QList>
#include <QRgb>
#include <vector>

namespace gifwriter {

class CodeStream {
 public:
  void Put(int code, int bits) {
    accumulator_ |= quint32(code) << used_;
    used_ += bits;
    while (used_ >= 8) Flush8();
  }
  // The codes as data sub-blocks of up to 255 bytes, then the terminator.
  QByteArray Blocks() {
    if (used_ > 0) Flush8();
    QByteArray out;
    for (qsizetype at = 0; at < bytes_.size(); at += 255) {
      const QByteArray part = bytes_.mid(at, 255);
      out += char(part.size());
      out += part;
    }
    return out + '\0';
  }

 private:
  void Flush8() {
    bytes_ += char(accumulator_ & 0xFF);
    accumulator_ >>= 8;
    used_ = qMax(0, used_ - 8);
  }
  QByteArray bytes_;
  quint32 accumulator_ = 0;
  int used_ = 0;
};

// `pixel(x, y)` gives each pixel's index; the table is padded with black to a power of two
// (an index past the table's own entries is written as it is). Indexes are coded with 8 bits.
// A full code table is cleared, or kept as it is for the rest of the image.
template <typename PixelAt>
QByteArray Encode(int width, int height, QList<QRgb> table, PixelAt pixel, int transparentIndex = -1,
                  bool interlaced = false, bool clearWhenFull = true) {
  int sizeBits = 0;
  while ((2 << sizeBits) < table.size()) ++sizeBits;
  table.resize(2 << sizeBits, qRgb(0, 0, 0));
  auto le16 = [](int v) { return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF); };

  QByteArray gif = "GIF89a" + le16(width) + le16(height) + char(0x80 | sizeBits) + '\0' + '\0';
  for (QRgb c : table) gif += QByteArray(1, char(qRed(c))) + char(qGreen(c)) + char(qBlue(c));
  if (transparentIndex >= 0)
    gif += QByteArray::fromHex("21f904") + '\x01' + le16(0) + char(transparentIndex) + '\0';
  gif += ',' + le16(0) + le16(0) + le16(width) + le16(height) + char(interlaced ? 0x40 : 0);

  constexpr int kMinCodeSize = 8, kClear = 1 << kMinCodeSize, kEnd = kClear + 1;
  gif += char(kMinCodeSize);
  CodeStream codes;
  // next[code * 256 + index]: the code of the longer string, valid in the current generation
  // of the table (a clear code starts a new one).
  std::vector<quint32> next(4096 * 256, 0);
  quint32 generation = 1;
  auto known = [&](int code, int index) {
    const quint32 entry = next[size_t(code) * 256 + size_t(index)];
    return entry >> 12 == generation ? int(entry & 0xFFF) : 0;
  };
  int codeSize = kMinCodeSize + 1, maxCode = kEnd, current = -1;
  codes.Put(kClear, codeSize);
  auto rowAt = [&](int pass, int i) {  // the interlaced row order: every 8th from 0, 4, then 2, 1
    static const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    return interlaced ? start[pass] + i * step[pass] : i;
  };
  for (int pass = 0; pass < (interlaced ? 4 : 1); ++pass) {
    for (int i = 0; rowAt(pass, i) < height; ++i) {
      const int y = rowAt(pass, i);
      for (int x = 0; x < width; ++x) {
        const int index = pixel(x, y);
        if (current < 0) {
          current = index;
        } else if (const int longer = known(current, index)) {
          current = longer;
        } else {
          codes.Put(current, codeSize);
          if (maxCode < 4095) next[size_t(current) * 256 + size_t(index)] = generation << 12 | quint32(++maxCode);
          if (maxCode >= (1 << codeSize)) ++codeSize;
          if (maxCode == 4095 && clearWhenFull) {
            codes.Put(kClear, codeSize);
            ++generation;
            codeSize = kMinCodeSize + 1;
            maxCode = kEnd;
          }
          current = index;
        }
      }
    }
  }
  if (current >= 0) codes.Put(current, codeSize);
  codes.Put(kClear, codeSize);
  codes.Put(kEnd, kMinCodeSize + 1);
  return gif + codes.Blocks() + ';';
}

}  // namespace gifwriter
