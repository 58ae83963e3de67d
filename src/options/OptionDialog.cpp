#include "options/OptionDialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "app/CentForm.h"
#include "app/ChildWindow.h"
#include "app/Module1.h"
#include "platform/Colour.h"
#include "platform/Gdi.h"
#include "platform/Guard.h"
#include "platform/MessageBox.h"
#include "platform/TextNumber.h"

using platform::SkipOnError;
using platform::TextToInteger;

namespace {
constexpr Long kNoteColour = 0x0000FF;  // red
constexpr int kLabelPixelSize = 10;     // "グリッド間隔" has to fit its 61 pixels

template <class W>
W* Place(W* widget, const QRect& geometry) {
  widget->setGeometry(geometry);
  return widget;
}

QLabel* MakeLabel(const QString& text, QWidget* parent, const QRect& geometry) {
  auto* label = Place(new QLabel(text, parent), geometry);
  QFont font = label->font();
  font.setPixelSize(kLabelPixelSize);
  label->setFont(font);
  return label;
}

QLineEdit* MakeTextBox(QWidget* parent, const QRect& geometry) {
  return Place(new QLineEdit(QStringLiteral("Text1"), parent), geometry);
}

// Shows the message when the text is no number; the caller then stops.
std::optional<Integer> Convert(const QLineEdit* box, const QString& failure) {
  const std::optional<Integer> value = TextToInteger(box->text());
  if (!value) platform::MsgBox(failure);
  return value;
}
}  // namespace

OptionDialog::OptionDialog(const OptionLayout& layout)
    : platform::ChildForm(FrameStyle::FixedTool),
      Frame1(Place(new QGroupBox(this), layout.Frame1)),
      Label1(MakeLabel(QStringLiteral("幅"), Frame1, layout.Label1)),
      t_Width(MakeTextBox(Frame1, layout.t_Width)),
      Label2(MakeLabel(QStringLiteral("高さ"), Frame1, layout.Label2)),
      t_Height(MakeTextBox(Frame1, layout.t_Height)),
      Label3(MakeLabel(QStringLiteral("グリッド間隔"), Frame1, layout.Label3)),
      t_Gurid(MakeTextBox(Frame1, layout.t_Gurid)),
      Command1(Place(new platform::CommandButton(QStringLiteral("OK"), this), layout.Command1)),
      Command2(Place(new platform::CommandButton(QStringLiteral("CANCEL"), this), layout.Command2)),
      Label4(MakeLabel(QStringLiteral("(注)半角数字で入力してください"), this, layout.Label4)),
      layout_(layout) {
  SetCaption(layout.caption);
  QPalette note = Label4->palette();
  note.setColor(QPalette::WindowText, QColor(platform::ToQRgb(kNoteColour)));
  Label4->setPalette(note);
  Command1->Click = [this] { Command1_Click(); };
  Command2->Click = [this] { Command2_Click(); };
  SetTabOrder();
}

void OptionDialog::SetTabOrder() {
  std::vector<std::pair<int, QWidget*>> chain = {{layout_.tabWidth, t_Width},
                                                 {layout_.tabHeight, t_Height},
                                                 {layout_.tabGurid, t_Gurid},
                                                 {layout_.tabOK, Command1},
                                                 {layout_.tabCancel, Command2}};
  std::sort(chain.begin(), chain.end());
  for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1].second, chain[i].second);
  firstFocus_ = chain.front().second;
}

void OptionDialog::Form_Load() {
  SetClientSize(*this, Integer(layout_.inner.width()), Integer(layout_.inner.height()));
  // The user may not resize the dialog.
  SubWindow()->setFixedSize(SubWindow()->size());
  ChildWindow& target = Target();
  SetTop(target.Top());
  SetLeft(target.Left());
  t_Width->setText(QString::number(target.Picture2->Width()));
  t_Height->setText(QString::number(target.Picture2->Height()));
  t_Gurid->setText(QString::number(CellW()));
  firstFocus_->setFocus();
}

void OptionDialog::Command1_Click() {
  const auto width = Convert(t_Width, QStringLiteral("幅に半角数字以外の文字が含まれています。"));
  if (!width) return;
  const auto height = Convert(t_Height, QStringLiteral("高さに半角数字以外の文字が含まれています。"));
  if (!height) return;
  const auto grid = Convert(t_Gurid, QStringLiteral("グリッドに半角数字以外の文字が含まれています。"));
  if (!grid) return;
  // An empty picture, or cells the grid arithmetic would divide by, are refused here; a
  // negative or huge size goes on to the picture box, which refuses it in the apply phase.
  if (*width == 0) {
    platform::MsgBox(QStringLiteral("幅に0は指定できません。"));
    return;
  }
  if (*height == 0) {
    platform::MsgBox(QStringLiteral("高さに0は指定できません。"));
    return;
  }
  if (*grid < 1) {
    platform::MsgBox(QStringLiteral("グリッドには1以上の数を指定してください。"));
    return;
  }
  Apply(*width, *height, *grid);
}

void OptionDialog::Apply(Integer width, Integer height, Integer grid) {
  // Every step is tried even when an earlier one was refused.
  SkipOnError([&] { Target().Picture2->SetWidth(width); });
  SkipOnError([&] { Target().Picture2->SetHeight(height); });
  // The clean copy takes both sides at once where it can, which spares an image of the
  // intermediate size beside the old and the new; otherwise each side goes on its own.
  const bool cleanCopySized = SkipOnError([&] {
    Target().WKP->SetSize(Target().Picture2->Width(), Target().Picture2->Height());
  });
  if (!cleanCopySized) {
    SkipOnError([&] { Target().WKP->SetWidth(Target().Picture2->Width()); });
    SkipOnError([&] { Target().WKP->SetHeight(Target().Picture2->Height()); });
  }
  SkipOnError([&] { CellW() = grid; });
  SkipOnError([&] { CellH() = grid; });
  SkipOnError([&] {
    ChildWindow& w = Target();
    platform::BitBlt(*w.Picture2, 0, 0, w.WKP->Width(), w.WKP->Height(), *w.WKP, 0, 0);
  });
  SkipOnError([&] { Target().Picture2->Refresh(); });
  SkipOnError([&] { LayoutChild(Target()); });
  Unload();
}

void OptionDialog::Command2_Click() { Unload(); }
