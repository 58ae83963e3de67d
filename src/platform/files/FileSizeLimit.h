#pragma once
// The file-size limit a process may run under (ulimit -f). A write past it raises SIGXFSZ,
// which ends the program unless ignored; ignored, the write fails with EFBIG instead.
#include <QtGlobal>
#include <signal.h>

namespace platform {

// Whether a file of `bytes` bytes stays within the limit.
bool WithinFileSizeLimit(qint64 bytes);

// Ignores SIGXFSZ while it lives, then puts back what was there: an ignored signal would be
// inherited by any program started later.
class FileSizeSignalIgnored {
 public:
  FileSizeSignalIgnored();
  ~FileSizeSignalIgnored();
  FileSizeSignalIgnored(const FileSizeSignalIgnored&) = delete;
  FileSizeSignalIgnored& operator=(const FileSizeSignalIgnored&) = delete;

 private:
  struct sigaction previous_ {};
};

}  // namespace platform
