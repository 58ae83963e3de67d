#pragma once
// A picture box with a retained image: all drawing goes into Dc(), Refresh() shows what
// changed since the last refresh, and paintEvent draws only the exposed region.
#include <QImage>
#include <QRect>
#include <QRegion>
#include <functional>
#include <utility>

#include "platform/Control.h"
#include "platform/Numeric.h"

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
  Long ScaleWidth() const { return inner_.width(); }
  Long ScaleHeight() const { return inner_.height(); }

  Long BackColor() const { return backColor_; }
  void SetBackColor(Long bgr) { backColor_ = bgr; }
  Long ForeColor() const { return foreColor_; }
  void SetForeColor(Long bgr) { foreColor_ = bgr; }
  // An auto-size box takes the size of a picture assigned to it.
  void SetAutoSize(bool on) { autoSize_ = on; }
  // A box that nothing draws into once it is set up holds its image in memory shared with its
  // picture, or with every equal empty image. Switch it on before anything draws into the box.
  void SetReadOnly(bool on);

  // The background picture; assigning one flattens transparency onto the back colour,
  // resizes an auto-size box and resets the image.
  const QImage& Picture() const { return picture_; }
  void SetPicture(QImage picture) { Adopt(Stage(std::move(picture))); }

  // A new picture in two steps, so that several boxes can change all together or not at all:
  // Stage makes everything the picture needs and may fail (RefusedSize, OutOfMemory) with the
  // box untouched; Adopt then puts it in place and cannot fail.
  struct Staged {
    QImage picture;  // flattened to RGB32
    QImage image;
    QSize size;  // apart from image: an image with no pixels forgets its size
  };
  // A picture that only this call holds may become the staged picture's own memory.
  Staged Stage(QImage picture) const;
  void Adopt(Staged&& staged) noexcept;

  // Cls, a new picture and a new size show at once; drawing through Dc() shows on Refresh.
  void Cls();
  void Refresh();
  QImage Image() const { return image_; }

  // The device context: the retained image itself. Writers report what they changed; a read-only
  // box written to anyway keeps what was written, in memory of its own.
  QImage& Dc() {
    fresh_ = false;
    return image_;
  }
  const QImage& Dc() const { return image_; }
  void MarkChanged(const QRect& r);
  // Takes an image of the box's own size as the retained image without copying it, so that
  // boxes showing the same pixels hold them once; a write through Dc() then copies the
  // writer's image only. Shows on Refresh, as drawing does. A null image means the memory for
  // it could not be had (OutOfMemory).
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
  // An image of the back colour with the background picture at its top-left.
  QImage Blank(int width, int height, const QImage& background) const;
  // What a read-only box holds at this size: the picture itself where it covers the box exactly.
  QImage ReadOnlyImage(int width, int height, const QImage& background) const;
  void Deliver(const std::function<void(Integer, Integer, float, float)>& handler, QMouseEvent* e,
               Integer button);

  Border border_;
  Long backColor_ = 0xFFFFFF;
  Long foreColor_ = 0x000000;
  bool autoSize_ = false;
  bool readOnly_ = false;
  bool fresh_ = true;  // the image is what the box's size and picture make, nothing drawn on it
  QImage picture_;
  QImage image_;
  QSize inner_{0, 0};  // kept apart from image_: an image with no pixels forgets its size
  QRegion pending_;  // exact: two changes far apart do not repaint what lies between
};

}  // namespace platform
