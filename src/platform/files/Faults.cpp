#include "platform/files/Faults.h"

#include <cerrno>
#include <utility>

namespace platform {

namespace {
struct WriteFault {
  qint64 budget = -1;  // bytes still allowed; -1: no fault
  int error = 0;
  bool lasting = false;
} writeFault;

int allocationsUntilFault = 0;
bool temporaryFilesRefused = false;
int syncFaults[2] = {};  // by SyncStep
}  // namespace

void InjectWriteFault(qint64 bytes, int error, bool lasting) { writeFault = {bytes, error, lasting}; }
void ClearWriteFault() { writeFault = {}; }

qint64 WritableBytes(qint64 wanted) {
  if (writeFault.budget < 0) return wanted;
  if (writeFault.budget == 0) {
    errno = writeFault.error;
    if (!writeFault.lasting) ClearWriteFault();
    return 0;
  }
  const qint64 allowed = qMin(wanted, writeFault.budget);
  writeFault.budget -= allowed;
  return allowed;
}

void InjectTemporaryFileFault(bool on) { temporaryFilesRefused = on; }
bool TemporaryFilesRefused() { return temporaryFilesRefused; }

void InjectSyncFault(SyncStep step, int error) { syncFaults[int(step)] = error; }
int InjectedSyncError(SyncStep step) { return std::exchange(syncFaults[int(step)], 0); }

void InjectAllocationFault(int k) { allocationsUntilFault = k; }

bool PictureAllocationAllowed() {
  if (allocationsUntilFault <= 0) return true;
  return --allocationsUntilFault != 0;
}

}  // namespace platform
