#include "platform/Flatten.h"

#include <cstring>

#include "platform/ImageBuffer.h"

namespace platform {

namespace {
// A colour of opacity `a` over the back colour, each channel rounded to the nearest level:
// (c·a + b·(255 − a) + 127) / 255 exactly, where a painter's fixed-point blend is off by one at
// times. Red and blue share one word in 16-bit lanes, which no sum here overflows, and x / 255 is
// (x + (x >> 8) + 1) >> 8 for every x up to 65,534: no branch and no division.
inline QRgb Over(QRgb c, quint32 backRB, quint32 backG) {
  const quint32 a = c >> 24, rest = 255 - a;
  quint32 rb = (c & 0x00FF00FFu) * a + backRB * rest + 0x007F007Fu;
  quint32 g = ((c >> 8) & 0xFFu) * a + backG * rest + 0x7Fu;
  rb = ((rb + ((rb >> 8) & 0x00FF00FFu) + 0x00010001u) >> 8) & 0x00FF00FFu;
  g = (g + (g >> 8) + 1) >> 8;
  return 0xFF000000u | rb | (g << 8);
}

// One row in place, so the loop vectorises without an overlap check; the AVX2 version, where the
// processor has it, multiplies eight pixels at once, four times as fast on a large picture.
__attribute__((target_clones("avx2", "default"))) void FlattenRow(QRgb* row, int width, quint32 backRB,
                                                                  quint32 backG) {
  for (int x = 0; x < width; ++x) row[x] = Over(row[x], backRB, backG);
}

// Each ARGB32 pixel of `from` over the back colour into the same place in `to`, which may be
// the same picture.
void Flatten(const QImage& from, QImage& to, QRgb back) {
  const quint32 backRB = back & 0x00FF00FFu, backG = quint32(qGreen(back));
  const int width = from.width(), height = from.height();
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(to.scanLine(y));
    if (&to != &from) std::memcpy(row, from.constScanLine(y), size_t(width) * sizeof(QRgb));
    FlattenRow(row, width, backRB, backG);
  }
}
}  // namespace

QImage Flattened(QImage picture, QRgb back) {
  if (!picture.hasAlphaChannel()) return Converted(picture, QImage::Format_RGB32);
  picture = Converted(picture, QImage::Format_ARGB32);
  if (picture.isNull()) return picture;
  if (picture.isDetached()) {
    Flatten(picture, picture, back);
    picture.reinterpretAsFormat(QImage::Format_RGB32);
    return picture;
  }
  QImage flat = NewImage(picture.width(), picture.height());
  if (!flat.isNull()) Flatten(picture, flat, back);
  return flat;
}

}  // namespace platform
