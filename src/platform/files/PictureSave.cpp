#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Errors.h"
#include "platform/files/FileSizeLimit.h"
#include "platform/files/FileText.h"
#include "platform/ImageBuffer.h"
#include "platform/files/InPlaceWrite.h"
#include "platform/files/PictureFile.h"
#include "platform/files/ReplaceByRename.h"

namespace platform {

namespace {
QString WriteFailure(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT: return QStringLiteral("ディスクの空き容量が足りません。");
    case EFBIG: return QStringLiteral("ファイルの大きさが上限を超えます。");
  }
  return QStringLiteral("書き込み中にエラーが発生しました。");
}

const QString& CannotWriteHere() {
  static const QString text = QStringLiteral("このフォルダーかファイルには書き込めません。");
  return text;
}

const QString& OldFileKept() {
  static const QString text = QStringLiteral("元のファイルはそのままです。");
  return text;
}
QString InPlaceFailure(const InPlaceResult& result) {
  using Outcome = InPlaceResult::Outcome;
  switch (result.outcome) {
    case Outcome::Written:
    case Outcome::CannotOpen: break;
    case Outcome::NoRoom: return WriteFailure(ENOSPC) + OldFileKept();
    case Outcome::Restored: return WriteFailure(result.error) + QStringLiteral("元のファイルに戻しました。");
    case Outcome::Lost: return WriteFailure(result.error) + QStringLiteral("元のファイルを元に戻せませんでした。");
  }
  return CannotWriteHere();
}

[[noreturn]] void Refuse(const QString& path, const QString& reason) {
  Raise(ErrorKind::UnwritableFile, Named(path, reason));
}

// Qt writes RGB32 as a 24-bit BI_RGB file: 54 bytes of headers, rows padded to 4 bytes.
qint64 BmpFileBytes(const QImage& rgb) { return 54 + (qint64(rgb.width()) * 3 + 3) / 4 * 4 * rgb.height(); }

// Where a save writes: the file a symbolic link leads to (also one not there yet), so that the
// link stays.
QString LinkTarget(const QString& path) {
  QFileInfo file(path);
  for (int depth = 0; depth < 128 && file.isSymLink(); ++depth) file.setFile(file.symLinkTarget());
  return file.filePath();
}

// What is at the target: nothing (ENOENT), or a regular file this process may write. Anything
// else is refused before a byte is written; a device or a FIFO is never replaced.
bool ExistingFile(const QString& path, const QString& target, struct stat& old) {
  const QByteArray name = QFile::encodeName(target);
  if (::stat(name.constData(), &old) != 0) {
    if (errno == ENOENT) return false;
  } else if (S_ISREG(old.st_mode) && ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) == 0) {
    return true;
  }
  Refuse(path, CannotWriteHere());
}

// Saves through a new file that takes the target's name; false when the existing file has to be
// written in place instead.
bool SavedByRename(const QImage& rgb, const QString& path, const QString& target, const struct stat* old) {
  using Outcome = RenameResult::Outcome;
  const RenameResult result = ReplaceByRename(target, old, [&](QIODevice& sink) {
    QImageWriter writer(&sink, "bmp");
    return writer.write(rgb);
  });
  switch (result.outcome) {
    case Outcome::Renamed: return true;
    case Outcome::FolderUnsynced:
      Raise(ErrorKind::UnsyncedFile,
            Named(path, QStringLiteral("新しいファイルはできていますが、停電などで失われるおそれがあります。")));
    case Outcome::WriteFailed: Refuse(path, WriteFailure(result.error) + (old ? OldFileKept() : QString()));
    case Outcome::NoTemporary:
    case Outcome::IdentityLost: break;
  }
  if (old) return false;
  Refuse(path, result.error == ENOSPC || result.error == EDQUOT ? WriteFailure(result.error) : CannotWriteHere());
}

// Overwrites the existing file from a whole encoding in memory. The old content has to fit under
// the size limit too, or it could not be put back.
void SaveInPlace(const QImage& rgb, const QString& path, const QString& target, const struct stat& old) {
  QByteArray encoded;
  {
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(rgb)) Refuse(path, QStringLiteral("画像を BMP 形式に変換できません。") + OldFileKept());
  }
  if (!WithinFileSizeLimit(qMax(qint64(encoded.size()), qint64(old.st_size))))
    Refuse(path, WriteFailure(EFBIG) + OldFileKept());
  const InPlaceResult result = OverwriteInPlace(target, encoded);
  if (result.outcome != InPlaceResult::Outcome::Written) Refuse(path, InPlaceFailure(result));
}
}  // namespace

void SavePicture(const QImage& image, const QString& path) {
  const QImage rgb = Converted(image, QImage::Format_RGB32);
  if (rgb.isNull() && !image.isNull())
    Raise(ErrorKind::OutOfMemory, Named(path, QStringLiteral("画像を BMP 形式にするだけのメモリがありません。")));
  const QString target = LinkTarget(path);
  struct stat old {};
  const bool existed = ExistingFile(path, target, old);
  if (!WithinFileSizeLimit(BmpFileBytes(rgb)))
    Refuse(path, WriteFailure(EFBIG) + (existed ? OldFileKept() : QString()));
  // A write past the limit anyway fails with EFBIG and takes the failure path.
  const FileSizeSignalIgnored sizeSignalIgnored;
  // Replacing by rename would split a file with several names: such a file is written in place.
  if ((existed && old.st_nlink > 1) || !SavedByRename(rgb, path, target, existed ? &old : nullptr))
    SaveInPlace(rgb, path, target, old);
}

}  // namespace platform
