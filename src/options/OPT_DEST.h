#pragma once
// Grid options of the canvas: its picture size and its cell size.
#include "options/OptionDialog.h"

class OPT_DEST : public OptionDialog {
 public:
  // Loads the one dialog; does nothing while it is open.
  static void Open();
  // The open dialog, or nullptr.
  static OPT_DEST* Current();

 protected:
  ChildWindow& Target() override;
  platform::Long& CellW() override;
  platform::Long& CellH() override;

 private:
  OPT_DEST();
};
