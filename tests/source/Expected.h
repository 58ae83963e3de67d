#pragma once
// Expected pictures for the mouse tests, computed pixel by pixel, apart from the drawing code.
#include <QImage>
#include <QObject>
#include <QPaintEvent>
#include <QRegion>
#include <QWidget>

namespace expected {

inline const QRgb kGreen = qRgb(0, 255, 0);
inline const QRgb kYellow = qRgb(255, 255, 0);
inline const QRgb kRed = qRgb(255, 0, 0);
inline const QRgb kWhite = qRgb(255, 255, 255);

// img with a one-pixel frame on the outermost pixels of r, clipped to the image.
inline QImage Framed(QImage img, QRect r, QRgb colour) {
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) {
      const bool edge = x == r.left() || x == r.right() || y == r.top() || y == r.bottom();
      if (edge && img.rect().contains(x, y)) img.setPixel(x, y, colour);
    }
  return img;
}

// img with the w x h block of from at (sx, sy) placed at (x, y), both sides clipped.
inline QImage Copied(QImage img, int x, int y, int w, int h, const QImage& from, int sx, int sy) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      if (img.rect().contains(x + i, y + j) && from.rect().contains(sx + i, sy + j))
        img.setPixel(x + i, y + j, from.pixel(sx + i, sy + j));
  return img;
}

// img with the rectangle r put back from clean.
inline QImage Restored(const QImage& img, const QImage& clean, QRect r) {
  return Copied(img, r.x(), r.y(), r.width(), r.height(), clean, r.x(), r.y());
}

// Collects the region a widget is asked to repaint.
struct PaintSpy : QObject {
  explicit PaintSpy(QWidget* w) { w->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
    return false;
  }
  QRegion painted;
};

}  // namespace expected
