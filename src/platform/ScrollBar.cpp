#include "platform/ScrollBar.h"

#include <limits>

#include "platform/Errors.h"
#include "platform/Guard.h"

namespace platform {

namespace {
int ToInteger(Long v) {
  if (v < std::numeric_limits<Integer>::min() || v > std::numeric_limits<Integer>::max())
    Raise(ErrorKind::Overflow, QString::number(v));
  return v;
}
}  // namespace

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent) : Control<QScrollBar>(orientation, parent) {
  setRange(0, 0);
  setFocusPolicy(Qt::NoFocus);
  connect(this, &QScrollBar::valueChanged, this, [this] {
    if (Change) Guard(Change);
  });
  connect(this, &QScrollBar::sliderMoved, this, [this] {
    if (Scroll) Guard(Scroll);
  });
}

void ScrollBar::SetValue(Long v) {
  const int value = ToInteger(v);
  if (value < minimum() || value > maximum()) Raise(ErrorKind::Failed, QString::number(v));
  setValue(value);
}

void ScrollBar::SetMin(Long v) { setMinimum(ToInteger(v)); }
void ScrollBar::SetMax(Long v) { setMaximum(ToInteger(v)); }
void ScrollBar::SetSmallChange(Long v) { setSingleStep(ToInteger(v)); }
void ScrollBar::SetLargeChange(Long v) { setPageStep(ToInteger(v)); }

}  // namespace platform
