#pragma once
// The LZW codes of a GIF image, followed as giflib reads them, for the one fault giflib lets
// through: a code naming a table entry not yet made, for which it makes up pixels without a
// word (the GIF rules call such data damaged, and other readers make up others).
#include <QtGlobal>
#include <array>

namespace platform {

class GifCodeCheck {
 public:
  // From the image's LZW minimum code size on, for an image of `pixels` pixels.
  void Start(int minimumCodeSize, qint64 pixels);
  // The bytes giflib reads after the minimum code size: data sub-blocks, each behind its size.
  void Feed(const uchar* bytes, qsizetype n);
  // A code named an entry the table did not have before the image's last pixel was decoded.
  bool FoundUnmadeEntry() const { return unmade_; }

 private:
  void Code(int code);
  void Clear();

  bool started_ = false, ended_ = false, unmade_ = false;
  int blockLeft_ = 0;  // data bytes left in the sub-block; 0: a size comes next
  quint32 bits_ = 0;
  int bitCount_ = 0;
  int minimum_ = 0, width_ = 0, running_ = 0, widthLimit_ = 0;
  int last_ = -1, next_ = 0;  // the previous code, and the next entry the table makes
  qint64 pixelsLeft_ = 0;
  std::array<quint16, 4096> length_{};  // how many pixels each entry stands for
};

}  // namespace platform
