#pragma once
// The controls and behaviour that source windows and the canvas window share: a button bar,
// a viewport holding the visible picture, two scroll bars and two hidden pictures.
#include <QImage>

#include "platform/ChildForm.h"
#include "platform/CommandButton.h"
#include "platform/PictureBox.h"
#include "platform/ScrollBar.h"

struct ChildArt {
  const QImage& background;  // Picture3, stretched behind the picture
  const QImage& buttonFace;
};

class ChildWindow : public platform::ChildForm {
 public:
  ChildWindow(const QString& caption, const ChildArt& art);

  platform::PictureBox* const MENU_BAR;
  platform::CommandButton* const Command1;
  platform::PictureBox* const Picture1;
  platform::PictureBox* const Picture2;
  platform::PictureBox* const Picture3;
  platform::PictureBox* const WKP;
  platform::ScrollBar* const HScroll1;
  platform::ScrollBar* const VScroll1;

  void Form_Resize() override;
  // Mouse events over Picture2, in picture pixels; each window kind has its own.
  virtual void Picture2_MouseDown(platform::Integer Button, platform::Integer Shift, float X, float Y) = 0;
  virtual void Picture2_MouseMove(platform::Integer Button, platform::Integer Shift, float X, float Y) = 0;
  virtual void Picture2_MouseUp(platform::Integer Button, platform::Integer Shift, float X, float Y) = 0;
  virtual void Picture2_DblClick() = 0;
  void HScroll1_Change();
  void HScroll1_Scroll();
  void VScroll1_Change();
  void VScroll1_Scroll();

 protected:
  // A further button of the bar, at x in the bar's pixels.
  platform::CommandButton* AddButton(const QString& caption, int x);

 private:
  const QImage& buttonFace_;
};
