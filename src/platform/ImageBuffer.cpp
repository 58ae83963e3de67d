#include "platform/ImageBuffer.h"

#include <cstdlib>
#include <sys/mman.h>

namespace platform {

QImage NewImage(int width, int height) {
  constexpr size_t kHugePage = size_t(2) << 20;
  if (width <= 0 || height <= 0) return QImage(width, height, QImage::Format_RGB32);
  const size_t bytes = size_t(width) * size_t(height) * 4;
  if (bytes < 4 * kHugePage) return QImage(width, height, QImage::Format_RGB32);
  void* data = nullptr;
  if (posix_memalign(&data, kHugePage, bytes) != 0) return QImage();
  madvise(data, bytes, MADV_HUGEPAGE);  // a hint: without it the image is only slower to fill
  return QImage(static_cast<uchar*>(data), width, height, qsizetype(width) * 4, QImage::Format_RGB32,
                std::free, data);
}

}  // namespace platform
