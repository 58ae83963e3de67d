#pragma once
// JPEG seeds Qt's writer cannot make, written by libjpeg itself: restart markers between rows
// of blocks, and a sequential file that gives each colour component a scan of its own.
#include <QByteArray>
#include <QImage>

namespace fuzz {

enum class JpegLayout { Restarts, ScanPerComponent };

// An RGB32 picture as a colour JPEG at quality 90.
QByteArray EncodeJpeg(const QImage& picture, JpegLayout layout);

}  // namespace fuzz
