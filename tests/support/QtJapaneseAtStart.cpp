// Every test sees the widgets as the program sets them up: Qt's own texts in Japanese.
#include <QCoreApplication>

#include "platform/QtJapanese.h"

namespace {
void InstallAtStart() { platform::InstallQtJapanese(); }
}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallAtStart)
