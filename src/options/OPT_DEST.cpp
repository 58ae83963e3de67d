#include "options/OPT_DEST.h"

#include "app/Module1.h"
#include "dest/DEST_W.h"

namespace {
const OptionLayout kLayout{
    QStringLiteral("DEST OPTION"),
    {202, 170},
    {4, 0, 193, 109},     // Frame1
    {48, 24, 12, 12},     // Label1
    {96, 20, 85, 21},     // t_Width
    {44, 52, 21, 12},     // Label2
    {96, 48, 85, 21},     // t_Height
    {24, 84, 61, 12},     // Label3
    {96, 76, 85, 21},     // t_Gurid
    {32, 116, 81, 33},    // Command1
    {116, 116, 81, 33},   // Command2
    {36, 152, 161, 12},   // Label4
    3, 7, 8, 0, 1,        // t_Width, t_Height, t_Gurid, OK, CANCEL
};
}  // namespace

OPT_DEST::OPT_DEST() : SingleDialog(kLayout) {}

ChildWindow& OPT_DEST::Target() { return DEST_W::Instance(); }
Long& OPT_DEST::CellW() { return EditorState.DestCellW; }
Long& OPT_DEST::CellH() { return EditorState.DestCellH; }
