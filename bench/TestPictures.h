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

}  // namespace bench
