#pragma once
// GIF files: the first image, which is what a still picture shows, decoded once by giflib, which
// both judges the data and hands over its pixels.
#include <QIODevice>

#include "platform/files/Decoded.h"

namespace platform {

// Reads from the start of the file to the end of its first image, no further. The picture is
// the logical screen (where a side of it is 0, the image's extent on that side), the image placed
// on it where the file says and cut at its edges. Outside the image it is transparent where the
// image names a transparent index or the file has no global colour table, else the global
// table's background colour. An index past its colour table shows black. A first image larger
// than the picture limit is refused before any of it is decoded.
Decoded ReadGif(QIODevice& file, const PictureMemory& memory);

}  // namespace platform
