#pragma once
// A source window: one tile sheet, its cell selection and the clip taken from it.
#include "app/ChildWindow.h"
#include "platform/Numeric.h"

class SRC_W : public ChildWindow {
 public:
  SRC_W();

  platform::Integer MyIndex = 0;
  platform::CommandButton* const Command2;  // "Load Image"

  void Form_Load() override;
  void Command1_Click();  // "Option"
  void Command2_Click();  // "Load Image"

  void Picture2_MouseDown(platform::Integer Button, platform::Integer Shift, float X, float Y) override;
  void Picture2_MouseMove(platform::Integer Button, platform::Integer Shift, float X, float Y) override;
  void Picture2_MouseUp(platform::Integer Button, platform::Integer Shift, float X, float Y) override;
  void Picture2_DblClick() override;
};
