#pragma once
// A picture file of any format a reader here knows, recognised by content and decoded by the
// reader of its format: giflib, libjpeg-turbo, our own run-length BMP decoder, or Qt's.
#include "platform/files/Decoded.h"
#include "platform/files/WatchedFile.h"

namespace platform {

// Every pixel of the picture comes from the file, into `memory`; an ARGB32 picture, the format
// most readers make for transparency, comes laid over white. A size the file declares beyond the
// picture limit is refused before any memory is asked for.
Decoded DecodePicture(WatchedFile& file, const PictureMemory& memory);

// Qt's decoders refuse any image above their allocation limit. Sizes are checked against the
// picture limit before decoding; this one lets every reader make a picture of that many pixels
// at up to 8 bytes each (16-bit PNG).
void MatchAllocationLimit();

}  // namespace platform
