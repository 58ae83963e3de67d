// The source windows' grid option dialog on a full editor with two source windows.
#include <QApplication>
#include <QMdiSubWindow>
#include <QtTest>
#include <memory>

#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "options/DialogDriver.h"
#include "options/OPT_SRC.h"
#include "platform/files/Faults.h"
#include "source/SRC_W.h"
#include "support/TestSupport.h"

using namespace optiontest;

namespace {
const QString kWidthMsg = QStringLiteral("幅に半角数字以外の文字が含まれています。");
const QString kHeightMsg = QStringLiteral("高さに半角数字以外の文字が含まれています。");
}  // namespace

class OptSrcTest : public QObject {
  Q_OBJECT

  std::unique_ptr<MDIForm1> frame_;
  QImage sheet1_, sheet2_;

  SRC_W& Window(int i) { return *EditorState.SrcWindows(i); }
  OPT_SRC& Open(int i) {
    Window(i).Command1_Click();
    OPT_SRC* d = OPT_SRC::Current();
    if (!d) qFatal("no dialog");
    return *d;
  }
  bool PressOk(OPT_SRC& d) {
    d.Command1->click();
    Flush();
    return OPT_SRC::Current() == nullptr;
  }

 private slots:
  void init() {
    frame_ = testsupport::StartEditor();
    frame_->resize(1200, 900);
    frame_->aSRC_Window_Click();
    sheet1_ = testsupport::PatternImage(256, 192, 1);
    sheet2_ = testsupport::PatternImage(320, 240, 2);
    SetPicture(Window(1), sheet1_);
    SetPicture(Window(2), sheet2_);
    EditorState.SrcCellW(2) = 16;
    EditorState.SrcCellH(2) = 16;
    Window(2).SetLeft(210 * platform::TwipsPerPixelX());
    Window(2).SetTop(70 * platform::TwipsPerPixelY());
  }
  void cleanup() {
    frame_.reset();
    Flush();
  }

  void opensOnTheWindowWithItsValues() {
    OPT_SRC& d = Open(2);
    QCOMPARE(EditorState.OptSrcIndex, 2);
    QCOMPARE(Texts(d), QStringList({"320", "240", "16"}));
    QCOMPARE(d.Caption(), QStringLiteral("SRC OPTION"));
    QCOMPARE(d.size(), QSize(200, 170));
    QCOMPARE(d.SubWindow()->pos(), QPoint(210, 70));
  }

  void tabOrderStartsOnTheGrid() {
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    OPT_SRC& d = Open(1);
    const QList<QWidget*> order = {d.t_Gurid, d.t_Height, d.t_Width, d.Command2, d.Command1, d.t_Gurid};
    for (QWidget* expected : order) {
      QCOMPARE(QApplication::focusWidget(), expected);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
  }

  void firstFailingTextOnly_data() {
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("message");
    QTest::newRow("height letters") << "100" << "abc" << "8" << kHeightMsg;
    QTest::newRow("height trailing letter") << "100" << "12a" << "8" << kHeightMsg;
    QTest::newRow("height too large") << "100" << "32768" << "8" << kHeightMsg;
    QTest::newRow("height empty") << "100" << "" << "8" << kHeightMsg;
    QTest::newRow("all three invalid") << "a" << "b" << "c" << kWidthMsg;
  }
  void firstFailingTextOnly() {
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, grid);
    QFETCH(QString, message);
    testsupport::MessageRecorder rec;
    OPT_SRC& d = Open(2);
    SetTexts(d, width, height, grid);
    QVERIFY(!PressOk(d));
    QCOMPARE(rec.messages, QStringList({message}));
    QCOMPARE(Texts(d), QStringList({width, height, grid}));
    QCOMPARE(Size(*Window(2).Picture2), QSize(320, 240));
    QCOMPARE(EditorState.SrcCellW(2), 16);
  }

