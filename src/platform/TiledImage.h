#pragma once
// What a picture box shows: an image that boxes showing the same pixels hold once, and small
// tiles of the box's own where it differs from that image. A write copies the tiles it
// touches, never the image; putting back what another box shows lets those tiles go again.
#include <QImage>
#include <QRect>
#include <unordered_map>

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

  // Writes inside the image. Each makes every tile it needs before it changes a pixel, so one
  // that raises OutOfMemory shows what it showed before.
  void FillRects(const QRect* rects, int count, QRgb colour);
  // `to` takes `from`'s pixels of the same size at `fromAt`. Where `from` shows the same image
  // at the same place, the tiles `to` covers become `from`'s own or go, without a copy where
  // the rest of the tile already agrees.
  void Copy(const QRect& to, const TiledImage& from, QPoint fromAt);

 private:
  static QRect TileRect(int tx, int ty);
  template <typename F>
  static void ForEachTile(const QRect& area, F&& visit);

  bool SharesBaseWith(const TiledImage& other) const;
  const QImage* Find(int tx, int ty) const;
  void ReadBase(int x, int y, int n, QRgb* out) const;
  void DrawBase(QPainter& painter, const QRect& area, QPoint at) const;
  // The n composed pixels from (x, y), within one tile, `tile` or none: in place where they
  // are held, else in `scratch`.
  const QRgb* Pixels(const QImage* tile, int x, int y, int n, QRgb* scratch) const;
  // Every tile `area` touches becomes one this image alone holds, showing what it showed, or
  // none does (OutOfMemory); tiles inside `overwritten` are made without their pixels, for the
  // caller to write.
  void MakeWritable(const QRect& area, const QRect& overwritten = QRect());
  // Calls write(x, y, n, row) for each row of `area` within each tile, tiles writable.
  template <typename F>
  void ForEachWritableRow(const QRect& area, F&& write);
  bool AgreesOutside(const QRect& tile, const QRect& inside, const TiledImage& other) const;
  void PutBack(const QRect& to, const TiledImage& from);
  void CopyPixels(const QRect& to, const TiledImage& from, QPoint fromAt);

  QImage base_;
  QRgb fill_ = 0;
  QSize size_{0, 0};
  using Tiles = std::unordered_map<int, QImage>;  // by row * tiles per row + column
  Tiles tiles_;
  // A tile let go, with its place in the map, for the next one made: a pointer going from cell
  // to cell lets one go and needs one at each move.
  Tiles::node_type spare_;
};

}  // namespace platform
