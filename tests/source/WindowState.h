#pragma once
// Everything a file command or a mouse action may change in a child window and in the editor
// state, captured so a test can show that a refused file or a failed action changed nothing.
#include <QImage>
#include <QList>
#include <QtTest>
#include <array>

#include "app/ChildWindow.h"
#include "app/Module1.h"

struct WindowState {
  QImage shown, clean, shownPicture, cleanPicture;
  QSize shownSize, cleanSize;
  int hMax = 0, vMax = 0, hValue = 0, vValue = 0;
  QString caption;
  QList<Long> editor;
};

// Read without allocating, so that a test's own allocator may ask for it.
inline std::array<Long, 25> EditorFieldValues() {
  const auto& s = EditorState;
  std::array<Long, 25> f{s.ClipX,     s.ClipY,    s.ClipW,    s.ClipH,     s.ClipSrcIndex, s.DestCellW,
                         s.DestCellH, s.SrcCount, s.OptSrcIndex};
  size_t i = 9;
  for (int side : {SIDE_SRC, SIDE_DEST})
    for (Long v : {s.CurCol(side), s.CurRow(side), s.PrevCol(side), s.PrevRow(side), s.SelCols(side),
                   s.SelRows(side), s.MouseMode(side)})
      f[i++] = v;
  f[i++] = s.SrcCellW(1);
  f[i] = s.SrcCellH(1);
  return f;
}

inline QList<Long> EditorFields() {
  const std::array<Long, 25> f = EditorFieldValues();
  return QList<Long>(f.begin(), f.end());
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
