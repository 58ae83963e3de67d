#include "platform/Gdi.h"

#include <QPainter>
#include <algorithm>

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
}  // namespace

void BitBlt(PictureBox& dst, Long x, Long y, Long w, Long h, const PictureBox& src, Long sx, Long sy) {
  // 64-bit throughout, so that extreme origins cannot overflow.
  std::int64_t dx = x, dy = y, fx = sx, fy = sy, cw = w, ch = h;
  const std::int64_t cutX = std::max<std::int64_t>({0, -dx, -fx});
  const std::int64_t cutY = std::max<std::int64_t>({0, -dy, -fy});
  dx += cutX, fx += cutX, cw -= cutX;
  dy += cutY, fy += cutY, ch -= cutY;
  cw = std::min<std::int64_t>({cw, dst.ScaleWidth() - dx, src.ScaleWidth() - fx});
  ch = std::min<std::int64_t>({ch, dst.ScaleHeight() - dy, src.ScaleHeight() - fy});
  if (cw <= 0 || ch <= 0) return;
  const QRect to{int(dx), int(dy), int(cw), int(ch)};
  dst.Surface().Copy(to, src.Surface(), QPoint(int(fx), int(fy)));
  dst.MarkChanged(to);
}

void StretchBlt(PictureBox& dst, Long x, Long y, Long w, Long h, const PictureBox& src, Long sx,
                Long sy, Long sw, Long sh) {
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
  const QRect to(x, y, w, h), part(sx, sy, sw, sh);
  const QImage from = src.Image();
  // A stretch over the whole box depends on nothing the box held: every box of that size
  // shows the same image, held once.
  if (to == dst.Surface().Rect() && from.rect().contains(part)) {
    dst.ShareImage(SharedStretch(from, part, to.size()));
    return;
  }
  QPainter p(&dst.Dc());
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  p.drawImage(to, from, part);
  dst.MarkChanged(to);
}

void Rectangle(PictureBox& box, Long left, Long top, Long right, Long bottom) {
  if (right <= left || bottom <= top) return;
  const Span xs = Clip(left, std::int64_t{right} - left, box.ScaleWidth());
  const Span ys = Clip(top, std::int64_t{bottom} - top, box.ScaleHeight());
  if (xs.Empty() || ys.Empty()) return;
  const std::int64_t lastX = std::int64_t{right} - 1, lastY = std::int64_t{bottom} - 1;
  const int x0 = int(xs.from), y0 = int(ys.from), w = int(xs.to - xs.from), h = int(ys.to - ys.from);
  // Only the edges inside the image; the rest of each edge's row or column is clipped away.
  const QRect edges[] = {
      top >= 0 ? QRect(x0, top, w, 1) : QRect(),
      lastY < box.ScaleHeight() && lastY != top ? QRect(x0, int(lastY), w, 1) : QRect(),
      left >= 0 ? QRect(left, y0, 1, h) : QRect(),
      lastX < box.ScaleWidth() && lastX != left ? QRect(int(lastX), y0, 1, h) : QRect(),
  };
  box.Surface().FillRects(edges, 4, ToQRgb(box.ForeColor()));
  box.MarkChanged(QRect(x0, y0, w, h));
}

}  // namespace platform
