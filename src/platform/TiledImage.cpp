#include "platform/TiledImage.h"

#include <QPainter>
#include <QRegion>
#include <QVarLengthArray>
#include <algorithm>
#include <cstring>
#include <new>
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
constexpr int kNoTile = -1;  // a key no tile has
int TileColumn(int key) { return key % kTilesPerRow; }
int TileRow(int key) { return key / kTilesPerRow; }

// Visits every tile in `area` that `a` or, where given, `b` holds, by looking up the area's cells
// or by walking the maps, whichever is shorter: a large area with a few tiles costs the few. A
// visit may add tiles to `b` while `a` is walked, and let the tile it visits go from `b`.
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
    for (auto it = map.begin(); it != map.end();) {
      const int key = it++->first;
      const int tx = TileColumn(key), ty = TileRow(key);
      if (cells.contains(tx, ty) && !(skip && skip->count(key))) visit(tx, ty);
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

qint64 TiledImage::TilesOver(const QRect& area) {
  if (area.isEmpty()) return 0;
  return qint64(area.right() / kTileSide - area.left() / kTileSide + 1) *
         (area.bottom() / kTileSide - area.top() / kTileSide + 1);
}

QRect TiledImage::TileBounds(const QRect& area) {
  if (area.isEmpty()) return QRect();
  return QRect(TileRect(area.left() / kTileSide, area.top() / kTileSide).topLeft(),
               TileRect(area.right() / kTileSide, area.bottom() / kTileSide).bottomRight());
}

qint64 TiledImage::TilesCut(const QRect& area) const {
  if (area.isEmpty()) return 0;
  // Along one axis, the tiles from..to covers whole, the image's edge standing for a tile's.
  auto whole = [](int from, int to, int extent) {
    const int first = from / kTileSide, last = to / kTileSide;
    const bool firstCut = from > first * kTileSide;
    const bool lastCut = to < std::min(last * kTileSide + kTileSide, extent) - 1;
    if (first == last) return firstCut || lastCut ? 0 : 1;
    return last - first + 1 - int(firstCut) - int(lastCut);
  };
  const int columns = whole(area.left(), area.right(), size_.width());
  const int rows = whole(area.top(), area.bottom(), size_.height());
  return TilesOver(area) - qint64(columns) * rows;
}

qint64 TiledImage::TilesHeld(const QRect& area) const {
  qint64 held = 0;
  const Tiles* none = nullptr;
  ForEachHeld(area, tiles_, none, [&](int, int) { ++held; });
  return held;
}

TiledImage::Room TiledImage::RoomToFill(const QRect* rects, int count) const {
  Room room;
  for (int i = 0; i < count; ++i) {
    if (rects[i].isEmpty()) continue;
    ForEachTile(rects[i], [&](int tx, int ty) {
      // A tile two edges of an outline cross is counted with the first.
      for (int j = 0; j < i; ++j)
        if (rects[j].intersects(TileRect(tx, ty))) return;
      const auto held = tiles_.find(KeyOf(tx, ty));
      if (held == tiles_.end()) ++room.places;
      if (held == tiles_.end() || !held->second.isDetached()) ++room.tiles;
    });
  }
  return room;
}

TiledImage::Room TiledImage::RoomToWrite(const QRect& area) const { return RoomToFill(&area, 1); }

bool TiledImage::PutsBack(const QRect& to, const TiledImage& from, QPoint fromAt) const {
  return fromAt == to.topLeft() && SharesBaseWith(from);
}

TiledImage::Room TiledImage::RoomToCopy(const QRect& to, const TiledImage& from, QPoint fromAt) const {
  if (!PutsBack(to, from, fromAt)) return RoomToWrite(to);
  // A put-back writes only the tiles `to` cuts, and takes a place for each tile of `from`'s.
  const qint64 cut = TilesCut(to);
  return {cut, cut + from.TilesHeld(to), TilesHeld(to)};
}

namespace {
// Tiles no image holds, for the next write that needs one: one image lets go what another takes,
// as a stamping drag does between the shown picture and the clean copy.
std::vector<QImage>& SpareTiles() {
  static std::vector<QImage> spares;
  return spares;
}
}  // namespace

TiledImage::Tiles::node_type TiledImage::NewNode() {
  // A node comes only out of a map: made in this one under a key no tile has, and taken out.
  return tiles_.extract(tiles_.emplace(kNoTile, QImage()).first);
}

void TiledImage::ReserveTiles(const Room& room) {
  std::vector<QImage>& spares = SpareTiles();
  try {
    // Spares past the room go: what a large write left is not held for small ones.
    if (spares.size() > size_t(room.tiles)) spares.resize(size_t(room.tiles));
    spares.reserve(size_t(room.tiles + room.releases));
    while (spares.size() < size_t(room.tiles)) {
      QImage tile = NewImage(kTileSide, kTileSide);
      if (tile.isNull()) RaiseNoTileMemory();
      spares.push_back(std::move(tile));
    }
  } catch (const std::bad_alloc&) {
    RaiseNoTileMemory();
  }
}

void TiledImage::Reserve(const Room& room) {
  try {
    if (spareNodes_.size() > size_t(room.places)) spareNodes_.resize(size_t(room.places));
    spareNodes_.reserve(size_t(room.places + room.releases));
    while (spareNodes_.size() < size_t(room.places)) spareNodes_.push_back(NewNode());
    // Within the buckets' load an insert never rehashes.
    const size_t load = tiles_.size() + size_t(room.places);
    if (double(load) >= double(tiles_.bucket_count()) * tiles_.max_load_factor()) tiles_.reserve(load);
  } catch (const std::bad_alloc&) {
    RaiseNoTileMemory();
  }
}

void TiledImage::Insert(int key, QImage tile) noexcept {
  Q_ASSERT(!spareNodes_.empty());
  Tiles::node_type node = std::move(spareNodes_.back());
  spareNodes_.pop_back();
  node.key() = key;
  node.mapped() = std::move(tile);
  tiles_.insert(std::move(node));
}

void TiledImage::Release(QImage tile) noexcept {
  std::vector<QImage>& spares = SpareTiles();
  if (tile.isDetached() && spares.size() < spares.capacity()) spares.push_back(std::move(tile));
}

void TiledImage::Release(Tiles::node_type node) noexcept {
  Release(std::exchange(node.mapped(), QImage()));
  if (spareNodes_.size() < spareNodes_.capacity()) spareNodes_.push_back(std::move(node));
}

void TiledImage::MakeWritable(const QRect& area, const QRect& overwritten) noexcept {
  ForEachTile(area, [&](int tx, int ty) {
    const auto held = tiles_.find(KeyOf(tx, ty));
    if (held != tiles_.end() && held->second.isDetached()) return;
    std::vector<QImage>& spares = SpareTiles();
    Q_ASSERT(!spares.empty());
    QImage tile = std::move(spares.back());
    spares.pop_back();
    const QRect rect = TileRect(tx, ty);
    if (!overwritten.contains(rect & Rect())) {
      uchar* bits = tile.bits();
      for (int r = 0; r < kTileSide; ++r) {
        QRgb* row = PixelRow(bits, tile.bytesPerLine(), r);
        if (held != tiles_.end()) std::memcpy(row, held->second.constScanLine(r), kTileRowBytes);
        else ReadBase(rect.left(), rect.top() + r, kTileSide, row);
      }
    }
    if (held != tiles_.end()) held->second = std::move(tile);
    else Insert(KeyOf(tx, ty), std::move(tile));
  });
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
  const Room room{qint64(regrown.size()), qint64(regrown.size()), 0};
  ReserveTiles(room);
  Reserve(room);
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

void TiledImage::FillRects(const QRect* rects, int count, QRgb colour) noexcept {
  for (int i = 0; i < count; ++i) {
    if (rects[i].isEmpty()) continue;
    MakeWritable(rects[i]);
    ForEachWritableRow(rects[i], [colour](int, int, int n, QRgb* row) { std::fill(row, row + n, colour); });
  }
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
// others are written.
void TiledImage::PutBack(const QRect& to, const TiledImage& from) noexcept {
  ForEachHeld(to, from.tiles_, &tiles_, [&](int tx, int ty) { PutBackTile(tx, ty, to, from); });
}

void TiledImage::PutBackTile(int tx, int ty, const QRect& to, const TiledImage& from) noexcept {
  const QRect tile = TileRect(tx, ty) & Rect();
  if (!to.contains(tile) && !AgreesOutside(tile, to, from)) {
    const QRect part = tile & to;
    MakeWritable(part);
    CopyPixels(part, from, part.topLeft());
    return;
  }
  const auto mine = tiles_.find(KeyOf(tx, ty));
  const QImage* theirs = from.Find(tx, ty);
  if (theirs && mine != tiles_.end()) Release(std::exchange(mine->second, *theirs));
  else if (theirs) Insert(KeyOf(tx, ty), *theirs);
  else if (mine != tiles_.end()) Release(tiles_.extract(mine));
}

void TiledImage::Copy(const QRect& to, const TiledImage& from, QPoint fromAt) noexcept {
  Q_ASSERT(&from != this);
  if (to.isEmpty()) return;
  if (PutsBack(to, from, fromAt)) {
    PutBack(to, from);
    return;
  }
  MakeWritable(to, to);
  CopyPixels(to, from, fromAt);
}

}  // namespace platform
