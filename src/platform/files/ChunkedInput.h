#pragma once
// A picture file read a chunk at a time, for the decoders that take its bytes as they go (giflib,
// libjpeg, the run-length BMP): one large read serves many small ones, and nothing is read more
// than a chunk beyond what a decoder has asked for.
#include <QIODevice>
#include <vector>

namespace platform {

class ChunkedInput {
 public:
  static constexpr qsizetype kChunk = 64 * 1024;

  explicit ChunkedInput(QIODevice& file) : file_(file) {}

  // Makes `n` bytes (at most a chunk) available at Data(); false when the file ends first.
  bool Has(qsizetype n);
  const uchar* Data() const { return buffer_.data() + at_; }
  qsizetype Available() const { return end_ - at_; }
  // Takes `n` of the available bytes.
  void Skip(qsizetype n) { at_ += n; }
  // Copies up to `n` bytes to `out`, fewer only where the file ends.
  qsizetype Read(uchar* out, qsizetype n);
  // A read found the end of the file.
  bool EndOfFile() const { return endOfFile_; }

 private:
  QIODevice& file_;
  std::vector<uchar> buffer_;
  qsizetype at_ = 0, end_ = 0;
  bool endOfFile_ = false;
};

}  // namespace platform
