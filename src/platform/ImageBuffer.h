#pragma once
// Every picture-sized buffer is made here, so that each one starts defined and a test can make
// any of them fail.
#include <QImage>

namespace platform {

// An image whose every byte is 0, null when the memory cannot be had. A large one comes
// straight from the kernel on huge pages: touching a fresh canvas-sized buffer page by page
// costs more than decoding a picture into it, and the kernel's pages are zero already.
QImage NewImage(int width, int height, QImage::Format format = QImage::Format_RGB32);

// The image in `format`: the same image when it is in that format already, else a converted
// copy; null when the copy cannot be had.
QImage Converted(const QImage& image, QImage::Format format);

}  // namespace platform
