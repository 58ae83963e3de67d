#include "platform/files/ChunkedInput.h"

#include <algorithm>
#include <cstring>

namespace platform {

bool ChunkedInput::Has(qsizetype n) {
  if (Available() >= n) return true;
  // What is left moves to the front; the buffer never grows past two chunks.
  if (Available() > 0) std::memmove(buffer_.data(), Data(), size_t(Available()));
  end_ -= at_;
  at_ = 0;
  buffer_.resize(size_t(std::max(end_ + kChunk, qsizetype(buffer_.size()))));
  while (end_ < n && !endOfFile_) {
    const qint64 got = file_.read(reinterpret_cast<char*>(buffer_.data() + end_), qsizetype(buffer_.size()) - end_);
    if (got <= 0) endOfFile_ = true;
    else end_ += got;
  }
  return end_ >= n;
}

qsizetype ChunkedInput::Read(uchar* out, qsizetype n) {
  qsizetype served = 0;
  while (served < n && Has(1)) {
    const qsizetype part = std::min(n - served, Available());
    std::memcpy(out + served, Data(), size_t(part));
    Skip(part);
    served += part;
  }
  return served;
}

}  // namespace platform
