#pragma once
// Picture files: any format Qt reads, recognised by content; pictures are written as 24-bit BMP.
#include <QImage>
#include <QString>

namespace platform {

// Decodes the file. A declared size beyond the picture limit is refused before decoding.
// Throws PlatformError (UnreadableFile, RefusedSize) naming the file.
QImage LoadPicture(const QString& path);

// Writes the image as a 24-bit BMP at exactly this path, replacing any file there only once
// the whole file is written (in a folder that allows no temporary file: overwriting it in
// place). Throws PlatformError (UnwritableFile); no temporary file is left behind.
void SavePicture(const QImage& image, const QString& path);

}  // namespace platform
