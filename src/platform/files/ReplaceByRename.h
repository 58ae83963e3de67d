#pragma once
// Saving through a new file: the content goes to a temporary file beside the target, which takes
// the target's name only once it is whole, on the disk, and owned and moded as the file it
// replaces. Up to the rename nothing of the old file changes.
#include <functional>

#include "platform/files/SaveTarget.h"

class QIODevice;

namespace platform {

// Puts what `write` writes into the device it is given (true: all of it) at the target: Saved,
// Unsynced, or, with nothing changed, NotOpened (no file beside it), NotKept or NotWritten.
SaveResult ReplaceByRename(const SaveTarget& target, const std::function<bool(QIODevice&)>& write);

}  // namespace platform
