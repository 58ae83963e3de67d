#pragma once
// Resident memory of this process, as the kernel counts it.
namespace bench {

// Returns free heap pages to the system first, so that memory freed by earlier benchmarks
// cannot hide what the next allocations cost.
long ResidentKiB();
// The peak resident size since the last ResetPeak.
long PeakKiB();
// False where the kernel keeps the old peak.
bool ResetPeak();

}  // namespace bench
