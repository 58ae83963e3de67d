#include "platform/TextNumber.h"

#include <QRegularExpression>

#include "platform/Errors.h"

namespace platform {

std::optional<Integer> TextToInteger(const QString& text) {
  static const QRegularExpression number(
      QStringLiteral("^[ \\t]*([+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+))[ \\t]*$"));
  const QRegularExpressionMatch m = number.match(text);
  if (!m.hasMatch()) return std::nullopt;
  bool ok = false;
  const double value = m.captured(1).toDouble(&ok);
  if (!ok) return std::nullopt;
  try {
    return RoundToInteger(value);
  } catch (const PlatformError&) {
    return std::nullopt;
  }
}

}  // namespace platform
