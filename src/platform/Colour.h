#pragma once
// Colours arrive as 0x00BBGGRR; this is the one place that knows the byte order.
#include <QRgb>

#include "platform/Numeric.h"

namespace platform {

inline QRgb ToQRgb(Long bgr) {
  return qRgb(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

}  // namespace platform
