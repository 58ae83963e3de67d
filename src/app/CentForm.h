#pragma once
#include "platform/ChildForm.h"
#include "platform/Numeric.h"

// Switches the window to pixels and sizes its frame so the inner area is W x H pixels.
// The position stays where it is.
void SetClientSize(platform::ChildForm& window, platform::Integer W, platform::Integer H);
