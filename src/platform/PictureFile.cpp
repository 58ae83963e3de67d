#include "platform/PictureFile.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <cmath>

#include "platform/Errors.h"
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
  QImage image;
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
  // Encoded in full before the file is touched, so even an in-place write (below) starts only
  // once there is a complete file to write. Qt writes RGB32 as 24-bit BI_RGB.
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  QByteArray encoded;
  const qint64 rowBytes = (qint64(rgb.width()) * 3 + 3) / 4 * 4;
  encoded.reserve(qsizetype(54 + rowBytes * rgb.height()));
  {
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (rgb.isNull() || !writer.write(rgb)) fail(QStringLiteral("画像を BMP 形式に変換できません。"));
  }

  QSaveFile file(path);
  // A folder that allows no temporary file is written in place: see the README.
  file.setDirectWriteFallback(true);
  if (!file.open(QIODevice::WriteOnly)) fail(WriteFailure(file, true));
  // A short write makes commit() fail and remove the temporary file.
  file.write(encoded);
  if (!file.commit()) fail(WriteFailure(file, false));
}

}  // namespace platform
