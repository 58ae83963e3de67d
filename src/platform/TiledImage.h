#pragma once
// What a picture box shows: an image that boxes showing the same pixels hold once, and small
// tiles of the box's own where it differs from that image. A write copies the tiles it
// touches, never the image; putting back what another box shows lets those tiles go again.
#include <QImage>
#include <QRect>
#include <unordered_map>
#include <vector>

class QPainter;

namespace platform {

class TiledImage {
 public:
  // The default grid's cell: a cell's outline or stamp is one tile, and its erase lets it go
  // without a compare.
  static constexpr int kTileSide = 32;

  TiledImage() = default;
  // `base` at the top-left and `fill` wherever the base does not reach, over `size`.
  TiledImage(QImage base, QRgb fill, QSize size);

  QSize Size() const { return size_; }
  QRect Rect() const { return QRect(QPoint(0, 0), size_); }
  const QImage& Base() const { return base_; }
  QRgb Fill() const { return fill_; }
  int TileCount() const { return int(tiles_.size()); }

  // All the pixels as one image: the base itself where it alone covers the size, else a new
  // image; null when the memory for it cannot be had.
  QImage Composed() const;
  // Folds the tiles into an image of the size and returns it for drawing on.
  QImage& Flattened();
  // Copies n pixels of row y from x on, a span inside the image, to `out`.
  void ReadRow(int x, int y, int n, QRgb* out) const;

  // A new size over a new base, which must show what the old one showed where both reach:
  // what the tiles hold stays where it lies inside the new size, and past the old size the
  // base shows.
  void Resize(QSize size, QImage base, QRgb fill);

  // Paints `area`, in image pixels, with its top-left at `at`.
  void Draw(QPainter& painter, const QRect& area, QPoint at) const;

  // Writes inside the image come in two steps, so that several writes to several images happen
  // all together or not at all: the room they may take is made first, without changing what any
  // image shows, and may fail (OutOfMemory); the writes then take only from that room.
  struct Room {
    qint64 tiles = 0;     // tiles to write into
    qint64 places = 0;    // places in the map for tiles new to it
    qint64 releases = 0;  // tiles a write may let go, kept for the next writes where room allows
    Room& operator+=(const Room& more) {
      tiles += more.tiles, places += more.places, releases += more.releases;
      return *this;
    }
  };
  // The room each write may take, counted from what the image holds now: a caller whose earlier
  // writes to it let tiles go adds room for them (TilesOver).
  Room RoomToFill(const QRect* rects, int count) const;
  // Pixels written without a look at those there, as a copy from another picture.
  Room RoomToWrite(const QRect& area) const;
  // A copy from `from`, which counts the tiles `from` holds in the area now.
  Room RoomToCopy(const QRect& to, const TiledImage& from, QPoint fromAt) const;
  // Whether the copy puts back what `from` shows at the same place, which may let tiles go.
  bool PutsBack(const QRect& to, const TiledImage& from, QPoint fromAt) const;
  static qint64 TilesOver(const QRect& area);
  // The tiles `area` touches, as one rectangle.
  static QRect TileBounds(const QRect& area);
  // The tiles of the room, for the writes to all images together: ReserveTiles takes the sum of
  // their rooms. Reserve makes the places for this image's writes.
  static void ReserveTiles(const Room& room);
  void Reserve(const Room& room);

  // The writes, within the room reserved for them.
  void FillRects(const QRect* rects, int count, QRgb colour) noexcept;
  // `to` takes `from`'s pixels of the same size at `fromAt`; `from` is another image. Where it
  // shows the same image at the same place, the tiles `to` covers become `from`'s own or go,
  // without a copy where the rest of the tile already agrees.
  void Copy(const QRect& to, const TiledImage& from, QPoint fromAt) noexcept;

 private:
  using Tiles = std::unordered_map<int, QImage>;  // by row * tiles per row + column

  static QRect TileRect(int tx, int ty);
  template <typename F>
  static void ForEachTile(const QRect& area, F&& visit);
  // Of the tiles `area` touches, those it does not cover whole.
  qint64 TilesCut(const QRect& area) const;
  qint64 TilesHeld(const QRect& area) const;

  bool SharesBaseWith(const TiledImage& other) const;
  const QImage* Find(int tx, int ty) const;
  void ReadBase(int x, int y, int n, QRgb* out) const;
  void DrawBase(QPainter& painter, const QRect& area, QPoint at) const;
  // The n composed pixels from (x, y), within one tile, `tile` or none: in place where they
  // are held, else in `scratch`.
  const QRgb* Pixels(const QImage* tile, int x, int y, int n, QRgb* scratch) const;

  // The room in the map: nodes without a tile.
  Tiles::node_type NewNode();
  void Insert(int key, QImage tile) noexcept;
  void Release(QImage tile) noexcept;
  void Release(Tiles::node_type node) noexcept;
  // Every tile `area` touches becomes one this image alone holds, showing what it showed; tiles
  // inside `overwritten` are made without their pixels, for the caller to write.
  void MakeWritable(const QRect& area, const QRect& overwritten = QRect()) noexcept;
  // Calls write(x, y, n, row) for each row of `area` within each tile, tiles writable.
  template <typename F>
  void ForEachWritableRow(const QRect& area, F&& write);
  bool AgreesOutside(const QRect& tile, const QRect& inside, const TiledImage& other) const;
  void PutBack(const QRect& to, const TiledImage& from) noexcept;
  void PutBackTile(int tx, int ty, const QRect& to, const TiledImage& from) noexcept;
  void CopyPixels(const QRect& to, const TiledImage& from, QPoint fromAt);

  QImage base_;
  QRgb fill_ = 0;
  QSize size_{0, 0};
  Tiles tiles_;
  // A pointer going from cell to cell lets a tile go and needs one at each move: what is let go
  // is kept for the next write, within the room the last reserve made.
  std::vector<Tiles::node_type> spareNodes_;
};

}  // namespace platform
