// The program as a whole: start-up, the source window limit, menus, New and scrolling.
#include <QMdiArea>
#include <QMenuBar>
#include <QtTest>

#include "app/CentForm.h"
#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "platform/Gdi.h"
#include "source/SRC_W.h"
#include "support/TestSupport.h"

namespace {
QAction* FindAction(QWidget* root, const QString& text) {
  for (QAction* a : root->findChildren<QAction*>())
    if (a->text() == text) return a;
  return nullptr;
}
}  // namespace

class FrameTest : public QObject {
  Q_OBJECT
  std::unique_ptr<MDIForm1> frame_;

 private slots:
  void init() { frame_ = testsupport::StartEditor(); }
  void cleanup() { frame_.reset(); }

  void startsWithCanvasAndOneSourceWindow() {
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Tilora"));
    QCOMPARE(frame_->centralWidget()->size(), QSize(685, 257));
    QCOMPARE(frame_->Area()->subWindowList().size(), 2);
    DEST_W& canvas = DEST_W::Instance();
    SRC_W* source = EditorState.SrcWindows(1);
    QVERIFY(source);
    QCOMPARE(canvas.Caption(), QStringLiteral("DEST WINDOW"));
    QCOMPARE(source->Caption(), QStringLiteral("SRC WINDOW"));
    QCOMPARE(canvas.size(), QSize(360, 300));
    QCOMPARE(source->size(), QSize(360, 300));
    QCOMPARE(EditorState.SrcCount, platform::Integer(1));
    QCOMPARE(source->MyIndex, platform::Integer(1));
    for (ChildWindow* w : {static_cast<ChildWindow*>(&canvas), static_cast<ChildWindow*>(source)}) {
      QCOMPARE(w->Picture2->size(), QSize(324, 212));
      QCOMPARE(w->WKP->size(), w->Picture2->size());
      QCOMPARE(w->Picture2->Image().pixel(10, 10), qRgb(255, 255, 255));
    }
    const QList<int> buttonsAt{canvas.Command1->x(), canvas.Command2->x(), canvas.Command3->x(),
                               canvas.Command4->x()};
    QCOMPARE(buttonsAt, (QList<int>{0, 88, 176, 264}));
    QCOMPARE(canvas.Command2->text(), QStringLiteral("Save Picture"));
    QCOMPARE(source->Command2->x(), 88);
    QCOMPARE(source->Command1->text(), QStringLiteral("Option"));
  }

  void sourceWindowsUpTo255ThenRefused() {
    testsupport::MessageRecorder recorder;
    for (int i = 2; i <= 255; ++i) frame_->aSRC_Window_Click();
    QCOMPARE(EditorState.SrcCount, platform::Integer(255));
    for (int i = 1; i <= 255; ++i) QCOMPARE(int(EditorState.SrcWindows(i)->MyIndex), i);
    QVERIFY(recorder.messages.isEmpty());
    frame_->aSRC_Window_Click();
    frame_->aSRC_Window_Click();
    QCOMPARE(recorder.messages, (QStringList{QStringLiteral("これ以上の追加は出来ません"),
                                             QStringLiteral("これ以上の追加は出来ません")}));
    QCOMPARE(EditorState.SrcCount, platform::Integer(255));
    QCOMPARE(frame_->Area()->subWindowList().size(), 256);
  }

  void switchedOffMenuItems_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("File") << "File" << true;
    QTest::newRow("Exit") << "Exit" << true;
    QTest::newRow("Option") << "Option" << false;
    QTest::newRow("About") << "About" << false;
    QTest::newRow("Window") << "Window" << true;
    QTest::newRow("SRC Window") << "SRC Window" << true;
    QTest::newRow("DEST Window") << "DEST Window" << false;
  }
  void switchedOffMenuItems() {
    QFETCH(QString, item);
    QFETCH(bool, enabled);
    QAction* action = FindAction(frame_.get(), item);
    QVERIFY(action);
    QCOMPARE(action->isEnabled(), enabled);
  }

  void menuOrder() {
    QStringList top;
    for (QAction* a : frame_->menuBar()->actions()) top << a->text();
    QCOMPARE(top, (QStringList{"File", "Option", "About", "Window"}));
  }

  void newClearsTheCanvasToItsBackground() {
    DEST_W& canvas = DEST_W::Instance();
    canvas.Picture2->SetForeColor(0x0000FF);
    platform::Rectangle(*canvas.Picture2, 0, 0, 50, 50);
    platform::Rectangle(*canvas.WKP, 0, 0, 50, 50);
    canvas.Command1->click();
    QCOMPARE(canvas.Picture2->Image().pixel(0, 0), qRgb(255, 255, 255));
    QCOMPARE(canvas.WKP->Image(), canvas.Picture2->Image());
    // With a background picture, New goes back to it instead of white.
    const QImage sheet = testsupport::PatternImage(100, 80);
    canvas.Picture2->SetPicture(sheet);
    canvas.WKP->SetPicture(sheet);
    platform::Rectangle(*canvas.Picture2, 0, 0, 50, 50);
    canvas.Command1->click();
    QCOMPARE(canvas.Picture2->Image(), sheet);
    QCOMPARE(canvas.WKP->Image(), sheet);
    QCOMPARE(canvas.Picture2->size(), QSize(100, 80));
  }

  void scrollingMovesThePicture() {
    SRC_W& source = *EditorState.SrcWindows(1);
    source.Picture2->SetPicture(testsupport::PatternImage(1000, 800));
    LayoutChild(source);
    source.HScroll1->SetValue(40);
    QCOMPARE(source.Picture2->x(), -40);
    source.VScroll1->setSliderDown(true);
    source.VScroll1->setSliderPosition(25);
    QCOMPARE(source.Picture2->y(), -25);
  }

  void enlargingLowersTheMaximumBelowTheValue() {
    DEST_W& canvas = DEST_W::Instance();
    SetClientSize(canvas, 200, 300);
    QCOMPARE(canvas.HScroll1->Max(), platform::Integer(145));
    canvas.HScroll1->SetValue(145);
    QCOMPARE(canvas.Picture2->Left(), -145);
    SetClientSize(canvas, 360, 300);
    QCOMPARE(canvas.HScroll1->Max(), platform::Integer(0));
    QCOMPARE(canvas.HScroll1->Value(), platform::Integer(0));
    QCOMPARE(canvas.Picture2->Left(), 0);
  }

  void childWindowsCannotBeClosed() {
    DEST_W& canvas = DEST_W::Instance();
    canvas.SubWindow()->close();
    EditorState.SrcWindows(1)->SubWindow()->close();
    QCoreApplication::processEvents();
    QVERIFY(DEST_W::Exists());
    QVERIFY(canvas.SubWindow()->isVisible());
    QVERIFY(EditorState.SrcWindows(1)->SubWindow()->isVisible());
  }
};

QTEST_MAIN(FrameTest)
#include "frame_test.moc"
