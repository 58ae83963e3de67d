#pragma once
// The one limit on picture sizes, shared by the image loader and the option dialogs.
// A long thin strip is cheap, so a side may be long. The area stays below 16384 x 16384
// pixels (1 GiB as RGB32, which a window holds once, plus the tiles drawn on it): Qt's GIF
// reader refuses that exact size, and every reader takes anything smaller.
namespace platform {

constexpr int kMaxPictureSide = 65535;
constexpr long long kAreaLimitSide = 16384;
constexpr long long kMaxPicturePixels = kAreaLimitSide * kAreaLimitSide - 1;

inline bool FitsPictureLimit(long long width, long long height) {
  return width >= 0 && height >= 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

}  // namespace platform
