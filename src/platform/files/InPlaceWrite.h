#pragma once
// Overwriting an existing file in place, for a folder where no temporary file can be made beside
// it. The old content is kept in memory and the new length reserved on the disk before the first
// byte is written, so the old file is either replaced whole or put back.
#include <QByteArray>
#include <QString>

namespace platform {

struct InPlaceResult {
  enum class Outcome {
    Written,     // the file holds `bytes`, flushed to the disk
    CannotOpen,  // the file could not be opened for reading and writing; nothing changed
    NoRoom,      // the disk cannot take the new length; nothing changed
    Restored,    // a write failed; the old content is back
    Lost,        // a write failed and the old content could not be put back
  } outcome = Outcome::CannotOpen;
  int error = 0;  // the errno of the write that failed
};

InPlaceResult OverwriteInPlace(const QString& path, const QByteArray& bytes);

}  // namespace platform
