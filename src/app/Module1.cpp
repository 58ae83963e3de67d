#include "app/Module1.h"

#include "app/ChildWindow.h"
#include "platform/Drawing.h"
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

SideFields ReadSide(int side) {
  const auto& s = EditorState;
  return {s.MouseMode(side), s.CurCol(side),  s.CurRow(side),      s.PrevCol(side),    s.PrevRow(side),
          s.SelCols(side),   s.SelRows(side), s.PrevSelCols(side), s.PrevSelRows(side)};
}

void StoreSide(int side, const SideFields& f) {
  auto& s = EditorState;
  s.MouseMode(side) = f.MouseMode;
  s.CurCol(side) = f.CurCol;
  s.CurRow(side) = f.CurRow;
  s.PrevCol(side) = f.PrevCol;
  s.PrevRow(side) = f.PrevRow;
  s.SelCols(side) = f.SelCols;
  s.SelRows(side) = f.SelRows;
  s.PrevSelCols(side) = f.PrevSelCols;
  s.PrevSelRows(side) = f.PrevSelRows;
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

void AddGridOutline(platform::Drawing& drawing, ChildWindow& w, Long mode, Long colour, Long cellW, Long cellH,
                    OutlinePlace at) {
  platform::PictureBox& pic = *w.Picture2;
  // The pen colour is put back even when the arithmetic overflows.
  struct RestoreForeColor {
    platform::PictureBox& box;
    Long saved;
    ~RestoreForeColor() { box.SetForeColor(saved); }
  } restore{pic, pic.ForeColor()};
  pic.SetForeColor(colour);

  if (mode == SIDE_SRC) {
    drawing.Rectangle(pic, CheckedMul(cellW, at.col), CheckedMul(cellH, at.row),
                      CheckedMul(cellW, CheckedAdd(at.col, at.width)),
                      CheckedMul(cellH, CheckedAdd(at.row, at.height)));
  } else if (mode == SIDE_DEST) {
    const Long left = CheckedMul(cellW, at.col);
    const Long top = CheckedMul(cellH, at.row);
    drawing.Rectangle(pic, left, top, CheckedAdd(left, at.width), CheckedAdd(top, at.height));
  }
}

void DrawGridOutline(ChildWindow& w, Long mode, Long colour, Long cellW, Long cellH) {
  const auto& s = EditorState;
  OutlinePlace at{};
  if (mode == SIDE_SRC) at = {s.CurCol(SIDE_SRC), s.CurRow(SIDE_SRC), s.SelCols(SIDE_SRC), s.SelRows(SIDE_SRC)};
  if (mode == SIDE_DEST) at = {s.CurCol(SIDE_DEST), s.CurRow(SIDE_DEST), s.ClipW, s.ClipH};
  platform::Drawing drawing;
  AddGridOutline(drawing, w, mode, colour, cellW, cellH, at);
  drawing.Prepare();
  drawing.Apply();
  w.Picture2->Refresh();
}
