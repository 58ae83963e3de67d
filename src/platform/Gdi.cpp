#include "platform/Gdi.h"

#include <QPainter>
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/Colour.h"
#include "platform/Errors.h"
#include "platform/ImageBuffer.h"
#include "platform/PictureBox.h"

namespace platform {

namespace {
struct Span {
  std::int64_t from, to;  // [from, to)
  bool Empty() const { return to <= from; }
};

Span Clip(std::int64_t start, std::int64_t length, std::int64_t limit) {
  return {std::max<std::int64_t>(start, 0), std::min<std::int64_t>(start + length, limit)};
}

void FillRow(QImage& img, int y, int x0, int x1, QRgb colour) {
  auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
  std::fill(row + x0, row + x1, colour);
}

void Stretch(QImage& onto, const QRect& to, const QImage& from, const QRect& part) {
  QPainter p(&onto);
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  p.drawImage(to, from, part);
}

// A stretch of a part of one picture that covers a whole box depends on nothing else, so
// every box of that size shows the same image: the viewports of all windows of one size
// hold their background once. An entry only the cache still holds goes at the next insert.
struct Stretched {
  qint64 source;
  QRect part;
  QImage image;
};

const QImage& SharedStretch(const QImage& from, const QRect& part, QSize size) {
  static std::vector<Stretched> cache;
  for (const Stretched& s : cache)
    if (s.source == from.cacheKey() && s.part == part && s.image.size() == size) return s.image;
  QImage image = NewImage(size.width(), size.height());
  if (image.isNull()) Raise(ErrorKind::RefusedSize, QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()));
  Stretch(image, image.rect(), from, part);
  cache.erase(std::remove_if(cache.begin(), cache.end(), [](const Stretched& s) { return s.image.isDetached(); }),
              cache.end());
  cache.push_back({from.cacheKey(), part, std::move(image)});
  return cache.back().image;
}

void FillColumn(QImage& img, int x, int y0, int y1, QRgb colour) {
  uchar* bits = img.bits();
  const qsizetype stride = img.bytesPerLine();
  for (int y = y0; y < y1; ++y) reinterpret_cast<QRgb*>(bits + y * stride)[x] = colour;
}
}  // namespace

void BitBlt(PictureBox& dst, Long x, Long y, Long w, Long h, const PictureBox& src, Long sx, Long sy) {
  const QImage& from = src.Dc();
  QImage& to = dst.Dc();
  // 64-bit throughout, so that extreme origins cannot overflow.
  std::int64_t dx = x, dy = y, fx = sx, fy = sy, cw = w, ch = h;
  const std::int64_t cutX = std::max<std::int64_t>({0, -dx, -fx});
  const std::int64_t cutY = std::max<std::int64_t>({0, -dy, -fy});
  dx += cutX, fx += cutX, cw -= cutX;
  dy += cutY, fy += cutY, ch -= cutY;
  cw = std::min<std::int64_t>({cw, to.width() - dx, from.width() - fx});
  ch = std::min<std::int64_t>({ch, to.height() - dy, from.height() - fy});
  if (cw <= 0 || ch <= 0) return;

  const size_t bytes = size_t(cw) * 4;
  const qsizetype srcStride = from.bytesPerLine();
  const qsizetype dstStride = to.bytesPerLine();
  const uchar* s = from.constBits() + fy * srcStride + fx * 4;
  uchar* d = to.bits() + dy * dstStride + dx * 4;
  if (&from != &to) {
    // Two boxes never overlap, and memcpy is the faster copy.
    for (std::int64_t row = 0; row < ch; ++row, s += srcStride, d += dstStride) std::memcpy(d, s, bytes);
  } else {
    // A box copied onto itself: rows go bottom-up when the target lies lower.
    const bool upward = dy > fy;
    for (std::int64_t row = 0; row < ch; ++row) {
      const std::int64_t r = upward ? ch - 1 - row : row;
      std::memmove(d + r * dstStride, s + r * srcStride, bytes);
    }
  }
  dst.MarkChanged(QRect(int(dx), int(dy), int(cw), int(ch)));
}

void StretchBlt(PictureBox& dst, Long x, Long y, Long w, Long h, const PictureBox& src, Long sx,
                Long sy, Long sw, Long sh) {
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
  const QRect to(x, y, w, h), part(sx, sy, sw, sh);
  if (to == dst.Dc().rect() && src.Dc().rect().contains(part)) {
    dst.ShareImage(SharedStretch(src.Dc(), part, to.size()));
    return;
  }
  Stretch(dst.Dc(), to, src.Dc(), part);
  dst.MarkChanged(to);
}

void Rectangle(PictureBox& box, Long left, Long top, Long right, Long bottom) {
  if (right <= left || bottom <= top) return;
  QImage& img = box.Dc();
  const QRgb colour = ToQRgb(box.ForeColor());
  const Span xs = Clip(left, std::int64_t{right} - left, img.width());
  const Span ys = Clip(top, std::int64_t{bottom} - top, img.height());
  if (xs.Empty() || ys.Empty()) return;
  const std::int64_t lastX = std::int64_t{right} - 1, lastY = std::int64_t{bottom} - 1;
  if (top >= 0) FillRow(img, top, int(xs.from), int(xs.to), colour);
  if (lastY < img.height() && lastY != top) FillRow(img, int(lastY), int(xs.from), int(xs.to), colour);
  if (left >= 0) FillColumn(img, left, int(ys.from), int(ys.to), colour);
  if (lastX < img.width() && lastX != left) FillColumn(img, int(lastX), int(ys.from), int(ys.to), colour);
  box.MarkChanged(QRect(int(xs.from), int(ys.from), int(xs.to - xs.from), int(ys.to - ys.from)));
}

}  // namespace platform
