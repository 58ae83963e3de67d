#pragma once
// An option dialog that exists at most once: Open loads it only while none is open.
#include <QPointer>

#include "options/OptionDialog.h"

template <class Dialog>
class SingleDialog : public OptionDialog {
 public:
  static void Open() {
    if (Current()) return;
    Instance() = new Dialog();
    Instance()->Load();
  }
  // The open dialog, or nullptr; an unloaded one waiting for deletion no longer counts.
  static Dialog* Current() {
    return Instance() && Instance()->IsLoaded() ? Instance().data() : nullptr;
  }

 protected:
  using OptionDialog::OptionDialog;

 private:
  static QPointer<Dialog>& Instance() {
    static QPointer<Dialog> dialog;
    return dialog;
  }
};
