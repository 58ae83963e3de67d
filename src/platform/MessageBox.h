#pragma once
#include <QString>
#include <functional>

namespace platform {

// The application title every message box carries as its caption.
inline const QString& AppTitle() {
  static const QString title = QStringLiteral("Tilora");
  return title;
}

// A modal box with the text, one "OK" button and no icon.
void MsgBox(const QString& text);

// Tests replace the box with a recorder; an empty function restores the real box.
using MessageSink = std::function<void(const QString&)>;
void SetMessageSink(MessageSink sink);

}  // namespace platform
