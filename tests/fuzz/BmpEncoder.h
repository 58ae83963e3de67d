#pragma once
// A small BMP encoder for the fuzz seeds: Qt writes only 24- and 32-bit uncompressed files,
// and the seeds need every depth, both run-length codings, top-down rows and bit fields.
#include <QByteArray>
#include <QImage>

namespace fuzz {

enum class BmpLayout {
  Pal1,
  Pal4,
  Pal8,
  Rle4,
  Rle8,
  Rgb555,
  Rgb565Fields,
  Rgb24,
  Rgb24TopDown,
  Rgb32,
  Rgb32Fields,  // channel masks in the reverse of the usual order
};

// The picture as a BMP file with a 40-byte info header. Palette and run-length layouts take an
// Indexed8 picture whose colour table fits the depth; the others take an RGB32 picture.
QByteArray EncodeBmp(const QImage& picture, BmpLayout layout);

}  // namespace fuzz
