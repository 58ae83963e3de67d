#include "platform/ImageBuffer.h"

#include <cstring>
#include <sys/mman.h>

#include "platform/files/Faults.h"

namespace platform {

namespace {
// Below this, a plain image cleared by hand; above, fresh pages the kernel hands over as zeros,
// so a picture's memory is touched once, by its decoder. Huge pages are not asked for: where the
// kernel compacts memory to find them, the first touch of a picture costs several times as much.
constexpr size_t kMappedFrom = size_t(8) << 20;

struct Mapping {
  void* base;
  size_t length;
};

void Unmap(void* info) {
  auto* mapping = static_cast<Mapping*>(info);
  munmap(mapping->base, mapping->length);
  delete mapping;
}
}  // namespace

qsizetype BytesPerLine(int width, QImage::Format format) {
  return (qsizetype(width) * QImage::toPixelFormat(format).bitsPerPixel() + 31) / 32 * 4;
}

QImage OverMapping(void* base, size_t length, int width, int height, QImage::Format format) {
  return QImage(static_cast<uchar*>(base), width, height, BytesPerLine(width, format), format, Unmap,
                new Mapping{base, length});
}

QImage NewImage(int width, int height, QImage::Format format) {
  if (width <= 0 || height <= 0) return QImage(width, height, format);
  if (!PictureAllocationAllowed()) return QImage();
  const size_t bytes = size_t(BytesPerLine(width, format)) * size_t(height);
  if (bytes < kMappedFrom) {
    QImage img(width, height, format);
    if (!img.isNull()) std::memset(img.bits(), 0, size_t(img.sizeInBytes()));
    return img;
  }
  void* base = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) return QImage();
  return OverMapping(base, bytes, width, height, format);
}

QImage Converted(const QImage& image, QImage::Format format) {
  if (image.format() == format) return image;
  if (!PictureAllocationAllowed()) return QImage();
  return image.convertToFormat(format);
}

}  // namespace platform
