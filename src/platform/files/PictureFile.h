#pragma once
// Picture files: any format Qt reads, recognised by content; pictures are written as 24-bit BMP.
#include <QImage>
#include <QString>

namespace platform {

// Decodes the file: every pixel of the result comes from the file. Refused, naming the file
// and why, with PlatformError: RefusedSize for a declared size beyond the picture limit (before
// anything large is made), OutOfMemory when the picture cannot be held, UnreadableFile for a
// file that is missing, unreadable, of no known format, damaged or cut short.
QImage LoadPicture(const QString& path);

// Writes the image as a 24-bit BMP at exactly this path. The file appears or replaces the old one
// only once it is whole. In a folder that allows no temporary file, an existing file is overwritten
// in place: the space is reserved first, and a write that fails anyway puts the old content back.
// Throws PlatformError (UnwritableFile, OutOfMemory) saying whether the old file is as it was.
void SavePicture(const QImage& image, const QString& path);

}  // namespace platform
