#pragma once
// What changed in a picture box since it was last shown: rectangles kept apart, so that two
// changes far apart do not repaint what lies between, in room made beforehand, so that noting a
// change never allocates and so cannot fail. Without room, the whole box counts as changed.
#include <QRect>
#include <vector>

namespace platform {

class ChangedArea {
 public:
  // Room for `more` changes (std::bad_alloc).
  void Reserve(int more) { parts_.reserve(parts_.size() + size_t(more)); }
  void Add(const QRect& rect) noexcept;
  void AddAll() noexcept;
  bool IsEmpty() const { return !all_ && parts_.empty(); }
  // Hands every part to `show`, or `whole` where the whole box changed, and forgets them.
  template <typename F>
  void TakeParts(const QRect& whole, F&& show) {
    if (all_) show(whole);
    else for (const QRect& part : parts_) show(part);
    all_ = false;
    parts_.clear();
  }

 private:
  bool all_ = false;
  std::vector<QRect> parts_;
};

}  // namespace platform
