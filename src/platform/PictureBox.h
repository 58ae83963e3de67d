#pragma once
// A picture box with a retained image: drawing goes into its tiles (Gdi) or, for a box
// without tiles, into Dc(); Refresh() shows what changed since the last refresh, and
// paintEvent draws only the exposed region.
#include <QImage>
#include <QRect>
#include <functional>
#include <utility>

#include "platform/ChangedArea.h"
#include "platform/Control.h"
#include "platform/Numeric.h"
#include "platform/TiledImage.h"

namespace platform {

class PictureBox : public Control<QWidget> {
 public:
  enum class Border { None, Single };
  explicit PictureBox(QWidget* parent = nullptr, Border border = Border::None);

  // Changing the size keeps the old image at the top-left and fills the added area as Cls would.
  void SetWidth(double v) override;
  void SetHeight(double v) override;
  // Both sides in one step, without an image of the intermediate size.
  void SetSize(double width, double height);
  Long ScaleWidth() const { return surface_.Size().width(); }
  Long ScaleHeight() const { return surface_.Size().height(); }

  Long BackColor() const { return backColor_; }
  void SetBackColor(Long bgr) { backColor_ = bgr; }
  Long ForeColor() const { return foreColor_; }
  void SetForeColor(Long bgr) { foreColor_ = bgr; }
  // An auto-size box takes the size of a picture assigned to it.
  void SetAutoSize(bool on) { autoSize_ = on; }

  // The background picture; assigning one flattens transparency onto the back colour,
  // resizes an auto-size box and resets the image.
  const QImage& Picture() const { return picture_; }
  void SetPicture(QImage picture) { Adopt(Stage(std::move(picture))); }

  // A new picture in two steps, so that several boxes can change all together or not at all:
  // Stage makes everything the picture needs and may fail (RefusedSize, OutOfMemory) with the
  // box untouched; Adopt then puts it in place and cannot fail.
  struct Staged {
    QImage picture;  // flattened to RGB32
    QSize size;      // apart from the picture: an image with no pixels forgets its size
  };
  // A picture that only this call holds may become the staged picture's own memory.
  Staged Stage(QImage picture) const;
  void Adopt(Staged&& staged) noexcept;

  // Cls, a new picture and a new size show at once, and none of them copies a picture: the box
  // shows its background picture, held once, and the back colour around it. Drawing shows on
  // Refresh.
  void Cls();
  void Refresh();
  // What the box shows, as one image: the picture it shares where nothing is drawn on it, else
  // a composed copy (OutOfMemory when there is no room for one).
  QImage Image() const;

  // The retained image and its tiles, for the drawing functions; a box that shows the same
  // pixels as another holds the same image, and a write copies only the tiles it touches.
  TiledImage& Surface() { return surface_; }
  const TiledImage& Surface() const { return surface_; }
  int TileCount() const { return surface_.TileCount(); }
  // The device context of a box without tiles: the retained image, of the box's own size, for
  // drawing on with a painter. A box with tiles first folds them into an image of its own.
  QImage& Dc();
  // Notes a change for the next Refresh, within room made by ReserveChanges (std::bad_alloc);
  // past that room the whole box counts as changed.
  void ReserveChanges(int count) { changed_.Reserve(count); }
  void MarkChanged(const QRect& r) noexcept;
  // Takes an image of the box's own size as the retained image without copying it, so that
  // boxes showing the same pixels hold them once. Shows on Refresh, as drawing does. A null
  // image means the memory for it could not be had (OutOfMemory).
  void ShareImage(const QImage& image);

  // Mouse events in picture pixels; buttons 1 left, 2 right, 4 middle.
  std::function<void(Integer button, Integer shift, float x, float y)> MouseDown, MouseMove, MouseUp;
  std::function<void()> DblClick;
  void EnableMouseTracking() { setMouseTracking(true); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  int BorderWidth() const { return border_ == Border::Single ? 2 : 0; }
  // The image's extent inside an outer extent the caller gives.
  int InnerExtent(double outer) const;
  void ResizeImage(int innerWidth, int innerHeight);
  // What Cls shows at this size, without a pixel copied.
  TiledImage Cleared(QSize size) const;
  // True while the retained image is what Cls shows, whatever is drawn on it in tiles.
  bool ShowsItsPicture() const;
  void Deliver(const std::function<void(Integer, Integer, float, float)>& handler, QMouseEvent* e,
               Integer button);

  Border border_;
  Long backColor_ = 0xFFFFFF;
  Long foreColor_ = 0x000000;
  bool autoSize_ = false;
  QImage picture_;
  TiledImage surface_;
  ChangedArea changed_;
};

}  // namespace platform
