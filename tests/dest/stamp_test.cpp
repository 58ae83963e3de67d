// The clip's preview, stamps and drag painting on the canvas, through the handlers with
// exact values and through real mouse events.
#include <QtTest>
#include <cstring>

#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "platform/Guard.h"
#include "source/Expected.h"
#include "source/SRC_W.h"
#include "source/WindowState.h"
#include "support/FailingAllocator.h"
#include "support/TestSupport.h"

using namespace expected;

namespace {
// A mouse event of the allocation sweep: on the source ('s') or the canvas ('c'), a move ('m'), a
// left press ('d'), a release ('u') or a double click ('2').
struct Event {
  char window, kind;
  float x = 0, y = 0;
};

// What an action leaves when nothing fails, and whether it is in place, asked from inside the
// allocator: nothing here allocates.
struct Result {
  std::array<Long, 25> fields;
  std::array<const platform::PictureBox*, 4> boxes;  // shown and clean, of the source and the canvas
  std::array<QImage, 4> images;
} done;

bool Shows(const platform::PictureBox& box, const QImage& image) {
  QRgb row[512];
  if (box.Surface().Size() != image.size() || image.width() > 512) return false;
  for (int y = 0; y < image.height(); ++y) {
    box.Surface().ReadRow(0, y, image.width(), row);
    if (std::memcmp(row, image.constScanLine(y), size_t(image.width()) * 4) != 0) return false;
  }
  return true;
}

bool ActionDone() {
  if (EditorFieldValues() != done.fields) return false;
  for (size_t i = 0; i < done.boxes.size(); ++i)
    if (!Shows(*done.boxes[i], done.images[i])) return false;
  return true;
}
}  // namespace

Q_DECLARE_METATYPE(QList<Event>)

class StampTest : public QObject {
  Q_OBJECT

  std::unique_ptr<MDIForm1> frame_;
  QImage sheet_, paper_;

  SRC_W& Src() { return *EditorState.SrcWindows(1); }
  DEST_W& Canvas() { return DEST_W::Instance(); }
  void Move(float x, float y) { Canvas().Picture2_MouseMove(0, 0, x, y); }
  void Down(platform::Integer button, float x, float y) { Canvas().Picture2_MouseDown(button, 0, x, y); }
  void Up() { Canvas().Picture2_MouseUp(1, 0, 0, 0); }
  QImage Shown() { return Canvas().Picture2->Image(); }
  QImage Clean() { return Canvas().WKP->Image(); }

  // Selects cols x rows source cells from (col, row) and releases: the clip.
  void TakeClip(int col, int row, int cols, int rows) {
    const float w = float(EditorState.SrcCellW(1)), h = float(EditorState.SrcCellH(1));
    Src().Picture2_MouseMove(0, 0, (col + 0.25f) * w, (row + 0.25f) * h);
    Src().Picture2_MouseDown(1, 0, 0, 0);
    Src().Picture2_MouseMove(0, 0, (col + cols - 0.25f) * w, (row + rows - 0.25f) * h);
    Src().Picture2_MouseUp(1, 0, 0, 0);
    QCOMPARE(QRect(EditorState.ClipX, EditorState.ClipY, EditorState.ClipW, EditorState.ClipH),
             QRect(int(col * w), int(row * h), int(cols * w), int(rows * h)));
  }
  void ShowPictures() {
    Src().Picture2->SetPicture(sheet_);
    Src().WKP->SetPicture(sheet_);
    Canvas().Picture2->SetPicture(paper_);
    Canvas().WKP->SetPicture(paper_);
  }
  void Send(const Event& e) {
    ChildWindow& w = e.window == 's' ? static_cast<ChildWindow&>(Src()) : Canvas();
    if (e.kind == 'm') w.Picture2_MouseMove(0, 0, e.x, e.y);
    else if (e.kind == 'd') w.Picture2_MouseDown(1, 0, e.x, e.y);
    else if (e.kind == 'u') w.Picture2_MouseUp(1, 0, e.x, e.y);
    else w.Picture2_DblClick();
  }
  // paper_ with the clip stamped at (x, y).
  QImage StampedAt(const QImage& onto, int x, int y) {
    const auto& s = EditorState;
    return Copied(onto, x, y, s.ClipW, s.ClipH, sheet_, s.ClipX, s.ClipY);
  }

