#include "app/Module1.h"
#include "app/modCmOpen.h"
#include "platform/FileDialog.h"
#include "platform/PictureFile.h"
#include "source/SRC_W.h"

// The file is decoded before either picture changes, so a file that cannot be read leaves the
// window as it was; the guard around the click tells the user why.
void SRC_W::Command2_Click() {
  const QString path = ShowOpenDialog(this, PictureOpenFilter(), platform::CurrentDirectory());
  if (path.isEmpty()) return;
  Picture2->SetPicture(platform::LoadPicture(path));
  WKP->SetPicture(Picture2->Picture());
  LayoutChild(*this);
}
