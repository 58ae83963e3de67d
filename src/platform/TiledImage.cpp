#include "platform/TiledImage.h"

#include <QPainter>
#include <QRegion>
#include <QVarLengthArray>
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/Errors.h"
#include "platform/ImageBuffer.h"
#include "platform/PictureLimits.h"
#include "platform/SharedImages.h"

namespace platform {

namespace {
constexpr int kTilesPerRow = (kMaxPictureSide + TiledImage::kTileSide) / TiledImage::kTileSide;
constexpr size_t kTileRowBytes = size_t(TiledImage::kTileSide) * 4;

[[noreturn]] void RaiseNoTileMemory() {
  Raise(ErrorKind::OutOfMemory, QStringLiteral("描いたところを保つだけのメモリがありません。"));
}

QRgb* PixelRow(uchar* bits, qsizetype stride, int y) { return reinterpret_cast<QRgb*>(bits + y * stride); }

int KeyOf(int tx, int ty) { return ty * kTilesPerRow + tx; }
int TileColumn(int key) { return key % kTilesPerRow; }
int TileRow(int key) { return key / kTilesPerRow; }

// Visits every tile in `area` that `a` or, where given, `b` holds, by looking up the area's cells
// or by walking the maps, whichever is shorter: a large area with a few tiles costs the few.
template <typename Map, typename F>
void ForEachHeld(const QRect& area, const Map& a, const Map* b, F&& visit) {
  constexpr int side = TiledImage::kTileSide;
  const QRect cells(QPoint(area.left() / side, area.top() / side), QPoint(area.right() / side, area.bottom() / side));
  if (qint64(cells.width()) * cells.height() <= qint64(a.size() + (b ? b->size() : 0))) {
    for (int ty = cells.top(); ty <= cells.bottom(); ++ty)
      for (int tx = cells.left(); tx <= cells.right(); ++tx) {
        if (a.count(KeyOf(tx, ty)) || (b && b->count(KeyOf(tx, ty)))) visit(tx, ty);
      }
    return;
  }
  auto walk = [&](const Map& map, const Map* skip) {
    for (const auto& entry : map) {
      const int tx = TileColumn(entry.first), ty = TileRow(entry.first);
      if (cells.contains(tx, ty) && !(skip && skip->count(entry.first))) visit(tx, ty);
    }
  };
  walk(a, nullptr);
  if (b) walk(*b, &a);
}
}  // namespace

TiledImage::TiledImage(QImage base, QRgb fill, QSize size) : base_(std::move(base)), fill_(fill), size_(size) {}

QRect TiledImage::TileRect(int tx, int ty) { return QRect(tx * kTileSide, ty * kTileSide, kTileSide, kTileSide); }

template <typename F>
void TiledImage::ForEachTile(const QRect& area, F&& visit) {
  for (int ty = area.top() / kTileSide; ty <= area.bottom() / kTileSide; ++ty)
    for (int tx = area.left() / kTileSide; tx <= area.right() / kTileSide; ++tx) visit(tx, ty);
}

bool TiledImage::SharesBaseWith(const TiledImage& other) const {
  // A cache key names the pixels: it changes with every write to an image.
  return base_.cacheKey() == other.base_.cacheKey() && fill_ == other.fill_ && size_ == other.size_;
}

const QImage* TiledImage::Find(int tx, int ty) const {
  const auto it = tiles_.find(KeyOf(tx, ty));
  return it == tiles_.end() ? nullptr : &it->second;
}

void TiledImage::ReadBase(int x, int y, int n, QRgb* out) const {
  int covered = 0;
  if (y < base_.height()) {
    covered = std::clamp(base_.width() - x, 0, n);
    if (covered > 0)
      std::memcpy(out, reinterpret_cast<const QRgb*>(base_.constScanLine(y)) + x, size_t(covered) * 4);
  }
  std::fill(out + covered, out + n, fill_);
}

const QRgb* TiledImage::Pixels(const QImage* tile, int x, int y, int n, QRgb* scratch) const {
  if (tile) return reinterpret_cast<const QRgb*>(tile->constScanLine(y % kTileSide)) + x % kTileSide;
  if (y < base_.height() && x + n <= base_.width()) return reinterpret_cast<const QRgb*>(base_.constScanLine(y)) + x;
  ReadBase(x, y, n, scratch);
  return scratch;
}

void TiledImage::ReadRow(int x, int y, int n, QRgb* out) const {
  if (tiles_.empty()) {
    ReadBase(x, y, n, out);
    return;
  }
  while (n > 0) {
    const int len = std::min(n, kTileSide - x % kTileSide);
    const QRgb* from = Pixels(Find(x / kTileSide, y / kTileSide), x, y, len, out);
    if (from != out) std::memcpy(out, from, size_t(len) * 4);
    x += len, out += len, n -= len;
  }
}

QImage TiledImage::Composed() const {
  if (tiles_.empty() && base_.size() == size_) return base_;
  if (tiles_.empty() && base_.isNull()) return SharedBlank(size_.width(), size_.height(), fill_);
  QImage image = NewImage(size_.width(), size_.height());
  if (image.isNull()) return image;
  uchar* bits = image.bits();
  for (int y = 0; y < size_.height(); ++y) ReadRow(0, y, size_.width(), PixelRow(bits, image.bytesPerLine(), y));
  return image;
}

QImage& TiledImage::Flattened() {
  if (!tiles_.empty() || base_.size() != size_) {
    QImage flat = Composed();
    if (flat.isNull() && !size_.isEmpty()) RaiseNoTileMemory();
    base_ = std::move(flat);
    tiles_.clear();
  }
  return base_;
}

void TiledImage::MakeWritable(const QRect& area, const QRect& overwritten) {
  // All are made before any is put in place, so that running out of memory changes nothing.
  QVarLengthArray<std::pair<int, QImage>, 8> made;
  ForEachTile(area, [&](int tx, int ty) {
    const auto held = tiles_.find(KeyOf(tx, ty));
    if (held != tiles_.end() && held->second.isDetached()) return;
    QImage tile = !spare_.empty() && spare_.mapped().isDetached() ? std::exchange(spare_.mapped(), QImage())
                                                                 : NewImage(kTileSide, kTileSide);
    if (tile.isNull()) RaiseNoTileMemory();
    const QRect rect = TileRect(tx, ty);
    if (!overwritten.contains(rect & Rect())) {
      uchar* bits = tile.bits();
      for (int r = 0; r < kTileSide; ++r) {
        QRgb* row = PixelRow(bits, tile.bytesPerLine(), r);
        if (held != tiles_.end()) std::memcpy(row, held->second.constScanLine(r), kTileRowBytes);
        else ReadBase(rect.left(), rect.top() + r, kTileSide, row);
      }
    }
    made.append({KeyOf(tx, ty), std::move(tile)});
  });
  for (auto& [key, tile] : made) {
    const auto held = tiles_.find(key);
    if (held != tiles_.end()) {
      held->second = std::move(tile);
    } else if (!spare_.empty()) {
      spare_.key() = key;
      spare_.mapped() = std::move(tile);
      tiles_.insert(std::move(spare_));
    } else {
      tiles_.emplace(key, std::move(tile));
    }
  }
}

template <typename F>
void TiledImage::ForEachWritableRow(const QRect& area, F&& write) {
  ForEachTile(area, [&](int tx, int ty) {
    const QRect part = area & TileRect(tx, ty);
    QImage& tile = tiles_.find(KeyOf(tx, ty))->second;
    uchar* bits = tile.bits();
    for (int y = part.top(); y <= part.bottom(); ++y)
      write(part.left(), y, part.width(), PixelRow(bits, tile.bytesPerLine(), y - ty * kTileSide) + (part.left() - tx * kTileSide));
  });
}

void TiledImage::Resize(QSize size, QImage base, QRgb fill) {
  const QRect old = Rect(), now(QPoint(0, 0), size);
  // A tile across the old edge may hold, past it, what was drawn there before a shrink.
  std::vector<QRect> regrown;
  for (const auto& entry : tiles_) {
    const QRect part = TileRect(TileColumn(entry.first), TileRow(entry.first)) & now;
    if (!part.isEmpty() && !old.contains(part)) regrown.push_back(part);
  }
  for (const QRect& part : regrown) MakeWritable(part);
  for (auto it = tiles_.begin(); it != tiles_.end();)
    it = TileRect(TileColumn(it->first), TileRow(it->first)).intersects(now) ? std::next(it) : tiles_.erase(it);
  base_ = std::move(base);
  fill_ = fill;
  size_ = size;
  for (const QRect& part : regrown)
    ForEachWritableRow(part, [&](int x, int y, int n, QRgb* row) {
      const int keep = y < old.height() ? std::clamp(old.width() - x, 0, n) : 0;
      if (keep < n) ReadBase(x + keep, y, n - keep, row + keep);
    });
}

void TiledImage::DrawBase(QPainter& painter, const QRect& area, QPoint at) const {
  const QRect fromBase = area & base_.rect();
  if (!fromBase.isEmpty()) painter.drawImage(fromBase.topLeft() + at, base_, fromBase);
  if (fromBase != area)
    for (const QRect& rest : QRegion(area).subtracted(QRegion(fromBase)))
      painter.fillRect(rest.translated(at), QColor::fromRgb(fill_));
}

void TiledImage::Draw(QPainter& painter, const QRect& area, QPoint at) const {
  const QRect shown = area & Rect();
  if (shown.isEmpty()) return;
  const QRect cells(QPoint(shown.left() / kTileSide, shown.top() / kTileSide),
                    QPoint(shown.right() / kTileSide, shown.bottom() / kTileSide));
  struct Held {
    int tx, ty;
    const QImage* tile;
  };
  QVarLengthArray<Held, 16> held;
  const Tiles* none = nullptr;
  ForEachHeld(shown, tiles_, none, [&](int tx, int ty) { held.append({tx, ty, Find(tx, ty)}); });
  // Where tiles cover all of it, as over an outline just drawn, the base is not drawn at all.
  if (held.size() < qint64(cells.width()) * cells.height()) DrawBase(painter, shown, at);
  for (const Held& h : held) {
    const QRect part = TileRect(h.tx, h.ty) & shown;
    painter.drawImage(part.topLeft() + at, *h.tile, part.translated(-h.tx * kTileSide, -h.ty * kTileSide));
  }
}

void TiledImage::FillRects(const QRect* rects, int count, QRgb colour) {
  for (int i = 0; i < count; ++i)
    if (!rects[i].isEmpty()) MakeWritable(rects[i]);
  for (int i = 0; i < count; ++i)
    if (!rects[i].isEmpty())
      ForEachWritableRow(rects[i], [colour](int, int, int n, QRgb* row) { std::fill(row, row + n, colour); });
}

void TiledImage::CopyPixels(const QRect& to, const TiledImage& from, QPoint fromAt) {
  const QPoint shift = fromAt - to.topLeft();
  ForEachWritableRow(to, [&](int x, int y, int n, QRgb* row) { from.ReadRow(x + shift.x(), y + shift.y(), n, row); });
}

bool TiledImage::AgreesOutside(const QRect& tile, const QRect& inside, const TiledImage& other) const {
  const int tx = tile.left() / kTileSide, ty = tile.top() / kTileSide;
  const QImage *myTile = Find(tx, ty), *theirTile = other.Find(tx, ty);
  QRgb mine[kTileSide], theirs[kTileSide];
  auto same = [&](int x0, int x1, int y) {
    const int n = x1 - x0;
    return n <= 0 || std::memcmp(Pixels(myTile, x0, y, n, mine), other.Pixels(theirTile, x0, y, n, theirs),
                                 size_t(n) * 4) == 0;
  };
  const QRect cut = inside & tile;
  for (int y = tile.top(); y <= tile.bottom(); ++y) {
    const bool agrees = y < cut.top() || y > cut.bottom()
                            ? same(tile.left(), tile.right() + 1, y)
                            : same(tile.left(), cut.left(), y) && same(cut.right() + 1, tile.right() + 1, y);
    if (!agrees) return false;
  }
  return true;
}

// The erase: pixels of another image over the same base at the same place. A tile the
// rectangle covers, or whose rest agrees already, becomes the other's tile or goes; only the
// others are written, and all of those are made before anything changes.
void TiledImage::PutBack(const QRect& to, const TiledImage& from) {
  struct Step {
    int tx, ty;
    bool take;
  };
  QVarLengthArray<Step, 16> steps;
  ForEachHeld(to, tiles_, &from.tiles_, [&](int tx, int ty) {
    const QRect tile = TileRect(tx, ty) & Rect();
    steps.append({tx, ty, to.contains(tile) || AgreesOutside(tile, to, from)});
  });
  for (const Step& s : steps)
    if (!s.take) MakeWritable(TileRect(s.tx, s.ty) & to);
  for (const Step& s : steps) {
    const QRect part = TileRect(s.tx, s.ty) & to;
    if (!s.take) {
      CopyPixels(part, from, part.topLeft());
      continue;
    }
    const auto mine = tiles_.find(KeyOf(s.tx, s.ty));
    if (const QImage* theirs = from.Find(s.tx, s.ty)) tiles_[KeyOf(s.tx, s.ty)] = *theirs;
    else if (mine != tiles_.end() && spare_.empty()) spare_ = tiles_.extract(mine);
    else if (mine != tiles_.end()) tiles_.erase(mine);
  }
}

void TiledImage::Copy(const QRect& to, const TiledImage& from, QPoint fromAt) {
  if (to.isEmpty()) return;
  if (&from == this) {
    // Within one image the two rectangles may overlap: read everything before writing.
    QImage read = NewImage(to.width(), to.height());
    if (read.isNull()) RaiseNoTileMemory();
    uchar* bits = read.bits();
    for (int y = 0; y < to.height(); ++y)
      ReadRow(fromAt.x(), fromAt.y() + y, to.width(), PixelRow(bits, read.bytesPerLine(), y));
    Copy(to, TiledImage(std::move(read), fill_, to.size()), QPoint(0, 0));
    return;
  }
  const bool samePlace = fromAt == to.topLeft() && from.size_ == size_;
  if (samePlace && to == Rect()) {
    Tiles tiles(from.tiles_);
    tiles_.swap(tiles);
    base_ = from.base_;
    fill_ = from.fill_;
    return;
  }
  if (samePlace && SharesBaseWith(from)) {
    PutBack(to, from);
    return;
  }
  MakeWritable(to, to);
  CopyPixels(to, from, fromAt);
}

}  // namespace platform