 private slots:
  void init() {
    frame_ = testsupport::StartEditor();
    sheet_ = testsupport::PatternImage(320, 256, 1);
    paper_ = testsupport::PatternImage(324, 212, 7);
    ShowPictures();
  }
  void cleanup() { frame_.reset(); }

  void previewFollowsThePointer_data() {
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<QPoint>("cell");
    QTest::newRow("31.4 is column 0") << QPointF(31.4f, 40) << QPoint(0, 1);
    QTest::newRow("31.5 rounds to column 1") << QPointF(31.5, 40) << QPoint(1, 1);
    QTest::newRow("30.5 rounds to column 0") << QPointF(30.5, 40) << QPoint(0, 1);
    QTest::newRow("-10 is still column 0") << QPointF(-10, -31) << QPoint(0, 0);
    QTest::newRow("-40 is column -1") << QPointF(-40, 100) << QPoint(-1, 3);
    QTest::newRow("the last cell, partly outside") << QPointF(323, 211) << QPoint(10, 6);
  }
  void previewFollowsThePointer() {
    QFETCH(QPointF, at);
    QFETCH(QPoint, cell);
    TakeClip(1, 2, 2, 1);  // 64 x 32
    Move(200, 100);
    Move(float(at.x()), float(at.y()));
    QCOMPARE(EditorState.CurCol(SIDE_DEST), cell.x());
    QCOMPARE(EditorState.CurRow(SIDE_DEST), cell.y());
    QCOMPARE(EditorState.PrevCol(SIDE_DEST), 6);
    QCOMPARE(EditorState.PrevRow(SIDE_DEST), 3);
    QCOMPARE(Shown(), Framed(paper_, QRect(cell * 32, QSize(64, 32)), kRed));
    QCOMPARE(Clean(), paper_);
  }

