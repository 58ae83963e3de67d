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

bool SyncData(int fd) { return Synced(fd, SyncStep::Data, ::fdatasync); }
bool SyncFolder(int fd) { return Synced(fd, SyncStep::Folder, ::fsync); }

}  // namespace platform
