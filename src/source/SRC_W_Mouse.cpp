#include "source/SRC_W.h"

void SRC_W::Picture2_MouseDown(platform::Integer, platform::Integer, float, float) {}
void SRC_W::Picture2_MouseMove(platform::Integer, platform::Integer, float, float) {}
void SRC_W::Picture2_MouseUp(platform::Integer, platform::Integer, float, float) {}
void SRC_W::Picture2_DblClick() {}
