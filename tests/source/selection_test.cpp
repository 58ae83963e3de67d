// Hover outline, selection drag and clip capture over source pictures, through the handlers
// with exact values and through real mouse events.
#include <QMdiArea>
#include <QtTest>

#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "source/Expected.h"
#include "source/SRC_W.h"
#include "support/TestSupport.h"

using namespace expected;

namespace {
void Load(platform::PictureBox& picture, platform::PictureBox& clean, const QImage& img) {
  picture.SetPicture(img);
  clean.SetPicture(img);
}
}  // namespace

class SelectionTest : public QObject {
  Q_OBJECT

  std::unique_ptr<MDIForm1> frame_;
  QImage sheet_;  // 10 x 8 cells of 32 pixels

  SRC_W& Src(int i = 1) { return *EditorState.SrcWindows(i); }
  void Move(float x, float y, int i = 1) { Src(i).Picture2_MouseMove(0, 0, x, y); }
  void Down(platform::Integer button, int i = 1) { Src(i).Picture2_MouseDown(button, 0, 0, 0); }
  void Up(int i = 1) { Src(i).Picture2_MouseUp(1, 0, 0, 0); }
  QImage Shown(int i = 1) { return Src(i).Picture2->Image(); }
  void VerifyClip(int index, int x, int y, int w, int h) {
    const auto& s = EditorState;
    QCOMPARE(s.ClipSrcIndex, platform::Integer(index));
    QCOMPARE(QRect(s.ClipX, s.ClipY, s.ClipW, s.ClipH), QRect(x, y, w, h));
  }

 private slots:
  void init() {
    frame_ = testsupport::StartEditor();
    sheet_ = testsupport::PatternImage(320, 256, 1);
    Load(*Src().Picture2, *Src().WKP, sheet_);
  }
  void cleanup() { frame_.reset(); }

  void hoverBounds_data() {
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<QPoint>("cell");
    QTest::addColumn<bool>("stale");  // the first outline stays: the erase goes by PrevCol, PrevRow
    // Each row starts hovering over cell (3, 3), moved there from (0, 0).
    QTest::newRow("x = 0 keeps the column") << QPointF(0, 40) << QPoint(3, 1) << true;
    QTest::newRow("y = 0 keeps the row") << QPointF(40, 0) << QPoint(1, 3) << true;
    QTest::newRow("31.5 rounds up, 30.5 down") << QPointF(31.5, 30.5) << QPoint(1, 0) << false;
    QTest::newRow("31.4 and 63.4") << QPointF(31.4f, 63.4f) << QPoint(0, 1) << false;
    QTest::newRow("the scale size is one past the last cell") << QPointF(320, 256) << QPoint(10, 8) << false;
    QTest::newRow("beyond the picture keeps the cell") << QPointF(320.5, 257) << QPoint(3, 3) << false;
    QTest::newRow("negative keeps the cell") << QPointF(-5, -40) << QPoint(3, 3) << false;
  }
  void hoverBounds() {
    QFETCH(QPointF, at);
    QFETCH(QPoint, cell);
    QFETCH(bool, stale);
    Move(100, 100);
    Move(float(at.x()), float(at.y()));
    QCOMPARE(EditorState.CurCol(SIDE_SRC), cell.x());
    QCOMPARE(EditorState.CurRow(SIDE_SRC), cell.y());
    QCOMPARE(Src().Caption(), QStringLiteral("SRC WINDOW(%1,%2)(1,1)").arg(cell.x()).arg(cell.y()));
    const QImage before = stale ? Framed(sheet_, QRect(96, 96, 32, 32), kGreen) : sheet_;
    QCOMPARE(Shown(), Framed(before, QRect(cell * 32, QSize(32, 32)), kGreen));
    QCOMPARE(Src().WKP->Image(), sheet_);
  }

  void captionBeforeAnyMove() { QCOMPARE(Src().Caption(), QStringLiteral("SRC WINDOW")); }

  void pressDragRelease() {
    Move(40, 70);
    QCOMPARE(Src().Caption(), QStringLiteral("SRC WINDOW(1,2)(1,1)"));
    Down(1);
    QCOMPARE(EditorState.MouseMode(SIDE_SRC), 1);
    QCOMPARE(Shown(), Framed(sheet_, QRect(32, 64, 32, 32), kYellow));
    Move(120, 100);
    QCOMPARE(Src().Caption(), QStringLiteral("SRC WINDOW(1,2)-(3,3)(3,2)"));
    const QImage dragged = Framed(sheet_, QRect(32, 64, 96, 64), kYellow);
    QCOMPARE(Shown(), dragged);
    Up();
    VerifyClip(1, 32, 64, 96, 64);
    QCOMPARE(EditorState.MouseMode(SIDE_SRC), 0);
    QCOMPARE(EditorState.SelCols(SIDE_SRC), 1);
    QCOMPARE(EditorState.SelRows(SIDE_SRC), 1);
    // The release restores the size saved before the last change (1 x 1), so the rest of the
    // yellow frame stays on screen; the clean copy never had it.
    QCOMPARE(Shown(), Framed(Restored(dragged, sheet_, QRect(32, 64, 32, 32)), QRect(32, 64, 32, 32), kGreen));
    QCOMPARE(Src().WKP->Image(), sheet_);
  }

