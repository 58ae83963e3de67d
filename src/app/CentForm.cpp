#include "app/CentForm.h"

#include <cmath>

#include "platform/Errors.h"

using platform::Integer;

namespace {
float Finite(float v) {
  if (!std::isfinite(v)) platform::Raise(platform::ErrorKind::Overflow);
  return v;
}
}  // namespace

void SetClientSize(platform::ChildForm& window, Integer W, Integer H) {
  const Integer tx = platform::RoundToInteger(platform::TwipsPerPixelX());
  const Integer ty = platform::RoundToInteger(platform::TwipsPerPixelY());
  window.SetScaleMode(platform::ChildForm::vbPixels);

  const float sw = float(window.ScaleWidth());
  const float w = float(window.Width());
  window.SetWidth(Finite((w - float(tx) * sw) + float(platform::CheckedMul16(tx, W))));

  const float sh = float(window.ScaleHeight());
  const float h = float(window.Height());
  window.SetHeight(Finite((h - float(ty) * sh) + float(platform::CheckedMul16(ty, H))));
}
