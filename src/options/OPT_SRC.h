#pragma once
// Grid options of one source window: the picture size of SrcWindows(OptSrcIndex) and its cell size.
#include "options/OptionDialog.h"

class OPT_SRC : public OptionDialog {
 public:
  // Loads the one dialog for SrcWindows(OptSrcIndex); does nothing while it is open.
  static void Open();
  // The open dialog, or nullptr.
  static OPT_SRC* Current();

 protected:
  // OptSrcIndex at the moment of use decides the window: "Option" of another window
  // while the dialog is open retargets it.
  ChildWindow& Target() override;
  platform::Long& CellW() override;
  platform::Long& CellH() override;

 private:
  OPT_SRC();
};
