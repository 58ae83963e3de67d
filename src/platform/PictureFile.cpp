#include "platform/PictureFile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <cmath>

#include "platform/Errors.h"
#include "platform/ImageBuffer.h"
#include "platform/PictureLimits.h"

namespace platform {

namespace {
QString Shown(const QString& path) { return QDir::toNativeSeparators(path); }

QString ReadFailure(QImageReader::ImageReaderError error) {
  switch (error) {
    case QImageReader::FileNotFoundError: return QStringLiteral("ファイルが見つかりません。");
    case QImageReader::DeviceError: return QStringLiteral("ファイルを開けません。");
    case QImageReader::UnsupportedFormatError:
      return QStringLiteral("読み込める画像形式 (BMP、GIF、JPEG、PNG など) ではありません。");
    case QImageReader::InvalidDataError:
    case QImageReader::UnknownError: break;
  }
  return QStringLiteral("画像データが壊れています。");
}

QString WriteFailure(const QSaveFile& file, bool opening) {
  if (file.error() == QFileDevice::ResourceError)
    return QStringLiteral("ディスクの空き容量が足りません。");
  return opening ? QStringLiteral("このフォルダーかファイルには書き込めません。")
                 : QStringLiteral("書き込み中にエラーが発生しました。");
}

// Qt's decoders refuse any image above their allocation limit; ours is the picture limit.
void MatchAllocationLimit() {
  QImageReader::setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)));
}

[[noreturn]] void RefuseSize(const QString& path, qint64 width, qint64 height) {
  const auto areaSide = std::lround(std::sqrt(double(kMaxPicturePixels)));
  Raise(ErrorKind::RefusedSize,
        QStringLiteral("%1\n%2 × %3 ピクセルの画像です。扱えるのは縦横それぞれ %4 ピクセルまで、"
                       "全体で %5 × %5 ピクセル分までです。")
            .arg(Shown(path))
            .arg(width)
            .arg(height)
            .arg(kMaxPictureSide)
            .arg(areaSide));
}
}  // namespace

QImage LoadPicture(const QString& path) {
  MatchAllocationLimit();
  QImageReader reader(path);
  reader.setDecideFormatFromContent(true);
  // A top-down BMP declares a negative height.
  const QSize declared = reader.size();
  const qint64 w = qAbs(qint64(declared.width())), h = qAbs(qint64(declared.height()));
  if (declared != QSize() && !FitsPictureLimit(w, h)) RefuseSize(path, w, h);
  // Decoders fill an image of the right size and format in place instead of making their own.
  QImage image;
  if (declared.isValid() && reader.imageFormat() == QImage::Format_RGB32)
    image = NewImage(declared.width(), declared.height());
  if (!reader.read(&image) || image.isNull())
    Raise(ErrorKind::UnreadableFile, Shown(path) + QLatin1Char('\n') + ReadFailure(reader.error()));
  if (!FitsPictureLimit(image.width(), image.height()))
    RefuseSize(path, image.width(), image.height());
  return image;
}

void SavePicture(const QImage& image, const QString& path) {
  auto fail = [&](const QString& reason) {
    Raise(ErrorKind::UnwritableFile, Shown(path) + QLatin1Char('\n') + reason);
  };
  // Qt writes RGB32 as a 24-bit BI_RGB file.
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  if (rgb.isNull()) fail(QStringLiteral("画像を BMP 形式に変換できません。"));

  // Streamed into a temporary file that replaces the target only once complete; a failure
  // anywhere removes the temporary file when `file` goes out of scope.
  {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
      QImageWriter writer(&file, "bmp");
      if (!writer.write(rgb) || !file.commit()) fail(WriteFailure(file, false));
      return;
    }
    if (!QFileInfo(path).isFile()) fail(WriteFailure(file, true));
  }

  // A folder that allows no temporary file: the existing file is overwritten in place, and
  // only once the whole file is encoded (the README names this weaker guarantee).
  QByteArray encoded;
  {
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(rgb)) fail(QStringLiteral("画像を BMP 形式に変換できません。"));
  }
  QSaveFile file(path);
  file.setDirectWriteFallback(true);
  if (!file.open(QIODevice::WriteOnly)) fail(WriteFailure(file, true));
  file.write(encoded);  // a short write makes commit() fail
  if (!file.commit()) fail(WriteFailure(file, false));
}

}  // namespace platform
