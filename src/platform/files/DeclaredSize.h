#pragma once
// The size a picture file declares in its header, read without Qt's readers: several of them
// reject a header whose size they find too large before reporting it, and a refusal for size
// must say so rather than call the file damaged.
#include <QByteArray>
#include <QIODevice>
#include <optional>

#include "platform/files/Decoded.h"

namespace platform {

struct BmpHeader {
  quint32 dataOffset = 0;
  quint32 infoSize = 0;
  qint32 width = 0;
  qint32 height = 0;  // negative: the rows are stored top-down
  quint16 bitCount = 0;
  quint32 compression = 0;  // 1: RLE8, 2: RLE4
  quint32 colorsUsed = 0;

  // Where the palette starts, and how many bytes each of its entries takes.
  qint64 PaletteOffset() const { return 14 + qint64(infoSize); }
  int PaletteEntryBytes() const { return infoSize == 12 ? 3 : 4; }
};

// The file and info headers of a BMP at the start of `head`, read as Qt's reader reads them;
// nothing when `head` is too short to hold them.
std::optional<BmpHeader> ParseBmpHeader(const QByteArray& head);

// A kind of BMP the format defines but Qt's reader does not read: 2 or 64 bits a pixel, JPEG or
// PNG inside, alpha bitfields, OS/2 Huffman or RLE24 compression, the rare 16-, 52- and 56-byte
// info headers.
bool IsUnreadableBmpKind(const BmpHeader& header);

// The width and height (both positive) that a BMP or PNG file declares; nothing stated when the
// format is another or the header does not say. GIF and JPEG files are sized by their own
// libraries, which read only headers before they say. Leaves the device at its start.
Extent DeclaredSize(QIODevice& device, const QByteArray& format);

}  // namespace platform
