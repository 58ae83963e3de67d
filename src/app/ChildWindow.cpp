#include "app/ChildWindow.h"

#include "app/Module1.h"

namespace {
constexpr int kButtonWidth = 89;
constexpr int kButtonHeight = 17;
constexpr int kScrollThickness = 13;
constexpr int kPictureDesignWidth = 324;
constexpr int kPictureDesignHeight = 212;
}  // namespace

ChildWindow::ChildWindow(const QString& caption, const ChildArt& art)
    : platform::ChildForm(FrameStyle::SizableTool),
      MENU_BAR(new platform::PictureBox(this, platform::PictureBox::Border::Single)),
      Command1(new platform::CommandButton(QString(), MENU_BAR)),
      Picture1(new platform::PictureBox(this)),
      Picture2(new platform::PictureBox(Picture1)),
      Picture3(new platform::PictureBox(this)),
      WKP(new platform::PictureBox(this)),
      HScroll1(new platform::ScrollBar(Qt::Horizontal, this)),
      VScroll1(new platform::ScrollBar(Qt::Vertical, this)),
      buttonFace_(art.buttonFace) {
  SetCaption(caption);
  setMinimumSize(0, 0);

  MENU_BAR->SetBackColor(0xC0C0C0);
  Command1->move(0, 0);
  Command1->resize(kButtonWidth, kButtonHeight);
  Command1->SetPicture(buttonFace_);

  for (platform::PictureBox* box : {Picture2, WKP}) {
    box->SetBackColor(0xFFFFFF);
    box->SetAutoSize(true);
    box->SetWidth(kPictureDesignWidth);
    box->SetHeight(kPictureDesignHeight);
  }
  Picture3->SetAutoSize(true);
  // Every window of a kind holds the one gradient, so their stretched viewports are one image
  // too (StretchBlt).
  Picture3->SetPicture(art.background);
  Picture3->hide();
  WKP->hide();

  HScroll1->resize(HScroll1->width(), kScrollThickness);
  VScroll1->resize(kScrollThickness, VScroll1->height());
  HScroll1->Change = [this] { HScroll1_Change(); };
  HScroll1->Scroll = [this] { HScroll1_Scroll(); };
  VScroll1->Change = [this] { VScroll1_Change(); };
  VScroll1->Scroll = [this] { VScroll1_Scroll(); };
  Picture2->MouseDown = [this](auto b, auto s, float x, float y) { Picture2_MouseDown(b, s, x, y); };
  Picture2->MouseMove = [this](auto b, auto s, float x, float y) { Picture2_MouseMove(b, s, x, y); };
  Picture2->MouseUp = [this](auto b, auto s, float x, float y) { Picture2_MouseUp(b, s, x, y); };
  Picture2->DblClick = [this] { Picture2_DblClick(); };
  Picture2->EnableMouseTracking();
}

platform::CommandButton* ChildWindow::AddButton(const QString& caption, int x) {
  auto* button = new platform::CommandButton(caption, MENU_BAR);
  button->move(x, 0);
  button->resize(kButtonWidth, kButtonHeight);
  button->SetPicture(buttonFace_);
  return button;
}

void ChildWindow::Form_Resize() { LayoutChild(*this); }

void ChildWindow::HScroll1_Change() { Picture2->SetLeft(-float(HScroll1->Value())); }
void ChildWindow::HScroll1_Scroll() { Picture2->SetLeft(-float(HScroll1->Value())); }
void ChildWindow::VScroll1_Change() { Picture2->SetTop(-float(VScroll1->Value())); }
void ChildWindow::VScroll1_Scroll() { Picture2->SetTop(-float(VScroll1->Value())); }
