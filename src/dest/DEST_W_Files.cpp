#include "app/Module1.h"
#include "app/modCmOpen.h"
#include "dest/DEST_W.h"
#include "platform/FileDialog.h"
#include "platform/files/FileText.h"
#include "platform/files/PictureFile.h"

// WKP's own background picture is left alone, so "New" after a save still resets the two
// boxes to the same image.
void DEST_W::Command2_Click() {
  const QString path = ShowSaveDialog(this, BitmapSaveFilter(), platform::CurrentDirectory());
  if (path.isEmpty()) return;
  platform::SavePicture(WKP->Image(), path);
}

// Decoded and made whole before anything changes: a file that cannot be read or held leaves
// the canvas as it was.
void DEST_W::Command3_Click() {
  const QString path = ShowOpenDialog(this, PictureOpenFilter(), platform::CurrentDirectory());
  if (path.isEmpty()) return;
  QImage picture = platform::LoadPicture(path);
  platform::NamingFile(path, [&] { SetWindowPicture(*this, std::move(picture)); });
}
