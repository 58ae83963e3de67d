#include "platform/files/WatchedFile.h"

namespace platform {

bool WatchedFile::open(OpenMode mode) {
  if (mode != ReadOnly || !file_.open(ReadOnly | Unbuffered)) return false;
  return QIODevice::open(ReadOnly | Unbuffered);
}

void WatchedFile::close() {
  QIODevice::close();
  file_.close();
}

bool WatchedFile::seek(qint64 pos) { return QIODevice::seek(pos) && file_.seek(pos); }

qint64 WatchedFile::readData(char* data, qint64 maxSize) {
  const qint64 got = file_.read(data, maxSize);
  if (got < maxSize) askedPastEnd_ = true;
  if (got <= 0 && maxSize > 0) foundNothing_ = true;
  return got;
}

}  // namespace platform
