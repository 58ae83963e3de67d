#include "platform/ChangedArea.h"

namespace platform {

namespace {
// Whether the two rectangles together are one rectangle, as the erase of one cell and the outline
// of the next are.
bool FormOneRectangle(const QRect& a, const QRect& b) {
  const bool sameColumns = a.left() == b.left() && a.right() == b.right();
  const bool sameRows = a.top() == b.top() && a.bottom() == b.bottom();
  return (sameColumns && a.top() <= b.bottom() + 1 && b.top() <= a.bottom() + 1) ||
         (sameRows && a.left() <= b.right() + 1 && b.left() <= a.right() + 1);
}
}  // namespace

void ChangedArea::Add(const QRect& rect) noexcept {
  if (all_ || rect.isEmpty()) return;
  // Repeated changes of one place, as in a stamping drag, are noted once; a change next to one
  // noted joins it.
  for (QRect& part : parts_) {
    if (part.contains(rect)) return;
    if (FormOneRectangle(part, rect)) {
      part |= rect;
      return;
    }
  }
  if (parts_.size() < parts_.capacity()) parts_.push_back(rect);
  else AddAll();
}

void ChangedArea::AddAll() noexcept {
  all_ = true;
  parts_.clear();
}

}  // namespace platform
