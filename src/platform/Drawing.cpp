#include "platform/Drawing.h"

#include <algorithm>
#include <cstdint>

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

TiledImage::Room Over(const QRect& area) {
  const qint64 tiles = TiledImage::TilesOver(area);
  return {tiles, tiles, 0};
}
}  // namespace

Drawing::Step& Drawing::Add(PictureBox& box) {
  if (count_ == kMostSteps) Raise(ErrorKind::Failed);
  Step& step = steps_[size_t(count_++)];
  step.box = &box;
  return step;
}

void Drawing::BitBlt(PictureBox& dst, Long x, Long y, Long w, Long h, const PictureBox& src, Long sx, Long sy) {
  // 64-bit throughout, so that extreme origins cannot overflow.
  std::int64_t dx = x, dy = y, fx = sx, fy = sy, cw = w, ch = h;
  const std::int64_t cutX = std::max<std::int64_t>({0, -dx, -fx});
  const std::int64_t cutY = std::max<std::int64_t>({0, -dy, -fy});
  dx += cutX, fx += cutX, cw -= cutX;
  dy += cutY, fy += cutY, ch -= cutY;
  cw = std::min<std::int64_t>({cw, dst.ScaleWidth() - dx, src.ScaleWidth() - fx});
  ch = std::min<std::int64_t>({ch, dst.ScaleHeight() - dy, src.ScaleHeight() - fy});
  if (cw <= 0 || ch <= 0) return;
  Step& step = Add(dst);
  step.from = &src;
  step.area = QRect(int(dx), int(dy), int(cw), int(ch));
  step.fromAt = QPoint(int(fx), int(fy));
}

void Drawing::Rectangle(PictureBox& box, Long left, Long top, Long right, Long bottom) {
  if (right <= left || bottom <= top) return;
  const Span xs = Clip(left, std::int64_t{right} - left, box.ScaleWidth());
  const Span ys = Clip(top, std::int64_t{bottom} - top, box.ScaleHeight());
  if (xs.Empty() || ys.Empty()) return;
  const std::int64_t lastX = std::int64_t{right} - 1, lastY = std::int64_t{bottom} - 1;
  const int x0 = int(xs.from), y0 = int(ys.from), w = int(xs.to - xs.from), h = int(ys.to - ys.from);
  Step& step = Add(box);
  step.area = QRect(x0, y0, w, h);
  // Only the edges inside the image; the rest of each edge's row or column is clipped away.
  step.edges[0] = top >= 0 ? QRect(x0, top, w, 1) : QRect();
  step.edges[1] = lastY < box.ScaleHeight() && lastY != top ? QRect(x0, int(lastY), w, 1) : QRect();
  step.edges[2] = left >= 0 ? QRect(left, y0, 1, h) : QRect();
  step.edges[3] = lastX < box.ScaleWidth() && lastX != left ? QRect(int(lastX), y0, 1, h) : QRect();
  step.colour = ToQRgb(box.ForeColor());
}

TiledImage::Room Drawing::RoomFor(int i) {
  Step& step = steps_[size_t(i)];
  const TiledImage& image = step.box->Surface();
  TiledImage::Room room;
  if (!step.from) {
    room = image.RoomToFill(step.edges, 4);
  } else if (step.from == step.box) {
    step.scratch = NewImage(step.area.width(), step.area.height());
    if (step.scratch->isNull()) Raise(ErrorKind::OutOfMemory);
    room = image.RoomToWrite(step.area);
  } else {
    room = image.RoomToCopy(step.area, step.from->Surface(), step.fromAt);
  }
  const QRect* written = step.from ? &step.area : step.edges;
  const int writtenCount = step.from ? 1 : 4;
  for (int j = 0; j < i; ++j) {
    const Step& earlier = steps_[size_t(j)];
    const QRect touched = TiledImage::TileBounds(earlier.area);
    // A put-back takes a place for each tile its source holds there, those an earlier step gives
    // it included.
    if (step.from && earlier.box == step.from)
      room.places += TiledImage::TilesOver(touched & QRect(step.fromAt, step.area.size()));
    // An earlier copy into or out of this box may have let go its tiles there, or shared them
    // with the other box: this step writes them anew.
    if (earlier.from && (earlier.box == step.box || earlier.from == step.box))
      for (int k = 0; k < writtenCount; ++k) room += Over(written[k] & touched);
  }
  return room;
}

void Drawing::Prepare() {
  struct Need {
    PictureBox* box = nullptr;
    TiledImage::Room room;
    int steps = 0;
  };
  std::array<Need, kMostSteps> needs;
  int boxes = 0;
  for (int i = 0; i < count_; ++i) {
    PictureBox* box = steps_[size_t(i)].box;
    auto need = std::find_if(needs.begin(), needs.begin() + boxes, [&](const Need& n) { return n.box == box; });
    if (need == needs.begin() + boxes) {
      need->box = box;
      ++boxes;
    }
    need->room += RoomFor(i);
    ++need->steps;
  }
  TiledImage::Room all;
  for (int b = 0; b < boxes; ++b) all += needs[size_t(b)].room;
  TiledImage::ReserveTiles(all);
  for (int b = 0; b < boxes; ++b) {
    needs[size_t(b)].box->Surface().Reserve(needs[size_t(b)].room);
    needs[size_t(b)].box->ReserveChanges(needs[size_t(b)].steps);
  }
}

void Drawing::Apply() noexcept {
  for (int i = 0; i < count_; ++i) {
    Step& step = steps_[size_t(i)];
    TiledImage& image = step.box->Surface();
    if (!step.from) {
      image.FillRects(step.edges, 4, step.colour);
    } else if (step.from == step.box) {
      // Within one box the two rectangles may overlap: everything is read before it is written.
      for (int y = 0; y < step.area.height(); ++y)
        image.ReadRow(step.fromAt.x(), step.fromAt.y() + y, step.area.width(),
                      reinterpret_cast<QRgb*>(step.scratch->scanLine(y)));
      image.Copy(step.area, TiledImage(*step.scratch, 0, step.area.size()), QPoint(0, 0));
    } else {
      image.Copy(step.area, step.from->Surface(), step.fromAt);
    }
    step.box->MarkChanged(step.area);
  }
}

}  // namespace platform
