#pragma once
// Qt reads GIF but does not write it: a minimal GIF89a encoder for test files.
#include <QImage>
#include <QString>

namespace bench {

// Writes an 8-bit indexed image (at most 256 colours) as a GIF. The LZW stream sends every
// pixel as a literal code and restarts the table before the codes grow past 9 bits: large
// but valid, and quick to write. Returns false when the file cannot be written.
bool WriteGif(const QImage& indexed, const QString& path);

}  // namespace bench
