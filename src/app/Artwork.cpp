#include "app/Artwork.h"

#include <QPainter>
#include <algorithm>

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

}  // namespace

QImage TileIcon(int size) {
  // A 4 x 4 grid of tiles, one of them lifted out: the program's job in one picture. The lines
  // thicken with the size, one pixel up to 63.
  const int cell = size / 4, line = std::max(1, size / 32);
  QImage img(size, size, QImage::Format_Indexed8);
  img.setColorTable({qRgb(0, 0, 0), qRgb(0, 0, 128), qRgb(0, 128, 0), qRgb(0, 128, 128),
                     qRgb(128, 0, 0), qRgb(128, 0, 128), qRgb(128, 128, 0), qRgb(192, 192, 192),
                     qRgb(128, 128, 128), qRgb(0, 0, 255), qRgb(0, 255, 0), qRgb(0, 255, 255),
                     qRgb(255, 0, 0), qRgb(255, 0, 255), qRgb(255, 255, 0), qRgb(255, 255, 255)});
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const bool edge = x % cell < line || y % cell < line;
      const int tile = ((x / cell) + (y / cell)) % 2 ? 10 : 2;
      img.setPixel(x, y, edge ? 0 : tile);
    }
  // The lifted tile covers its grid lines on all four sides.
  for (int y = cell; y < 2 * cell + line; ++y)
    for (int x = 2 * cell; x < 3 * cell + line; ++x) {
      const bool border = x < 2 * cell + line || x >= 3 * cell || y < cell + line || y >= 2 * cell;
      img.setPixel(x, y, border ? 14 : 12);
    }
  return img;
}

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
  static const QImage img = TileIcon(32);
  return img;
}
QIcon AppIcon() { return QIcon(QPixmap::fromImage(AppIconImage())); }
