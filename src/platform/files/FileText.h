#pragma once
// How a message names a file: its path as the system writes paths, then the reason.
#include <QDir>
#include <QString>

#include "platform/Errors.h"

namespace platform {

inline QString Named(const QString& path, const QString& reason) {
  return QDir::toNativeSeparators(path) + QLatin1Char('\n') + reason;
}

// Runs `step`, which makes something of the file at `path` (a window's pictures from it); a
// refusal it raises names the file, as the loader's own refusals do.
template <typename Step>
void NamingFile(const QString& path, Step step) {
  try {
    step();
  } catch (const PlatformError& e) {
    Raise(e.Kind(), Named(path, e.Text().section(QLatin1Char('\n'), 1)));
  }
}

}  // namespace platform
