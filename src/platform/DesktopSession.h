#pragma once
// The program as the desktop sees it, for one run: the class its windows carry and the
// desktop entry they belong to. Qt's own widgets keep their state in the user's settings
// (the file dialog its history, folder and view); this program keeps nothing between runs,
// so while the session lives those settings go to a folder that is removed with it.
#include <QString>
#include <QTemporaryDir>

namespace platform {

class DesktopSession {
 public:
  // Made before the application object, so that its windows carry these names.
  DesktopSession(const QString& programName, const QString& desktopEntry);

  // Where Qt's user settings go while the session lives.
  QString SettingsFolder() const;

 private:
  QTemporaryDir settings_;
};

}  // namespace platform
