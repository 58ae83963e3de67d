#pragma once
// The one editor state every window reads and writes, and the routines the windows share.
#include <QImage>

#include "platform/Numeric.h"
#include "platform/Table.h"

class SRC_W;
class ChildWindow;
namespace platform {
class Drawing;
}

using platform::Integer;
using platform::Long;

constexpr int SIDE_SRC = 0;
constexpr int SIDE_DEST = 1;
constexpr int kSrcTableSize = 256;  // entries 0..255; entry 0 is never used
constexpr Integer kMaxSrcWindows = 255;

// Outline colours, 0x00BBGGRR.
constexpr Long kOutlineGreen = 0x00FF00;   // source hover
constexpr Long kOutlineYellow = 0x00FFFF;  // source held, canvas after a double click
constexpr Long kOutlineRed = 0x0000FF;     // canvas preview
constexpr Long kOutlineWhite = 0xFFFFFF;   // canvas stamp during a drag
constexpr Long kOutlineBlack = 0x000000;

struct EditorStateRecord {
  template <typename T>
  using PerSide = platform::Table<T, 2>;
  template <typename T>
  using PerWindow = platform::Table<T, kSrcTableSize>;

  PerSide<Long> SelCols, SelRows;
  PerSide<Long> CurCol, CurRow;
  PerSide<Long> PrevSelCols, PrevSelRows;
  PerSide<Long> PrevCol, PrevRow;
  PerSide<Long> MouseMode;
  Long DestCellW = 0;
  Long DestCellH = 0;
  PerWindow<Long> SrcCellW, SrcCellH;
  Long ClipX = 0, ClipY = 0, ClipW = 0, ClipH = 0;
  Integer SrcCount = 0;
  Integer NewSrcIndex = 0;
  // The windows themselves belong to the frame's MDI area and live until the program ends.
  PerWindow<SRC_W*> SrcWindows;
  Integer OptSrcIndex = 0;
  Integer ClipSrcIndex = 0;
};

extern EditorStateRecord EditorState;

// One side's mouse fields of EditorState as a value: a mouse handler works out the values it
// will leave in a copy and stores them all at once, when nothing can fail any more.
struct SideFields {
  Long MouseMode, CurCol, CurRow, PrevCol, PrevRow, SelCols, SelRows, PrevSelCols, PrevSelRows;
};
SideFields ReadSide(int side);
void StoreSide(int side, const SideFields& fields);

void InitEditorState();

// The cell of a mouse position: round half to even, then divide truncating toward zero.
Long CellOf(float position, Long cellSize);

// WKP takes the size of Picture2; the first failure goes to the caller.
void SyncWorkSize(ChildWindow& window);
// A loaded picture becomes the picture of Picture2 and of WKP, then the window is laid out
// again. All or nothing: both boxes' new images are made before either box changes. A picture
// only this call holds becomes the boxes' own, without a copy.
void SetWindowPicture(ChildWindow& window, QImage picture);
// Places bar, scroll bars and viewport, sets the scroll ranges, repaints the viewport
// background. A failing step is skipped.
void LayoutChild(ChildWindow& window);
// An outline on Picture2 only: mode SIDE_SRC outlines the selection, SIDE_DEST the clip
// preview, anything else nothing. Picture2 is refreshed in every case.
void DrawGridOutline(ChildWindow& window, Long mode, Long colour, Long cellW, Long cellH);
// Where that outline lies: the cell, and the extent from it in cells for mode SIDE_SRC (the
// selection) and in pixels for SIDE_DEST (the clip).
struct OutlinePlace {
  Long col, row, width, height;
};
// The same outline as a step of a mouse action's drawing, at the place the action is about to
// store; nothing is drawn or refreshed yet.
void AddGridOutline(platform::Drawing& drawing, ChildWindow& window, Long mode, Long colour, Long cellW, Long cellH,
                    OutlinePlace at);
