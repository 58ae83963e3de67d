#include "platform/Guard.h"

#include <new>

#include "platform/Errors.h"
#include "platform/MessageBox.h"

namespace platform {

void ReportHandlerFailure(const std::exception* error) {
  QString reason = QStringLiteral("予期しないエラーが発生しました。");
  if (const auto* known = dynamic_cast<const PlatformError*>(error)) {
    reason = known->Text();
  } else if (dynamic_cast<const std::bad_alloc*>(error)) {
    reason = QStringLiteral("メモリが不足しています。");
  }
  // A message box must not let a second failure escape into Qt either.
  try {
    MsgBox(reason + QStringLiteral("\n処理を中断しました。"));
  } catch (...) {
  }
}

}  // namespace platform
