#pragma once
// A push button whose face is a picture with the caption on top.
#include <QImage>
#include <QPushButton>
#include <functional>

#include "platform/Control.h"

namespace platform {

class CommandButton : public Control<QPushButton> {
 public:
  CommandButton(const QString& caption, QWidget* parent);
  void SetPicture(const QImage& picture);
  std::function<void()> Click;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
};

}  // namespace platform
