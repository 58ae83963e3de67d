#include "platform/files/DeclaredSize.h"

#include <QtEndian>

namespace platform {

namespace {
const uchar* Bytes(const QByteArray& d) { return reinterpret_cast<const uchar*>(d.constData()); }

Extent Positive(qint64 width, qint64 height) { return {qAbs(width), qAbs(height)}; }

Extent PngSize(QIODevice& device) {
  const QByteArray head = device.peek(24);
  if (head.size() < 24 || head.mid(12, 4) != "IHDR") return {};
  return Positive(qFromBigEndian<quint32>(Bytes(head) + 16), qFromBigEndian<quint32>(Bytes(head) + 20));
}

// The logical screen; where a side of it is 0, Qt's reader takes the first frame's extent.
Extent GifSize(QIODevice& device) {
  const QByteArray head = device.peek(10);
  if (head.size() < 10) return {};
  const Extent screen{qFromLittleEndian<quint16>(Bytes(head) + 6), qFromLittleEndian<quint16>(Bytes(head) + 8)};
  return screen.IsEmpty() ? Extent() : screen;
}

bool IsStartOfFrame(uchar marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the marker segments up to the frame header; a walk that meets the image data or runs
// out first knows no size.
Extent JpegSize(QIODevice& device) {
  if (!device.seek(2)) return {};
  for (int segments = 0; segments < 1024; ++segments) {
    QByteArray marker = device.read(2);
    while (marker.size() == 2 && uchar(marker[0]) == 0xFF && uchar(marker[1]) == 0xFF)
      marker = marker.mid(1) + device.read(1);  // fill bytes before a marker
    if (marker.size() < 2 || uchar(marker[0]) != 0xFF) return {};
    const uchar code = uchar(marker[1]);
    if (code == 0x01 || (code >= 0xD0 && code <= 0xD7)) continue;  // markers without a segment
    if (code == 0xD9 || code == 0xDA) return {};
    const QByteArray segment = device.read(IsStartOfFrame(code) ? 7 : 2);
    if (segment.size() < 2) return {};
    if (IsStartOfFrame(code)) {
      if (segment.size() < 7) return {};
      return Positive(qFromBigEndian<quint16>(Bytes(segment) + 5), qFromBigEndian<quint16>(Bytes(segment) + 3));
    }
    const quint16 length = qFromBigEndian<quint16>(Bytes(segment));
    if (length < 2 || !device.seek(device.pos() + length - 2)) return {};
  }
  return {};
}
}  // namespace

std::optional<BmpHeader> ParseBmpHeader(const QByteArray& head) {
  if (head.size() < 18 || !head.startsWith("BM")) return std::nullopt;
  BmpHeader h;
  const uchar* d = Bytes(head);
  h.dataOffset = qFromLittleEndian<quint32>(d + 10);
  h.infoSize = qFromLittleEndian<quint32>(d + 14);
  const bool wide = h.infoSize == 40 || h.infoSize == 64 || h.infoSize == 108 || h.infoSize == 124;
  if (!wide) {  // the old OS/2 header, which Qt also assumes for any size it does not know
    if (head.size() < 26) return std::nullopt;
    h.width = qFromLittleEndian<qint16>(d + 18);
    h.height = qFromLittleEndian<qint16>(d + 20);
    h.bitCount = qFromLittleEndian<quint16>(d + 24);
    return h;
  }
  if (head.size() < 54) return std::nullopt;
  h.width = qFromLittleEndian<qint32>(d + 18);
  h.height = qFromLittleEndian<qint32>(d + 22);
  h.bitCount = qFromLittleEndian<quint16>(d + 28);
  h.compression = qFromLittleEndian<quint32>(d + 30);
  h.colorsUsed = qFromLittleEndian<quint32>(d + 46);
  return h;
}

bool IsUnreadableBmpKind(const BmpHeader& h) {
  const bool os2Compression = h.infoSize == 64 && (h.compression == 3 || h.compression == 4);
  return h.infoSize == 16 || h.infoSize == 52 || h.infoSize == 56 || h.bitCount == 2 || h.bitCount == 64 ||
         (h.compression >= 4 && h.compression <= 6) || os2Compression;
}

Extent DeclaredSize(QIODevice& device, const QByteArray& format) {
  Extent size;
  if (format == "bmp") {
    if (const auto h = ParseBmpHeader(device.peek(54))) size = Positive(h->width, h->height);
  } else if (format == "png") {
    size = PngSize(device);
  } else if (format == "gif") {
    size = GifSize(device);
  } else if (format == "jpeg") {
    size = JpegSize(device);
  }
  device.seek(0);
  return size;
}

}  // namespace platform
