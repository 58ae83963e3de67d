#include "platform/PictureBox.h"

#include <QMouseEvent>
#include <algorithm>
#include <QPaintEvent>
#include <QPainter>
#include <cstring>
#include <qdrawutil.h>

#include "platform/Colour.h"
#include "platform/Errors.h"
#include "platform/Flatten.h"
#include "platform/Guard.h"
#include "platform/ImageBuffer.h"
#include "platform/PictureLimits.h"
#include "platform/SharedImages.h"

namespace platform {

namespace {
Integer ButtonCode(Qt::MouseButtons buttons) {
  Integer code = 0;
  if (buttons & Qt::LeftButton) code |= 1;
  if (buttons & Qt::RightButton) code |= 2;
  if (buttons & Qt::MiddleButton) code |= 4;
  return code;
}

Integer ShiftCode(Qt::KeyboardModifiers mods) {
  Integer code = 0;
  if (mods & Qt::ShiftModifier) code |= 1;
  if (mods & Qt::ControlModifier) code |= 2;
  if (mods & Qt::AltModifier) code |= 4;
  return code;
}

[[noreturn]] void RaiseNoMemory(int width, int height) {
  Raise(ErrorKind::OutOfMemory,
        QStringLiteral("%1 × %2 ピクセルの画像を用意するだけのメモリがありません。").arg(width).arg(height));
}

// Copies the overlap of src onto dst at the top-left, row by row.
void CopyTopLeft(QImage& dst, const QImage& src) {
  const int w = qMin(dst.width(), src.width());
  const int h = qMin(dst.height(), src.height());
  if (w <= 0 || h <= 0) return;
  for (int y = 0; y < h; ++y)
    std::memcpy(dst.scanLine(y), src.constScanLine(y), size_t(w) * 4);
}
}  // namespace

PictureBox::PictureBox(QWidget* parent, Border border) : Control<QWidget>(parent), border_(border) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(2 * BorderWidth(), 2 * BorderWidth());
  image_ = Blank(0, 0, picture_);
}

QImage PictureBox::Blank(int width, int height, const QImage& background) const {
  QImage img = NewImage(width, height);
  if (img.isNull() && width > 0 && height > 0) RaiseNoMemory(width, height);
  // Only what the picture leaves uncovered takes the back colour: a big picture is written once.
  const QRgb back = ToQRgb(backColor_);
  const int w = qMin(width, background.width()), h = qMin(height, background.height());
  CopyTopLeft(img, background);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    std::fill(row + (y < h ? w : 0), row + width, back);
  }
  return img;
}

QImage PictureBox::ReadOnlyImage(int width, int height, const QImage& background) const {
  if (background.size() == QSize(width, height)) return background;
  if (!background.isNull()) return Blank(width, height, background);
  QImage blank = SharedBlank(width, height, ToQRgb(backColor_));
  if (blank.isNull() && width > 0 && height > 0) RaiseNoMemory(width, height);
  return blank;
}

void PictureBox::SetReadOnly(bool on) {
  readOnly_ = on;
  if (on && fresh_) image_ = ReadOnlyImage(inner_.width(), inner_.height(), picture_);
}

void PictureBox::ResizeImage(int innerWidth, int innerHeight) {
  if (QSize(innerWidth, innerHeight) == inner_) return;
  if (!FitsPictureLimit(innerWidth, innerHeight))
    Raise(ErrorKind::RefusedSize, QStringLiteral("%1 x %2").arg(innerWidth).arg(innerHeight));
  // An image nothing drew on is what a fresh one of the new size shows where they overlap.
  const bool share = readOnly_ && fresh_;
  QImage grown = share ? ReadOnlyImage(innerWidth, innerHeight, picture_) : Blank(innerWidth, innerHeight, picture_);
  if (!share) CopyTopLeft(grown, image_);
  image_ = std::move(grown);
  inner_ = QSize(innerWidth, innerHeight);
  resize(innerWidth + 2 * BorderWidth(), innerHeight + 2 * BorderWidth());
  pending_ = image_.rect();
  Refresh();
}

int PictureBox::InnerExtent(double outer) const { return qMax(0, CheckedExtent(outer) - 2 * BorderWidth()); }

