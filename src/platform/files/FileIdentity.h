#pragma once
// What a file is besides its bytes: owner, group, extended attributes (access control lists
// among them) and mode. A file that replaces another by rename has to take all of them over.
#include <QByteArray>
#include <sys/stat.h>

namespace platform {

// Gives the file open at `fd` the owner, group, extended attributes and mode of the file `name`
// in the open `folder`, whose status is `old`, in the order that keeps each: the owner first (it
// clears the setgid bit), the mode last. False when any of them cannot be had exactly.
bool TakeIdentity(int fd, int folder, const QByteArray& name, const struct statx& old);

}  // namespace platform
