#include "about/SysInfoRegistry.h"

#include <QStandardPaths>

#include "about/frmAbout.h"

namespace about {

const QStringList& SysInfoPrograms() {
  static const QStringList programs = {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"),
                                       QStringLiteral("kinfocenter"), QStringLiteral("lshw-gtk"),
                                       QStringLiteral("gnome-system-monitor")};
  return programs;
}

std::unique_ptr<MemoryRegistry> SysInfoRegistry() {
  auto registry = std::make_unique<MemoryRegistry>();
  for (const QString& program : SysInfoPrograms()) {
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) continue;
    registry->SetString(HKEY_LOCAL_MACHINE, frmAbout::kToolKey, frmAbout::kToolValue, path);
    break;
  }
  return registry;
}

}  // namespace about
