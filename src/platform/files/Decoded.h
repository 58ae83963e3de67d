#pragma once
// What a picture file's decoder makes of it: its picture, or why there is none.
#include <QImage>
#include <functional>

#include "platform/files/Damage.h"

namespace platform {

// A width and height as a header states them, wider than an int: a PNG's side may be 2^32 - 1.
struct Extent {
  qint64 width = -1, height = -1;  // -1: not stated
  bool IsStated() const { return width >= 0 && height >= 0; }
  bool IsEmpty() const { return width <= 0 || height <= 0; }
};

// The memory a decoder writes the picture into: an image of that size and format, or a null one
// when the memory cannot be had. Its bytes may hold anything: a decoder writes every pixel.
using PictureMemory = std::function<QImage(int width, int height, QImage::Format format)>;

struct Decoded {
  enum class Outcome {
    Picture,
    NotAPicture,         // of no format a reader here knows
    OverLimit,           // `size` is beyond the picture limit
    NoMemory,            // a picture of `size` cannot be held
    Damaged,             // `damage` says how
    UnreadableBmpKind,   // a kind of BMP or JPEG the format defines that its reader does not take
    UnreadableJpegKind,
    ChildFailed,         // the decoding child crashed, was killed or broke off
    NoDecoder,           // the decoding program cannot be started
  } outcome = Outcome::Damaged;
  Extent size;  // once the file has said it
  Damage damage = Damage::None;
  QImage image;  // every pixel from the file, when the outcome is Picture

  static Decoded Refused(Outcome outcome, Extent size = {}, Damage damage = Damage::None) {
    return {outcome, size, damage, QImage()};
  }
  static Decoded Picture(QImage image) {
    return {Outcome::Picture, {image.width(), image.height()}, Damage::None, std::move(image)};
  }
};

}  // namespace platform
