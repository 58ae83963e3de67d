#pragma once
// The part of a GIF that Qt's reader decodes for a still picture, the header and the first frame,
// read by giflib, which decodes the frame once to judge it: Qt's reader decodes a frame whose
// data ends early as far as it goes and calls that a success.
#include <QByteArray>
#include <QIODevice>
#include <QSize>

#include "platform/files/Damage.h"

namespace platform {

struct GifFirstFrame {
  // The picture's size as Qt's reader makes it: the logical screen, or where a side of that is
  // 0, the first frame's extent on that side. Invalid until the frame's descriptor is read.
  QSize size;
  // Why the frame is not whole; None when it is, or when reading stopped at a size over the limit.
  Damage damage = Damage::None;
  // For Qt's reader: what comes before the first frame's image data (the header, extensions and
  // the frame's descriptor), every colour table filled out to 256 entries with black (Qt's reader
  // shows an index past the table as transparent white, where other readers show black). Empty
  // unless the frame is whole.
  QByteArray head;
  // Where the frame's image data lies in the file, from its code size to its terminator: Qt's
  // reader takes it from the file, so the compressed picture is never held in memory.
  qint64 dataFrom = 0, dataTo = 0;
};

// Reads from the start of the file up to the end of the first frame, no further; over the
// picture limit, no further than the frame's descriptor.
GifFirstFrame ReadGifFirstFrame(QIODevice& file);

// The file as Qt's reader is to see it: the head, the frame's image data read from the file as
// it is asked for, and the trailer.
class GifFrameStream : public QIODevice {
 public:
  GifFrameStream(const GifFirstFrame& frame, QIODevice& file);
  bool isSequential() const override { return false; }
  qint64 size() const override;
  // The file gave less of the frame's data than it held when it was judged.
  bool RanShort() const { return ranShort_; }

 protected:
  qint64 readData(char* data, qint64 maxSize) override;
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  const GifFirstFrame& frame_;
  QIODevice& file_;
  bool ranShort_ = false;
};

}  // namespace platform
