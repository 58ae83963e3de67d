#pragma once
// Everything a file command may change in a child window and in the editor state, captured
// so a test can show that a refused file changed nothing.
#include <QImage>
#include <QList>
#include <QtTest>

#include "app/ChildWindow.h"
#include "app/Module1.h"

struct WindowState {
  QImage shown, clean, shownPicture, cleanPicture;
  QSize shownSize, cleanSize;
  int hMax = 0, vMax = 0, hValue = 0, vValue = 0;
  QString caption;
  QList<Long> editor;
};

inline QList<Long> EditorFields() {
  const auto& s = EditorState;
  QList<Long> f{s.ClipX,     s.ClipY,    s.ClipW,    s.ClipH,     s.ClipSrcIndex, s.DestCellW,
                s.DestCellH, s.SrcCount, s.OptSrcIndex};
  for (int side : {SIDE_SRC, SIDE_DEST})
    f << s.CurCol(side) << s.CurRow(side) << s.PrevCol(side) << s.PrevRow(side) << s.SelCols(side)
      << s.SelRows(side) << s.MouseMode(side);
  f << s.SrcCellW(1) << s.SrcCellH(1);
  return f;
}

inline WindowState Capture(const ChildWindow& w) {
  return {w.Picture2->Image(), w.WKP->Image(), w.Picture2->Picture(), w.WKP->Picture(),
          w.Picture2->size(),  w.WKP->size(),  w.HScroll1->Max(),      w.VScroll1->Max(),
          w.HScroll1->Value(), w.VScroll1->Value(), w.Caption(),       EditorFields()};
}

inline void CompareState(const WindowState& now, const WindowState& before) {
  QCOMPARE(now.shownSize, before.shownSize);
  QCOMPARE(now.cleanSize, before.cleanSize);
  QVERIFY(now.shown == before.shown);
  QVERIFY(now.clean == before.clean);
  QVERIFY(now.shownPicture == before.shownPicture);
  QVERIFY(now.cleanPicture == before.cleanPicture);
  QCOMPARE(now.hMax, before.hMax);
  QCOMPARE(now.vMax, before.vMax);
  QCOMPARE(now.hValue, before.hValue);
  QCOMPARE(now.vValue, before.vValue);
  QCOMPARE(now.caption, before.caption);
  QCOMPARE(now.editor, before.editor);
}
