#pragma once
// Grid options of the canvas.
class OPT_DEST {
 public:
  // Loads the one dialog; does nothing while it is open.
  static void Open();
};
