#pragma once
// Grid options of one source window: the picture size of SrcWindows(OptSrcIndex) and its cell size.
#include "options/SingleDialog.h"

class OPT_SRC : public SingleDialog<OPT_SRC> {
 protected:
  // OptSrcIndex at the moment of use decides the window: "Option" of another window
  // while the dialog is open retargets it.
  ChildWindow& Target() override;
  platform::Long& CellW() override;
  platform::Long& CellH() override;

 private:
  friend class SingleDialog<OPT_SRC>;
  OPT_SRC();
};
