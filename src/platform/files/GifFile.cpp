#include "platform/files/GifFile.h"

#include <algorithm>
#include <array>
#include <gif_lib.h>
#include <memory>
#include <vector>

#include "platform/PictureLimits.h"
#include "platform/files/ChunkedInput.h"
#include "platform/files/GifCodeCheck.h"

namespace platform {

namespace {
using Outcome = Decoded::Outcome;
using Colours = std::array<QRgb, 256>;

// giflib's reads, and what tells data that ends early from a bad code when giflib fails.
class Input {
 public:
  explicit Input(QIODevice& file) : chunks_(file) {}

  int Read(GifByteType* out, int wanted) {
    const int served = int(chunks_.Read(out, wanted));
    emptyBlock_ = wanted == 1 && served == 1 && out[0] == 0;
    if (served > 0) lastByte_ = out[served - 1];
    codes_.Feed(out, served);
    return served;
  }

  // The image data begins: the last byte giflib took was its minimum code size.
  void FollowCodes(qint64 pixels) { codes_.Start(lastByte_, pixels); }
  bool FoundUnmadeEntry() const { return codes_.FoundUnmadeEntry(); }

  Damage Judge(int error) const {
    if (chunks_.EndOfFile()) return Damage::DataEndsEarly;
    switch (error) {
      case D_GIF_ERR_EOF_TOO_SOON: return Damage::DataEndsEarly;  // the end code came early
      case D_GIF_ERR_IMAGE_DEFECT:  // a sub-block chain that ends early, or codes that make no string
        return emptyBlock_ ? Damage::DataEndsEarly : Damage::BadCode;
      case D_GIF_ERR_READ_FAILED: return Damage::BadCode;  // giflib's word for an LZW size over 8
      default: return Damage::BadStructure;
    }
  }

 private:
  ChunkedInput chunks_;
  GifCodeCheck codes_;
  bool emptyBlock_ = false;  // the last read was a sub-block size of 0
  int lastByte_ = 0;
};

extern "C" int ReadForGiflib(GifFileType* gif, GifByteType* out, int wanted) {
  return static_cast<Input*>(gif->UserData)->Read(out, wanted);
}

struct Close {
  void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using Gif = std::unique_ptr<GifFileType, Close>;

// Skips extensions up to the first image descriptor, noting the transparent index that the last
// graphic control extension names (-1 for none). A graphic control or application extension
// whose first sub-block is empty is read one way by giflib and another by other readers, so
// such a file is not taken.
bool FindFirstImage(GifFileType* gif, int* transparent, int* error) {
  for (;;) {
    GifRecordType type;
    if (DGifGetRecordType(gif, &type) == GIF_ERROR) return false;
    if (type == IMAGE_DESC_RECORD_TYPE) return true;
    if (type != EXTENSION_RECORD_TYPE) {  // the trailer, before any image
      *error = D_GIF_ERR_NO_IMAG_DSCR;
      return false;
    }
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
    if (!block && (code == GRAPHICS_EXT_FUNC_CODE || code == APPLICATION_EXT_FUNC_CODE)) {
      *error = D_GIF_ERR_WRONG_RECORD;
      return false;
    }
    if (code == GRAPHICS_EXT_FUNC_CODE) *transparent = block[0] >= 4 && (block[1] & 1) ? block[4] : -1;
    while (block)
      if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  }
}

// The colours the image's indexes show: its own table, else the global one, then black; the
// transparent index keeps its colour without its opacity.
Colours ColoursOf(const ColorMapObject* table, int transparent) {
  Colours colours;
  colours.fill(qRgb(0, 0, 0));
  for (int i = 0; table && i < std::min(table->ColorCount, 256); ++i) {
    const GifColorType& c = table->Colors[i];
    colours[size_t(i)] = qRgb(c.Red, c.Green, c.Blue);
  }
  if (transparent >= 0) colours[size_t(transparent)] &= RGB_MASK;
  return colours;
}

// What the picture shows outside the first image.
QRgb Background(const GifFileType& gif, const Colours& colours, int transparent) {
  if (transparent >= 0) return colours[size_t(transparent)];
  const ColorMapObject* global = gif.SColorMap;
  if (!global) return 0;
  if (gif.SBackGroundColor >= global->ColorCount) return qRgb(0, 0, 0);
  const GifColorType& c = global->Colors[gif.SBackGroundColor];
  return qRgb(c.Red, c.Green, c.Blue);
}

// Reads an image of no pixels through to its terminator.
bool SkipData(GifFileType* gif) {
  int codeSize = 0;
  GifByteType* block = nullptr;
  if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR) return false;
  while (block)
    if (DGifGetCodeNext(gif, &block) == GIF_ERROR) return false;
  return true;
}

// Decodes every row of the image in the order the file holds them, in four passes where it is
// interlaced, and puts the part of each that lies on the picture in place.
bool DecodeRows(GifFileType* gif, QImage& picture, const Colours& colours) {
  const GifImageDesc& frame = gif->Image;
  const int left = std::min(frame.Left, picture.width()), right = std::min(frame.Left + frame.Width, picture.width());
  std::vector<GifPixelType> indexes(size_t(frame.Width));
  const auto row = [&](int y) {
    if (DGifGetLine(gif, indexes.data(), frame.Width) == GIF_ERROR) return false;
    y += frame.Top;
    if (y >= picture.height()) return true;
    auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = left; x < right; ++x) out[x] = colours[indexes[size_t(x - frame.Left)]];
    return true;
  };
  static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < (frame.Interlace ? 4 : 1); ++pass)
    for (int y = frame.Interlace ? kStart[pass] : 0; y < frame.Height; y += frame.Interlace ? kStep[pass] : 1)
      if (!row(y)) return false;
  return true;
}
}  // namespace

