#pragma once
// Where a save writes, found as the kernel finds it, and what became of one way of writing there.
#include <QByteArray>
#include <QString>
#include <sys/stat.h>

#include "platform/files/Descriptor.h"

namespace platform {

struct SaveTarget {
  Descriptor folder;       // readable where the user may read it: only then can it be synced
  QByteArray name;         // within `folder`, and no symbolic link
  int error = 0;           // why there is no such folder and name (ENOENT, ELOOP, ENAMETOOLONG...)
  bool exists = false;     // whether something is at the name, as `status` tells
  struct statx status {};  // with the attributes, append-only among them
};

// The file a path leads to: every folder is opened, so the kernel resolves what leads to it, and
// symbolic links at the end are followed one at a time from the folder each lies in, up to the
// kernel's own bound. A link that leads nowhere yet leads to the name of a new file.
SaveTarget FindSaveTarget(const QString& path);

struct SaveResult {
  enum class Outcome {
    Saved,       // the file holds the picture, on the disk
    Unsynced,    // saved by rename, but the folder's sync failed with `error`
    ModeLost,    // saved in place, but the setuid / setgid bits could not be put back
    AppendOnly,  // the file may only be appended to; nothing changed
    NotOpened,   // no file could be made or opened to write (`error`); nothing changed
    NotKept,     // the new file cannot take the old one's owner, group, attributes or mode; nothing changed
    NotEncoded,  // the picture could not be made a BMP; nothing changed
    NotWritten,  // writing, syncing or renaming failed with `error`; nothing changed
    Restored,    // writing in place failed with `error`; the old content is back
    Lost,        // writing in place failed with `error`, and so did putting the old content back
  } outcome = Outcome::Saved;
  int error = 0;
};

}  // namespace platform
