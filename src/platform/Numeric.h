#pragma once
// Long and Integer arithmetic of the editor: every result is checked, never wrapped.
#include <cstdint>

namespace platform {

using Long = std::int32_t;
using Integer = std::int16_t;

Long CheckedAdd(Long a, Long b);
Long CheckedSub(Long a, Long b);
Long CheckedMul(Long a, Long b);
// Truncates toward zero, as integer division of the editor does.
Long CheckedDiv(Long a, Long b);
Integer CheckedMul16(Integer a, Integer b);

// Single -> Long / Integer: nearest integer, halves to the even neighbour.
Long RoundToLong(double value);
Integer RoundToInteger(double value);

}  // namespace platform
