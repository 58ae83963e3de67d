// Child window layout, scroll ranges and client size on real child windows.
#include <QMdiArea>
#include <QtTest>
#include <memory>

#include "app/Artwork.h"
#include "app/CentForm.h"
#include "app/ChildWindow.h"
#include "app/Module1.h"
#include "platform/ChildForm.h"
#include "support/TestSupport.h"

namespace {
// The shared window alone, without either window kind's mouse handling.
class PlainWindow : public ChildWindow {
 public:
  PlainWindow() : ChildWindow(QStringLiteral("T"), {SourceBackground(), SourceButtonFace()}) {}
  void Picture2_MouseDown(platform::Integer, platform::Integer, float, float) override {}
  void Picture2_MouseMove(platform::Integer, platform::Integer, float, float) override {}
  void Picture2_MouseUp(platform::Integer, platform::Integer, float, float) override {}
  void Picture2_DblClick() override {}
};
}  // namespace

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
    window_ = new PlainWindow();
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
    QCOMPARE(w.HScroll1->Max(), platform::Integer(0));
    QCOMPARE(w.VScroll1->Max(), platform::Integer(0));
  }

  // Picture width against the 347-pixel bar: Max = excess + 8, or 0 without excess.
  void horizontalRange_data() {
    QTest::addColumn<int>("pictureWidth");
    QTest::addColumn<int>("max");
    QTest::newRow("1000 wide") << 1000 << 661;
    QTest::newRow("as wide as the bar") << 347 << 0;
    QTest::newRow("one more") << 348 << 9;
    QTest::newRow("narrower") << 100 << 0;
    QTest::newRow("excess 32759") << 347 + 32759 << 32767;
  }
  void horizontalRange() {
    QFETCH(int, pictureWidth);
    QFETCH(int, max);
    ChildWindow& w = Window();
    w.Picture2->SetHeight(1);
    w.Picture2->SetWidth(pictureWidth);
    LayoutChild(w);
    QCOMPARE(int(w.HScroll1->Max()), max);
    QCOMPARE(w.HScroll1->Min(), platform::Integer(0));
    QCOMPARE(w.HScroll1->LargeChange(), platform::Integer(32));
    QCOMPARE(w.HScroll1->SmallChange(), platform::Integer(1));
  }

  void rangeBeyondSixteenBitsKeepsTheOldMaximum() {
    ChildWindow& w = Window();
    w.Picture2->SetHeight(1);
    w.Picture2->SetWidth(1000);
    LayoutChild(w);
    w.Picture2->SetWidth(347 + 32760);
    LayoutChild(w);
    QCOMPARE(w.HScroll1->Max(), platform::Integer(661));
    QCOMPARE(w.HScroll1->LargeChange(), platform::Integer(32));
  }

  void tinyWindowSkipsNegativeSizesAndRecovers() {
    testsupport::MessageRecorder recorder;
    ChildWindow& w = Window();
    window_->SubWindow()->resize(window_->SubWindow()->minimumSizeHint().width(), 30);
    QVERIFY(w.height() < 21);
    LayoutChild(w);
    QVERIFY(recorder.messages.isEmpty());
    SetInner(360, 300);
    layoutOf360x300();
  }

  // The gradient fills the viewport corner to corner, and windows of one size hold it, and
  // their plain button bar, once.
  void windowsOfOneSizeShareViewportAndBar() {
    auto* other = new PlainWindow();
    other->Load();
    SetClientSize(*other, 360, 300);
    const ChildWindow& w = Window();
    QCOMPARE(w.Picture1->Dc().constBits(), other->Picture1->Dc().constBits());
    QCOMPARE(w.Picture3->Dc().constBits(), SourceBackground().constBits());
    const QImage view = w.Picture1->Image();
    QCOMPARE(view.size(), QSize(345, 264));
    QCOMPARE(view.pixel(0, 0), qRgb(0, 0, 255));
    QCOMPARE(view.pixel(344, 263), qRgb(0, 0, 0));
    QCOMPARE(view.pixel(172, 0), SourceBackground().pixel(79, 0));
    QCOMPARE(w.MENU_BAR->Dc().constBits(), other->MENU_BAR->Dc().constBits());
    const QImage bar = w.MENU_BAR->Image();
    QCOMPARE(bar.size(), QSize(356, 17));
    QCOMPARE(bar.pixel(0, 0), qRgb(0xC0, 0xC0, 0xC0));
    QCOMPARE(bar.pixel(355, 16), qRgb(0xC0, 0xC0, 0xC0));
  }

  void verticalRangeFollowsThePictureHeight() {
    ChildWindow& w = Window();
    w.Picture2->SetHeight(1000);
    LayoutChild(w);
    QCOMPARE(int(w.VScroll1->Max()), 1000 - 266 + 8);
  }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
