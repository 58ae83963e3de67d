#include "platform/files/Descriptor.h"

#include <cerrno>

#include "platform/files/Faults.h"

namespace platform {

namespace {
bool Synced(int fd, SyncStep step, int (*sync)(int)) {
  if (const int error = InjectedSyncError(step)) {
    errno = error;
    return false;
  }
  return sync(fd) == 0;
}
}  // namespace

bool WriteAll(int fd, const char* data, qint64 size, qint64 offset) {
  for (qint64 written = 0; written < size;) {
    const qint64 allowed = WritableBytes(size - written);
    if (allowed == 0) return false;
    const ssize_t put = offset < 0 ? ::write(fd, data + written, size_t(allowed))
                                   : ::pwrite(fd, data + written, size_t(allowed), offset + written);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return false;
    written += put;
  }
  return true;
}

bool SyncData(int fd) { return Synced(fd, SyncStep::Data, ::fdatasync); }
bool SyncFolder(int folder, int file) {
  return Synced(folder, SyncStep::Folder, ::fsync) || (errno == EBADF && ::syncfs(file) == 0);
}

}  // namespace platform
