#include "platform/files/GifFirstFrame.h"

#include <cstring>
#include <gif_lib.h>
#include <memory>
#include <vector>

#include "platform/PictureLimits.h"

namespace platform {

namespace {
constexpr qint64 kChunk = 64 * 1024;
constexpr int kFullTable = 256 * 3;

// giflib's reads, served from large reads of the file; the bytes giflib takes are kept until the
// frame's image data begins.
class Input {
 public:
  explicit Input(QIODevice& file) : file_(file) {}

  int Read(GifByteType* out, int wanted) {
    int served = 0;
    while (served < wanted) {
      if (at_ == chunk_.size()) {
        KeepTaken();
        readBefore_ += chunk_.size();
        chunk_ = file_.read(kChunk);
        at_ = keptUpTo_ = 0;
        if (chunk_.isEmpty()) {
          endOfFile_ = true;
          break;
        }
      }
      const int n = int(qMin<qsizetype>(wanted - served, chunk_.size() - at_));
      std::memcpy(out + served, chunk_.constData() + at_, size_t(n));
      at_ += n;
      served += n;
    }
    emptyBlock_ = wanted == 1 && served == 1 && out[0] == 0;
    return served;
  }

  // How many bytes giflib has taken.
  qint64 Taken() const { return readBefore_ + at_; }
  // The first `length` bytes giflib took; from now on nothing more is kept.
  QByteArray TakeKept(qint64 length) {
    KeepTaken();
    keeping_ = false;
    kept_.truncate(qsizetype(length));
    return std::move(kept_);
  }
  // Why giflib failed with `error`.
  Damage Judge(int error) const {
    if (endOfFile_) return Damage::DataEndsEarly;
    switch (error) {
      case D_GIF_ERR_EOF_TOO_SOON: return Damage::DataEndsEarly;  // the end code came early
      case D_GIF_ERR_IMAGE_DEFECT:  // a sub-block chain that ends early, or codes that make no string
        return emptyBlock_ ? Damage::DataEndsEarly : Damage::BadCode;
      case D_GIF_ERR_READ_FAILED: return Damage::BadCode;  // giflib's word for an LZW size over 8
      default: return Damage::BadStructure;
    }
  }

 private:
  // Grown by resize, a chunk at a time: an append copies the whole array whenever it grows.
  void KeepTaken() {
    if (keeping_) {
      const qsizetype end = kept_.size(), taken = at_ - keptUpTo_;
      kept_.resize(end + taken);
      std::memcpy(kept_.data() + end, chunk_.constData() + keptUpTo_, size_t(taken));
    }
    keptUpTo_ = at_;
  }

  QIODevice& file_;
  QByteArray chunk_;
  qint64 readBefore_ = 0;  // the bytes of the chunks before this one
  qsizetype at_ = 0, keptUpTo_ = 0;
  QByteArray kept_;
  bool keeping_ = true;
  bool endOfFile_ = false;
  bool emptyBlock_ = false;  // the last read was a sub-block size of 0
};

extern "C" int ReadForGiflib(GifFileType* gif, GifByteType* out, int wanted) {
  return static_cast<Input*>(gif->UserData)->Read(out, wanted);
}

struct Close {
  void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using Gif = std::unique_ptr<GifFileType, Close>;

// The colour table of `entries` entries at `at`, filled out to 256, and the flags byte before it
// saying so.
void FillOutTable(QByteArray& stream, qsizetype flagsAt, qsizetype at, int entries) {
  stream[flagsAt] = char(uchar(stream[flagsAt]) | 0x87);
  stream.insert(at + entries * 3, kFullTable - entries * 3, '\0');
}

// Skips extensions up to the first image descriptor, and returns where its introducer lies.
// Qt's reader reads a graphic control or application extension whose first sub-block is empty
// otherwise than giflib does, so such a file is not taken.
bool FindFirstImage(GifFileType* gif, Input& input, qint64* at, int* error) {
  for (;;) {
    *at = input.Taken();
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
    while (block)
      if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  }
}

// Decodes every row of the frame into one row of scratch, so that giflib reads the data through
// to the frame's terminator; a frame of no pixels has its data blocks skipped.
bool DecodeFrame(GifFileType* gif) {
  const GifImageDesc& frame = gif->Image;
  if (frame.Width <= 0 || frame.Height <= 0) {
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR) return false;
    while (block)
      if (DGifGetCodeNext(gif, &block) == GIF_ERROR) return false;
    return true;
  }
  std::vector<GifPixelType> row(size_t(frame.Width));
  for (int y = 0; y < frame.Height; ++y)
    if (DGifGetLine(gif, row.data(), frame.Width) == GIF_ERROR) return false;
  return true;
}
}  // namespace

GifFirstFrame ReadGifFirstFrame(QIODevice& file) {
  GifFirstFrame result;
  Input input(file);
  int error = 0;
  const Gif gif(DGifOpen(&input, ReadForGiflib, &error));
  const auto damaged = [&](int failure) {
    result.damage = input.Judge(failure);
    return result;
  };
  if (!gif) return damaged(error);
  const int globalEntries = gif->SColorMap ? gif->SColorMap->ColorCount : 0;
  qint64 descriptorAt = 0;
  error = 0;
  if (!FindFirstImage(gif.get(), input, &descriptorAt, &error)) return damaged(error ? error : gif->Error);
  if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return damaged(gif->Error);
  const GifImageDesc& frame = gif->Image;
  result.size = QSize(gif->SWidth ? gif->SWidth : frame.Left + frame.Width,
                      gif->SHeight ? gif->SHeight : frame.Top + frame.Height);
  if (!FitsPictureLimit(result.size.width(), result.size.height())) return result;
  // The image data begins after the descriptor's ten bytes and its own colour table.
  const qint64 dataFrom = descriptorAt + 10 + (frame.ColorMap ? frame.ColorMap->ColorCount * 3 : 0);
  QByteArray head = input.TakeKept(dataFrom);
  if (!DecodeFrame(gif.get())) return damaged(gif->Error);

  if (frame.ColorMap) FillOutTable(head, descriptorAt + 9, descriptorAt + 10, frame.ColorMap->ColorCount);
  FillOutTable(head, 10, 13, globalEntries);
  result.head = std::move(head);
  result.dataFrom = dataFrom;
  result.dataTo = input.Taken();
  return result;
}

GifFrameStream::GifFrameStream(const GifFirstFrame& frame, QIODevice& file) : frame_(frame), file_(file) {
  open(ReadOnly | Unbuffered);
}

qint64 GifFrameStream::size() const { return frame_.head.size() + (frame_.dataTo - frame_.dataFrom) + 1; }

qint64 GifFrameStream::readData(char* data, qint64 maxSize) {
  const qint64 at = pos(), headLength = frame_.head.size(), dataEnd = headLength + frame_.dataTo - frame_.dataFrom;
  if (at < headLength) {
    const qint64 n = qMin(maxSize, headLength - at);
    std::memcpy(data, frame_.head.constData() + at, size_t(n));
    return n;
  }
  if (at < dataEnd) {
    const qint64 wanted = qMin(maxSize, dataEnd - at);
    const qint64 got = file_.seek(frame_.dataFrom + at - headLength) ? file_.read(data, wanted) : -1;
    if (got < wanted) ranShort_ = true;
    return got;
  }
  if (at > dataEnd || maxSize < 1) return 0;
  *data = ';';
  return 1;
}

}  // namespace platform
