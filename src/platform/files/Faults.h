#pragma once
// Test seams for failures a test cannot provoke for real: a disk that fills up in the middle of
// a write, memory that runs out at the k-th picture. They are part of every build, so the code
// that copes with those failures is tested as it ships; nothing sets them but tests.
#include <QtGlobal>

namespace platform {

// File writes fail with `error` (an errno value, such as ENOSPC or EIO) once `bytes` more bytes
// have been written. A one-shot fault disarms itself after the first refused write, as a disk
// whose space comes back; a lasting one refuses every write until cleared.
void InjectWriteFault(qint64 bytes, int error, bool lasting = false);
void ClearWriteFault();

// How many of `wanted` bytes the next write may take: `wanted` without a fault, fewer where
// the fault's budget ends, and 0 (errno set) once it is spent.
qint64 WritableBytes(qint64 wanted);

// Saving finds that no temporary file can be made beside its target, as in a folder the user
// may not write to, and so overwrites an existing file in place.
void InjectTemporaryFileFault(bool on);
bool TemporaryFilesRefused();

// The next sync of a saved file's data, or of its folder after the rename, fails once with
// `error` (tmpfs never fails either); 0 clears.
enum class SyncStep { Data, Folder };
void InjectSyncFault(SyncStep step, int error);
// The error the sync of `step` has to fail with now, or 0; taking it disarms the fault.
int InjectedSyncError(SyncStep step);

// The k-th picture allocation from now fails (k = 1: the next one); 0 clears.
void InjectAllocationFault(int k);
// Counts one picture allocation; false when it is the one that has to fail.
bool PictureAllocationAllowed();

}  // namespace platform
