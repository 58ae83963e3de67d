#include "platform/files/PictureFile.h"

#include <QFileInfo>
#include <QImageReader>
#include <new>

#include "platform/Errors.h"
#include "platform/ImageBuffer.h"
#include "platform/PictureLimits.h"
#include "platform/files/BmpRle.h"
#include "platform/files/Damage.h"
#include "platform/files/DeclaredSize.h"
#include "platform/files/FileText.h"
#include "platform/files/GifFirstFrame.h"
#include "platform/files/JpegFile.h"
#include "platform/files/WatchedFile.h"

namespace platform {

namespace {
[[noreturn]] void Refuse(const QString& path, const QString& reason) {
  Raise(ErrorKind::UnreadableFile, Named(path, reason));
}

[[noreturn]] void RefuseDamaged(const QString& path, Damage how) {
  throw DamagedPicture(Named(path, QStringLiteral("画像データが壊れています。")), how);
}

[[noreturn]] void RefuseSize(const QString& path, qint64 width, qint64 height) {
  Raise(ErrorKind::RefusedSize,
        Named(path, QStringLiteral("%1 × %2 ピクセルの画像です。扱えるのは縦横それぞれ %3 ピクセルまで、"
                                   "全体で %4 × %4 ピクセル未満です。")
                        .arg(width)
                        .arg(height)
                        .arg(kMaxPictureSide)
                        .arg(kAreaLimitSide)));
}

[[noreturn]] void RefuseMemory(const QString& path, QSize size) {
  Raise(ErrorKind::OutOfMemory,
        Named(path, QStringLiteral("%1 × %2 ピクセルの画像を読み込むだけのメモリがありません。")
                        .arg(size.width())
                        .arg(size.height())));
}

QString OpenFailure(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return QStringLiteral("ファイルが見つかりません。");
  if (!info.isReadable()) return QStringLiteral("このファイルを読む権限がありません。");
  return QStringLiteral("ファイルを開けません。");
}

QString NotAPicture() {
  return QStringLiteral("読み込める画像形式 (BMP、GIF、JPEG、PNG など) ではありません。");
}

// Qt's decoders refuse any image above their allocation limit. Sizes are checked against the
// picture limit before decoding; this one lets every reader make a picture of that many pixels
// at up to 8 bytes each (16-bit PNG).
void MatchAllocationLimit() {
  QImageReader::setAllocationLimit(int((kMaxPicturePixels * 8 + (1 << 20) - 1) >> 20));
}

// A decoder that failed where a picture of the declared size cannot be had either failed for
// want of memory, not for damage.
[[noreturn]] void RefuseFailedRead(const QString& path, QSize declared) {
  if (!declared.isEmpty() && NewImage(declared.width(), declared.height()).isNull()) RefuseMemory(path, declared);
  RefuseDamaged(path, Damage::BadStructure);
}

// Readers index past a short colour table as they like; every such index shows black.
void FillOutColourTable(QImage& image) {
  const int full = image.format() == QImage::Format_Indexed8 ? 256 : image.depth() == 1 ? 2 : 0;
  if (image.colorCount() >= full) return;
  QList<QRgb> table = image.colorTable();
  table.resize(full, qRgb(0, 0, 0));
  image.setColorTable(table);
}

// giflib judges the first frame; Qt's reader decodes it, so the pixels are Qt's.
QImage ReadGif(WatchedFile& file, const QString& path) {
  file.seek(0);
  const GifFirstFrame frame = ReadGifFirstFrame(file);
  if (frame.size.isValid() && !FitsPictureLimit(frame.size.width(), frame.size.height()))
    RefuseSize(path, frame.size.width(), frame.size.height());
  if (frame.head.isEmpty()) RefuseDamaged(path, frame.damage);
  GifFrameStream stream(frame, file);
  QImageReader reader(&stream, "gif");
  QImage image;
  if (!reader.read(&image)) RefuseFailedRead(path, frame.size);
  // The file was cut short since it was judged.
  if (stream.RanShort()) RefuseDamaged(path, Damage::DataEndsEarly);
  return image;
}

QImage ReadJpegFile(WatchedFile& file, const QString& path) {
  file.seek(0);
  JpegPicture jpeg = ReadJpeg(file);
  switch (jpeg.outcome) {
    case JpegPicture::Outcome::Decoded: break;
    case JpegPicture::Outcome::OverLimit: RefuseSize(path, jpeg.size.width(), jpeg.size.height());
    case JpegPicture::Outcome::NoMemory: RefuseMemory(path, jpeg.size);
    case JpegPicture::Outcome::Damaged: RefuseDamaged(path, jpeg.damage);
  }
  return std::move(jpeg.image);
}

QImage ReadRleBitmap(WatchedFile& file, const QString& path, const BmpHeader& header, QSize declared) {
  RleBitmap bitmap = DecodeRleBitmap(header, file);
  if (bitmap.outcome == RleBitmap::Outcome::NoMemory) RefuseMemory(path, declared);
  if (bitmap.outcome != RleBitmap::Outcome::Decoded) RefuseDamaged(path, Damage::DataEndsEarly);
  return std::move(bitmap.image);
}

// Qt's own reader (BMP, PNG, any other format it knows), decoding in place into a defined image
// of the declared size and format.
QImage ReadWithQt(QImageReader& reader, WatchedFile& file, const QString& path, QSize declared) {
  const QByteArray format = reader.format();
  // A reader whose header failed is left to refuse the file itself.
  const QImage::Format decodedFormat = reader.canRead() ? reader.imageFormat() : QImage::Format_Invalid;
  QImage image;
  if (!declared.isEmpty() && decodedFormat != QImage::Format_Invalid) {
    image = NewImage(declared.width(), declared.height(), decodedFormat);
    if (image.isNull()) RefuseMemory(path, declared);
  }
  file.Watch();
  if (!reader.read(&image) || image.isNull()) RefuseFailedRead(path, declared);
  // BMP and PNG readers ask for exactly what the format holds.
  if ((format == "bmp" || format == "png") && file.AskedPastEnd()) RefuseDamaged(path, Damage::DataEndsEarly);
  FillOutColourTable(image);
  return image;
}

QImage Load(const QString& path) {
  MatchAllocationLimit();
  WatchedFile file(path);
  if (!file.open()) Refuse(path, OpenFailure(path));
  QImageReader reader(&file);
  reader.setDecideFormatFromContent(true);
  const QByteArray format = reader.format();
  if (format.isEmpty()) Refuse(path, NotAPicture());

  Extent declared = DeclaredSize(file, format);
  if (!declared.IsStated() && format != "gif" && format != "jpeg") {
    const QSize size = reader.size();
    declared = {size.width(), size.height()};
  }
  if (declared.IsStated() && !FitsPictureLimit(declared.width, declared.height))
    RefuseSize(path, declared.width, declared.height);
  const QSize size = declared.IsStated() ? QSize(int(declared.width), int(declared.height)) : QSize();

  const auto bmp = format == "bmp" ? ParseBmpHeader(file.peek(54)) : std::nullopt;
  if (bmp && IsUnreadableBmpKind(*bmp)) Refuse(path, QStringLiteral("この種類の BMP ファイルは読み込めません。"));
  QImage image;
  if (format == "gif") {
    image = ReadGif(file, path);
  } else if (format == "jpeg") {
    image = ReadJpegFile(file, path);
  } else if (bmp && IsRleBitmap(*bmp)) {
    image = ReadRleBitmap(file, path, *bmp, size);
  } else {
    image = ReadWithQt(reader, file, path, size);
  }
  if (!FitsPictureLimit(image.width(), image.height())) RefuseSize(path, image.width(), image.height());
  return image;
}
}  // namespace

QImage LoadPicture(const QString& path) {
  try {
    return Load(path);
  } catch (const std::bad_alloc&) {
    Raise(ErrorKind::OutOfMemory, Named(path, QStringLiteral("この画像を読み込むだけのメモリがありません。")));
  }
}

}  // namespace platform
