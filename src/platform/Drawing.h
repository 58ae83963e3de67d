#pragma once
// The drawing of one mouse action, made all together or not at all. Its steps, copies as BitBlt
// makes them and outlines as Rectangle draws them, are noted first; Prepare then makes all they
// need (tiles, places for them, the record of what changed) without changing a pixel, and raises
// OutOfMemory where it cannot, so that running short changes nothing; Apply draws the steps in
// their order and cannot fail. Neither shows anything: the caller refreshes what it drew. A
// drawing is made once.
#include <QImage>
#include <QRect>
#include <array>
#include <optional>

#include "platform/Numeric.h"
#include "platform/TiledImage.h"

namespace platform {

class PictureBox;

class Drawing {
 public:
  void BitBlt(PictureBox& dst, Long x, Long y, Long w, Long h, const PictureBox& src, Long sx, Long sy);
  // In the box's fore colour as it is at this call.
  void Rectangle(PictureBox& box, Long left, Long top, Long right, Long bottom);

  void Prepare();
  void Apply() noexcept;

 private:
  struct Step {
    PictureBox* box = nullptr;
    const PictureBox* from = nullptr;  // a copy's source; none for an outline
    QRect area;                        // what the step may change, clipped to the box
    QPoint fromAt;
    QRect edges[4];                    // an outline's; a copy writes `area` whole
    QRgb colour = 0;
    std::optional<QImage> scratch;  // a copy within one box reads its source here first
  };
  Step& Add(PictureBox& box);
  // The room step i may take in its box, whatever the steps before it do.
  TiledImage::Room RoomFor(int i);

  static constexpr int kMostSteps = 4;  // a drag over the canvas: erase, two stamps, outline
  std::array<Step, kMostSteps> steps_;
  int count_ = 0;
};

}  // namespace platform
