#pragma once
// The part of a GIF that Qt's reader decodes for a still picture: the header and the first frame.
#include <QByteArray>

namespace platform {

struct GifFirstFrame {
  // The first frame's image data ends with its terminator inside the file. Qt's reader
  // decodes a frame cut short as far as it goes and calls that a success.
  bool complete = false;
  // The header and the first frame alone, every colour table filled out to 256 entries with
  // black: Qt's reader shows an index past the table as transparent white, where other readers
  // show black.
  QByteArray stream;
};

GifFirstFrame ReadGifFirstFrame(const QByteArray& file);

}  // namespace platform
