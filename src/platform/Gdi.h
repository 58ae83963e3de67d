#pragma once
// Drawing between the retained images of picture boxes, in picture pixels.
#include "platform/Numeric.h"

namespace platform {

class PictureBox;

// A plain rectangle copy, clipped on both sides; negative origins are allowed and an
// empty or negative size copies nothing. No allocation.
void BitBlt(PictureBox& dst, Long x, Long y, Long w, Long h, const PictureBox& src, Long sx, Long sy);

// Scales the source rectangle onto the destination rectangle (nearest pixel).
void StretchBlt(PictureBox& dst, Long x, Long y, Long w, Long h, const PictureBox& src, Long sx,
                Long sy, Long sw, Long sh);

// A one-pixel outline in the box's fore colour: right and bottom exclusive, no fill,
// clipped to the image.
void Rectangle(PictureBox& box, Long left, Long top, Long right, Long bottom);

}  // namespace platform
