#include "platform/ImageBuffer.h"

#include <cstring>
#include <sys/mman.h>

#include "platform/Faults.h"

namespace platform {

namespace {
constexpr size_t kHugePage = size_t(2) << 20;

size_t RoundUp(size_t bytes, size_t unit) { return (bytes + unit - 1) / unit * unit; }

struct Mapping {
  void* base;
  size_t length;
};

void Unmap(void* info) {
  auto* mapping = static_cast<Mapping*>(info);
  munmap(mapping->base, mapping->length);
  delete mapping;
}

// `length` bytes of zeros aligned to a huge page, or null.
void* MapAligned(size_t length) {
  const size_t span = length + kHugePage;
  void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  auto* start = static_cast<char*>(raw);
  auto* aligned = reinterpret_cast<char*>(RoundUp(reinterpret_cast<uintptr_t>(start), kHugePage));
  if (aligned > start) munmap(start, size_t(aligned - start));
  const size_t tail = size_t(start + span - (aligned + length));
  if (tail > 0) munmap(aligned + length, tail);
  madvise(aligned, length, MADV_HUGEPAGE);  // a hint: without it the image is only slower to fill
  return aligned;
}
}  // namespace

QImage NewImage(int width, int height, QImage::Format format) {
  if (width <= 0 || height <= 0) return QImage(width, height, format);
  if (!PictureAllocationAllowed()) return QImage();
  const qsizetype stride = (qsizetype(width) * QImage::toPixelFormat(format).bitsPerPixel() + 31) / 32 * 4;
  const size_t bytes = size_t(stride) * size_t(height);
  if (bytes < 4 * kHugePage) {
    QImage img(width, height, format);
    if (!img.isNull()) std::memset(img.bits(), 0, size_t(img.sizeInBytes()));
    return img;
  }
  auto* mapping = new Mapping{nullptr, RoundUp(bytes, kHugePage)};
  mapping->base = MapAligned(mapping->length);
  if (!mapping->base) {
    delete mapping;
    return QImage();
  }
  return QImage(static_cast<uchar*>(mapping->base), width, height, stride, format, Unmap, mapping);
}

QImage Converted(const QImage& image, QImage::Format format) {
  if (image.format() == format) return image;
  if (!PictureAllocationAllowed()) return QImage();
  return image.convertToFormat(format);
}

}  // namespace platform
