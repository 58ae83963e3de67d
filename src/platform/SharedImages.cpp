#include "platform/SharedImages.h"

#include <QPainter>
#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/ImageBuffer.h"

namespace platform {

namespace {
// Images handed out by key. One that only this list holds any more is let go at the next call.
template <typename Key>
class Held {
 public:
  template <typename Make>
  QImage Get(const Key& key, Make make) {
    images_.erase(std::remove_if(images_.begin(), images_.end(),
                                 [](const std::pair<Key, QImage>& e) { return e.second.isDetached(); }),
                  images_.end());
    for (const auto& [held, image] : images_)
      if (held == key) return image;
    QImage image = make();
    if (!image.isNull()) images_.emplace_back(key, image);
    return image;
  }

 private:
  std::vector<std::pair<Key, QImage>> images_;
};
}  // namespace

QImage SharedBlank(int width, int height, QRgb colour) {
  if (width <= 0 || height <= 0) return QImage();
  static Held<std::tuple<int, int, QRgb>> held;
  return held.Get({width, height, colour}, [&] {
    QImage img = NewImage(width, height);
    if (!img.isNull()) img.fill(colour);
    return img;
  });
}

QImage SharedStretch(const QImage& from, const QRect& part, QSize size) {
  if (size.isEmpty()) return QImage();
  // A picture's cache key changes with every write to it, so a key names the pixels.
  static Held<std::tuple<qint64, QRect, QSize>> held;
  return held.Get({from.cacheKey(), part, size}, [&] {
    QImage img = NewImage(size.width(), size.height());
    if (img.isNull()) return img;
    QPainter p(&img);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(img.rect(), from, part);
    return img;
  });
}

}  // namespace platform