  void gridChangesOnlyThisWindowAndKeepsTheClip() {
    SRC_W& w = Window(2);
    w.Picture2_MouseMove(0, 0, 20, 20);
    w.Picture2_MouseDown(1, 0, 20, 20);
    w.Picture2_MouseMove(1, 0, 40, 40);
    w.Picture2_MouseUp(1, 0, 40, 40);
    w.Picture2_MouseMove(0, 0, 100, 100);
    const QList<Long> clip = {EditorState.ClipX, EditorState.ClipY, EditorState.ClipW, EditorState.ClipH};
    QCOMPARE(clip, QList<Long>({16, 16, 32, 32}));
    QVERIFY(w.Picture2->Image() != sheet2_);

    OPT_SRC& d = Open(2);
    d.t_Gurid->setText("48");
    QVERIFY(PressOk(d));
    QCOMPARE(EditorState.SrcCellW(2), 48);
    QCOMPARE(EditorState.SrcCellH(2), 48);
    QCOMPARE(EditorState.SrcCellW(1), 32);
    QCOMPARE(EditorState.SrcCellH(1), 32);
    QCOMPARE(EditorState.DestCellW, 32);
    QCOMPARE(EditorState.DestCellH, 32);
    QCOMPARE(QList<Long>({EditorState.ClipX, EditorState.ClipY, EditorState.ClipW, EditorState.ClipH}), clip);
    QCOMPARE(EditorState.ClipSrcIndex, 2);
    QCOMPARE(w.Picture2->Image(), sheet2_);
    QCOMPARE(w.WKP->Image(), sheet2_);
  }

  void shrinkingShowsTheTopLeft() {
    OPT_SRC& d = Open(2);
    SetTexts(d, "100", "60", "16");
    QVERIFY(PressOk(d));
    QCOMPARE(Window(2).Picture2->Image(), sheet2_.copy(0, 0, 100, 60));
    QCOMPARE(Window(2).WKP->Image(), sheet2_.copy(0, 0, 100, 60));
    QCOMPARE(Window(2).HScroll1->Max(), 0);
  }

  void okAppliesToTheWindowWhoseOptionWasPressedLast() {
    OPT_SRC& d = Open(1);
    QCOMPARE(Texts(d), QStringList({"256", "192", "32"}));
    QCOMPARE(&Open(2), &d);
    QCOMPARE(Texts(d), QStringList({"256", "192", "32"}));
    QVERIFY(PressOk(d));
    QCOMPARE(Size(*Window(2).Picture2), QSize(256, 192));
    QCOMPARE(Size(*Window(2).WKP), QSize(256, 192));
    QCOMPARE(EditorState.SrcCellW(2), 32);
    QCOMPARE(Window(2).Picture2->Image(), sheet2_.copy(0, 0, 256, 192));
    QCOMPARE(Size(*Window(1).Picture2), QSize(256, 192));
    QCOMPARE(Window(1).Picture2->Image(), sheet1_);
  }

  void refusedWidthSkipsOnlyThatStep() {
    OPT_SRC& d = Open(2);
    SetTexts(d, "-32768", "200", "24");
    QVERIFY(PressOk(d));
    QCOMPARE(Size(*Window(2).Picture2), QSize(320, 200));
    QCOMPARE(Size(*Window(2).WKP), QSize(320, 200));
    QCOMPARE(EditorState.SrcCellW(2), 24);
  }

  // Without memory for the clean copy's two sides at once, it still takes them one by one.
  void cleanCopyShortOfMemoryTakesTheSidesOneByOne() {
    OPT_SRC& d = Open(2);
    SetTexts(d, "400", "300", "16");
    platform::InjectAllocationFault(3);  // the drawn picture's two sides, then the clean copy's both
    const bool closed = PressOk(d);
    platform::InjectAllocationFault(0);
    QVERIFY(closed);
    QCOMPARE(Size(*Window(2).WKP), QSize(400, 300));
    QCOMPARE(Window(2).WKP->Image(), OnWhite(sheet2_, QSize(400, 300)));
    QCOMPARE(Window(2).Picture2->Image(), OnWhite(sheet2_, QSize(400, 300)));
  }

  void cancelThenReopenShowsCurrentValues() {
    OPT_SRC& d = Open(2);
    SetTexts(d, "1", "2", "3");
    d.Command2->click();
    Flush();
    QVERIFY(!OPT_SRC::Current());
    QCOMPARE(Size(*Window(2).Picture2), QSize(320, 240));
    QCOMPARE(Texts(Open(2)), QStringList({"320", "240", "16"}));
  }
};

QTEST_MAIN(OptSrcTest)
#include "opt_src_test.moc"
