// Hover outline, cell selection and clip capture over a source picture. The selection state
// lives in EditorState, so every source window continues where the last event left it.
#include <QString>

#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "platform/Gdi.h"
#include "source/SRC_W.h"

using platform::CheckedAdd;
using platform::CheckedMul;
using platform::CheckedSub;
using platform::Integer;

namespace {
struct Grid {
  Long W, H;
};

Grid GridOf(const SRC_W& w) {
  return {EditorState.SrcCellW(w.MyIndex), EditorState.SrcCellH(w.MyIndex)};
}

// Copies clean pixels from WKP over whatever outline stands in the rectangle.
void Restore(platform::PictureBox& picture, const platform::PictureBox& clean, Long x, Long y, Long w,
             Long h) {
  platform::BitBlt(picture, x, y, w, h, clean, x, y);
}

// Erases the selection outline last drawn at the anchor, of the size saved before its change.
void RestoreAtAnchor(SRC_W& w, Grid g) {
  const auto& s = EditorState;
  Restore(*w.Picture2, *w.WKP, CheckedMul(g.W, s.CurCol(SIDE_SRC)), CheckedMul(g.H, s.CurRow(SIDE_SRC)),
          CheckedMul(g.W, s.PrevSelCols(SIDE_SRC)), CheckedMul(g.H, s.PrevSelRows(SIDE_SRC)));
}

void OutlineByMode(SRC_W& w, Grid g) {
  const Long mode = EditorState.MouseMode(SIDE_SRC);
  DrawGridOutline(w, SIDE_SRC, mode == 0 ? kOutlineGreen : mode == 1 ? kOutlineYellow : kOutlineBlack, g.W, g.H);
}

void HoverMove(SRC_W& w, Grid g, float X, float Y) {
  auto& s = EditorState;
  // Zero is excluded, so a pointer on the left or top edge keeps the last cell.
  if (0 < X && X <= float(w.Picture2->ScaleWidth())) {
    s.PrevCol(SIDE_SRC) = s.CurCol(SIDE_SRC);
    s.CurCol(SIDE_SRC) = CellOf(X, g.W);
  }
  if (0 < Y && Y <= float(w.Picture2->ScaleHeight())) {
    s.PrevRow(SIDE_SRC) = s.CurRow(SIDE_SRC);
    s.CurRow(SIDE_SRC) = CellOf(Y, g.H);
  }
  w.SetCaption(QStringLiteral("SRC WINDOW(%1,%2)(%3,%4)")
                   .arg(s.CurCol(SIDE_SRC))
                   .arg(s.CurRow(SIDE_SRC))
                   .arg(s.SelCols(SIDE_SRC))
                   .arg(s.SelRows(SIDE_SRC)));
  Restore(*w.Picture2, *w.WKP, CheckedMul(g.W, s.PrevCol(SIDE_SRC)), CheckedMul(g.H, s.PrevRow(SIDE_SRC)),
          CheckedMul(g.W, s.SelCols(SIDE_SRC)), CheckedMul(g.H, s.SelRows(SIDE_SRC)));
  DrawGridOutline(w, SIDE_SRC, kOutlineGreen, g.W, g.H);
}

// Grows the selection along one axis when the pointer is inside the picture and past the
// anchor's leading edge; otherwise the last size stays, so it never turns empty or mirrored.
void GrowAxis(float pointer, Long outer, Long cell, Long anchor, Long& size, Long& prevSize) {
  const Long anchorEdge = CheckedMul(cell, anchor);
  if (0 < pointer && pointer <= float(outer) && pointer > float(anchorEdge)) {
    prevSize = size;
    size = CheckedAdd(CheckedSub(CellOf(pointer, cell), anchor), 1);
  }
}

void HeldMove(SRC_W& w, Grid g, float X, float Y) {
  auto& s = EditorState;
  GrowAxis(X, w.Picture2->Width(), g.W, s.CurCol(SIDE_SRC), s.SelCols(SIDE_SRC), s.PrevSelCols(SIDE_SRC));
  GrowAxis(Y, w.Picture2->Height(), g.H, s.CurRow(SIDE_SRC), s.SelRows(SIDE_SRC), s.PrevSelRows(SIDE_SRC));
  w.SetCaption(QStringLiteral("SRC WINDOW(%1,%2)-(%3,%4)(%5,%6)")
                   .arg(s.CurCol(SIDE_SRC))
                   .arg(s.CurRow(SIDE_SRC))
                   .arg(CellOf(X, g.W))
                   .arg(CellOf(Y, g.H))
                   .arg(s.SelCols(SIDE_SRC))
                   .arg(s.SelRows(SIDE_SRC)));
  RestoreAtAnchor(w, g);
  DrawGridOutline(w, SIDE_SRC, kOutlineYellow, g.W, g.H);
}
}  // namespace

void SRC_W::Picture2_MouseDown(Integer Button, Integer, float, float) {
  auto& s = EditorState;
  const Grid g = GridOf(*this);
  if (Button == 1) {
    s.MouseMode(SIDE_SRC) = 1;
    s.PrevSelCols(SIDE_SRC) = s.SelCols(SIDE_SRC);
    s.PrevSelRows(SIDE_SRC) = s.SelRows(SIDE_SRC);
    s.SelCols(SIDE_SRC) = 1;
    s.SelRows(SIDE_SRC) = 1;
  } else if (Button == 2) {
    s.MouseMode(SIDE_SRC) = 1;
  }
  RestoreAtAnchor(*this, g);
  OutlineByMode(*this, g);
}

void SRC_W::Picture2_MouseMove(Integer, Integer, float X, float Y) {
  const Grid g = GridOf(*this);
  switch (EditorState.MouseMode(SIDE_SRC)) {
    case 0: HoverMove(*this, g, X, Y); break;
    case 1: HeldMove(*this, g, X, Y); break;
    default: break;
  }
}

void SRC_W::Picture2_MouseUp(Integer, Integer, float, float) {
  auto& s = EditorState;
  const Grid g = GridOf(*this);
  // The canvas preview is erased while the clip still has the size it was drawn with; the
  // canvas shows it at its next refresh.
  DEST_W& canvas = DEST_W::Instance();
  Restore(*canvas.Picture2, *canvas.WKP, CheckedMul(s.DestCellW, s.PrevCol(SIDE_DEST)),
          CheckedMul(s.DestCellH, s.PrevRow(SIDE_DEST)), s.ClipW, s.ClipH);

  s.ClipSrcIndex = MyIndex;
  s.MouseMode(SIDE_SRC) = 0;
  s.ClipX = CheckedMul(g.W, s.CurCol(SIDE_SRC));
  s.ClipY = CheckedMul(g.H, s.CurRow(SIDE_SRC));
  s.ClipW = CheckedMul(g.W, s.SelCols(SIDE_SRC));
  s.ClipH = CheckedMul(g.H, s.SelRows(SIDE_SRC));
  s.SelCols(SIDE_SRC) = 1;
  s.SelRows(SIDE_SRC) = 1;
  RestoreAtAnchor(*this, g);
  OutlineByMode(*this, g);
}

void SRC_W::Picture2_DblClick() {
  const Grid g = GridOf(*this);
  EditorState.MouseMode(SIDE_SRC) = 1;
  RestoreAtAnchor(*this, g);
  OutlineByMode(*this, g);
}
