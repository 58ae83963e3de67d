#pragma once
// Picture files for the load benchmarks, written once per run into a temporary folder.
#include <QSize>
#include <QString>

namespace bench {

enum class FileKind { Bmp24, Jpeg, Gif, PngRgba };
constexpr FileKind kFileKinds[] = {FileKind::Bmp24, FileKind::Jpeg, FileKind::Gif, FileKind::PngRgba};

const char* KindName(FileKind kind);
// A photograph-like picture of the kind: a 24-bit BMP, a baseline JPEG, a GIF with a
// 256-colour palette, or a PNG with an alpha channel that varies.
QString PictureFile(FileKind kind, QSize size);

// A GIF whose 100 x 100 screen holds a first image of `image`, all of one colour. An image over
// the picture limit is only declared: its data is a small one's.
QString LargeFirstImageGif(QSize image);

}  // namespace bench
