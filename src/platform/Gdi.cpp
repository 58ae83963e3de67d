#include "platform/Gdi.h"

#include <QPainter>

#include "platform/Drawing.h"
#include "platform/PictureBox.h"
#include "platform/SharedImages.h"

namespace platform {

void BitBlt(PictureBox& dst, Long x, Long y, Long w, Long h, const PictureBox& src, Long sx, Long sy) {
  Drawing drawing;
  drawing.BitBlt(dst, x, y, w, h, src, sx, sy);
  drawing.Prepare();
  drawing.Apply();
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
  dst.ReserveChanges(1);
  QPainter p(&dst.Dc());
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  p.drawImage(to, from, part);
  dst.MarkChanged(to);
}

void Rectangle(PictureBox& box, Long left, Long top, Long right, Long bottom) {
  Drawing drawing;
  drawing.Rectangle(box, left, top, right, bottom);
  drawing.Prepare();
  drawing.Apply();
}

}  // namespace platform