  void heldMove_data() {
    QTest::addColumn<bool>("grownFirst");  // first moved to (200, 230): 2 x 3 cells
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<QString>("caption");
    // Anchor (5, 5).
    QTest::newRow("left of the anchor, just pressed") << false << QPointF(70, 170) << "SRC WINDOW(5,5)-(2,5)(1,1)";
    QTest::newRow("grown") << true << QPointF(200, 230) << "SRC WINDOW(5,5)-(6,7)(2,3)";
    QTest::newRow("left of the anchor keeps the width") << true << QPointF(70, 230) << "SRC WINDOW(5,5)-(2,7)(2,3)";
    QTest::newRow("above the anchor keeps the height") << true << QPointF(200, 100) << "SRC WINDOW(5,5)-(6,3)(2,3)";
    QTest::newRow("on the anchor's left edge keeps") << true << QPointF(160, 160) << "SRC WINDOW(5,5)-(5,5)(2,3)";
    QTest::newRow("just past the anchor's edges") << true << QPointF(160.4f, 160.4f) << "SRC WINDOW(5,5)-(5,5)(1,1)";
    QTest::newRow("the outer size is inside") << true << QPointF(320, 256) << "SRC WINDOW(5,5)-(10,8)(6,4)";
    QTest::newRow("beyond the outer size keeps") << true << QPointF(320.5, 256.5) << "SRC WINDOW(5,5)-(10,8)(2,3)";
    QTest::newRow("-31 and -1 give cell 0") << true << QPointF(-31, -1) << "SRC WINDOW(5,5)-(0,0)(2,3)";
    QTest::newRow("-32 and -63 give cell -1") << true << QPointF(-32, -63) << "SRC WINDOW(5,5)-(-1,-1)(2,3)";
    QTest::newRow("-31.5 rounds to -32") << true << QPointF(-31.5, -64) << "SRC WINDOW(5,5)-(-1,-2)(2,3)";
  }
  void heldMove() {
    QFETCH(bool, grownFirst);
    QFETCH(QPointF, at);
    QFETCH(QString, caption);
    Move(170, 170);
    Down(1);
    if (grownFirst) Move(200, 230);
    Move(float(at.x()), float(at.y()));
    QCOMPARE(Src().Caption(), caption);
    const int sc = EditorState.SelCols(SIDE_SRC), sr = EditorState.SelRows(SIDE_SRC);
    QVERIFY(caption.endsWith(QStringLiteral("(%1,%2)").arg(sc).arg(sr)));
    // Only the selection's frame differs from the clean sheet (the earlier, smaller frames
    // lie inside it or were restored).
    const QImage shown = Shown();
    const QRect sel(160, 160, 32 * sc, 32 * sr);
    QCOMPARE(Restored(shown, sheet_, sel.adjusted(1, 1, -1, -1)), Framed(sheet_, sel, kYellow));
  }

  void rightPressKeepsTheSelection() {
    Move(40, 70);
    Down(1);
    Move(120, 100);
    Down(2);
    QCOMPARE(EditorState.MouseMode(SIDE_SRC), 1);
    QCOMPARE(EditorState.SelCols(SIDE_SRC), 3);
    QCOMPARE(EditorState.SelRows(SIDE_SRC), 2);
    QCOMPARE(EditorState.PrevSelCols(SIDE_SRC), 1);
    Up();
    VerifyClip(1, 32, 64, 96, 64);
  }

  void firstRightPressRestoresNothing() {
    Move(40, 70);
    Down(2);
    QCOMPARE(EditorState.PrevSelCols(SIDE_SRC), 0);
    QCOMPARE(Shown(), Framed(sheet_, QRect(32, 64, 32, 32), kYellow));
    Move(120, 100);  // a right drag grows like a left one
    QCOMPARE(EditorState.SelCols(SIDE_SRC), 3);
  }

  void middlePressChangesNothing() {
    Move(100, 40);
    Down(4);
    QCOMPARE(EditorState.MouseMode(SIDE_SRC), 0);
    QCOMPARE(Shown(), Framed(sheet_, QRect(96, 32, 32, 32), kGreen));
    Up();  // a release with no press captures the hover cell
    VerifyClip(1, 96, 32, 32, 32);
  }

  void firstReleaseCapturesTheOrigin() {
    Up();
    VerifyClip(1, 0, 0, 32, 32);
  }

