#include "platform/Flatten.h"

#include "platform/ImageBuffer.h"

namespace platform {

namespace {
// One channel of a colour of opacity `alpha` over the back colour's, rounded to the nearest
// level: (c·a + b·(255 − a)) / 255 exactly, where a painter's fixed-point blend is off by one
// at times.
inline uint Over(uint colour, uint back, uint alpha) { return (colour * alpha + back * (255 - alpha) + 127) / 255; }

// Each ARGB32 pixel of `from` over the back colour into the same place in `to`, which may be
// the same memory.
void Flatten(const QImage& from, QImage& to, QRgb back) {
  for (int y = 0; y < from.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(from.constScanLine(y));
    auto* out = reinterpret_cast<QRgb*>(to.scanLine(y));
    for (int x = 0; x < from.width(); ++x) {
      const QRgb c = in[x];
      const uint a = qAlpha(c);
      out[x] = a == 255 ? c
                        : qRgb(int(Over(qRed(c), qRed(back), a)), int(Over(qGreen(c), qGreen(back), a)),
                               int(Over(qBlue(c), qBlue(back), a)));
    }
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
