// Stamping the clip: a red preview of the clip's size follows the pointer over the canvas,
// a press copies the clip there, and a held button paints a trail of stamps. A handler works out
// the state it will leave and draws from that; only once its drawing has all the memory it needs
// do the pictures and the state change, together.
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "platform/Drawing.h"
#include "platform/Errors.h"
#include "source/SRC_W.h"

using platform::CheckedMul;
using platform::Drawing;
using platform::Integer;

namespace {
bool HasClip() { return EditorState.ClipSrcIndex >= 0; }

// The previous cell is remembered so that its outline can be erased.
SideFields MovedToCellOf(float X, float Y) {
  SideFields c = ReadSide(SIDE_DEST);
  c.PrevCol = c.CurCol;
  c.PrevRow = c.CurRow;
  c.CurCol = CellOf(X, EditorState.DestCellW);
  c.CurRow = CellOf(Y, EditorState.DestCellH);
  return c;
}

// The clip's pixels come from the source's clean copy, so its outline is never stamped;
// the canvas's clean copy is written first.
void StampAt(Drawing& d, DEST_W& canvas, const SideFields& c) {
  const auto& s = EditorState;
  const SRC_W* source = s.SrcWindows(s.ClipSrcIndex);
  if (!source) platform::Raise(platform::ErrorKind::Failed, QStringLiteral("切り取り元のウィンドウがありません。"));
  const Long x = CheckedMul(c.CurCol, s.DestCellW);
  const Long y = CheckedMul(c.CurRow, s.DestCellH);
  d.BitBlt(*canvas.WKP, x, y, s.ClipW, s.ClipH, *source->WKP, s.ClipX, s.ClipY);
  d.BitBlt(*canvas.Picture2, x, y, s.ClipW, s.ClipH, *source->WKP, s.ClipX, s.ClipY);
}

void EraseAtPreviousCell(Drawing& d, DEST_W& canvas, const SideFields& c) {
  const auto& s = EditorState;
  const Long x = CheckedMul(c.PrevCol, s.DestCellW);
  const Long y = CheckedMul(c.PrevRow, s.DestCellH);
  d.BitBlt(*canvas.Picture2, x, y, s.ClipW, s.ClipH, *canvas.WKP, x, y);
}

void Outline(Drawing& d, DEST_W& canvas, const SideFields& c, Long colour) {
  const auto& s = EditorState;
  AddGridOutline(d, canvas, SIDE_DEST, colour, s.DestCellW, s.DestCellH, {c.CurCol, c.CurRow, s.ClipW, s.ClipH});
}

// The drawing gets its memory first; the pictures, then the state, change only once it has.
void Commit(DEST_W& canvas, Drawing& d, const SideFields& c) {
  d.Prepare();
  d.Apply();
  StoreSide(SIDE_DEST, c);
  canvas.Picture2->Refresh();
}
}  // namespace

void DEST_W::Picture2_MouseDown(Integer Button, Integer, float X, float Y) {
  if (!HasClip()) return;
  SideFields c = MovedToCellOf(X, Y);
  // No outline: the stamp covers the preview the last move drew at this cell.
  Drawing d;
  StampAt(d, *this, c);
  if (Button == 1 || Button == 2) c.MouseMode = 1;
  Commit(*this, d, c);
}

void DEST_W::Picture2_MouseMove(Integer, Integer, float X, float Y) {
  if (!HasClip()) return;
  const SideFields c = MovedToCellOf(X, Y);
  Drawing d;
  EraseAtPreviousCell(d, *this, c);
  if (c.MouseMode == 0) {
    Outline(d, *this, c, kOutlineRed);
  } else if (c.MouseMode == 1) {
    StampAt(d, *this, c);
    Outline(d, *this, c, kOutlineWhite);
  }
  Commit(*this, d, c);
}

void DEST_W::Picture2_MouseUp(Integer, Integer, float, float) { EditorState.MouseMode(SIDE_DEST) = 0; }

// No clip test: before the first clip the outline simply has no size.
void DEST_W::Picture2_DblClick() {
  SideFields c = ReadSide(SIDE_DEST);
  c.MouseMode = 1;
  Drawing d;
  Outline(d, *this, c, kOutlineYellow);
  Commit(*this, d, c);
}
