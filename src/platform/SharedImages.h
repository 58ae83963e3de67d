#pragma once
// Images of one colour that boxes nothing draws into can share: every empty source window holds
// the same white clean copy.
#include <QImage>

namespace platform {

// A width x height RGB32 image of one colour, the same memory for every caller while any of
// them holds it; null when the memory cannot be had (or for an empty size).
QImage SharedBlank(int width, int height, QRgb colour);

}  // namespace platform