Decoded ReadGif(QIODevice& file, const PictureMemory& memory) {
  Input input(file);
  int error = 0;
  const Gif gif(DGifOpen(&input, ReadForGiflib, &error));
  const auto damaged = [&](int failure) { return Decoded::Refused(Outcome::Damaged, {}, input.Judge(failure)); };
  const auto overLimit = [](int width, int height) { return Decoded::Refused(Outcome::OverLimit, {width, height}); };
  if (!gif) return damaged(error);
  if (!FitsPictureLimit(gif->SWidth, gif->SHeight)) return overLimit(gif->SWidth, gif->SHeight);
  int transparent = -1;
  error = 0;
  if (!FindFirstImage(gif.get(), &transparent, &error)) return damaged(error ? error : gif->Error);
  if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return damaged(gif->Error);
  const GifImageDesc& frame = gif->Image;
  const int width = gif->SWidth ? gif->SWidth : frame.Left + frame.Width;
  const int height = gif->SHeight ? gif->SHeight : frame.Top + frame.Height;
  if (!FitsPictureLimit(width, height)) return overLimit(width, height);
  if (!FitsPictureLimit(frame.Width, frame.Height)) return overLimit(frame.Width, frame.Height);
  if (width == 0 || height == 0) return damaged(D_GIF_ERR_NO_IMAG_DSCR);

  const Colours colours = ColoursOf(frame.ColorMap ? frame.ColorMap : gif->SColorMap, transparent);
  const bool covered = frame.Left == 0 && frame.Top == 0 && frame.Width >= width && frame.Height >= height;
  const bool clear = transparent >= 0 || (!covered && !gif->SColorMap);
  Decoded result = Decoded::Picture(memory(width, height, clear ? QImage::Format_ARGB32 : QImage::Format_RGB32));
  if (result.image.isNull()) return Decoded::Refused(Outcome::NoMemory, {width, height});
  if (!covered) result.image.fill(Background(*gif, colours, transparent));
  input.FollowCodes(qint64(frame.Width) * frame.Height);
  const bool empty = frame.Width == 0 || frame.Height == 0;
  if (!(empty ? SkipData(gif.get()) : DecodeRows(gif.get(), result.image, colours))) return damaged(gif->Error);
  if (input.FoundUnmadeEntry()) return Decoded::Refused(Outcome::Damaged, {}, Damage::BadCode);
  return result;
}

}  // namespace platform
