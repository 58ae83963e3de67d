#pragma once
// The lock the decoding child enters before it receives the picture file, while it has one
// thread (Landlock binds only the calling thread and the threads it starts later).
#include <QtGlobal>

namespace decoding {

// Memory for the libraries mapped now and 2.5 times the largest picture (a progressive JPEG keeps
// every coefficient beside it), a minute of processor time, and no more files than it holds and
// its threads' wake-up counters need. Returns the memory the libraries take, for the program to
// bound the memory by the picture's own size once it is known; -1 in sanitizer builds, whose
// memory stays unbounded: their shadow memory is reserved up front.
qint64 LimitResources();

// No access to any file or folder by path, granted to nothing (Landlock, as far as the kernel
// offers it); false where the kernel offers none.
bool LockFileSystem();

// Only the system calls decoding needs: receiving the files from the program's socket, reading its
// descriptors, memory, threads for Qt's conversions, writing to the standard error and to the
// program's socket, ending. Any other
// call ends the process with SIGSYS; clone3 answers ENOSYS, since its flags lie in memory where
// the filter cannot see them, and the C library falls back to clone. Sanitizer builds also let their
// runtime make and write to pipes and set its signal stack; the file-system lock holds there too.
bool LockSystemCalls();

// Both locks, after no_new_privs. False when the kernel refused a lock it offers.
bool EnterSandbox();

}  // namespace decoding
