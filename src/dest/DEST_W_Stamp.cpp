#include "dest/DEST_W.h"

void DEST_W::Picture2_MouseDown(platform::Integer, platform::Integer, float, float) {}
void DEST_W::Picture2_MouseMove(platform::Integer, platform::Integer, float, float) {}
void DEST_W::Picture2_MouseUp(platform::Integer, platform::Integer, float, float) {}
void DEST_W::Picture2_DblClick() {}
