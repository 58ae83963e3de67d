#pragma once
// How a message names a file: its path as the system writes paths, then the reason.
#include <QDir>
#include <QString>

namespace platform {

inline QString Named(const QString& path, const QString& reason) {
  return QDir::toNativeSeparators(path) + QLatin1Char('\n') + reason;
}

}  // namespace platform
