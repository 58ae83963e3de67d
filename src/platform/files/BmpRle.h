#pragma once
// The run-length encoded BMPs (RLE4, RLE8), decoded here rather than by Qt's reader: that one
// leaves every pixel the stream skips as the memory held it and cannot tell a stream cut short
// from a whole one.
#include <QIODevice>

#include "platform/files/DeclaredSize.h"
#include "platform/files/Decoded.h"

namespace platform {

bool IsRleBitmap(const BmpHeader& header);

// Decodes the pixel data of the file whose header is `header`, reading while rows remain, into
// an ARGB32 picture: the pixels the stream skips (by a delta, or by ending a line or the bitmap
// early) are transparent, so they take the back colour of the box that shows them; an index past
// the palette is black. A stream that ends before the last row is whole is damaged; one whose
// rows are all there loads without its end-of-bitmap code.
Decoded DecodeRleBitmap(const BmpHeader& header, QIODevice& file, const PictureMemory& memory);

}  // namespace platform