  void releaseErasesTheCanvasPreview_data() {
    QTest::addColumn<QPointF>("secondMove");
    QTest::addColumn<QRect>("redLeft");  // the preview part still on the canvas
    QTest::newRow("preview where it was") << QPointF(100, 40) << QRect();
    // The restore is at the cell before the latest move, not where the preview stands.
    QTest::newRow("preview moved on") << QPointF(200, 100) << QRect(192, 96, 32, 32);
  }
  void releaseErasesTheCanvasPreview() {
    QFETCH(QPointF, secondMove);
    QFETCH(QRect, redLeft);
    DEST_W& canvas = DEST_W::Instance();
    const QImage paper = testsupport::PatternImage(324, 212, 7);
    Load(*canvas.Picture2, *canvas.WKP, paper);
    Move(40, 70);
    Up();  // a 32 x 32 clip
    canvas.Picture2_MouseMove(0, 0, 100, 40);
    canvas.Picture2_MouseMove(0, 0, float(secondMove.x()), float(secondMove.y()));
    QCoreApplication::processEvents();
    PaintSpy spy(canvas.Picture2);
    Down(1);
    Move(120, 100);
    Up();
    QCOMPARE(canvas.Picture2->Image(), redLeft.isNull() ? paper : Framed(paper, redLeft, kRed));
    QCoreApplication::processEvents();
    QVERIFY(spy.painted.isEmpty());  // no refresh of the canvas
    VerifyClip(1, 32, 64, 96, 64);
  }

  void oneSelectionForAllWindows() {
    frame_->aSRC_Window_Click();
    SRC_W& second = Src(2);
    QCOMPARE(second.MyIndex, platform::Integer(2));
    const QImage other = testsupport::PatternImage(200, 150, 2);
    Load(*second.Picture2, *second.WKP, other);
    EditorState.SrcCellW(2) = EditorState.SrcCellH(2) = 16;
    Move(40, 70);
    Down(1);
    Move(100, 100, 2);  // the anchor (1, 2) now counts in 16-pixel cells
    QCOMPARE(second.Caption(), QStringLiteral("SRC WINDOW(1,2)-(6,6)(6,5)"));
    QCOMPARE(Src().Caption(), QStringLiteral("SRC WINDOW(1,2)(1,1)"));
    Up(2);
    VerifyClip(2, 16, 32, 96, 80);
  }

  // Real events through the frame's window: the widget under the pointer gets them in its
  // own pixels, and a held button keeps them coming from outside the picture.
  void realEventsInPicturePixels() {
    const QImage big = testsupport::PatternImage(640, 480, 3);
    Load(*Src().Picture2, *Src().WKP, big);
    LayoutChild(Src());
    frame_->resize(1400, 1000);
    Src().SubWindow()->move(0, 0);
    Src().HScroll1->SetValue(40);
    Src().VScroll1->SetValue(20);
    QCOMPARE(Src().Picture2->Left(), -40);
    QWindow* window = frame_->windowHandle();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const auto at = [&](QPoint picturePixel) { return Src().Picture2->mapTo(frame_.get(), picturePixel); };

    QTest::mouseMove(window, at(QPoint(100, 70)));
    QCOMPARE(Src().Caption(), QStringLiteral("SRC WINDOW(3,2)(1,1)"));
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, at(QPoint(100, 70)));
    QTest::mouseMove(window, at(QPoint(170, 120)));
    QCOMPARE(Src().Caption(), QStringLiteral("SRC WINDOW(3,2)-(5,3)(3,2)"));
    // Left of the viewport: over the canvas or the MDI area, still delivered to the picture.
    QTest::mouseMove(window, at(QPoint(-50, 120)));
    QCOMPARE(Src().Caption(), QStringLiteral("SRC WINDOW(3,2)-(-1,3)(3,2)"));
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, at(QPoint(-50, 120)));
    VerifyClip(1, 96, 64, 96, 64);
  }

  void doubleClickCapturesAndEndsHovering() {
    Move(100, 40);
    SRC_W& w = Src();
    const QPointF p(100, 40);
    using testsupport::SendMouse;
    SendMouse(w.Picture2, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    SendMouse(w.Picture2, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    SendMouse(w.Picture2, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(EditorState.MouseMode(SIDE_SRC), 1);
    QCOMPARE(Shown(), Framed(sheet_, QRect(96, 32, 32, 32), kYellow));
    SendMouse(w.Picture2, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(EditorState.MouseMode(SIDE_SRC), 0);
    QCOMPARE(Shown(), Framed(sheet_, QRect(96, 32, 32, 32), kGreen));
    VerifyClip(1, 96, 32, 32, 32);
  }
};

QTEST_MAIN(SelectionTest)
#include "selection_test.moc"
