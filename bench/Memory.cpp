#include "Memory.h"

#include <fstream>
#include <malloc.h>
#include <string>

namespace bench {

namespace {
long StatusKiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == field) {
      status >> value;
      return value;
    }
    status.ignore(1 << 10, '\n');
  }
  return 0;
}
}  // namespace

long ResidentKiB() {
  malloc_trim(0);
  return StatusKiB("VmRSS:");
}

long PeakKiB() { return StatusKiB("VmHWM:"); }

bool ResetPeak() {
  malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
  return PeakKiB() <= StatusKiB("VmRSS:") + 1024;
}

}  // namespace bench
