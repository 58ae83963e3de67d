// Thousands of random mouse events over two source windows and the canvas. After every event
// the canvas's clean copy must equal an image computed here from the stamps alone, and no
// outline colour may reach any clean copy.
#include <QRandomGenerator>
#include <QtTest>
#include <cmath>

#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "source/SRC_W.h"
#include "support/TestSupport.h"

namespace {
bool IsOutline(QRgb p) {
  const QRgb rgb = p & 0xFFFFFF;
  return rgb == 0x00FF00 || rgb == 0xFFFF00 || rgb == 0xFF0000 || rgb == 0xFFFFFF;
}

bool HasOutlineColour(const QImage& img) {
  for (int y = 0; y < img.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x)
      if (IsOutline(row[x])) return true;
  }
  return false;
}

// The clean copy holds no outline colour, and the visible picture differs from it only
// by outline pixels.
bool CleanAndOnlyOutlinesDiffer(const QImage& shown, const QImage& clean) {
  if (shown.size() != clean.size()) return false;
  for (int y = 0; y < shown.height(); ++y) {
    const auto* s = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
    const auto* c = reinterpret_cast<const QRgb*>(clean.constScanLine(y));
    for (int x = 0; x < shown.width(); ++x)
      if (IsOutline(c[x]) || (s[x] != c[x] && !IsOutline(s[x]))) return false;
  }
  return true;
}

// Nearest integer, ties to even, then division truncating toward zero.
long Cell(double v, long size) { return std::lrint(v) / size; }

// What the user did, as the rules of the editor see it; only the stamps touch the canvas.
struct Model {
  struct Sheet {
    QImage image;
    long cell;
  };
  std::vector<Sheet> sheets;  // index = window index - 1
  long destCell = 32;
  QImage canvas;

  int srcMode = 0;
  long col = 0, row = 0, cols = 1, rows = 1;
  int clipFrom = -1;
  long clipX = 0, clipY = 0, clipW = 0, clipH = 0;
  int destMode = 0;
  long destCol = 0, destRow = 0;

  void Stamp() {
    const QImage& from = sheets[size_t(clipFrom - 1)].image;
    const long x0 = destCol * destCell, y0 = destRow * destCell;
    for (long j = 0; j < clipH; ++j)
      for (long i = 0; i < clipW; ++i) {
        const long sx = clipX + i, sy = clipY + j, dx = x0 + i, dy = y0 + j;
        if (sx < 0 || sy < 0 || sx >= from.width() || sy >= from.height()) continue;
        if (dx < 0 || dy < 0 || dx >= canvas.width() || dy >= canvas.height()) continue;
        reinterpret_cast<QRgb*>(canvas.scanLine(int(dy)))[dx] =
            reinterpret_cast<const QRgb*>(from.constScanLine(int(sy)))[sx];
      }
  }

  // Source window k (1-based).
  void SrcMove(int k, double x, double y) {
    const Sheet& s = sheets[size_t(k - 1)];
    if (srcMode == 0) {
      if (x > 0 && x <= s.image.width()) col = Cell(x, s.cell);
      if (y > 0 && y <= s.image.height()) row = Cell(y, s.cell);
    } else {
      if (x > 0 && x <= s.image.width() && x > s.cell * col) cols = Cell(x, s.cell) - col + 1;
      if (y > 0 && y <= s.image.height() && y > s.cell * row) rows = Cell(y, s.cell) - row + 1;
    }
  }
  void SrcPress(Qt::MouseButton b) {
    if (b == Qt::LeftButton) cols = rows = 1;
    if (b != Qt::MiddleButton) srcMode = 1;
  }
  void SrcRelease(int k) {
    const long cell = sheets[size_t(k - 1)].cell;
    clipFrom = k;
    clipX = cell * col, clipY = cell * row, clipW = cell * cols, clipH = cell * rows;
    cols = rows = 1;
    srcMode = 0;
  }
  void DestMove(double x, double y) {
    if (clipFrom < 0) return;
    destCol = Cell(x, destCell), destRow = Cell(y, destCell);
    if (destMode == 1) Stamp();
  }
  void DestPress(Qt::MouseButton b, double x, double y) {
    if (clipFrom < 0) return;
    destCol = Cell(x, destCell), destRow = Cell(y, destCell);
    Stamp();
    if (b != Qt::MiddleButton) destMode = 1;
  }
};
}  // namespace

class RandomMouseTest : public QObject {
  Q_OBJECT

  std::unique_ptr<MDIForm1> frame_;

 private slots:
  void cleanup() { frame_.reset(); }

