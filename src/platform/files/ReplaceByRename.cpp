#include "platform/files/ReplaceByRename.h"

#include <QIODevice>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>

#include "platform/files/Descriptor.h"
#include "platform/files/Faults.h"
#include "platform/files/FileIdentity.h"

namespace platform {

namespace {
using Outcome = SaveResult::Outcome;

// Passes writes to the descriptor through the write seam, and remembers why the first one failed.
// Nothing is buffered on the way, so no write can fail unseen after the last check.
class DescriptorSink : public QIODevice {
 public:
  explicit DescriptorSink(int fd) : fd_(fd) { open(WriteOnly | Unbuffered); }
  int Error() const { return error_; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override { return WriteAll(fd_, data, size) ? size : Fail(errno); }

 private:
  qint64 Fail(int error) {
    if (error_ == 0) error_ = error;
    return -1;
  }

  int fd_;
  int error_ = 0;
};

// A file with a short name of its own in the folder, so that a target with the longest name the
// folder allows can still be replaced; removed again unless it took the target's name.
class TemporaryFile {
 public:
  TemporaryFile(int folder, mode_t mode) : folder_(folder) {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
      QByteArray name(".tilora-");
      for (int i = 0; i < 6; ++i) name += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
      file_.fd = ::openat(folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
      if (file_.fd >= 0) name_ = name;
      if (file_.fd >= 0 || errno != EEXIST) return;
    }
  }
  ~TemporaryFile() {
    if (!name_.isEmpty()) ::unlinkat(folder_, name_.constData(), 0);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int Fd() const { return file_.fd; }
  bool Close() { return file_.Close(); }
  bool RenameTo(const QByteArray& name) {
    if (::renameat(folder_, name_.constData(), folder_, name.constData()) != 0) return false;
    name_.clear();
    return true;
  }

 private:
  int folder_;
  Descriptor file_;
  QByteArray name_;  // empty: nothing of ours to remove
};
}  // namespace

SaveResult ReplaceByRename(const SaveTarget& target, const std::function<bool(QIODevice&)>& write) {
  if (TemporaryFilesRefused()) return {Outcome::NotOpened, EACCES};
  const struct statx* old = target.exists ? &target.status : nullptr;
  // Private until it has the old file's identity; a new name gets the usual mode (umask applied).
  TemporaryFile file(target.folder.fd, old ? 0600 : 0666);
  if (file.Fd() < 0) return {Outcome::NotOpened, errno};
  {
    DescriptorSink sink(file.Fd());
    if (!write(sink)) return {Outcome::NotWritten, sink.Error() ? sink.Error() : EIO};
  }
  if (!SyncData(file.Fd())) return {Outcome::NotWritten, errno};
  // After the writes: a write by anyone but root would clear a setgid bit given before.
  if (old && !TakeIdentity(file.Fd(), target.folder.fd, target.name, *old)) return {Outcome::NotKept, errno};
  // Open past the close, for a folder that can only be synced through its file system.
  const Descriptor renamed{::dup(file.Fd())};
  if (!file.Close() || !file.RenameTo(target.name)) return {Outcome::NotWritten, errno};
  // File systems that cannot sync a folder say so with EINVAL or ENOTSUP; nothing more can be done.
  if (!SyncFolder(target.folder.fd, renamed.fd) && errno != EINVAL && errno != ENOTSUP)
    return {Outcome::Unsynced, errno};
  return {Outcome::Saved, 0};
}

}  // namespace platform
