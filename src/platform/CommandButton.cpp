#include "platform/CommandButton.h"

#include <QPainter>
#include <QStyleOptionButton>

#include "platform/Guard.h"

namespace platform {

CommandButton::CommandButton(const QString& caption, QWidget* parent) : Control<QPushButton>(caption, parent) {
  setAutoDefault(false);
  connect(this, &QPushButton::clicked, this, [this] {
    if (Click) Guard(Click);
  });
}

void CommandButton::SetPicture(const QImage& picture) {
  picture_ = picture;
  update();
}

void CommandButton::paintEvent(QPaintEvent* event) {
  if (picture_.isNull()) {
    QPushButton::paintEvent(event);
    return;
  }
  // The picture fills the face from its centre, as a graphical button shows it.
  QPainter p(this);
  const QRect face = rect();
  const QRect from((picture_.width() - face.width()) / 2, (picture_.height() - face.height()) / 2,
                   face.width(), face.height());
  p.drawImage(face, picture_, from);
  p.setPen(isDown() ? palette().dark().color() : palette().light().color());
  p.drawRect(face.adjusted(0, 0, -1, -1));
  p.setPen(Qt::white);
  p.drawText(face.translated(isDown() ? 1 : 0, isDown() ? 1 : 0), Qt::AlignCenter, text());
  if (hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = face.adjusted(2, 2, -2, -2);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
  }
}

}  // namespace platform
