#pragma once
// Grid options of one source window.
class OPT_SRC {
 public:
  // Loads the one dialog for SrcWindows(OptSrcIndex); does nothing while it is open.
  static void Open();
};
