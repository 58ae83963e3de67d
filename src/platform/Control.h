#pragma once
// Left, Top, Width and Height of a control in its container's pixels.
// A negative or unholdable size is refused by throwing, so layout code can skip the step.
#include <QWidget>

#include "platform/Errors.h"
#include "platform/Numeric.h"
#include "platform/PictureLimits.h"

namespace platform {

inline int CheckedExtent(double value) {
  const Long v = RoundToLong(value);
  if (v < 0 || v > kMaxPictureSide) Raise(ErrorKind::RefusedSize, QString::number(v));
  return v;
}

template <class Base>
class Control : public Base {
 public:
  using Base::Base;
  virtual ~Control() = default;

  Long Left() const { return this->x(); }
  Long Top() const { return this->y(); }
  Long Width() const { return this->width(); }
  Long Height() const { return this->height(); }

  void SetLeft(double v) { this->move(RoundToLong(v), this->y()); }
  void SetTop(double v) { this->move(this->x(), RoundToLong(v)); }
  virtual void SetWidth(double v) { this->resize(CheckedExtent(v), this->height()); }
  virtual void SetHeight(double v) { this->resize(this->width(), CheckedExtent(v)); }
};

}  // namespace platform
