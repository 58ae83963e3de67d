#include "platform/Flatten.h"

#include <QPainter>

#include "platform/ImageBuffer.h"

namespace platform {

namespace {
// Paints the picture over the back colour into its own memory, a band of rows at a time: each
// band is copied out before the rows it came from are painted.
QImage FlattenInPlace(QImage picture, QRgb back) {
  constexpr int kBand = 32;
  const int width = picture.width(), height = picture.height();
  const qsizetype stride = picture.bytesPerLine();
  uchar* bits = picture.bits();
  picture.reinterpretAsFormat(QImage::Format_RGB32);
  QPainter painter(&picture);
  for (int top = 0; top < height; top += kBand) {
    const int rows = qMin(kBand, height - top);
    const QImage band = QImage(bits + top * stride, width, rows, stride, QImage::Format_ARGB32).copy();
    if (band.isNull()) return QImage();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(0, top, width, rows, QColor::fromRgb(back));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(0, top, band);
  }
  painter.end();
  return picture;
}
}  // namespace

QImage Flattened(QImage picture, QRgb back) {
  if (!picture.hasAlphaChannel()) return Converted(picture, QImage::Format_RGB32);
  if (picture.format() == QImage::Format_ARGB32 && picture.isDetached())
    return FlattenInPlace(std::move(picture), back);
  QImage flat = NewImage(picture.width(), picture.height());
  if (flat.isNull()) return flat;
  flat.fill(back);
  QPainter painter(&flat);
  painter.drawImage(0, 0, picture);
  return flat;
}

}  // namespace platform
