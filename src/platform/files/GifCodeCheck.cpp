#include "platform/files/GifCodeCheck.h"

namespace platform {

namespace {
constexpr int kLargestCode = 4095;
}  // namespace

void GifCodeCheck::Start(int minimumCodeSize, qint64 pixels) {
  started_ = minimumCodeSize <= 8;  // giflib refuses larger ones itself
  minimum_ = minimumCodeSize;
  pixelsLeft_ = pixels;
  Clear();
}

// What giflib does at a clear code, and before the first code.
void GifCodeCheck::Clear() {
  width_ = minimum_ + 1;
  running_ = (1 << minimum_) + 2;
  widthLimit_ = 1 << width_;
  last_ = -1;
  next_ = running_;
}

void GifCodeCheck::Feed(const uchar* bytes, qsizetype n) {
  for (qsizetype i = 0; i < n && started_ && !ended_; ++i) {
    if (blockLeft_ == 0) {  // a sub-block size; the terminator ends the data
      blockLeft_ = bytes[i];
      ended_ = blockLeft_ == 0;
      continue;
    }
    --blockLeft_;
    bits_ |= quint32(bytes[i]) << bitCount_;
    bitCount_ += 8;
    while (bitCount_ >= width_ && !ended_) {
      const int code = int(bits_ & ((1u << width_) - 1));
      bits_ >>= width_;
      bitCount_ -= width_;
      // giflib widens the codes as it reads them, whatever they are.
      if (running_ < kLargestCode + 2 && ++running_ > widthLimit_ && width_ < 12) {
        widthLimit_ <<= 1;
        ++width_;
      }
      Code(code);
    }
  }
}

void GifCodeCheck::Code(int code) {
  const int clear = 1 << minimum_;
  if (code == clear) return Clear();
  if (code == clear + 1) {  // the end code: giflib says itself whether it came early
    ended_ = true;
    return;
  }
  int pixels = 1;
  if (last_ >= 0 && code > clear) {
    // An entry made already, or the one this very code makes; the table stops growing full.
    if (code > next_ && next_ <= kLargestCode) {
      unmade_ = true;
      ended_ = true;
      return;
    }
    pixels = code < next_ || next_ > kLargestCode ? length_[size_t(code)] : length_[size_t(last_)] + 1;
  }
  if (last_ >= 0 && next_ <= kLargestCode) length_[size_t(next_++)] = quint16(length_[size_t(last_)] + 1);
  if (code < clear) length_[size_t(code)] = 1;
  last_ = code;
  pixelsLeft_ -= pixels;
  ended_ = pixelsLeft_ <= 0;  // giflib reads no further code
}

}  // namespace platform
