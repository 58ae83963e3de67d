#include "source/SRC_W.h"

#include "app/Artwork.h"
#include "app/CentForm.h"
#include "app/Module1.h"
#include "options/OPT_SRC.h"

SRC_W::SRC_W()
    : ChildWindow(QStringLiteral("SRC WINDOW"), {SourceBackground(), SourceButtonFace()}),
      Command2(AddButton(QStringLiteral("Load Image"), 88)) {
  Command1->setText(QStringLiteral("Option"));
  Command1->Click = [this] { Command1_Click(); };
  Command2->Click = [this] { Command2_Click(); };
}

void SRC_W::Form_Load() {
  MyIndex = EditorState.NewSrcIndex;
  WKP->SetWidth(Picture2->Width());
  WKP->SetHeight(Picture2->Height());
  SetClientSize(*this, 360, 300);
}

void SRC_W::Command1_Click() {
  EditorState.OptSrcIndex = MyIndex;
  OPT_SRC::Open();
}
