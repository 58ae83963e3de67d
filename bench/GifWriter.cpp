#include "GifWriter.h"

#include <QFile>
#include <cstdint>

namespace bench {

namespace {
constexpr int kClear = 256;
constexpr int kEnd = 257;
constexpr int kCodeBits = 9;
// After a clear, every literal but the first adds a table entry; 250 keep the table below
// 512 entries, so the decoder never widens the codes.
constexpr int kLiteralsPerClear = 250;

// Packs codes least significant bit first into sub-blocks of at most 255 bytes.
class CodeStream {
 public:
  explicit CodeStream(QByteArray& out) : out_(out) {}
  void Put(int code) {
    bits_ |= uint32_t(code) << count_;
    count_ += kCodeBits;
    while (count_ >= 8) {
      Byte(uint8_t(bits_));
      bits_ >>= 8;
      count_ -= 8;
    }
  }
  void Finish() {
    if (count_ > 0) Byte(uint8_t(bits_));
    Flush();
    out_.append('\0');  // block terminator
  }

 private:
  void Byte(uint8_t b) {
    block_[blockSize_++] = char(b);
    if (blockSize_ == 255) Flush();
  }
  void Flush() {
    if (blockSize_ == 0) return;
    out_.append(char(blockSize_));
    out_.append(block_, blockSize_);
    blockSize_ = 0;
  }

  QByteArray& out_;
  uint32_t bits_ = 0;
  int count_ = 0;
  char block_[255];
  int blockSize_ = 0;
};

void Word(QByteArray& out, int v) {
  out.append(char(v & 0xFF));
  out.append(char((v >> 8) & 0xFF));
}
}  // namespace

bool WriteGif(const QImage& indexed, const QString& path) {
  if (indexed.format() != QImage::Format_Indexed8 || indexed.width() > 0xFFFF || indexed.height() > 0xFFFF)
    return false;
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;

  QByteArray head("GIF89a");
  Word(head, indexed.width());
  Word(head, indexed.height());
  head.append(char(0xF7));  // a global table of 256 colours, 8 bits per primary
  head.append('\0');        // background colour index
  head.append('\0');        // square pixels
  for (int i = 0; i < 256; ++i) {
    const QRgb c = i < indexed.colorCount() ? indexed.color(i) : 0;
    head.append(char(qRed(c)));
    head.append(char(qGreen(c)));
    head.append(char(qBlue(c)));
  }
  head.append(',');
  Word(head, 0);
  Word(head, 0);
  Word(head, indexed.width());
  Word(head, indexed.height());
  head.append('\0');  // no local table, not interlaced
  head.append(char(8));  // minimum code size
  if (file.write(head) != head.size()) return false;

  QByteArray data;
  CodeStream codes(data);
  int sinceClear = kLiteralsPerClear;
  for (int y = 0; y < indexed.height(); ++y) {
    const uchar* row = indexed.constScanLine(y);
    for (int x = 0; x < indexed.width(); ++x) {
      if (sinceClear == kLiteralsPerClear) {
        codes.Put(kClear);
        sinceClear = 0;
      }
      codes.Put(row[x]);
      ++sinceClear;
    }
    // Written a few rows at a time, so a large picture never needs its whole file in memory.
    if (data.size() > (1 << 20)) {
      if (file.write(data) != data.size()) return false;
      data.clear();
    }
  }
  codes.Put(kEnd);
  codes.Finish();
  data.append(';');
  return file.write(data) == data.size() && file.flush();
}

}  // namespace bench
