// The picture box: sizes, background pictures, Cls and what a refresh repaints.
#include <QPaintEvent>
#include <QtTest>

#include "platform/Errors.h"
#include "platform/Gdi.h"
#include "platform/PictureBox.h"
#include "platform/PictureLimits.h"
#include "support/TestSupport.h"

using platform::PictureBox;

namespace {
// Records the rectangles the widget is asked to paint.
class PaintSpy : public QObject {
 public:
  explicit PaintSpy(QWidget* w) { w->installEventFilter(this); }
  QRegion painted;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
    return false;
  }
};

bool Refuses(const std::function<void()>& f) {
  try {
    f();
  } catch (const platform::PlatformError& e) {
    return e.Kind() == platform::ErrorKind::RefusedSize;
  }
  return false;
}
}  // namespace

class PictureBoxTest : public QObject {
  Q_OBJECT
 private slots:
  void resizeKeepsTopLeftAndFillsWithBackground() {
    PictureBox box;
    box.SetAutoSize(true);
    box.SetPicture(testsupport::PatternImage(40, 30));
    const QImage before = box.Image();
    platform::Rectangle(box, 0, 0, 10, 10);  // drawn content must survive too
    const QImage drawn = box.Image();
    box.SetWidth(60);
    box.SetHeight(20);
    QCOMPARE(box.ScaleWidth(), 60);
    QCOMPARE(box.ScaleHeight(), 20);
    QCOMPARE(box.Image().copy(0, 0, 40, 20), drawn.copy(0, 0, 40, 20));
    QCOMPARE(box.Image().pixel(59, 19), qRgb(255, 255, 255));
    box.SetHeight(30);
    // The regrown rows show the background picture again, as Cls would.
    QCOMPARE(box.Image().copy(0, 20, 40, 10), before.copy(0, 20, 40, 10));
  }

  void refusesNegativeAndUnholdableSizes() {
    PictureBox box;
    box.SetWidth(30);
    box.SetHeight(20);
    QVERIFY(Refuses([&] { box.SetWidth(-1); }));
    QVERIFY(Refuses([&] { box.SetHeight(-32768); }));
    QVERIFY(Refuses([&] { box.SetWidth(platform::kMaxPictureSide + 1); }));
    QCOMPARE(box.Width(), 30);
    QCOMPARE(box.Height(), 20);
    box.SetWidth(0);
    box.SetHeight(10);
    QCOMPARE(box.ScaleWidth(), 0);
    QCOMPARE(box.ScaleHeight(), 10);
    box.SetWidth(5);
    QCOMPARE(box.Image().size(), QSize(5, 10));
  }

  void pictureFlattensTransparencyAndSizesTheBox() {
    PictureBox box;
    box.SetAutoSize(true);
    QImage clear(8, 6, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    clear.setPixel(1, 1, qRgba(255, 0, 0, 255));
    box.SetPicture(clear);
    QCOMPARE(box.Image().size(), QSize(8, 6));
    QCOMPARE(box.Image().format(), QImage::Format_RGB32);
    QCOMPARE(box.Image().pixel(0, 0), qRgb(255, 255, 255));
    QCOMPARE(box.Image().pixel(1, 1), qRgb(255, 0, 0));
  }

  void clsRestoresBackgroundPicture() {
    PictureBox box;
    box.SetAutoSize(true);
    const QImage sheet = testsupport::PatternImage(20, 20);
    box.SetPicture(sheet);
    box.SetForeColor(0x0000FF);
    platform::Rectangle(box, 2, 2, 12, 12);
    QVERIFY(box.Image() != sheet);
    box.Cls();
    QCOMPARE(box.Image(), sheet.convertToFormat(QImage::Format_RGB32));
  }

  void sharedImageIsCopiedOnlyByItsWriter() {
    PictureBox box;
    box.SetAutoSize(true);
    box.SetPicture(testsupport::PatternImage(20, 10, 1));
    const QImage shared = testsupport::PatternImage(20, 10, 2);
    box.ShareImage(shared);
    QCOMPARE(box.Image().constBits(), shared.constBits());
    box.SetForeColor(0x0000FF);
    platform::Rectangle(box, 0, 0, 20, 10);
    QCOMPARE(box.Image().pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(box.Image().pixel(5, 5), shared.pixel(5, 5));
    QCOMPARE(shared, testsupport::PatternImage(20, 10, 2));
  }

  void sharedImageOfAnotherSizeIsRefused() {
    PictureBox box;
    box.SetAutoSize(true);
    box.SetPicture(testsupport::PatternImage(20, 10, 1));
    const QImage before = box.Image();
    QVERIFY_THROWS_EXCEPTION(platform::PlatformError, box.ShareImage(testsupport::PatternImage(21, 10)));
    QCOMPARE(box.Image(), before);
  }

  void refreshRepaintsOnlyWhatChanged() {
    QWidget host;
    auto* box = new PictureBox(&host);
    box->SetWidth(400);
    box->SetHeight(300);
    host.resize(400, 300);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QCoreApplication::processEvents();
    PaintSpy spy(box);
    box->SetForeColor(0x00FF00);
    platform::Rectangle(*box, 64, 32, 96, 64);
    platform::Rectangle(*box, 96, 32, 128, 64);
    box->Refresh();
    QCoreApplication::processEvents();
    QVERIFY(!spy.painted.isEmpty());
    QVERIFY(QRegion(64, 32, 64, 32).contains(spy.painted.boundingRect()));
    spy.painted = QRegion();
    box->Refresh();  // nothing changed since
    QCoreApplication::processEvents();
    QVERIFY(spy.painted.isEmpty());
  }
};

QTEST_MAIN(PictureBoxTest)
#include "picturebox_test.moc"
