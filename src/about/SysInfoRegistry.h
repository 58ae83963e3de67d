#pragma once
// This platform has no registry. The stand-in answers the system information tool's path
// lookup with the first known system information program found on PATH, and nothing else.
#include <QStringList>
#include <memory>

#include "about/Registry.h"

namespace about {

// The programs looked for, in this order.
const QStringList& SysInfoPrograms();

std::unique_ptr<MemoryRegistry> SysInfoRegistry();

}  // namespace about
