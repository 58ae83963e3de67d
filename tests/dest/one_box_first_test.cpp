// Handlers that change the canvas's shown picture and its clean copy: a stamp makes the tiles of
// both before it writes either, and once both hold the same picture again after a change made
// one after the other, the shown one keeps only the tiles of its outline.
#include <QtTest>

#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "options/DialogDriver.h"
#include "platform/Errors.h"
#include "platform/Gdi.h"
#include "platform/files/Faults.h"
#include "source/Expected.h"
#include "source/SRC_W.h"
#include "support/TestSupport.h"

using namespace expected;
using optiontest::OnWhite;

class OneBoxFirstTest : public QObject {
  Q_OBJECT

  std::unique_ptr<MDIForm1> frame_;
  QImage sheet_, paper_;

  DEST_W& Canvas() { return DEST_W::Instance(); }
  void Move(float x, float y) { Canvas().Picture2_MouseMove(0, 0, x, y); }
  QImage Shown() { return Canvas().Picture2->Image(); }
  QImage Clean() { return Canvas().WKP->Image(); }
  // The clip is the source's 64 x 32 block at (32, 32); a stamp at (x, y) on `onto`.
  QImage StampedAt(const QImage& onto, int x, int y) { return Copied(onto, x, y, 64, 32, sheet_, 32, 32); }
  bool SameImageAndTiles() {
    const auto& c = Canvas();
    return c.Picture2->Surface().Base().cacheKey() == c.WKP->Surface().Base().cacheKey() &&
           c.Picture2->TileCount() == c.WKP->TileCount() && Shown() == Clean();
  }

 private slots:
  void init() {
    frame_ = testsupport::StartEditor();
    sheet_ = testsupport::PatternImage(320, 256, 1);
    paper_ = testsupport::PatternImage(324, 212, 7);
    SRC_W& src = *EditorState.SrcWindows(1);
    SetWindowPicture(src, sheet_);
    SetWindowPicture(Canvas(), paper_);
    src.Picture2_MouseMove(0, 0, 40, 40);
    src.Picture2_MouseDown(1, 0, 40, 40);
    src.Picture2_MouseMove(1, 0, 88, 40);
    src.Picture2_MouseUp(1, 0, 88, 40);
  }
  void cleanup() { frame_.reset(); }

  // Memory that runs out at any tile of either picture stops the press with both unchanged.
  void stopBetweenTheStampsWritesKeepsWhatWasShown() {
    Move(200, 150);
    const QImage shown = Shown(), clean = Clean();
    int failures = 0;
    for (;; ++failures) {
      platform::InjectAllocationFault(failures + 1);
      bool stopped = false;
      try {
        Canvas().Picture2_MouseDown(1, 0, 40, 40);
      } catch (const platform::PlatformError& e) {
        stopped = e.Kind() == platform::ErrorKind::OutOfMemory;
      }
      platform::InjectAllocationFault(0);
      Canvas().Picture2_MouseUp(1, 0, 40, 40);
      if (!stopped) break;
      QCOMPARE(Shown(), shown);
      QCOMPARE(Clean(), clean);
    }
    QVERIFY(failures > 2);  // the clean copy's two tiles, then the shown picture's
    QCOMPARE(Shown(), StampedAt(shown, 32, 32));
    QCOMPARE(Clean(), StampedAt(paper_, 32, 32));
  }

  // "New" clears the shown picture first: until the clean copy follows, an erase puts back
  // the clean copy's stamp, as it always has.
  void newClearsTheShownPictureFirst() {
    Move(40, 40);
    Canvas().Picture2_MouseDown(1, 0, 40, 40);
    Canvas().Picture2_MouseUp(1, 0, 40, 40);
    Canvas().Picture2->Cls();
    Move(200, 150);
    const QImage stamped = StampedAt(paper_, 32, 32);
    QCOMPARE(Shown(), Framed(Restored(paper_, stamped, QRect(32, 32, 64, 32)), QRect(192, 128, 64, 32), kRed));
    Canvas().WKP->Cls();
    Move(40, 40);
    QCOMPARE(Shown(), Framed(Restored(paper_, stamped, QRect(32, 32, 64, 32)), QRect(32, 32, 64, 32), kRed));
    Move(200, 150);
    QCOMPARE(Shown(), Framed(paper_, QRect(192, 128, 64, 32), kRed));
    QCOMPARE(Canvas().Picture2->Surface().Base().cacheKey(), Canvas().WKP->Surface().Base().cacheKey());
    QCOMPARE(Canvas().Picture2->TileCount(), 2);  // the outline's two cells
  }

  // The options dialog resizes the shown picture first, then the clean copy, then copies the
  // clean copy over it: from then on it shows the clean copy's image and tiles, and keeps
  // showing them when the clean copy alone is resized or given a new picture.
  void optionsResizeTheShownPictureFirst() {
    Move(40, 40);
    Canvas().Picture2_MouseDown(1, 0, 40, 40);
    Canvas().Picture2_MouseUp(1, 0, 40, 40);
    Move(200, 150);
    const QImage before = Shown();
    Canvas().Picture2->SetSize(400, 300);
    QCOMPARE(Shown(), OnWhite(before, QSize(400, 300)));
    QCOMPARE(Clean(), StampedAt(paper_, 32, 32));
    Canvas().WKP->SetSize(400, 300);
    platform::BitBlt(*Canvas().Picture2, 0, 0, 400, 300, *Canvas().WKP, 0, 0);
    QVERIFY(SameImageAndTiles());
    const QImage shared = Shown();
    Canvas().WKP->SetSize(500, 300);
    QCOMPARE(Shown(), shared);
    Canvas().WKP->SetPicture(sheet_);
    QCOMPARE(Shown(), shared);
    QCOMPARE(Clean(), sheet_);
  }
};

QTEST_MAIN(OneBoxFirstTest)
#include "one_box_first_test.moc"
