#include "platform/DesktopSession.h"

#include <QDir>
#include <QGuiApplication>
#include <QSettings>

namespace platform {

DesktopSession::DesktopSession(const QString& programName, const QString& desktopEntry)
    : settings_(QDir::temp().filePath(programName + QStringLiteral("-XXXXXX"))) {
  // The application name is the class of every window (WM_CLASS), which the desktop entry's
  // StartupWMClass names.
  QCoreApplication::setApplicationName(programName);
  QGuiApplication::setDesktopFileName(desktopEntry);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, SettingsFolder());
}

QString DesktopSession::SettingsFolder() const {
  // Without a temporary folder, a path under a file: no folder can be made there, the
  // settings are never written, and still nothing is kept.
  return settings_.isValid() ? settings_.path() : QStringLiteral("/dev/null");
}

}  // namespace platform
