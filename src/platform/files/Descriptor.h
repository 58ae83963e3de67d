#pragma once
// An open file descriptor closed with its owner, and the syncs a save relies on.
#include <unistd.h>

namespace platform {

struct Descriptor {
  int fd = -1;
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

// The file's data on the disk (fdatasync); false with errno set when the disk did not confirm.
bool SyncData(int fd);

// The folder's entries on the disk (fsync of the folder), so that a rename survives a power cut.
bool SyncFolder(int fd);

}  // namespace platform
