#pragma once
// An open file descriptor closed with its owner, and the syncs a save relies on.
#include <QtGlobal>
#include <unistd.h>
#include <utility>

namespace platform {

struct Descriptor {
  int fd = -1;
  explicit Descriptor(int opened = -1) : fd(opened) {}
  Descriptor(Descriptor&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    std::swap(fd, other.fd);
    return *this;
  }
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  // Closes now and says whether the close reported an error (some file systems report failed
  // writes only here).
  bool Close() {
    const int closing = fd;
    fd = -1;
    return ::close(closing) == 0;
  }
};

// Writes all `size` bytes, through the write seam, at `offset` or, where it is negative, at the
// file's position; false with errno set otherwise. A short write is followed by the one that
// says why.
bool WriteAll(int fd, const char* data, qint64 size, qint64 offset = -1);

// The file's data on the disk (fdatasync); false with errno set when the disk did not confirm.
bool SyncData(int fd);

// The folder's entries on the disk, so that a rename survives a power cut: the folder's fsync, or
// where the folder is open only to find names in (one the user may not read: EBADF), a sync of
// the whole file system that `file` lies on.
bool SyncFolder(int folder, int file);

}  // namespace platform
