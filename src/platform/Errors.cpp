#include "platform/Errors.h"

namespace platform {

namespace {
QString Headline(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::Overflow: return QStringLiteral("オーバーフローしました。");
    case ErrorKind::DivisionByZero: return QStringLiteral("0 で除算しました。");
    case ErrorKind::IndexOutOfRange: return QStringLiteral("インデックスが有効範囲にありません。");
    case ErrorKind::RefusedSize: return QStringLiteral("この大きさの画像は扱えません。");
    case ErrorKind::OutOfMemory: return QStringLiteral("メモリが不足しています。");
    case ErrorKind::UnreadableFile: return QStringLiteral("ファイルを読み込めませんでした。");
    case ErrorKind::UnwritableFile: return QStringLiteral("ファイルを保存できませんでした。");
    case ErrorKind::UnsyncedFile: return QStringLiteral("ファイルを保存しましたが、ディスクへの記録を確かめられませんでした。");
    case ErrorKind::ModeNotKept: return QStringLiteral("保存しましたが、ファイルの setuid / setgid は保てませんでした。");
    case ErrorKind::Failed: break;
  }
  return QStringLiteral("処理に失敗しました。");
}
}  // namespace

QString ErrorText(ErrorKind kind, const QString& detail) {
  QString text = Headline(kind);
  if (!detail.isEmpty()) text += QLatin1Char('\n') + detail;
  return text;
}

void Raise(ErrorKind kind, const QString& detail) { throw PlatformError(kind, ErrorText(kind, detail)); }

}  // namespace platform
