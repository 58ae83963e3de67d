// Child window layout, scroll ranges and client size on real child windows.
#include <QMdiArea>
#include <QtTest>
#include <memory>

#include "app/Artwork.h"
#include "app/CentForm.h"
#include "app/ChildWindow.h"
#include "app/Module1.h"
#include "platform/ChildForm.h"

class LayoutTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QMdiArea> area_;
  ChildWindow* window_ = nullptr;

  ChildWindow& Window() { return *window_; }
  // Gives the window an inner area of exactly w x h pixels.
  void SetInner(int w, int h) {
    SetClientSize(*window_, platform::Integer(w), platform::Integer(h));
  }

 private slots:
  void init() {
    area_ = std::make_unique<QMdiArea>();
    area_->resize(1600, 1200);
    area_->show();
    platform::SetMdiArea(area_.get());
    window_ = new ChildWindow(QStringLiteral("T"), {SourceBackground(), SourceButtonFace()});
    window_->Load();
    SetInner(360, 300);
  }
  void cleanup() {
    area_.reset();
    platform::SetMdiArea(nullptr);
  }

  void clientSizeIsExactAndKeepsPosition() {
    window_->SetLeft(40 * platform::TwipsPerPixelX());
    window_->SetTop(30 * platform::TwipsPerPixelY());
    const double left = window_->Left(), top = window_->Top();
    SetInner(200, 150);
    QCOMPARE(window_->width(), 200);
    QCOMPARE(window_->height(), 150);
    SetInner(360, 300);
    QCOMPARE(window_->width(), 360);
    QCOMPARE(window_->height(), 300);
    QCOMPARE(window_->ScaleWidth(), 360.0);
    QCOMPARE(window_->Left(), left);
    QCOMPARE(window_->Top(), top);
  }

  void layoutOf360x300() {
    ChildWindow& w = Window();
    QCOMPARE(w.MENU_BAR->geometry(), QRect(0, 0, 360, 21));
    QCOMPARE(w.MENU_BAR->ScaleHeight(), 17);
    QCOMPARE(w.HScroll1->geometry(), QRect(0, 287, 347, 13));
    QCOMPARE(w.VScroll1->Left(), 347);
    QCOMPARE(w.VScroll1->Top(), 21);
    QCOMPARE(w.VScroll1->Height(), 266);
    QCOMPARE(w.Picture1->geometry(), QRect(0, 21, 345, 264));
    QCOMPARE(w.Picture1->Top(), w.VScroll1->Top());
  }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
