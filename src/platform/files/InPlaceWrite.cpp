#include "platform/files/InPlaceWrite.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "platform/files/Descriptor.h"

namespace platform {

namespace {
using Outcome = SaveResult::Outcome;

bool ReadAll(int fd, QByteArray& into) {
  for (qint64 at = 0; at < into.size();) {
    const ssize_t got = ::pread(fd, into.data() + at, size_t(into.size() - at), at);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    at += got;
  }
  return true;
}

// Writes all of `bytes` from the start of the file and cuts it to their length.
bool WriteWhole(int fd, const QByteArray& bytes) {
  return WriteAll(fd, bytes.constData(), bytes.size(), 0) && ::ftruncate(fd, bytes.size()) == 0 && SyncData(fd);
}

// Asks the file system for the blocks of the whole new content; where it cannot reserve them,
// the free space has to hold what the file grows by.
bool Reserve(int fd, qint64 length, qint64 oldLength) {
  if (length == 0 || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, length) == 0) return true;
  if (errno != EOPNOTSUPP && errno != ENOSYS) return false;
  struct statvfs space {};
  errno = ENOSPC;
  return ::fstatvfs(fd, &space) == 0 && length - oldLength <= qint64(space.f_bavail) * qint64(space.f_frsize);
}

// A write by anyone without the privilege drops the setuid and setgid bits. The owner may put them
// back, though not a setgid bit of a group they are not in: fchmod drops that one silently.
bool ModeKept(int fd, mode_t old) {
  struct stat now {};
  const auto same = [&] { return ::fstat(fd, &now) == 0 && (now.st_mode & 07777) == (old & 07777); };
  return same() || (::fchmod(fd, old & 07777) == 0 && same());
}
}  // namespace

SaveResult OverwriteInPlace(int folder, const QByteArray& name, const QByteArray& bytes) {
  // Not blocking on a FIFO nor taking a terminal, should the name no longer be a regular file.
  const Descriptor file{::openat(folder, name.constData(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC)};
  struct stat status {};
  if (file.fd < 0 || ::fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode)) return {Outcome::NotOpened, errno};
  QByteArray old(qsizetype(status.st_size), Qt::Uninitialized);
  if (!ReadAll(file.fd, old)) return {Outcome::NotOpened, errno};
  if (!Reserve(file.fd, bytes.size(), old.size())) return {Outcome::NotWritten, errno};
  if (WriteWhole(file.fd, bytes)) return {ModeKept(file.fd, status.st_mode) ? Outcome::Saved : Outcome::ModeLost, 0};
  const int error = errno;
  const bool restored = WriteWhole(file.fd, old);
  ModeKept(file.fd, status.st_mode);  // as it was, where that can be
  return {restored ? Outcome::Restored : Outcome::Lost, error};
}

}  // namespace platform