  void pressStampsWithAnyButton_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("drags");
    QTest::newRow("left") << 1 << true;
    QTest::newRow("right") << 2 << true;
    QTest::newRow("middle stamps once") << 4 << false;
  }
  void pressStampsWithAnyButton() {
    QFETCH(int, button);
    QFETCH(bool, drags);
    TakeClip(1, 2, 1, 1);
    Move(40, 40);
    Down(platform::Integer(button), 40, 40);
    const QImage once = StampedAt(paper_, 32, 32);
    QCOMPARE(Clean(), once);
    QCOMPARE(Shown(), once);  // the stamp covers the preview
    QCOMPARE(EditorState.MouseMode(SIDE_DEST), drags ? 1 : 0);
    Move(100, 40);
    if (drags) {
      QCOMPARE(Clean(), StampedAt(once, 96, 32));
      QCOMPARE(Shown(), Framed(StampedAt(once, 96, 32), QRect(96, 32, 32, 32), kWhite));
    } else {
      QCOMPARE(Clean(), once);
      QCOMPARE(Shown(), Framed(once, QRect(96, 32, 32, 32), kRed));
    }
  }

  void dragPaintsATrailAndLeavesTheWhiteOutline() {
    TakeClip(1, 2, 2, 1);  // 64 x 32
    Down(1, 10, 10);
    Move(-10, 10);  // still column 0
    Move(-40, 40);  // column -1: lands at x = -32, cut off
    Move(-40, 40);  // the same cell again: the same image
    QImage trail = StampedAt(StampedAt(paper_, 0, 0), -32, 32);
    QCOMPARE(Clean(), trail);
    QCOMPARE(Shown(), Framed(trail, QRect(-32, 32, 64, 32), kWhite));
    // x 0..31 of row 32 come from the clip's right half.
    QCOMPARE(Clean().pixel(0, 32), sheet_.pixel(64, 64));
    Up();
    QCOMPARE(EditorState.MouseMode(SIDE_DEST), 0);
    QCOMPARE(Shown(), Framed(trail, QRect(-32, 32, 64, 32), kWhite));
    Move(200, 100);
    QCOMPARE(Clean(), trail);
    QCOMPARE(Shown(), Framed(trail, QRect(192, 96, 64, 32), kRed));
  }

  void clipOfOtherCellSize() {
    EditorState.SrcCellW(1) = EditorState.SrcCellH(1) = 16;
    TakeClip(2, 1, 3, 2);  // 48 x 32 at (32, 16)
    Move(40, 40);
    QCOMPARE(Shown(), Framed(paper_, QRect(32, 32, 48, 32), kRed));
    Move(100, 40);
    QCOMPARE(Shown(), Framed(paper_, QRect(96, 32, 48, 32), kRed));
    Down(1, 100, 40);
    QCOMPARE(Clean(), StampedAt(paper_, 96, 32));
    Move(140, 40);  // one and a half cells on: the erase and the stamp are 48 x 32 too
    const QImage two = StampedAt(StampedAt(paper_, 96, 32), 128, 32);
    QCOMPARE(Clean(), two);
    QCOMPARE(Shown(), Framed(two, QRect(128, 32, 48, 32), kWhite));
  }

  // Every allocation a mouse action makes before it changes anything may fail: for each k, the
  // action's k-th allocation fails, and the memory message comes with both windows' pictures and
  // the editor state as they were. The sweep ends at the first allocation made once the state and
  // all four pictures are what a run without failure leaves: what allocates after that is Qt's
  // caption and repaint request, which need not survive a failure.
  void failedAllocationChangesNothing_data() {
    QTest::addColumn<QList<Event>>("events");  // the last one is the action swept; those before
                                               // leave it a place where no spare tile waits
    QTest::addColumn<int>("destCell");
    const QList<Event> clip{{'s', 'm', 40, 72}, {'s', 'd'}, {'s', 'm', 88, 72}, {'s', 'u'}, {'c', 'm', 200, 100}};
    const QList<Event> drag = clip + QList<Event>{{'c', 'd', 40, 40}};
    const QList<Event> select{{'s', 'm', 40, 40}, {'s', 'd'}, {'s', 'm', 120, 100}};
    QTest::newRow("source: hover outline and erase") << QList<Event>{{'s', 'm', 100, 70}} << 32;
    QTest::newRow("source: press") << select.mid(0, 2) << 32;
    QTest::newRow("source: held outline") << select << 32;
    QTest::newRow("source: release") << clip + select + QList<Event>{{'s', 'u'}} << 32;
    QTest::newRow("source: double click") << QList<Event>{{'s', '2'}} << 32;
    QTest::newRow("canvas: hover outline and erase") << clip + QList<Event>{{'c', 'm', 140, 100}} << 32;
    QTest::newRow("canvas: hover across tiles") << clip + QList<Event>{{'c', 'm', 140, 100}} << 24;
    QTest::newRow("canvas: stamp") << drag << 32;
    QTest::newRow("canvas: drag-stamp") << drag + QList<Event>{{'c', 'm', 140, 100}} << 32;
    QTest::newRow("canvas: drag-stamp within the cell") << drag + QList<Event>{{'c', 'm', 50, 45}} << 32;
    QTest::newRow("canvas: drag-stamp across tiles") << drag + QList<Event>{{'c', 'm', 140, 100}} << 24;
    QTest::newRow("canvas: double click") << clip.mid(0, 4) + QList<Event>{{'c', '2'}} << 32;
  }
  void failedAllocationChangesNothing() {
    QFETCH(QList<Event>, events);
    QFETCH(int, destCell);
    const Event action = events.takeLast();
    // A fresh editor each time, so that the k-th allocation is the same one each time.
    auto start = [&] {
      cleanup();
      init();
      EditorState.DestCellW = EditorState.DestCellH = destCell;
      for (const Event& e : events) Send(e);
      done.boxes = {Src().Picture2, Src().WKP, Canvas().Picture2, Canvas().WKP};
    };
    start();
    Send(action);
    done.fields = EditorFieldValues();
    for (size_t i = 0; i < done.boxes.size(); ++i) done.images[i] = done.boxes[i]->Image();

    testsupport::MessageRecorder recorder;
    int k = 1;
    for (;; ++k) {
      start();
      const WindowState src = Capture(Src()), canvas = Capture(Canvas());
      testsupport::FailAllocation(k, ActionDone);
      platform::Guard([&] { Send(action); });
      if (!testsupport::AllocationFailed()) break;
      QCOMPARE(recorder.messages.size(), 1);
      const QString message = recorder.messages.takeFirst();
      QVERIFY2(message.startsWith(QStringLiteral("メモリが不足しています。")) &&
                   message.endsWith(QStringLiteral("処理を中断しました。")),
               qPrintable(message));
      CompareState(Capture(Src()), src);
      CompareState(Capture(Canvas()), canvas);
      if (QTest::currentTestFailed()) return;
    }
    QVERIFY(recorder.messages.isEmpty());
    QVERIFY(ActionDone());
    QVERIFY(k > 1);
  }

  void noClipNoStamp() {
    Canvas().Picture2_DblClick();
    QCOMPARE(EditorState.MouseMode(SIDE_DEST), 1);
    Down(1, 40, 40);
    Move(100, 100);
    QCOMPARE(EditorState.CurCol(SIDE_DEST), 0);
    QCOMPARE(Shown(), paper_);
    QCOMPARE(Clean(), paper_);
    Up();
    QCOMPARE(EditorState.MouseMode(SIDE_DEST), 0);
  }

  void doubleClickBeforeAnyClip() {
    using testsupport::SendMouse;
    QWidget* pic = Canvas().Picture2;
    const QPointF p(40, 40);
    SendMouse(pic, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    SendMouse(pic, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    SendMouse(pic, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    SendMouse(pic, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(EditorState.MouseMode(SIDE_DEST), 0);
    QCOMPARE(Shown(), paper_);
    QCOMPARE(Clean(), paper_);
  }

  // The second press of a double click runs only the double-click handler: no second stamp,
  // though it arrives over another cell.
  void doubleClickStampsOnce() {
    using testsupport::SendMouse;
    TakeClip(1, 2, 1, 1);
    QWidget* pic = Canvas().Picture2;
    SendMouse(pic, QEvent::MouseMove, QPointF(40, 40), Qt::NoButton, Qt::NoButton);
    SendMouse(pic, QEvent::MouseButtonPress, QPointF(40, 40), Qt::LeftButton, Qt::LeftButton);
    SendMouse(pic, QEvent::MouseButtonRelease, QPointF(40, 40), Qt::LeftButton, Qt::NoButton);
    SendMouse(pic, QEvent::MouseButtonDblClick, QPointF(100, 40), Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(EditorState.MouseMode(SIDE_DEST), 1);
    SendMouse(pic, QEvent::MouseButtonRelease, QPointF(100, 40), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(EditorState.MouseMode(SIDE_DEST), 0);
    const QImage once = StampedAt(paper_, 32, 32);
    QCOMPARE(Clean(), once);
    QCOMPARE(Shown(), Framed(once, QRect(32, 32, 32, 32), kYellow));
  }

  void moveAfterDoubleClickStamps() {
    TakeClip(1, 2, 1, 1);
    Move(40, 40);
    Canvas().Picture2_DblClick();
    Move(100, 40);
    QCOMPARE(Clean(), StampedAt(paper_, 96, 32));
    Up();
    QCOMPARE(EditorState.MouseMode(SIDE_DEST), 0);
  }

  // After a new, smaller clip, the first move back erases only the new size at the last cell.
  void oldPreviewPartlyStays() {
    TakeClip(1, 2, 2, 2);  // 64 x 64
    Move(40, 40);
    Move(104, 40);  // preview at (96, 32), previous cell (1, 1)
    TakeClip(0, 0, 1, 1);  // restores (32, 32) 64 x 64 on the canvas, already clean
    QCOMPARE(Shown(), Framed(paper_, QRect(96, 32, 64, 64), kRed));
    Move(200, 150);
    const QImage left = Restored(Framed(paper_, QRect(96, 32, 64, 64), kRed), paper_, QRect(96, 32, 32, 32));
    QCOMPARE(Shown(), Framed(left, QRect(192, 128, 32, 32), kRed));
    QCOMPARE(Clean(), paper_);
  }
};

QTEST_MAIN(StampTest)
#include "stamp_test.moc"
