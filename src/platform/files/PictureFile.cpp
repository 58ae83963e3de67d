#include "platform/files/PictureFile.h"

#include <QFileInfo>
#include <new>

#include "platform/Errors.h"
#include "platform/PictureLimits.h"
#include "platform/files/DecodingChild.h"
#include "platform/files/FileText.h"
#include "platform/files/PictureDecoder.h"

namespace platform {

namespace {
[[noreturn]] void Refuse(const QString& path, const QString& reason) {
  Raise(ErrorKind::UnreadableFile, Named(path, reason));
}

QString OpenFailure(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return QStringLiteral("ファイルが見つかりません。");
  if (!info.isReadable()) return QStringLiteral("このファイルを読む権限がありません。");
  return QStringLiteral("ファイルを開けません。");
}

// The picture, or the refusal that names the file and says why.
QImage Take(Decoded decoded, const QString& path) {
  const Extent size = decoded.size;
  switch (decoded.outcome) {
    case Decoded::Outcome::Picture: return std::move(decoded.image);
    case Decoded::Outcome::NotAPicture:
      Refuse(path, QStringLiteral("読み込める画像形式 (BMP、GIF、JPEG、PNG など) ではありません。"));
    case Decoded::Outcome::OverLimit:
      Raise(ErrorKind::RefusedSize,
            Named(path, QStringLiteral("%1 × %2 ピクセルの画像です。扱えるのは縦横それぞれ %3 ピクセルまで、"
                                       "全体で %4 × %4 ピクセル未満です。")
                            .arg(size.width)
                            .arg(size.height)
                            .arg(kMaxPictureSide)
                            .arg(kAreaLimitSide)));
    case Decoded::Outcome::NoMemory:
      if (!size.IsStated()) throw std::bad_alloc();  // before the picture's size was known
      Raise(ErrorKind::OutOfMemory, Named(path, QStringLiteral("%1 × %2 ピクセルの画像を読み込むだけのメモリがありません。")
                                                    .arg(size.width)
                                                    .arg(size.height)));
    case Decoded::Outcome::Damaged:
      throw DamagedPicture(Named(path, QStringLiteral("画像データが壊れています。")), decoded.damage);
    case Decoded::Outcome::UnreadableBmpKind: Refuse(path, QStringLiteral("この種類の BMP ファイルは読み込めません。"));
    case Decoded::Outcome::UnreadableJpegKind: Refuse(path, QStringLiteral("この種類の JPEG ファイルは読み込めません。"));
    case Decoded::Outcome::ChildFailed: Refuse(path, QStringLiteral("画像を読み込む処理が異常終了しました。"));
    case Decoded::Outcome::NoDecoder:
      Refuse(path, QStringLiteral("画像を読み込むプログラム (tilora-decode) を起動できません。"
                                  "インストールを確かめてください。"));
  }
  Q_UNREACHABLE();
}

// Opens the file as only a regular file opens, and decodes it with `decode`.
template <typename Decode>
QImage Load(const QString& path, Decode decode) {
  try {
    const int descriptor = OpenRegularFile(path);
    if (descriptor < 0) Refuse(path, OpenFailure(path));
    return Take(decode(descriptor), path);
  } catch (const std::bad_alloc&) {
    Raise(ErrorKind::OutOfMemory, Named(path, QStringLiteral("この画像を読み込むだけのメモリがありません。")));
  }
}
}  // namespace

QImage LoadPicture(const QString& path) { return Load(path, DecodeInChild); }

QImage DecodePictureHere(const QString& path, const PictureMemory& memory) {
  return Load(path, [&](int descriptor) {
    WatchedFile file(descriptor);
    return DecodePicture(file, memory);
  });
}

}  // namespace platform
