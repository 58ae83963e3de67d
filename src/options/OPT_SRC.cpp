#include "options/OPT_SRC.h"

void OPT_SRC::Open() {}
