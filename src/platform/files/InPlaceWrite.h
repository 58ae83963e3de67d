#pragma once
// Overwriting an existing file in place, where a new file cannot replace it by rename. The old
// content is kept in memory and the new length reserved on the disk before the first byte is
// written, so the old file is either replaced whole or put back.
#include <QByteArray>

#include "platform/files/SaveTarget.h"

namespace platform {

// Writes `bytes` over the regular file `name` in `folder` (or AT_FDCWD): Saved, ModeLost (the
// setuid / setgid bits the write dropped could not be put back), NotOpened and NotWritten with
// nothing changed, Restored, Lost.
SaveResult OverwriteInPlace(int folder, const QByteArray& name, const QByteArray& bytes);

}  // namespace platform
