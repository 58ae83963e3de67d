#include "source/SRC_W.h"

void SRC_W::Command2_Click() {}
