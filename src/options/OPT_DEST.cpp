#include "options/OPT_DEST.h"

void OPT_DEST::Open() {}
