// Start values of the editor state, the cell rule and the checked tables.
#include <QtTest>

#include "app/Module1.h"
#include "platform/Errors.h"

class EditorStateTest : public QObject {
  Q_OBJECT
 private slots:
  void startValues() {
    EditorState = EditorStateRecord{};
    EditorState.CurCol(SIDE_SRC) = 7;  // fields Init does not own keep their values
    InitEditorState();
    const auto& s = EditorState;
    QCOMPARE(s.DestCellW, 32);
    QCOMPARE(s.DestCellH, 32);
    for (int i = 0; i < kSrcTableSize; ++i) {
      QCOMPARE(s.SrcCellW(i), 32);
      QCOMPARE(s.SrcCellH(i), 32);
      QCOMPARE(s.SrcWindows(i), nullptr);
    }
    QCOMPARE(s.SelCols(SIDE_SRC), 1);
    QCOMPARE(s.SelRows(SIDE_SRC), 1);
    QCOMPARE(s.SelCols(SIDE_DEST), 0);
    QCOMPARE(s.MouseMode(SIDE_SRC), 0);
    QCOMPARE(s.MouseMode(SIDE_DEST), 0);
    QCOMPARE(s.ClipSrcIndex, platform::Integer(-1));
    QCOMPARE(s.SrcCount, platform::Integer(0));
    QCOMPARE(s.ClipW, 0);
    QCOMPARE(s.CurCol(SIDE_SRC), 7);
  }

  void cellOfPosition_data() {
    QTest::addColumn<float>("x");
    QTest::addColumn<int>("cell");
    QTest::addColumn<int>("size");
    QTest::newRow("31.5 rounds up") << 31.5f << 1 << 32;
    QTest::newRow("30.5 rounds down") << 30.5f << 0 << 32;
    QTest::newRow("31.4") << 31.4f << 0 << 32;
    QTest::newRow("63.4") << 63.4f << 1 << 32;
    QTest::newRow("-10 truncates to 0") << -10.f << 0 << 32;
    QTest::newRow("-31") << -31.f << 0 << 32;
    QTest::newRow("-32") << -32.f << -1 << 32;
    QTest::newRow("-40") << -40.f << -1 << 32;
    QTest::newRow("16-pixel cells") << 40.f << 2 << 16;
  }
  void cellOfPosition() {
    QFETCH(float, x);
    QFETCH(int, cell);
    QFETCH(int, size);
    QCOMPARE(CellOf(x, size), cell);
  }

  void zeroCellIsDivisionByZero() {
    try {
      CellOf(10.f, 0);
      QFAIL("no error");
    } catch (const platform::PlatformError& e) {
      QCOMPARE(e.Kind(), platform::ErrorKind::DivisionByZero);
    }
  }

  void tablesCheckTheirIndex_data() {
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("window");
    QTest::newRow("side 2") << 2 << 1;
    QTest::newRow("side -1") << -1 << 1;
    QTest::newRow("window 256") << 0 << 256;
    QTest::newRow("window -1") << 0 << -1;
  }
  void tablesCheckTheirIndex() {
    QFETCH(int, side);
    QFETCH(int, window);
    try {
      EditorState.CurCol(side) = 1;
      EditorState.SrcCellW(window) = 1;
      QFAIL("no error");
    } catch (const platform::PlatformError& e) {
      QCOMPARE(e.Kind(), platform::ErrorKind::IndexOutOfRange);
    }
  }
};

QTEST_APPLESS_MAIN(EditorStateTest)
#include "editor_state_test.moc"
