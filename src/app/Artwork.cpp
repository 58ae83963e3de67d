#include "app/Artwork.h"

#include <QPainter>

namespace {
// A diagonal gradient from `from` at the top-left to `to` at the bottom-right.
QImage Diagonal(int width, int height, QColor from, QColor to) {
  QImage img(width, height, QImage::Format_RGB32);
  const double span = double(width - 1) + double(height - 1);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const double t = (x + y) / span;
      auto mix = [t](int a, int b) { return int(a + (b - a) * t + 0.5); };
      row[x] = qRgb(mix(from.red(), to.red()), mix(from.green(), to.green()), mix(from.blue(), to.blue()));
    }
  }
  return img;
}

QImage MakeIcon() {
  // A 4 x 4 grid of tiles, one of them lifted out: the program's job in one picture.
  QImage img(32, 32, QImage::Format_Indexed8);
  img.setColorTable({qRgb(0, 0, 0), qRgb(0, 0, 128), qRgb(0, 128, 0), qRgb(0, 128, 128),
                     qRgb(128, 0, 0), qRgb(128, 0, 128), qRgb(128, 128, 0), qRgb(192, 192, 192),
                     qRgb(128, 128, 128), qRgb(0, 0, 255), qRgb(0, 255, 0), qRgb(0, 255, 255),
                     qRgb(255, 0, 0), qRgb(255, 0, 255), qRgb(255, 255, 0), qRgb(255, 255, 255)});
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const bool edge = x % 8 == 0 || y % 8 == 0;
      const int tile = ((x / 8) + (y / 8)) % 2 ? 10 : 2;
      img.setPixel(x, y, edge ? 0 : tile);
    }
  for (int y = 8; y <= 16; ++y)
    for (int x = 16; x <= 24; ++x)
      img.setPixel(x, y, (x == 16 || x == 24 || y == 8 || y == 16) ? 14 : 12);
  return img;
}
}  // namespace

const QImage& SourceBackground() {
  static const QImage img = Diagonal(160, 120, QColor(0, 0, 255), QColor(0, 0, 0));
  return img;
}
const QImage& SourceButtonFace() {
  static const QImage img = Diagonal(320, 240, QColor(96, 160, 255), QColor(0, 0, 128));
  return img;
}
const QImage& DestBackground() {
  static const QImage img = Diagonal(160, 120, QColor(255, 0, 0), QColor(16, 0, 0));
  return img;
}
const QImage& DestButtonFace() {
  static const QImage img = Diagonal(320, 240, QColor(0, 160, 255), QColor(0, 0, 255));
  return img;
}
const QImage& AppIconImage() {
  static const QImage img = MakeIcon();
  return img;
}
QIcon AppIcon() { return QIcon(QPixmap::fromImage(AppIconImage())); }
