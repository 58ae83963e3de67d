#pragma once
// The one canvas window: stamps land here; it can be cleared, loaded and saved.
#include "app/ChildWindow.h"
#include "platform/Numeric.h"

class DEST_W : public ChildWindow {
 public:
  // The single canvas, created on first use.
  static DEST_W& Instance();
  static bool Exists();

  platform::CommandButton* const Command2;  // "Save Picture"
  platform::CommandButton* const Command3;  // "Load Picture"
  platform::CommandButton* const Command4;  // "Option"

  void Command1_Click();  // "New"
  void Command2_Click();  // "Save Picture"
  void Command3_Click();  // "Load Picture"
  void Command4_Click();  // "Option"

  void Picture2_MouseDown(platform::Integer Button, platform::Integer Shift, float X, float Y) override;
  void Picture2_MouseMove(platform::Integer Button, platform::Integer Shift, float X, float Y) override;
  void Picture2_MouseUp(platform::Integer Button, platform::Integer Shift, float X, float Y) override;
  void Picture2_DblClick() override;

 private:
  DEST_W();
};
