#pragma once
// Saving through a new file: the content goes to a temporary file beside the target, which takes
// the target's name only once it is whole, on the disk, and owned and moded as the file it
// replaces. Up to the rename nothing of the old file changes.
#include <QString>
#include <functional>
#include <sys/stat.h>

class QIODevice;

namespace platform {

struct RenameResult {
  enum class Outcome {
    Renamed,         // the new file has the name and is on the disk, and so is the folder
    FolderUnsynced,  // the new file has the name, but the folder's sync failed with `error`
    WriteFailed,     // writing, syncing or renaming the new file failed with `error`; nothing changed
    NoTemporary,     // no file could be made beside the target (`error`); nothing changed
    IdentityLost,    // the new file cannot take the old file's owner, attributes or mode; nothing changed
  } outcome = Outcome::NoTemporary;
  int error = 0;
};

// Puts what `write` writes into the device it is given (true: all of it) at `target`, a path
// that is no symbolic link. `old` is the status of the regular file there, or null for a new name.
RenameResult ReplaceByRename(const QString& target, const struct stat* old,
                             const std::function<bool(QIODevice&)>& write);

}  // namespace platform
