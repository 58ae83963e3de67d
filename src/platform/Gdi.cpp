#include "platform/Gdi.h"

#include <QPainter>
#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/Colour.h"
#include "platform/PictureBox.h"
#include "platform/SharedImages.h"

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
  // A stretch over the whole box depends on nothing the box held: every box of that size
  // shows the same image, held once.
  if (to == std::as_const(dst).Dc().rect() && src.Dc().rect().contains(part)) {
    dst.ShareImage(SharedStretch(src.Dc(), part, to.size()));
    return;
  }
  QPainter p(&dst.Dc());
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  p.drawImage(to, src.Dc(), part);
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
