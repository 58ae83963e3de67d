#include "platform/files/FileSizeLimit.h"

#include <sys/resource.h>

namespace platform {

bool WithinFileSizeLimit(qint64 bytes) {
  struct rlimit limit {};
  if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return true;
  return quint64(bytes) <= quint64(limit.rlim_cur);
}

FileSizeSignalIgnored::FileSizeSignalIgnored() {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGXFSZ, &ignore, &previous_);
}

FileSizeSignalIgnored::~FileSizeSignalIgnored() { ::sigaction(SIGXFSZ, &previous_, nullptr); }

}  // namespace platform
