#include "dest/DEST_W.h"

#include <QPointer>

#include "app/Artwork.h"
#include "options/OPT_DEST.h"

namespace {
QPointer<DEST_W>& TheCanvas() {
  static QPointer<DEST_W> canvas;
  return canvas;
}
}  // namespace

DEST_W& DEST_W::Instance() {
  if (!TheCanvas()) {
    TheCanvas() = new DEST_W();
    TheCanvas()->Load();
  }
  return *TheCanvas();
}

bool DEST_W::Exists() { return !TheCanvas().isNull(); }

DEST_W::DEST_W()
    : ChildWindow(QStringLiteral("DEST WINDOW"), {DestBackground(), DestButtonFace()}),
      Command2(AddButton(QStringLiteral("Save Picture"), 88)),
      Command3(AddButton(QStringLiteral("Load Picture"), 176)),
      Command4(AddButton(QStringLiteral("Option"), 264)) {
  Command1->setText(QStringLiteral("New"));
  WKP->SetWidth(17);
  WKP->SetHeight(17);
  Command1->Click = [this] { Command1_Click(); };
  Command2->Click = [this] { Command2_Click(); };
  Command3->Click = [this] { Command3_Click(); };
  Command4->Click = [this] { Command4_Click(); };
}

void DEST_W::Command1_Click() {
  Picture2->Cls();
  WKP->Cls();
}

void DEST_W::Command4_Click() { OPT_DEST::Open(); }
