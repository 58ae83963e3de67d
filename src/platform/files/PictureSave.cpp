#include <QBuffer>
#include <QImageWriter>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "platform/Errors.h"
#include "platform/ImageBuffer.h"
#include "platform/files/FileSizeLimit.h"
#include "platform/files/FileText.h"
#include "platform/files/InPlaceWrite.h"
#include "platform/files/PictureFile.h"
#include "platform/files/ReplaceByRename.h"

namespace platform {

namespace {
using Outcome = SaveResult::Outcome;

// Why nothing could be written: the error of a write, or of opening the file (`opening`).
QString Reason(int error, bool opening) {
  switch (error) {
    case ENOSPC:
    case EDQUOT: return QStringLiteral("ディスクの空き容量が足りません。");
    case EFBIG: return QStringLiteral("ファイルの大きさが上限を超えます。");
    case ENAMETOOLONG: return QStringLiteral("ファイル名が長すぎます。");
  }
  return opening ? QStringLiteral("このフォルダーかファイルには書き込めません。")
                 : QStringLiteral("書き込み中にエラーが発生しました。");
}

[[noreturn]] void Refuse(const QString& path, const QString& reason) {
  Raise(ErrorKind::UnwritableFile, Named(path, reason));
}

// Tells what became of a save that is not simply done, and of a file that was there.
void Report(const QString& path, bool existed, const SaveResult& result) {
  const QString kept = existed ? QStringLiteral("元のファイルはそのままです。") : QString();
  switch (result.outcome) {
    case Outcome::Saved: return;
    case Outcome::Unsynced:
      Raise(ErrorKind::UnsyncedFile,
            Named(path, QStringLiteral("新しいファイルはできていますが、停電などで失われるおそれがあります。")));
    case Outcome::ModeLost: Raise(ErrorKind::ModeNotKept, QDir::toNativeSeparators(path));
    case Outcome::AppendOnly: Refuse(path, QStringLiteral("このファイルは追記しかできないため、書き換えられません。"));
    case Outcome::NotOpened:
    case Outcome::NotKept: Refuse(path, Reason(result.error, true));
    case Outcome::NotEncoded: Refuse(path, QStringLiteral("画像を BMP 形式に変換できません。") + kept);
    case Outcome::NotWritten: Refuse(path, Reason(result.error, false) + kept);
    case Outcome::Restored: Refuse(path, Reason(result.error, false) + QStringLiteral("元のファイルに戻しました。"));
    case Outcome::Lost: Refuse(path, Reason(result.error, false) + QStringLiteral("元のファイルを元に戻せませんでした。"));
  }
}

// Qt writes RGB32 as a 24-bit BI_RGB file: 54 bytes of headers, rows padded to 4 bytes.
qint64 BmpFileBytes(const QImage& rgb) { return 54 + (qint64(rgb.width()) * 3 + 3) / 4 * 4 * rgb.height(); }

// The whole BMP file in memory, for a write in place; empty when it cannot be made.
QByteArray Encoded(const QImage& rgb) {
  QByteArray encoded;
  QBuffer buffer(&encoded);
  buffer.open(QIODevice::WriteOnly);
  return QImageWriter(&buffer, "bmp").write(rgb) ? encoded : QByteArray();
}

// Saves by rename where that keeps what the file is, in place where only that can; every condition
// that decides between them, or refuses, is read here.
SaveResult Save(const QImage& rgb, const SaveTarget& target) {
  const struct statx& old = target.status;
  if (target.error) return {Outcome::NotOpened, target.error};
  // Only a regular file this process may write is saved over: a device or a FIFO is never replaced.
  if (target.exists && (!S_ISREG(old.stx_mode) ||
                        ::faccessat(target.folder.fd, target.name.constData(), W_OK, AT_EACCESS) != 0))
    return {Outcome::NotOpened, EACCES};
  if (target.exists && (old.stx_attributes & STATX_ATTR_APPEND)) return {Outcome::AppendOnly};
  if (!WithinFileSizeLimit(BmpFileBytes(rgb))) return {Outcome::NotWritten, EFBIG};
  // A rename would split a file with several names.
  if (!target.exists || old.stx_nlink == 1) {
    const SaveResult renamed =
        ReplaceByRename(target, [&](QIODevice& sink) { return QImageWriter(&sink, "bmp").write(rgb); });
    // In place where no new file can be made beside the old one or take its identity, or where the
    // file system renames nothing over its name: a mount point (EBUSY), another file system (EXDEV).
    const bool renameCannot =
        renamed.outcome == Outcome::NotOpened || renamed.outcome == Outcome::NotKept ||
        (renamed.outcome == Outcome::NotWritten && (renamed.error == EBUSY || renamed.error == EXDEV));
    if (!target.exists || !renameCannot) return renamed;
  }
  const QByteArray encoded = Encoded(rgb);
  if (encoded.isEmpty()) return {Outcome::NotEncoded};
  // The old content has to fit under the size limit too, or it could not be put back.
  if (!WithinFileSizeLimit(qMax(qint64(encoded.size()), qint64(old.stx_size)))) return {Outcome::NotWritten, EFBIG};
  return OverwriteInPlace(target.folder.fd, target.name, encoded);
}
}  // namespace

void SavePicture(const QImage& image, const QString& path) {
  const QImage rgb = Converted(image, QImage::Format_RGB32);
  if (rgb.isNull() && !image.isNull())
    Raise(ErrorKind::OutOfMemory, Named(path, QStringLiteral("画像を BMP 形式にするだけのメモリがありません。")));
  const SaveTarget target = FindSaveTarget(path);
  // A write past the file-size limit anyway fails with EFBIG and takes the failure path.
  const FileSizeSignalIgnored sizeSignalIgnored;
  Report(path, target.exists, Save(rgb, target));
}

}  // namespace platform
