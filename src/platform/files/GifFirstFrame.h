#pragma once
// The part of a GIF that Qt's reader decodes for a still picture: the header and the first frame.
#include <QByteArray>
#include <QSize>

namespace platform {

struct GifFirstFrame {
  // The picture's size as Qt's reader makes it: the logical screen, or where a side of that is
  // 0, the first frame's extent on that side.
  QSize size;
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
