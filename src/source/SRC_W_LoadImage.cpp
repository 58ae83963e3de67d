#include "app/Module1.h"
#include "app/modCmOpen.h"
#include "platform/FileDialog.h"
#include "platform/files/FileText.h"
#include "platform/files/PictureFile.h"
#include "source/SRC_W.h"

// The file is decoded and both pictures made before either changes, so a file that cannot be
// read or held leaves the window as it was; the guard around the click tells the user why.
void SRC_W::Command2_Click() {
  const QString path = ShowOpenDialog(this, PictureOpenFilter(), platform::CurrentDirectory());
  if (path.isEmpty()) return;
  QImage picture = platform::LoadPicture(path);
  platform::NamingFile(path, [&] { SetWindowPicture(*this, std::move(picture)); });
}
