#include "fuzz/DeclaredSize.h"

#include <QtEndian>

#include "fuzz/FileStructure.h"
#include "platform/PictureLimits.h"

namespace fuzz {

namespace {
const uchar* At(const QByteArray& d, qsizetype at) { return reinterpret_cast<const uchar*>(d.constData()) + at; }
bool Over(qint64 width, qint64 height) { return !platform::FitsPictureLimit(width, height); }

bool BmpOver(const QByteArray& d) {
  if (d.size() < 26) return false;
  if (qFromLittleEndian<quint32>(At(d, 14)) == 12)  // the old core header: 16-bit sizes
    return Over(qFromLittleEndian<quint16>(At(d, 18)), qFromLittleEndian<quint16>(At(d, 20)));
  // A negative height is a top-down picture; a negative width is read as the huge number it is.
  return Over(qFromLittleEndian<quint32>(At(d, 18)), qAbs(qint64(qFromLittleEndian<qint32>(At(d, 22)))));
}

bool GifOver(const QByteArray& d) {
  auto u16 = [&](qsizetype at) { return qint64(qFromLittleEndian<quint16>(At(d, at))); };
  if (d.size() >= 10 && Over(u16(6), u16(8))) return true;
  for (int at : GifImages(d))
    if (Over(u16(at + 5), u16(at + 7)) || Over(u16(at + 1) + u16(at + 5), u16(at + 3) + u16(at + 7)))
      return true;
  return false;
}

// Every frame header anywhere in the file: a decoder that resynchronises may find one late.
bool JpegOver(const QByteArray& d) {
  for (qsizetype at = 0; at + 9 <= d.size(); ++at) {
    const uchar marker = *At(d, at + 1);
    if (*At(d, at) != 0xFF || marker < 0xC0 || marker > 0xCF || marker == 0xC4 || marker == 0xC8 ||
        marker == 0xCC)
      continue;
    if (Over(qFromBigEndian<quint16>(At(d, at + 7)), qFromBigEndian<quint16>(At(d, at + 5)))) return true;
  }
  return false;
}

bool PngOver(const QByteArray& d) {
  for (qsizetype at = d.indexOf("IHDR"); at >= 0 && at + 12 <= d.size(); at = d.indexOf("IHDR", at + 1))
    if (Over(qFromBigEndian<quint32>(At(d, at + 4)), qFromBigEndian<quint32>(At(d, at + 8)))) return true;
  return false;
}
}  // namespace

bool DeclaresOverLimit(const QByteArray& file) {
  switch (FormatOf(file)) {
    case Format::Bmp: return BmpOver(file);
    case Format::Gif: return GifOver(file);
    case Format::Jpeg: return JpegOver(file);
    case Format::Png: return PngOver(file);
    case Format::Unknown: break;
  }
  return false;
}

}  // namespace fuzz
