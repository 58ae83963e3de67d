#pragma once
// Images that boxes nothing draws into can share: every empty source window holds the same white
// clean copy, and every viewport of one size the same stretched background.
#include <QImage>
#include <QRect>

namespace platform {

// A width x height RGB32 image of one colour, the same memory for every caller while any of
// them holds it; null when the memory cannot be had (or for an empty size).
QImage SharedBlank(int width, int height, QRgb colour);

// `part` of `from` stretched over a whole image of `size`, nearest pixel, as a painter draws it;
// the same memory for every caller asking for that part of those pixels at that size while any
// of them holds it; null when the memory cannot be had (or for an empty size).
QImage SharedStretch(const QImage& from, const QRect& part, QSize size);

}  // namespace platform
