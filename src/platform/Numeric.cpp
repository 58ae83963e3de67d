#include "platform/Numeric.h"

#include <cmath>
#include <limits>

#include "platform/Errors.h"

namespace platform {

namespace {
template <typename T>
T Narrow(std::int64_t v) {
  if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max())
    Raise(ErrorKind::Overflow);
  return static_cast<T>(v);
}

template <typename T>
T RoundHalfEven(double value) {
  if (!std::isfinite(value)) Raise(ErrorKind::Overflow);
  // nearbyint follows the default rounding mode, which is to nearest, ties to even.
  const double r = std::nearbyint(value);
  if (r < std::numeric_limits<T>::min() || r > std::numeric_limits<T>::max())
    Raise(ErrorKind::Overflow);
  return static_cast<T>(r);
}
}  // namespace

Long CheckedAdd(Long a, Long b) { return Narrow<Long>(std::int64_t{a} + b); }
Long CheckedSub(Long a, Long b) { return Narrow<Long>(std::int64_t{a} - b); }
Long CheckedMul(Long a, Long b) { return Narrow<Long>(std::int64_t{a} * b); }

Long CheckedDiv(Long a, Long b) {
  if (b == 0) Raise(ErrorKind::DivisionByZero);
  return Narrow<Long>(std::int64_t{a} / b);
}

Integer CheckedMul16(Integer a, Integer b) { return Narrow<Integer>(std::int64_t{a} * b); }

Long RoundToLong(double value) { return RoundHalfEven<Long>(value); }
Integer RoundToInteger(double value) { return RoundHalfEven<Integer>(value); }

}  // namespace platform