void PictureBox::SetWidth(double v) { ResizeImage(InnerExtent(v), inner_.height()); }

void PictureBox::SetHeight(double v) { ResizeImage(inner_.width(), InnerExtent(v)); }

void PictureBox::SetSize(double width, double height) { ResizeImage(InnerExtent(width), InnerExtent(height)); }

PictureBox::Staged PictureBox::Stage(QImage picture) const {
  if (!FitsPictureLimit(picture.width(), picture.height()))
    Raise(ErrorKind::RefusedSize, QStringLiteral("%1 x %2").arg(picture.width()).arg(picture.height()));
  const QSize size = picture.size();
  QImage flat = Flattened(std::move(picture), ToQRgb(backColor_));
  if (flat.isNull() && !size.isEmpty()) RaiseNoMemory(size.width(), size.height());
  const int w = autoSize_ ? flat.width() : inner_.width();
  const int h = autoSize_ ? flat.height() : inner_.height();
  QImage fresh = readOnly_ ? ReadOnlyImage(w, h, flat) : Blank(w, h, flat);
  return {std::move(flat), std::move(fresh), QSize(w, h)};
}

void PictureBox::Adopt(Staged&& staged) noexcept {
  picture_ = std::move(staged.picture);
  image_ = std::move(staged.image);
  fresh_ = true;
  inner_ = staged.size;
  resize(inner_.width() + 2 * BorderWidth(), inner_.height() + 2 * BorderWidth());
  pending_ = image_.rect();
  Refresh();
}

void PictureBox::Cls() {
  if (readOnly_) {
    image_ = ReadOnlyImage(inner_.width(), inner_.height(), picture_);
  } else {
    image_.fill(ToQRgb(backColor_));
    CopyTopLeft(image_, picture_);
  }
  fresh_ = true;
  pending_ = image_.rect();
  Refresh();
}

void PictureBox::MarkChanged(const QRect& r) {
  // Repeated changes of one place, as in a stamping drag, cost no region arithmetic.
  if (pending_.rectCount() == 1 && pending_.boundingRect().contains(r)) return;
  pending_ += r & image_.rect();
}

void PictureBox::ShareImage(const QImage& image) {
  if (image.isNull() && !inner_.isEmpty()) RaiseNoMemory(inner_.width(), inner_.height());
  if (image.size() != inner_ || image.format() != QImage::Format_RGB32) Raise(ErrorKind::Failed);
  image_ = image;
  fresh_ = false;
  pending_ = image_.rect();
}

void PictureBox::Refresh() {
  if (pending_.isEmpty()) return;
  update(pending_.translated(BorderWidth(), BorderWidth()));
  pending_ = QRegion();
}

void PictureBox::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  const int b = BorderWidth();
  const QRect inner(QPoint(b, b), inner_);
  for (const QRect& exposed : event->region()) {
    const QRect target = exposed & inner;
    if (!target.isEmpty()) p.drawImage(target.topLeft(), image_, target.translated(-b, -b));
  }
  if (b > 0 && !inner.contains(event->rect())) qDrawShadePanel(&p, rect(), palette(), true, b);
}

void PictureBox::Deliver(const std::function<void(Integer, Integer, float, float)>& handler,
                         QMouseEvent* e, Integer button) {
  if (!handler) return;
  const QPointF pos = e->position() - QPointF(BorderWidth(), BorderWidth());
  const Integer shift = ShiftCode(e->modifiers());
  Guard([&] { handler(button, shift, float(pos.x()), float(pos.y())); });
}

void PictureBox::mousePressEvent(QMouseEvent* e) { Deliver(MouseDown, e, ButtonCode(e->button())); }
void PictureBox::mouseMoveEvent(QMouseEvent* e) { Deliver(MouseMove, e, ButtonCode(e->buttons())); }
void PictureBox::mouseReleaseEvent(QMouseEvent* e) { Deliver(MouseUp, e, ButtonCode(e->button())); }

void PictureBox::mouseDoubleClickEvent(QMouseEvent*) {
  if (DblClick) Guard([&] { DblClick(); });
}

}  // namespace platform
