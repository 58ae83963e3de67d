#include "platform/files/WatchedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {
// Opening does not wait for a writer (O_NONBLOCK), nor makes a terminal the process's own; what
// is not a regular file is closed again at once.
bool OpenRegularFile(QFile& file) {
  const QByteArray path = QFile::encodeName(file.fileName());
  const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat status;
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    return false;
  }
  if (file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) return true;
  ::close(fd);
  return false;
}
}  // namespace

bool WatchedFile::open(OpenMode mode) {
  if (mode != ReadOnly || !OpenRegularFile(file_)) return false;
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
  return got;
}

}  // namespace platform
