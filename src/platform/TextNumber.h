#pragma once
#include <QString>
#include <optional>

#include "platform/Numeric.h"

namespace platform {

// The option dialogs' rule: blanks around, an optional sign, a decimal fraction rounded
// half to even; anything else, or a result outside -32768..32767, is no number.
std::optional<Integer> TextToInteger(const QString& text);

}  // namespace platform
