#pragma once
// A fixed table whose index is checked: an index outside it is the index error.
#include <array>

#include "platform/Errors.h"

namespace platform {

template <typename T, int N>
class Table {
 public:
  T& operator()(int i) { return items_[Checked(i)]; }
  const T& operator()(int i) const { return items_[Checked(i)]; }
  void Fill(const T& value) { items_.fill(value); }
  static constexpr int Size() { return N; }

 private:
  static int Checked(int i) {
    if (i < 0 || i >= N) Raise(ErrorKind::IndexOutOfRange, QString::number(i));
    return i;
  }
  std::array<T, N> items_{};
};

}  // namespace platform
