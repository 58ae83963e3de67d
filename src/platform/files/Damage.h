#pragma once
// How a picture file's data is damaged, as its decoder found it. Every kind reads the same to the
// user ("画像データが壊れています。"); the kind says why for tests that hold the loader against
// other readers.
#include "platform/Errors.h"

namespace platform {

enum class Damage {
  None,
  DataEndsEarly,  // the file, a scan or the compressed data ends before the picture is whole
  BadCode,        // a code the compressed data cannot hold
  MissingScans,   // a JPEG in several scans, some of which never came
  BadScanHeader,  // scan parameters the JPEG's own kind cannot have
  BadStructure,   // a marker, record or header the decoder cannot read at all
};

class DamagedPicture : public PlatformError {
 public:
  DamagedPicture(const QString& detail, Damage how)
      : PlatformError(ErrorKind::UnreadableFile, ErrorText(ErrorKind::UnreadableFile, detail)), how_(how) {}
  Damage How() const { return how_; }

 private:
  Damage how_;
};

}  // namespace platform
