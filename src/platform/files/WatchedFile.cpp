#include "platform/files/WatchedFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

// Opening does not wait for a writer (O_NONBLOCK), nor makes a terminal the process's own; what
// is not a regular file is closed again at once.
int OpenRegularFile(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat status;
  if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) return fd;
  ::close(fd);
  errno = EINVAL;
  return -1;
}

WatchedFile::WatchedFile(int descriptor) {
  file_.open(descriptor, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle);
  QIODevice::open(ReadOnly | Unbuffered);
}

WatchedFile::~WatchedFile() { file_.close(); }

bool WatchedFile::seek(qint64 pos) { return QIODevice::seek(pos) && file_.seek(pos); }

qint64 WatchedFile::readData(char* data, qint64 maxSize) {
  const qint64 got = file_.read(data, maxSize);
  if (got < maxSize) askedPastEnd_ = true;
  return got;
}

}  // namespace platform
