#include "app/Module1.h"

#include "app/ChildWindow.h"
#include "platform/Gdi.h"
#include "platform/Guard.h"

using platform::CheckedAdd;
using platform::CheckedMul;
using platform::SkipOnError;

EditorStateRecord EditorState;

void InitEditorState() {
  EditorState.SrcCount = 0;
  EditorState.ClipSrcIndex = -1;
  EditorState.DestCellW = 32;
  EditorState.DestCellH = 32;
  for (int i = 0; i < kSrcTableSize; ++i) {
    EditorState.SrcCellW(i) = 32;
    EditorState.SrcCellH(i) = 32;
  }
  EditorState.SelCols(SIDE_SRC) = 1;
  EditorState.SelRows(SIDE_SRC) = 1;
  EditorState.MouseMode(SIDE_SRC) = 0;
}

Long CellOf(float position, Long cellSize) {
  return platform::CheckedDiv(platform::RoundToLong(position), cellSize);
}

void SyncWorkSize(ChildWindow& w) {
  w.WKP->SetWidth(w.Picture2->Width());
  w.WKP->SetHeight(w.Picture2->Height());
}

void SetWindowPicture(ChildWindow& w, QImage picture) {
  platform::PictureBox::Staged shown = w.Picture2->Stage(std::move(picture));
  platform::PictureBox::Staged clean = w.WKP->Stage(shown.picture);
  w.Picture2->Adopt(std::move(shown));
  w.WKP->Adopt(std::move(clean));
  LayoutChild(w);
}

namespace {
// Max = excess + 8 while the image is longer than the bar, else 0.
void FitRange(platform::ScrollBar& bar, Long picture, Long barLength) {
  SkipOnError([&] {
    const Long excess = platform::CheckedSub(picture, barLength);
    bar.SetMax(excess > 0 ? CheckedAdd(excess, 8) : 0);
  });
  SkipOnError([&] { bar.SetMin(0); });
  SkipOnError([&] { bar.SetLargeChange(32); });
  SkipOnError([&] { bar.SetSmallChange(1); });
}
}  // namespace

void LayoutChild(ChildWindow& w) {
  auto& bar = *w.MENU_BAR;
  auto& hs = *w.HScroll1;
  auto& vs = *w.VScroll1;
  auto& view = *w.Picture1;

  SkipOnError([&] { bar.SetTop(0); });
  SkipOnError([&] { bar.SetLeft(0); });
  SkipOnError([&] { bar.SetWidth(w.ScaleWidth()); });
  SkipOnError([&] { bar.SetHeight(CheckedAdd(w.Command1->Height(), 4)); });
  const Long B = bar.ScaleHeight();

  SkipOnError([&] { hs.SetTop(w.ScaleHeight() - hs.Height()); });
  SkipOnError([&] { hs.SetLeft(0); });
  SkipOnError([&] { hs.SetWidth(w.ScaleWidth() - vs.Width()); });
  FitRange(hs, w.Picture2->ScaleWidth(), hs.Width());

  SkipOnError([&] { vs.SetLeft(w.ScaleWidth() - vs.Width()); });
  SkipOnError([&] { vs.SetTop(CheckedAdd(B, 4)); });
  SkipOnError([&] { vs.SetHeight(w.ScaleHeight() - hs.Height() - (B + 4.0)); });
  FitRange(vs, w.Picture2->ScaleHeight(), vs.Height());

  SkipOnError([&] { view.Cls(); });
  SkipOnError([&] { view.SetTop(CheckedAdd(B, 4)); });
  SkipOnError([&] { view.SetLeft(0); });
  SkipOnError([&] { view.SetWidth(w.ScaleWidth() - vs.Width() - 2); });
  SkipOnError([&] { view.SetHeight(w.ScaleHeight() - hs.Height() - B - 6.0); });
  SkipOnError([&] {
    platform::StretchBlt(view, 0, 0, view.ScaleWidth(), view.ScaleHeight(), *w.Picture3, 0, 0,
                         w.Picture3->ScaleWidth(), w.Picture3->ScaleHeight());
  });
  SkipOnError([&] { view.Refresh(); });
}

void DrawGridOutline(ChildWindow& w, Long mode, Long colour, Long cellW, Long cellH) {
  platform::PictureBox& pic = *w.Picture2;
  // The pen colour is put back even when the arithmetic overflows.
  struct RestoreForeColor {
    platform::PictureBox& box;
    Long saved;
    ~RestoreForeColor() { box.SetForeColor(saved); }
  } restore{pic, pic.ForeColor()};
  pic.SetForeColor(colour);

  const auto& s = EditorState;
  if (mode == SIDE_SRC) {
    const Long c = s.CurCol(SIDE_SRC), r = s.CurRow(SIDE_SRC);
    platform::Rectangle(pic, CheckedMul(cellW, c), CheckedMul(cellH, r),
                        CheckedMul(cellW, CheckedAdd(c, s.SelCols(SIDE_SRC))),
                        CheckedMul(cellH, CheckedAdd(r, s.SelRows(SIDE_SRC))));
  } else if (mode == SIDE_DEST) {
    const Long left = CheckedMul(cellW, s.CurCol(SIDE_DEST));
    const Long top = CheckedMul(cellH, s.CurRow(SIDE_DEST));
    platform::Rectangle(pic, left, top, CheckedAdd(left, s.ClipW), CheckedAdd(top, s.ClipH));
  }
  pic.Refresh();
}
