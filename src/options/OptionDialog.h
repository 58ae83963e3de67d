#pragma once
// What the two grid option dialogs share: three text boxes in a frame, "OK", "CANCEL" and a
// red note; the check of the texts and the apply phase. Each dialog brings its own geometry,
// tab order, the window it edits and that window's cell size entries.
#include <QRect>
#include <QSize>
#include <QString>

#include "platform/ChildForm.h"
#include "platform/CommandButton.h"
#include "platform/Numeric.h"

class ChildWindow;
class QGroupBox;
class QLabel;
class QLineEdit;

struct OptionLayout {
  QString caption;
  QSize inner;
  // Left, top, width, height in pixels; the text boxes and Label1..3 lie inside Frame1.
  QRect Frame1, Label1, t_Width, Label2, t_Height, Label3, t_Gurid, Command1, Command2, Label4;
  // Tab order of the controls that take focus; the lowest one gets the focus on load.
  int tabWidth, tabHeight, tabGurid, tabOK, tabCancel;
};

class OptionDialog : public platform::ChildForm {
 public:
  explicit OptionDialog(const OptionLayout& layout);

  QGroupBox* const Frame1;
  QLabel* const Label1;
  QLineEdit* const t_Width;
  QLabel* const Label2;
  QLineEdit* const t_Height;
  QLabel* const Label3;
  QLineEdit* const t_Gurid;
  platform::CommandButton* const Command1;  // "OK"
  platform::CommandButton* const Command2;  // "CANCEL"
  QLabel* const Label4;

  void Form_Load() override;
  void Command1_Click();
  void Command2_Click();

 protected:
  // The window the dialog edits, looked up anew at every use.
  virtual ChildWindow& Target() = 0;
  virtual platform::Long& CellW() = 0;
  virtual platform::Long& CellH() = 0;

  void Form_QueryClose() override { Command2_Click(); }

 private:
  void SetTabOrder();
  void Apply(platform::Integer width, platform::Integer height, platform::Integer grid);

  const OptionLayout& layout_;
  QWidget* firstFocus_ = nullptr;
};
