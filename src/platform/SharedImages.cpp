#include "platform/SharedImages.h"

#include <algorithm>
#include <vector>

#include "platform/ImageBuffer.h"

namespace platform {

QImage SharedBlank(int width, int height, QRgb colour) {
  if (width <= 0 || height <= 0) return QImage();
  static std::vector<QImage> held;
  // An image only this list holds any more is let go.
  held.erase(std::remove_if(held.begin(), held.end(), [](const QImage& img) { return img.isDetached(); }),
             held.end());
  for (const QImage& img : held)
    if (img.size() == QSize(width, height) && img.pixel(0, 0) == colour) return img;
  QImage img = NewImage(width, height);
  if (img.isNull()) return img;
  img.fill(colour);
  held.push_back(img);
  return img;
}

}  // namespace platform
