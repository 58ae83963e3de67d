// Equal pictures share memory: a source window's clean copy and shown picture are the loaded
// picture itself and stay so through hovering, selecting, taking a clip and stamping it, the
// outlines held in a few tiles; the canvas holds its picture once and its stamps in tiles; empty
// source windows share one white image.
#include <QFileDialog>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "options/DialogDriver.h"
#include "options/OPT_SRC.h"
#include "platform/FileDialog.h"
#include "source/SRC_W.h"
#include "support/TestSupport.h"

using namespace optiontest;

namespace {
const uchar* Memory(const QImage& image) { return image.constBits(); }
}  // namespace

class SharingTest : public QObject {
  Q_OBJECT

  std::unique_ptr<MDIForm1> frame_;
  QTemporaryDir dir_;
  QImage sheet_;

  SRC_W& Src(int i = 1) { return *EditorState.SrcWindows(i); }
  DEST_W& Canvas() { return DEST_W::Instance(); }
  void LoadSheet(ChildWindow& w, const QImage& picture) {
    const QString path = dir_.filePath(QStringLiteral("sheet.bmp"));
    QVERIFY(picture.save(path, "BMP"));
    platform::SetFileDialogHook([path](QFileDialog&) { return path; });
    (&w == &Canvas() ? Canvas().Command3 : Src().Command2)->click();
    platform::SetFileDialogHook({});
  }
  // The clean copy is the picture's memory; the shown picture adds the tiles of one outline,
  // at most the six that the outline of a selection of 3 x 2 cells crosses.
  void VerifySourceShares(const char* after) {
    const auto& w = Src();
    QVERIFY2(Memory(w.WKP->Image()) == Memory(w.WKP->Picture()), after);
    QVERIFY2(Memory(w.Picture2->Picture()) == Memory(w.WKP->Picture()), after);
    QVERIFY2(Memory(w.Picture2->Surface().Base()) == Memory(w.WKP->Picture()), after);
    QVERIFY2(w.Picture2->TileCount() <= 6, after);
    QVERIFY2(w.WKP->Image() == sheet_, after);
  }

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    frame_ = testsupport::StartEditor();
    frame_->resize(1200, 900);
    sheet_ = testsupport::PatternImage(640, 480, 3);
  }
  void cleanup() {
    frame_.reset();
    Flush();
  }

  void cleanCopySharesTheLoadedPictureThroughAStamp() {
    LoadSheet(Src(), sheet_);
    VerifySourceShares("after the load");
    Src().Picture2_MouseMove(0, 0, 40, 40);
    VerifySourceShares("after a hover");
    Src().Picture2_MouseDown(1, 0, 40, 40);
    Src().Picture2_MouseMove(1, 0, 100, 70);
    VerifySourceShares("after a selection");
    Src().Picture2_MouseUp(1, 0, 100, 70);
    QCOMPARE(QRect(EditorState.ClipX, EditorState.ClipY, EditorState.ClipW, EditorState.ClipH), QRect(32, 32, 96, 64));
    VerifySourceShares("after the clip is taken");
    Canvas().Picture2_MouseMove(0, 0, 10, 10);
    Canvas().Picture2_MouseDown(1, 0, 10, 10);
    Canvas().Picture2_MouseUp(1, 0, 10, 10);
    QCOMPARE(Canvas().WKP->Image().copy(0, 0, 96, 64), sheet_.copy(32, 32, 96, 64));
    VerifySourceShares("after a stamp");
  }

  // The picture "New" goes back to is the one both boxes show; a stamp adds its tiles.
  void canvasHoldsItsPictureOnce() {
    LoadSheet(Canvas(), sheet_);
    LoadSheet(Src(), sheet_);
    const auto& c = Canvas();
    QCOMPARE(Memory(c.Picture2->Picture()), Memory(c.WKP->Picture()));
    QCOMPARE(Memory(c.WKP->Image()), Memory(c.WKP->Picture()));
    QCOMPARE(Memory(c.Picture2->Image()), Memory(c.WKP->Picture()));
    Src().Picture2_MouseMove(0, 0, 40, 40);
    Src().Picture2_MouseUp(1, 0, 40, 40);
    Canvas().Picture2_MouseMove(0, 0, 10, 10);
    Canvas().Picture2_MouseDown(1, 0, 10, 10);
    Canvas().Picture2_MouseUp(1, 0, 10, 10);
    Canvas().Picture2_MouseMove(0, 0, 300, 300);
    QCOMPARE(c.WKP->TileCount(), 1);
    QCOMPARE(Memory(c.WKP->Surface().Base()), Memory(c.WKP->Picture()));
    QCOMPARE(Memory(c.Picture2->Surface().Base()), Memory(c.WKP->Picture()));
  }

  void enlargingResizeKeepsThePicturesRight() {
    LoadSheet(Src(), sheet_);
    Src().Picture2_MouseMove(0, 0, 40, 40);
    Src().Command1_Click();
    OPT_SRC* d = OPT_SRC::Current();
    QVERIFY(d);
    SetTexts(*d, "800", "600", "32");
    d->Command1->click();
    Flush();
    const QImage grown = OnWhite(sheet_, QSize(800, 600));
    QCOMPARE(Src().WKP->Image(), grown);
    QCOMPARE(Src().Picture2->Image(), grown);
    QCOMPARE(Src().WKP->Picture(), sheet_);
  }

  void emptySourceWindowsShareOneWhiteImage() {
    frame_->aSRC_Window_Click();
    frame_->aSRC_Window_Click();
    Src(2).Picture2_MouseMove(0, 0, 40, 40);
    QCOMPARE(Memory(Src(1).WKP->Image()), Memory(Src(2).WKP->Image()));
    QCOMPARE(Memory(Src(1).WKP->Image()), Memory(Src(3).WKP->Image()));
    QVERIFY(Memory(Src(2).Picture2->Image()) != Memory(Src(2).WKP->Image()));
    QImage white(324, 212, QImage::Format_RGB32);
    white.fill(qRgb(255, 255, 255));
    QCOMPARE(Src(2).WKP->Image(), white);
  }
};

QTEST_MAIN(SharingTest)
#include "sharing_test.moc"
