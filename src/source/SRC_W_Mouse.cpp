// Hover outline, cell selection and clip capture over a source picture. The selection state
// lives in EditorState, so every source window continues where the last event left it. A handler
// works out the state it will leave and draws from that; only once its drawing has all the
// memory it needs do the pictures and the state change, together.
#include <QString>

#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "platform/Drawing.h"
#include "source/SRC_W.h"

using platform::CheckedAdd;
using platform::CheckedMul;
using platform::CheckedSub;
using platform::Drawing;
using platform::Integer;

namespace {
struct Grid {
  Long W, H;
};

Grid GridOf(const SRC_W& w) {
  return {EditorState.SrcCellW(w.MyIndex), EditorState.SrcCellH(w.MyIndex)};
}

// Copies clean pixels from WKP over whatever outline stands in the rectangle.
void Restore(Drawing& d, ChildWindow& w, Long x, Long y, Long width, Long height) {
  d.BitBlt(*w.Picture2, x, y, width, height, *w.WKP, x, y);
}

// Erases the selection outline last drawn at the anchor, of the size saved before its change.
void RestoreAtAnchor(Drawing& d, SRC_W& w, Grid g, const SideFields& sel) {
  Restore(d, w, CheckedMul(g.W, sel.CurCol), CheckedMul(g.H, sel.CurRow), CheckedMul(g.W, sel.PrevSelCols),
          CheckedMul(g.H, sel.PrevSelRows));
}

void Outline(Drawing& d, SRC_W& w, Grid g, const SideFields& sel, Long colour) {
  AddGridOutline(d, w, SIDE_SRC, colour, g.W, g.H, {sel.CurCol, sel.CurRow, sel.SelCols, sel.SelRows});
}

Long ColourOf(Long mode) { return mode == 0 ? kOutlineGreen : mode == 1 ? kOutlineYellow : kOutlineBlack; }

// The drawing gets its memory first; the pictures, then the state and the caption, change only
// once it has.
void Commit(SRC_W& w, Drawing& d, const SideFields& sel, const QString& caption = QString()) {
  d.Prepare();
  d.Apply();
  StoreSide(SIDE_SRC, sel);
  if (!caption.isNull()) w.SetCaption(caption);
  w.Picture2->Refresh();
}

void HoverMove(SRC_W& w, Grid g, float X, float Y) {
  SideFields sel = ReadSide(SIDE_SRC);
  // Zero is excluded, so a pointer on the left or top edge keeps the last cell.
  if (0 < X && X <= float(w.Picture2->ScaleWidth())) {
    sel.PrevCol = sel.CurCol;
    sel.CurCol = CellOf(X, g.W);
  }
  if (0 < Y && Y <= float(w.Picture2->ScaleHeight())) {
    sel.PrevRow = sel.CurRow;
    sel.CurRow = CellOf(Y, g.H);
  }
  const QString caption = QStringLiteral("SRC WINDOW(%1,%2)(%3,%4)")
                              .arg(sel.CurCol)
                              .arg(sel.CurRow)
                              .arg(sel.SelCols)
                              .arg(sel.SelRows);
  Drawing d;
  Restore(d, w, CheckedMul(g.W, sel.PrevCol), CheckedMul(g.H, sel.PrevRow), CheckedMul(g.W, sel.SelCols),
          CheckedMul(g.H, sel.SelRows));
  Outline(d, w, g, sel, kOutlineGreen);
  Commit(w, d, sel, caption);
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
  SideFields sel = ReadSide(SIDE_SRC);
  GrowAxis(X, w.Picture2->Width(), g.W, sel.CurCol, sel.SelCols, sel.PrevSelCols);
  GrowAxis(Y, w.Picture2->Height(), g.H, sel.CurRow, sel.SelRows, sel.PrevSelRows);
  const QString caption = QStringLiteral("SRC WINDOW(%1,%2)-(%3,%4)(%5,%6)")
                              .arg(sel.CurCol)
                              .arg(sel.CurRow)
                              .arg(CellOf(X, g.W))
                              .arg(CellOf(Y, g.H))
                              .arg(sel.SelCols)
                              .arg(sel.SelRows);
  Drawing d;
  RestoreAtAnchor(d, w, g, sel);
  Outline(d, w, g, sel, kOutlineYellow);
  Commit(w, d, sel, caption);
}
}  // namespace

void SRC_W::Picture2_MouseDown(Integer Button, Integer, float, float) {
  const Grid g = GridOf(*this);
  SideFields sel = ReadSide(SIDE_SRC);
  if (Button == 1) {
    sel.MouseMode = 1;
    sel.PrevSelCols = sel.SelCols;
    sel.PrevSelRows = sel.SelRows;
    sel.SelCols = 1;
    sel.SelRows = 1;
  } else if (Button == 2) {
    sel.MouseMode = 1;
  }
  Drawing d;
  RestoreAtAnchor(d, *this, g, sel);
  Outline(d, *this, g, sel, ColourOf(sel.MouseMode));
  Commit(*this, d, sel);
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
  SideFields sel = ReadSide(SIDE_SRC);
  const Long clipX = CheckedMul(g.W, sel.CurCol), clipY = CheckedMul(g.H, sel.CurRow);
  const Long clipW = CheckedMul(g.W, sel.SelCols), clipH = CheckedMul(g.H, sel.SelRows);
  sel.MouseMode = 0;
  sel.SelCols = 1;
  sel.SelRows = 1;
  Drawing d;
  // The canvas preview is erased while the clip still has the size it was drawn with; the
  // canvas shows it at its next refresh.
  DEST_W& canvas = DEST_W::Instance();
  Restore(d, canvas, CheckedMul(s.DestCellW, s.PrevCol(SIDE_DEST)), CheckedMul(s.DestCellH, s.PrevRow(SIDE_DEST)),
          s.ClipW, s.ClipH);
  RestoreAtAnchor(d, *this, g, sel);
  Outline(d, *this, g, sel, ColourOf(sel.MouseMode));
  d.Prepare();
  d.Apply();
  s.ClipSrcIndex = MyIndex;
  s.ClipX = clipX;
  s.ClipY = clipY;
  s.ClipW = clipW;
  s.ClipH = clipH;
  StoreSide(SIDE_SRC, sel);
  Picture2->Refresh();
}

void SRC_W::Picture2_DblClick() {
  const Grid g = GridOf(*this);
  SideFields sel = ReadSide(SIDE_SRC);
  sel.MouseMode = 1;
  Drawing d;
  RestoreAtAnchor(d, *this, g, sel);
  Outline(d, *this, g, sel, ColourOf(sel.MouseMode));
  Commit(*this, d, sel);
}
