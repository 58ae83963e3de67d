#pragma once
// The one limit on picture sizes, shared by the image loader and the option dialogs.
// 16384 x 16384 RGB32 is 1 GiB per image; a canvas holds three such images at most.
namespace platform {

constexpr int kMaxPictureSide = 16384;

inline bool FitsPictureLimit(long long width, long long height) {
  return width >= 0 && height >= 0 && width <= kMaxPictureSide && height <= kMaxPictureSide;
}

}  // namespace platform