  void randomEventsKeepCleanCopiesClean_data() {
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("destCell");
    QTest::newRow("seed 1, canvas cells 32") << 1u << 32;
    QTest::newRow("seed 2, canvas cells 24") << 2u << 24;
    QTest::newRow("seed 3, canvas cells 32") << 3u << 32;
  }
  void randomEventsKeepCleanCopiesClean() {
    QFETCH(quint32, seed);
    QFETCH(int, destCell);
    frame_ = testsupport::StartEditor();
    frame_->aSRC_Window_Click();
    Model m;
    m.sheets = {{testsupport::PatternImage(320, 256, 1), 32}, {testsupport::PatternImage(200, 150, 2), 16}};
    m.canvas = testsupport::PatternImage(300, 220, 3);
    m.destCell = destCell;
    EditorState.SrcCellW(2) = EditorState.SrcCellH(2) = 16;
    EditorState.DestCellW = EditorState.DestCellH = destCell;
    DEST_W& canvas = DEST_W::Instance();
    std::vector<platform::PictureBox*> pictures, cleans;
    for (int k = 1; k <= 2; ++k) {
      SRC_W& w = *EditorState.SrcWindows(k);
      QVERIFY(!HasOutlineColour(m.sheets[size_t(k - 1)].image));
      w.Picture2->SetPicture(m.sheets[size_t(k - 1)].image);
      w.WKP->SetPicture(m.sheets[size_t(k - 1)].image);
      pictures.push_back(w.Picture2);
      cleans.push_back(w.WKP);
    }
    QVERIFY(!HasOutlineColour(m.canvas));
    canvas.Picture2->SetPicture(m.canvas);
    canvas.WKP->SetPicture(m.canvas);
    pictures.push_back(canvas.Picture2);
    cleans.push_back(canvas.WKP);

    QRandomGenerator rng(seed);
    int target = 0;                      // 0, 1: source windows 1, 2; 2: the canvas
    Qt::MouseButton held = Qt::NoButton;  // the pointer is grabbed by target while held
    auto coordinate = [&](int extent, bool outside) {
      const double quarter = rng.bounded(4) * 0.25;
      const int lo = outside ? -80 : 0, hi = outside ? extent + 80 : extent;
      return rng.bounded(lo, hi + 1) + quarter;
    };
    QPointF at(10, 10);
    const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
    using testsupport::SendMouse;
    auto send = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons down) {
      SendMouse(pictures[size_t(target)], type, at, button, down);
    };
    auto press = [&](Qt::MouseButton b, bool dbl) {
      held = b;
      if (target < 2) {
        if (dbl) m.srcMode = 1;
        else m.SrcPress(b);
      } else if (dbl) {
        m.destMode = 1;
      } else {
        m.DestPress(b, at.x(), at.y());
      }
      send(dbl ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress, b, b);
    };
    auto release = [&] {
      if (target < 2) m.SrcRelease(target + 1);
      else m.destMode = 0;
      send(QEvent::MouseButtonRelease, held, Qt::NoButton);
      held = Qt::NoButton;
    };

    const int kEvents = 2500;
    for (int n = 0; n < kEvents; ++n) {
      QString what;
      const int dice = int(rng.bounded(100));
      const QSize size = pictures[size_t(target)]->Image().size();
      if (held == Qt::NoButton && dice < 55) {
        if (dice < 8) target = int(rng.bounded(3));
        const QSize s = pictures[size_t(target)]->Image().size();
        at = QPointF(coordinate(s.width(), dice % 10 == 0), coordinate(s.height(), dice % 10 == 1));
        if (target < 2) m.SrcMove(target + 1, at.x(), at.y());
        else m.DestMove(at.x(), at.y());
        send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
        what = "hover";
      } else if (held == Qt::NoButton && dice < 92) {
        press(buttons[rng.bounded(3)], false);
        what = "press";
      } else if (held == Qt::NoButton) {
        press(Qt::LeftButton, false);
        release();
        press(Qt::LeftButton, true);
        what = "double click";
      } else if (dice < 70) {
        at = QPointF(coordinate(size.width(), true), coordinate(size.height(), true));
        if (target < 2) m.SrcMove(target + 1, at.x(), at.y());
        else m.DestMove(at.x(), at.y());
        send(QEvent::MouseMove, Qt::NoButton, held);
        what = "held move";
      } else {
        release();
        what = "release";
      }

      const QString context = QStringLiteral("event %1 (%2 at %3, %4 on picture %5)")
                                  .arg(n).arg(what).arg(at.x()).arg(at.y()).arg(target);
      QVERIFY2(EditorState.ClipSrcIndex == m.clipFrom, qPrintable(context));
      QVERIFY2(QRect(EditorState.ClipX, EditorState.ClipY, EditorState.ClipW, EditorState.ClipH) ==
                   QRect(int(m.clipX), int(m.clipY), int(m.clipW), int(m.clipH)),
               qPrintable(context));
      QVERIFY2(canvas.WKP->Image() == m.canvas, qPrintable(context));
      for (size_t k = 0; k < 2; ++k)
        QVERIFY2(cleans[k]->Image() == m.sheets[k].image, qPrintable(context));
      for (size_t k = 0; k < 3; ++k)
        QVERIFY2(CleanAndOnlyOutlinesDiffer(pictures[k]->Image(), cleans[k]->Image()), qPrintable(context));
    }
  }
};

QTEST_MAIN(RandomMouseTest)
#include "random_mouse_test.moc"
