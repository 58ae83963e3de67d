#include "platform/files/FileIdentity.h"

#include <QList>
#include <cerrno>
#include <sys/xattr.h>
#include <unistd.h>

namespace platform {

namespace {
constexpr mode_t kModeBits = 07777;

// The value of one attribute of the file at `path`; false when it cannot be read whole.
bool ReadAttribute(const QByteArray& path, const char* name, QByteArray& value) {
  const ssize_t length = ::getxattr(path.constData(), name, nullptr, 0);
  if (length < 0) return false;
  value.resize(length);
  return ::getxattr(path.constData(), name, value.data(), size_t(value.size())) == length;
}

bool CopyAttributes(int fd, const QByteArray& path) {
  const ssize_t listed = ::listxattr(path.constData(), nullptr, 0);
  if (listed < 0) return errno == ENOTSUP;  // a file system without attributes: none to lose
  QByteArray names(listed, Qt::Uninitialized);
  // A different length the second time: the attributes changed meanwhile.
  if (::listxattr(path.constData(), names.data(), size_t(names.size())) != listed) return false;
  QByteArray value;
  for (const QByteArray& name : names.split('\0')) {
    if (name.isEmpty()) continue;
    if (!ReadAttribute(path, name.constData(), value) ||
        ::fsetxattr(fd, name.constData(), value.constData(), size_t(value.size()), 0) != 0)
      return false;
  }
  return true;
}
}  // namespace

bool TakeIdentity(int fd, const QByteArray& path, const struct stat& old) {
  struct stat now {};
  // Without the privilege, fchmod drops a setgid bit silently, so the result is checked.
  return ::fchown(fd, old.st_uid, old.st_gid) == 0 && CopyAttributes(fd, path) &&
         ::fchmod(fd, old.st_mode & kModeBits) == 0 && ::fstat(fd, &now) == 0 && now.st_uid == old.st_uid &&
         now.st_gid == old.st_gid && (now.st_mode & kModeBits) == (old.st_mode & kModeBits);
}

}  // namespace platform
