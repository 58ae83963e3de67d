#include "app/modCmOpen.h"

#include "platform/FileDialog.h"

namespace {
QString Pairs(std::initializer_list<QString> parts) {
  QStringList list(parts);
  return list.join(QChar(0));
}

QString Choose(QWidget* owner, platform::FileDialogMode mode, const QString& title,
               const QString& filter, const QString& initialDir) {
  const QString path = platform::RunFileDialog(owner, {mode, title, filter, initialDir});
  if (!path.isEmpty()) platform::EnterFolderOf(path);
  return path;
}
}  // namespace

QString PictureOpenFilter() {
  return Pairs({QStringLiteral("読み込み可能なファイル(*.BMP;*.GIF;*.JPG)"),
                QStringLiteral("*.BMP;*.GIF;*.JPG"), QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟ(*.BMP)"),
                QStringLiteral("*.BMP"), QStringLiteral("GIFﾌｧｲﾙ(*.GIF)"), QStringLiteral("*.GIF"),
                QStringLiteral("JPEGﾌｧｲﾙ(*.JPG)"), QStringLiteral("*.JPG")});
}

QString BitmapSaveFilter() {
  return Pairs({QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟ(*.BMP)"), QStringLiteral("*.BMP")});
}

QString ShowOpenDialog(QWidget* owner, const QString& filter, const QString& initialDir) {
  return Choose(owner, platform::FileDialogMode::Open, QStringLiteral("ﾌｧｲﾙを開く"), filter,
                initialDir);
}

QString ShowSaveDialog(QWidget* owner, const QString& filter, const QString& initialDir) {
  return Choose(owner, platform::FileDialogMode::Save, QStringLiteral("ﾌｧｲﾙを保存"), filter,
                initialDir);
}
