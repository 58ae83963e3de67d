#include "dest/DEST_W.h"

void DEST_W::Command2_Click() {}
void DEST_W::Command3_Click() {}
