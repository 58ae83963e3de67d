#include "app/MDIForm1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>

#include "about/frmAbout.h"
#include "app/Artwork.h"
#include "app/CentForm.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "platform/ChildForm.h"
#include "platform/Guard.h"
#include "platform/MessageBox.h"
#include "source/SRC_W.h"

namespace {
constexpr int kClientWidth = 685;
constexpr int kClientHeight = 257;
}  // namespace

MDIForm1::MDIForm1() : area_(new QMdiArea(this)) {
  setWindowTitle(platform::AppTitle());
  setWindowIcon(AppIcon());
  area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(area_);
  platform::SetMdiArea(area_);
  BuildMenus();
  // The "About" menu stays switched off; F1 opens the about box.
  auto* about = new QAction(this);
  about->setShortcut(Qt::Key_F1);
  addAction(about);
  connect(about, &QAction::triggered, this, [this] { platform::Guard([this] { frmAbout::ShowModal(this); }); });
}

MDIForm1::~MDIForm1() {
  // The child windows go with the MDI area; nothing may point at them afterwards.
  EditorState.SrcWindows.Fill(nullptr);
  platform::SetMdiArea(nullptr);
}

QAction* MDIForm1::AddItem(QMenu* menu, const QString& caption, void (MDIForm1::*handler)()) {
  QAction* action = menu->addAction(caption);
  if (handler) connect(action, &QAction::triggered, this, [this, handler] { platform::Guard([&] { (this->*handler)(); }); });
  return action;
}

void MDIForm1::BuildMenus() {
  QMenuBar* bar = menuBar();
  QMenu* aFILE = bar->addMenu(QStringLiteral("File"));
  AddItem(aFILE, QStringLiteral("Exit"), &MDIForm1::aEXIT_Click);

  bar->addAction(QStringLiteral("Option"))->setEnabled(false);  // aOPTION

  QMenu* aABOUT = bar->addMenu(QStringLiteral("About"));
  AddItem(aABOUT, QStringLiteral("Help"), nullptr);
  AddItem(aABOUT, QStringLiteral("Copyright"), &MDIForm1::aCOPYRIGHT_Click);
  aABOUT->menuAction()->setEnabled(false);

  QMenu* aWindow = bar->addMenu(QStringLiteral("Window"));
  AddItem(aWindow, QStringLiteral("SRC Window"), &MDIForm1::aSRC_Window_Click);
  AddItem(aWindow, QStringLiteral("DEST Window"), &MDIForm1::aDEST_Window_Click)->setEnabled(false);
}

void MDIForm1::Show() {
  resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
  // Centred where the window system allows it: the position is a request, which a Wayland
  // compositor ignores, placing windows itself.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  show();
  platform::Guard([this] { MDIForm_Load(); });
}

void MDIForm1::MDIForm_Load() {
  InitEditorState();
  DEST_W& canvas = DEST_W::Instance();
  SetClientSize(canvas, 360, 300);
  SyncWorkSize(canvas);
  LayoutChild(canvas);
  aSRC_Window_Click();
}

void MDIForm1::aSRC_Window_Click() {
  auto& s = EditorState;
  if (s.SrcCount < kMaxSrcWindows) {
    s.SrcCount = platform::Integer(s.SrcCount + 1);
    s.NewSrcIndex = s.SrcCount;
    if (!s.SrcWindows(s.SrcCount)) s.SrcWindows(s.SrcCount) = new SRC_W();
    s.SrcWindows(s.SrcCount)->Load();
  } else {
    platform::MsgBox(QStringLiteral("これ以上の追加は出来ません"));
  }
}

void MDIForm1::aEXIT_Click() { QCoreApplication::exit(0); }

void MDIForm1::aDEST_Window_Click() {}
void MDIForm1::aCOPYRIGHT_Click() {}

void MDIForm1::closeEvent(QCloseEvent* event) {
  event->accept();
  QCoreApplication::exit(0);
}
