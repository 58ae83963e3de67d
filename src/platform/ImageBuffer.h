#pragma once
// Every picture-sized buffer is made here, so that each one starts defined and a test can make
// any of them fail.
#include <QImage>

namespace platform {

// An image whose every byte is 0, null when the memory cannot be had. A large one comes
// straight from the kernel on huge pages: touching a fresh canvas-sized buffer page by page
// costs more than decoding a picture into it, and the kernel's pages are zero already.
QImage NewImage(int width, int height, QImage::Format format = QImage::Format_RGB32);

// How many bytes a row of an image of that width and format takes, as QImage lays it out.
qsizetype BytesPerLine(int width, QImage::Format format);

// An image over `length` bytes mapped at `base`, in rows of BytesPerLine; the last copy of it
// unmaps them.
QImage OverMapping(void* base, size_t length, int width, int height, QImage::Format format);

// The image in `format`: the same image when it is in that format already, else a converted
// copy; null when the copy cannot be had.
QImage Converted(const QImage& image, QImage::Format format);

}  // namespace platform
