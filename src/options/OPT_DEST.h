#pragma once
// Grid options of the canvas: its picture size and its cell size.
#include "options/SingleDialog.h"

class OPT_DEST : public SingleDialog<OPT_DEST> {
 protected:
  ChildWindow& Target() override;
  platform::Long& CellW() override;
  platform::Long& CellH() override;

 private:
  friend class SingleDialog<OPT_DEST>;
  OPT_DEST();
};
