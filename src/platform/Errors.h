#pragma once
// A failing operation throws PlatformError; the handler guard turns it into a message.
#include <QString>
#include <stdexcept>

namespace platform {

enum class ErrorKind {
  Overflow,
  DivisionByZero,
  IndexOutOfRange,
  RefusedSize,
  OutOfMemory,
  UnreadableFile,
  UnwritableFile,
  UnsyncedFile,  // saved, but the disk did not confirm that the save will last
  ModeNotKept,   // saved, but the file lost its setuid / setgid bits
  Failed,
};

class PlatformError : public std::runtime_error {
 public:
  PlatformError(ErrorKind kind, const QString& text)
      : std::runtime_error(text.toStdString()), kind_(kind), text_(text) {}
  ErrorKind Kind() const { return kind_; }
  // What the user is told, in Japanese.
  const QString& Text() const { return text_; }

 private:
  ErrorKind kind_;
  QString text_;
};

// What the user reads: the kind's headline, then the detail on lines of its own.
QString ErrorText(ErrorKind kind, const QString& detail);

[[noreturn]] void Raise(ErrorKind kind, const QString& detail = QString());

}  // namespace platform
