#include "platform/PictureBox.h"

#include <QMouseEvent>
#include <algorithm>
#include <QPaintEvent>
#include <QPainter>
#include <qdrawutil.h>

#include "platform/Colour.h"
#include "platform/Errors.h"
#include "platform/Flatten.h"
#include "platform/Guard.h"
#include "platform/PictureLimits.h"

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
}  // namespace

PictureBox::PictureBox(QWidget* parent, Border border) : Control<QWidget>(parent), border_(border) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(2 * BorderWidth(), 2 * BorderWidth());
  surface_ = Cleared(QSize(0, 0));
}

TiledImage PictureBox::Cleared(QSize size) const { return TiledImage(picture_, ToQRgb(backColor_), size); }

bool PictureBox::ShowsItsPicture() const {
  return surface_.Base().cacheKey() == picture_.cacheKey() && surface_.Fill() == ToQRgb(backColor_);
}

void PictureBox::ResizeImage(int innerWidth, int innerHeight) {
  const QSize size(innerWidth, innerHeight);
  if (size == surface_.Size()) return;
  if (!FitsPictureLimit(innerWidth, innerHeight))
    Raise(ErrorKind::RefusedSize, QStringLiteral("%1 x %2").arg(innerWidth).arg(innerHeight));
  if (ShowsItsPicture() || surface_.Size().isEmpty()) {
    // Where both sizes reach, Cls shows the same at either: only the tiles carry over.
    surface_.Resize(size, picture_, ToQRgb(backColor_));
  } else {
    // An image drawn on through Dc() is copied, its top-left onto what Cls shows.
    QImage grown = Cleared(size).Composed();
    if (grown.isNull() && !size.isEmpty()) RaiseNoMemory(innerWidth, innerHeight);
    const int w = qMin(innerWidth, int(ScaleWidth()));
    if (!grown.isNull() && w > 0)
      for (int y = 0; y < qMin(innerHeight, int(ScaleHeight())); ++y)
        surface_.ReadRow(0, y, w, reinterpret_cast<QRgb*>(grown.scanLine(y)));
    surface_ = TiledImage(std::move(grown), ToQRgb(backColor_), size);
  }
  resize(innerWidth + 2 * BorderWidth(), innerHeight + 2 * BorderWidth());
  changed_.AddAll();
  Refresh();
}

int PictureBox::InnerExtent(double outer) const { return qMax(0, CheckedExtent(outer) - 2 * BorderWidth()); }

void PictureBox::SetWidth(double v) { ResizeImage(InnerExtent(v), ScaleHeight()); }

void PictureBox::SetHeight(double v) { ResizeImage(ScaleWidth(), InnerExtent(v)); }

void PictureBox::SetSize(double width, double height) { ResizeImage(InnerExtent(width), InnerExtent(height)); }

PictureBox::Staged PictureBox::Stage(QImage picture) const {
  if (!FitsPictureLimit(picture.width(), picture.height()))
    Raise(ErrorKind::RefusedSize, QStringLiteral("%1 x %2").arg(picture.width()).arg(picture.height()));
  const QSize size = picture.size();
  QImage flat = Flattened(std::move(picture), ToQRgb(backColor_));
  if (flat.isNull() && !size.isEmpty()) RaiseNoMemory(size.width(), size.height());
  return {std::move(flat), autoSize_ ? size : surface_.Size()};
}

void PictureBox::Adopt(Staged&& staged) noexcept {
  picture_ = std::move(staged.picture);
  surface_ = Cleared(staged.size);
  resize(staged.size.width() + 2 * BorderWidth(), staged.size.height() + 2 * BorderWidth());
  changed_.AddAll();
  Refresh();
}

void PictureBox::Cls() {
  surface_ = Cleared(surface_.Size());
  changed_.AddAll();
  Refresh();
}

QImage PictureBox::Image() const {
  QImage image = surface_.Composed();
  if (image.isNull() && !surface_.Size().isEmpty()) RaiseNoMemory(ScaleWidth(), ScaleHeight());
  return image;
}

QImage& PictureBox::Dc() { return surface_.Flattened(); }

void PictureBox::MarkChanged(const QRect& r) noexcept { changed_.Add(r & surface_.Rect()); }

void PictureBox::ShareImage(const QImage& image) {
  const QSize size = surface_.Size();
  if (image.isNull() && !size.isEmpty()) RaiseNoMemory(size.width(), size.height());
  if (image.size() != size || image.format() != QImage::Format_RGB32) Raise(ErrorKind::Failed);
  surface_ = TiledImage(image, ToQRgb(backColor_), size);
  changed_.AddAll();
}

void PictureBox::Refresh() {
  const QPoint border(BorderWidth(), BorderWidth());
  changed_.TakeParts(surface_.Rect(), [&](const QRect& part) { update(part.translated(border)); });
}

void PictureBox::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  const int b = BorderWidth();
  const QRect inner(QPoint(b, b), surface_.Size());
  for (const QRect& exposed : event->region()) {
    const QRect target = exposed & inner;
    if (!target.isEmpty()) surface_.Draw(p, target.translated(-b, -b), QPoint(b, b));
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
