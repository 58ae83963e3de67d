#include "platform/files/FileIdentity.h"

#include <QByteArrayList>
#include <cerrno>
#include <optional>
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

// The attribute names `list` (listxattr or flistxattr) gives, none on a file system without
// attributes; nothing when they cannot be listed or changed meanwhile.
template <typename List>
std::optional<QByteArrayList> AttributeNames(List list) {
  const ssize_t length = list(nullptr, 0);
  if (length < 0) return errno == ENOTSUP ? std::optional(QByteArrayList()) : std::nullopt;
  QByteArray names(length, Qt::Uninitialized);
  if (list(names.data(), size_t(names.size())) != length) return std::nullopt;
  QByteArrayList result = names.split('\0');
  result.removeAll(QByteArray());
  return result;
}

// Exactly the old file's attributes: an access list the new file took from its folder goes.
bool CopyAttributes(int fd, const QByteArray& path) {
  const auto old = AttributeNames([&](char* into, size_t size) { return ::listxattr(path.constData(), into, size); });
  const auto own = AttributeNames([fd](char* into, size_t size) { return ::flistxattr(fd, into, size); });
  if (!old || !own) return false;
  for (const QByteArray& name : *own)
    if (!old->contains(name) && ::fremovexattr(fd, name.constData()) != 0) return false;
  QByteArray value;
  for (const QByteArray& name : *old)
    if (!ReadAttribute(path, name.constData(), value) ||
        ::fsetxattr(fd, name.constData(), value.constData(), size_t(value.size()), 0) != 0)
      return false;
  return true;
}
}  // namespace

bool TakeIdentity(int fd, int folder, const QByteArray& name, const struct statx& old) {
  // No call reads attributes relative to a folder; its descriptor's name in /proc stands in.
  const QByteArray path = "/proc/self/fd/" + QByteArray::number(folder) + '/' + name;
  struct stat now {};
  // Without the privilege, fchmod drops a setgid bit silently, so the result is checked.
  return ::fchown(fd, old.stx_uid, old.stx_gid) == 0 && CopyAttributes(fd, path) &&
         ::fchmod(fd, old.stx_mode & kModeBits) == 0 && ::fstat(fd, &now) == 0 && now.st_uid == old.stx_uid &&
         now.st_gid == old.stx_gid && (now.st_mode & kModeBits) == (old.stx_mode & kModeBits);
}

}  // namespace platform
