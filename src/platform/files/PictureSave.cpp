#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <cerrno>

#include "platform/Errors.h"
#include "platform/files/Faults.h"
#include "platform/files/FileText.h"
#include "platform/ImageBuffer.h"
#include "platform/files/InPlaceWrite.h"
#include "platform/files/PictureFile.h"

namespace platform {

namespace {
// Passes writes on to the file through the write seam, and remembers why the first one failed.
class SeamedSink : public QIODevice {
 public:
  explicit SeamedSink(QFileDevice& file) : file_(file) { open(WriteOnly | Unbuffered); }
  int Error() const { return error_; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  // Writes everything or fails: a short write is followed by the one that says why.
  qint64 writeData(const char* data, qint64 size) override {
    for (qint64 written = 0; written < size;) {
      const qint64 allowed = WritableBytes(size - written);
      if (allowed == 0) return Fail(errno);
      const qint64 put = file_.write(data + written, allowed);
      if (put < 0) return Fail(file_.error() == QFileDevice::ResourceError ? ENOSPC : EIO);
      written += put;
    }
    return size;
  }

 private:
  qint64 Fail(int error) {
    if (error_ == 0) error_ = error;
    return -1;
  }

  QFileDevice& file_;
  int error_ = 0;
};

QString WriteFailure(int error) {
  return error == ENOSPC || error == EDQUOT ? QStringLiteral("ディスクの空き容量が足りません。")
                                            : QStringLiteral("書き込み中にエラーが発生しました。");
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
}  // namespace

void SavePicture(const QImage& image, const QString& path) {
  auto fail = [&](const QString& reason) { Raise(ErrorKind::UnwritableFile, Named(path, reason)); };
  // Qt writes RGB32 as a 24-bit BI_RGB file.
  const QImage rgb = Converted(image, QImage::Format_RGB32);
  if (rgb.isNull() && !image.isNull())
    Raise(ErrorKind::OutOfMemory, Named(path, QStringLiteral("画像を BMP 形式にするだけのメモリがありません。")));
  const bool existed = QFileInfo(path).isFile();

  // Streamed into a temporary file that replaces the target only once complete; a failure
  // anywhere removes the temporary file when `file` goes out of scope.
  {
    QSaveFile file(path);
    if (!TemporaryFilesRefused() && file.open(QIODevice::WriteOnly)) {
      SeamedSink sink(file);
      QImageWriter writer(&sink, "bmp");
      if (writer.write(rgb) && file.commit()) return;
      const int error = sink.Error() ? sink.Error() : file.error() == QFileDevice::ResourceError ? ENOSPC : EIO;
      fail(WriteFailure(error) + (existed ? OldFileKept() : QString()));
    }
    if (!existed) fail(CannotWriteHere());
  }

  // A folder that allows no temporary file: the existing file is overwritten in place, from a
  // whole encoding in memory.
  QByteArray encoded;
  {
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(rgb)) fail(QStringLiteral("画像を BMP 形式に変換できません。") + OldFileKept());
  }
  const InPlaceResult result = OverwriteInPlace(path, encoded);
  if (result.outcome != InPlaceResult::Outcome::Written) fail(InPlaceFailure(result));
}

}  // namespace platform
