#include "Session.h"

#include <QCoreApplication>
#include <memory>

#include "app/MDIForm1.h"
#include "platform/FileDialog.h"
#include "support/TestSupport.h"

namespace bench {

namespace {
std::unique_ptr<MDIForm1>& Frame() {
  static std::unique_ptr<MDIForm1> frame;
  return frame;
}
}  // namespace

MDIForm1& Editor() {
  if (!Frame()) {
    Frame() = testsupport::StartEditor();
    QCoreApplication::processEvents();
  }
  return *Frame();
}

MDIForm1& FreshEditor() {
  CloseEditor();
  return Editor();
}

void CloseEditor() {
  Frame().reset();
  // Unloaded dialogs and sub-windows go now, not after the next benchmark has started.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

DialogAnswer::DialogAnswer(const QString& path) {
  platform::SetFileDialogHook([path](QFileDialog&) { return path; });
}
DialogAnswer::~DialogAnswer() { platform::SetFileDialogHook({}); }

bool Quick() {
  static const bool quick = qEnvironmentVariableIntValue("TILORA_BENCH_QUICK") == 1;
  return quick;
}

}  // namespace bench
