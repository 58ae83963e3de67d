#include "options/OPT_SRC.h"

#include "app/Module1.h"
#include "platform/Errors.h"
#include "source/SRC_W.h"

namespace {
const OptionLayout kLayout{
    QStringLiteral("SRC OPTION"),
    {200, 170},
    {0, 0, 193, 109},     // Frame1
    {48, 24, 12, 12},     // Label1
    {96, 20, 85, 21},     // t_Width
    {44, 52, 21, 12},     // Label2
    {96, 48, 85, 21},     // t_Height
    {24, 84, 61, 12},     // Label3
    {96, 76, 85, 21},     // t_Gurid
    {28, 116, 81, 33},    // Command1
    {112, 116, 81, 33},   // Command2
    {32, 152, 161, 12},   // Label4
    3, 2, 1, 8, 7,        // t_Width, t_Height, t_Gurid, OK, CANCEL
};
}  // namespace

OPT_SRC::OPT_SRC() : SingleDialog(kLayout) {}

ChildWindow& OPT_SRC::Target() {
  SRC_W* window = EditorState.SrcWindows(EditorState.OptSrcIndex);
  if (!window) platform::Raise(platform::ErrorKind::IndexOutOfRange, QString::number(EditorState.OptSrcIndex));
  return *window;
}

Long& OPT_SRC::CellW() { return EditorState.SrcCellW(EditorState.OptSrcIndex); }
Long& OPT_SRC::CellH() { return EditorState.SrcCellH(EditorState.OptSrcIndex); }
