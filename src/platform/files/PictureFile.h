#pragma once
// Picture files: any format Qt reads, recognised by content; pictures are written as 24-bit BMP.
#include <QImage>
#include <QString>

#include "platform/files/Decoded.h"

namespace platform {

// Decodes the file in a decoding child (DecodingChild.h): every pixel of the result comes from
// the file. Refused, naming the file and why, with PlatformError: RefusedSize for a declared size
// beyond the picture limit (before anything large is made), OutOfMemory when the picture cannot
// be held, UnreadableFile for a file that is missing, unreadable, of no known format, damaged or
// cut short, or when the child failed.
QImage LoadPicture(const QString& path);

// The same picture or refusal, decoded in this process into `memory` as the decoding child
// decodes it: for tests that decode thousands of files, where a child for each costs too much.
QImage DecodePictureHere(const QString& path, const PictureMemory& memory);

// Writes the image as a 24-bit BMP at exactly this path, at the file the kernel reaches through
// it (symbolic links included). A new file takes the name only once it is whole and on the disk,
// and only where it can keep the old file's owner, group, mode and attributes; a file with other
// names, one in a folder that allows no new file, or one the file system renames nothing over, is
// overwritten in place: the space is reserved first, and a write that fails anyway puts the old
// content back. Only a regular file is saved over. Throws PlatformError (UnwritableFile,
// OutOfMemory) saying whether the old file is as it was, UnsyncedFile when the new file is in
// place but its folder did not reach the disk, or ModeNotKept when it is saved in place but lost
// its setuid / setgid bits.
void SavePicture(const QImage& image, const QString& path);

}  // namespace platform
