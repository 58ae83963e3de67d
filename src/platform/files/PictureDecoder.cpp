#include "platform/files/PictureDecoder.h"

#include <QImageReader>

#include "platform/Flatten.h"
#include "platform/ImageBuffer.h"
#include "platform/PictureLimits.h"
#include "platform/files/BmpRle.h"
#include "platform/files/DeclaredSize.h"
#include "platform/files/GifFile.h"
#include "platform/files/JpegFile.h"

namespace platform {

void MatchAllocationLimit() {
  QImageReader::setAllocationLimit(int((kMaxPicturePixels * 8 + (1 << 20) - 1) >> 20));
}

namespace {
using Outcome = Decoded::Outcome;

// Readers index past a short colour table as they like; every such index shows black.
void FillOutColourTable(QImage& image) {
  const int full = image.format() == QImage::Format_Indexed8 ? 256 : image.depth() == 1 ? 2 : 0;
  if (image.colorCount() >= full) return;
  QList<QRgb> table = image.colorTable();
  table.resize(full, qRgb(0, 0, 0));
  image.setColorTable(table);
}

// Qt's own reader (BMP, PNG, any other format it knows), decoding in place into a defined image
// of the declared size and format.
Decoded ReadWithQt(QImageReader& reader, WatchedFile& file, Extent declared, const PictureMemory& memory) {
  const QByteArray format = reader.format();
  // A reader whose header failed is left to refuse the file itself.
  const QImage::Format decodedFormat = reader.canRead() ? reader.imageFormat() : QImage::Format_Invalid;
  const bool known = declared.IsStated() && !declared.IsEmpty();
  QImage image;
  if (known && decodedFormat != QImage::Format_Invalid) {
    image = memory(int(declared.width), int(declared.height), decodedFormat);
    if (image.isNull()) return Decoded::Refused(Outcome::NoMemory, declared);
  }
  file.Watch();
  if (!reader.read(&image) || image.isNull()) {
    // A decoder that failed where a picture of the declared size cannot be had either failed
    // for want of memory, not for damage.
    const bool noRoom = known && NewImage(int(declared.width), int(declared.height)).isNull();
    return Decoded::Refused(noRoom ? Outcome::NoMemory : Outcome::Damaged, declared, Damage::BadStructure);
  }
  // BMP and PNG readers ask for exactly what the format holds.
  if ((format == "bmp" || format == "png") && file.AskedPastEnd())
    return Decoded::Refused(Outcome::Damaged, declared, Damage::DataEndsEarly);
  FillOutColourTable(image);
  return Decoded::Picture(std::move(image));
}
}  // namespace

Decoded DecodePicture(WatchedFile& file, const PictureMemory& memory) {
  MatchAllocationLimit();
  QImageReader reader(&file);
  reader.setDecideFormatFromContent(true);
  const QByteArray format = reader.format();
  if (format.isEmpty()) return Decoded::Refused(Outcome::NotAPicture);

  Extent declared = DeclaredSize(file, format);
  if (!declared.IsStated() && format != "gif" && format != "jpeg") {
    const QSize size = reader.size();
    declared = {size.width(), size.height()};
  }
  if (declared.IsStated() && !FitsPictureLimit(declared.width, declared.height))
    return Decoded::Refused(Outcome::OverLimit, declared);

  const auto bmp = format == "bmp" ? ParseBmpHeader(file.peek(54)) : std::nullopt;
  if (bmp && IsUnreadableBmpKind(*bmp)) return Decoded::Refused(Outcome::UnreadableBmpKind);
  file.seek(0);
  Decoded decoded = format == "gif"    ? ReadGif(file, memory)
                    : format == "jpeg" ? ReadJpeg(file, memory)
                    : bmp && IsRleBitmap(*bmp) ? DecodeRleBitmap(*bmp, file, memory)
                                               : ReadWithQt(reader, file, declared, memory);
  // A reader may make another size than its header said.
  if (!FitsPictureLimit(decoded.image.width(), decoded.image.height()))
    return Decoded::Refused(Outcome::OverLimit, decoded.size);
  // Laid over white, as every window shows it, while the decoder's memory is at hand: a second
  // process reaching each page of a large picture again costs seconds.
  if (decoded.image.format() == QImage::Format_ARGB32) {
    decoded.image = Flattened(std::move(decoded.image), qRgb(255, 255, 255));
    if (decoded.image.isNull()) return Decoded::Refused(Outcome::NoMemory, decoded.size);
  }
  return decoded;
}

}  // namespace platform
