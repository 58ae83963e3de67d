#include "app/MDIForm1.h"

#include <QMdiArea>

#include "platform/ChildForm.h"
#include "platform/MessageBox.h"

MDIForm1::MDIForm1() : area_(new QMdiArea(this)) {
  setWindowTitle(platform::AppTitle());
  setCentralWidget(area_);
  platform::SetMdiArea(area_);
}

void MDIForm1::Show() { show(); }
