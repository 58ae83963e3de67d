#pragma once
// A scroll bar with a 16-bit range. Change runs when the value changes (also when a lower
// maximum pulls it down, before the assignment returns); Scroll runs during a thumb drag.
#include <QScrollBar>
#include <functional>

#include "platform/Control.h"
#include "platform/Numeric.h"

namespace platform {

class ScrollBar : public Control<QScrollBar> {
 public:
  ScrollBar(Qt::Orientation orientation, QWidget* parent);

  Integer Value() const { return Integer(value()); }
  void SetValue(Long v);
  Integer Min() const { return Integer(minimum()); }
  void SetMin(Long v);
  Integer Max() const { return Integer(maximum()); }
  void SetMax(Long v);
  Integer SmallChange() const { return Integer(singleStep()); }
  void SetSmallChange(Long v);
  Integer LargeChange() const { return Integer(pageStep()); }
  void SetLargeChange(Long v);

  std::function<void()> Change;
  std::function<void()> Scroll;
};

}  // namespace platform
