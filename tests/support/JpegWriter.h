#pragma once
// JPEG files Qt's writer cannot make, written by libjpeg itself: restart markers between rows
// of blocks, a sequential file that gives each colour component a scan of its own, arithmetic
// coding, and component counts no picture has.
#include <QByteArray>
#include <QImage>

namespace jpegwriter {

enum class Layout { Restarts, ScanPerComponent, Arithmetic };

// An RGB32 picture as a colour JPEG at quality 90.
QByteArray Encode(const QImage& picture, Layout layout);

// An 8 x 8 JPEG of `components` components of no known colour space.
QByteArray OfComponents(int components);

}  // namespace jpegwriter
