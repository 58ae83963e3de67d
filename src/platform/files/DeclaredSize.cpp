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
  }
  device.seek(0);
  return size;
}

}  // namespace platform
