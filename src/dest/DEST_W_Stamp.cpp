// Stamping the clip: a red preview of the clip's size follows the pointer over the canvas,
// a press copies the clip there, and a held button paints a trail of stamps.
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "platform/Errors.h"
#include "platform/Gdi.h"
#include "source/SRC_W.h"

using platform::CheckedMul;
using platform::Integer;

namespace {
bool HasClip() { return EditorState.ClipSrcIndex >= 0; }

// The previous cell is remembered so that its outline can be erased.
void MoveToCellOf(float X, float Y) {
  auto& s = EditorState;
  s.PrevCol(SIDE_DEST) = s.CurCol(SIDE_DEST);
  s.PrevRow(SIDE_DEST) = s.CurRow(SIDE_DEST);
  s.CurCol(SIDE_DEST) = CellOf(X, s.DestCellW);
  s.CurRow(SIDE_DEST) = CellOf(Y, s.DestCellH);
}

// The clip's pixels come from the source's clean copy, so its outline is never stamped;
// the canvas's clean copy is written first.
void StampAtCurrentCell(DEST_W& canvas) {
  const auto& s = EditorState;
  const SRC_W* source = s.SrcWindows(s.ClipSrcIndex);
  if (!source) platform::Raise(platform::ErrorKind::Failed, QStringLiteral("切り取り元のウィンドウがありません。"));
  const Long x = CheckedMul(s.CurCol(SIDE_DEST), s.DestCellW);
  const Long y = CheckedMul(s.CurRow(SIDE_DEST), s.DestCellH);
  platform::BitBlt(*canvas.WKP, x, y, s.ClipW, s.ClipH, *source->WKP, s.ClipX, s.ClipY);
  platform::BitBlt(*canvas.Picture2, x, y, s.ClipW, s.ClipH, *source->WKP, s.ClipX, s.ClipY);
}

void EraseAtPreviousCell(DEST_W& canvas) {
  const auto& s = EditorState;
  const Long x = CheckedMul(s.PrevCol(SIDE_DEST), s.DestCellW);
  const Long y = CheckedMul(s.PrevRow(SIDE_DEST), s.DestCellH);
  platform::BitBlt(*canvas.Picture2, x, y, s.ClipW, s.ClipH, *canvas.WKP, x, y);
}
}  // namespace

void DEST_W::Picture2_MouseDown(Integer Button, Integer, float X, float Y) {
  if (!HasClip()) return;
  MoveToCellOf(X, Y);
  // No outline: the stamp covers the preview the last move drew at this cell.
  StampAtCurrentCell(*this);
  if (Button == 1 || Button == 2) EditorState.MouseMode(SIDE_DEST) = 1;
  Picture2->Refresh();
}

void DEST_W::Picture2_MouseMove(Integer, Integer, float X, float Y) {
  auto& s = EditorState;
  if (!HasClip()) return;
  MoveToCellOf(X, Y);
  EraseAtPreviousCell(*this);
  if (s.MouseMode(SIDE_DEST) == 0) {
    DrawGridOutline(*this, SIDE_DEST, kOutlineRed, s.DestCellW, s.DestCellH);
  } else if (s.MouseMode(SIDE_DEST) == 1) {
    StampAtCurrentCell(*this);
    DrawGridOutline(*this, SIDE_DEST, kOutlineWhite, s.DestCellW, s.DestCellH);
  }
  Picture2->Refresh();
}

void DEST_W::Picture2_MouseUp(Integer, Integer, float, float) { EditorState.MouseMode(SIDE_DEST) = 0; }

// No clip test: before the first clip the outline simply has no size.
void DEST_W::Picture2_DblClick() {
  EditorState.MouseMode(SIDE_DEST) = 1;
  DrawGridOutline(*this, SIDE_DEST, kOutlineYellow, EditorState.DestCellW, EditorState.DestCellH);
}
