#include "platform/files/GifFirstFrame.h"

namespace platform {

namespace {
constexpr char kExtension = 0x21;
constexpr char kImage = 0x2C;
constexpr int kFullTable = 256 * 3;

class Walk {
 public:
  explicit Walk(const QByteArray& file) : file_(file) {}

  bool Has(qsizetype n) const { return at_ + n <= file_.size(); }
  uchar Byte(qsizetype offset = 0) const { return uchar(file_[at_ + offset]); }
  QByteArray Take(qsizetype n) {
    const QByteArray part = file_.mid(at_, n);
    at_ += n;
    return part;
  }
  // Copies a chain of sub-blocks up to and with its empty terminator; false when the file ends first.
  bool TakeSubBlocks(QByteArray& out) {
    while (Has(1)) {
      const uchar length = Byte();
      if (!Has(1 + length)) return false;
      out += Take(1 + length);
      if (length == 0) return true;
    }
    return false;
  }

 private:
  const QByteArray& file_;
  qsizetype at_ = 0;
};

// A colour table (empty when the file has none) filled out to 256 entries with black.
QByteArray FullTable(const QByteArray& table) { return table + QByteArray(kFullTable - table.size(), '\0'); }
}  // namespace

GifFirstFrame ReadGifFirstFrame(const QByteArray& file) {
  GifFirstFrame frame;
  Walk walk(file);
  if (!walk.Has(13)) return frame;
  QByteArray header = walk.Take(13);
  const uchar screenFlags = uchar(header[10]);
  const int globalEntries = (screenFlags & 0x80) ? 2 << (screenFlags & 7) : 0;
  if (!walk.Has(globalEntries * 3)) return frame;
  const QByteArray globalTable = walk.Take(globalEntries * 3);
  header[10] = char(screenFlags | 0x87);
  frame.stream = header + FullTable(globalTable);

  while (walk.Has(1) && char(walk.Byte()) == kExtension) {
    if (!walk.Has(2)) return frame;
    frame.stream += walk.Take(2);
    if (!walk.TakeSubBlocks(frame.stream)) return frame;
  }
  if (!walk.Has(10) || char(walk.Byte()) != kImage) return frame;
  QByteArray descriptor = walk.Take(10);
  const auto word = [](const QByteArray& d, int at) { return int(uchar(d[at])) | int(uchar(d[at + 1])) << 8; };
  const int screenWidth = word(header, 6), screenHeight = word(header, 8);
  frame.size = QSize(screenWidth ? screenWidth : word(descriptor, 1) + word(descriptor, 5),
                     screenHeight ? screenHeight : word(descriptor, 3) + word(descriptor, 7));
  const uchar imageFlags = uchar(descriptor[9]);
  const int localEntries = (imageFlags & 0x80) ? 2 << (imageFlags & 7) : 0;
  if (!walk.Has(localEntries * 3 + 1)) return frame;
  const QByteArray localTable = walk.Take(localEntries * 3);
  if (localEntries > 0) descriptor[9] = char(imageFlags | 0x07);
  frame.stream += descriptor + (localEntries > 0 ? FullTable(localTable) : QByteArray());
  frame.stream += walk.Take(1);  // the LZW code size
  frame.complete = walk.TakeSubBlocks(frame.stream);
  frame.stream += ';';
  return frame;
}

}  // namespace platform
