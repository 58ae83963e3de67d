#include "platform/files/SaveTarget.h"

#include <QFile>
#include <cerrno>
#include <climits>
#include <fcntl.h>

namespace platform {

namespace {
// As many links as the kernel follows in one path (MAXSYMLINKS).
constexpr int kMostLinks = 40;

// Readable where possible: only a readable folder can be synced.
Descriptor OpenFolder(int from, const QByteArray& folder) {
  const int fd = ::openat(from, folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  return Descriptor{fd >= 0 ? fd : ::openat(from, folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC)};
}
}  // namespace

SaveTarget FindSaveTarget(const QString& path) {
  SaveTarget target;
  QByteArray next = QFile::encodeName(path);
  for (int links = 0;; ++links) {
    const qsizetype slash = next.lastIndexOf('/');
    // A relative link is read from the folder that holds it, the first path from the current one.
    target.folder = OpenFolder(links == 0 ? AT_FDCWD : target.folder.fd,
                               slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : next.left(slash));
    target.name = next.mid(slash + 1);
    if (target.folder.fd < 0 || target.name.isEmpty()) {
      target.error = target.folder.fd < 0 ? errno : EISDIR;
      break;
    }
    if (::statx(target.folder.fd, target.name.constData(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &target.status)) {
      if (errno != ENOENT) target.error = errno;
      break;
    }
    target.exists = !S_ISLNK(target.status.stx_mode);
    if (target.exists) break;
    QByteArray link(PATH_MAX, Qt::Uninitialized);
    const ssize_t length = ::readlinkat(target.folder.fd, target.name.constData(), link.data(), size_t(link.size()));
    if (links == kMostLinks || length < 0) {
      target.error = length < 0 ? errno : ELOOP;
      break;
    }
    next = link.left(length);
  }
  return target;
}

}  // namespace platform
