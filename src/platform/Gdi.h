#pragma once
// Drawing between the retained images of picture boxes, in picture pixels.
#include "platform/Numeric.h"

namespace platform {

class PictureBox;

// A plain rectangle copy, clipped on both sides; negative origins are allowed and an
// empty or negative size copies nothing. It allocates at most the destination's tiles it
// writes, none where the source shows the same picture at the same place (the erase of an
// outline), whose tiles it takes over or lets go. OutOfMemory leaves the destination as it was.
void BitBlt(PictureBox& dst, Long x, Long y, Long w, Long h, const PictureBox& src, Long sx, Long sy);

// Scales the source rectangle onto the destination rectangle (nearest pixel).
void StretchBlt(PictureBox& dst, Long x, Long y, Long w, Long h, const PictureBox& src, Long sx,
                Long sy, Long sw, Long sh);

// A one-pixel outline in the box's fore colour: right and bottom exclusive, no fill,
// clipped to the image; only the tiles its edges cross are copied.
void Rectangle(PictureBox& box, Long left, Long top, Long right, Long bottom);

}  // namespace platform
