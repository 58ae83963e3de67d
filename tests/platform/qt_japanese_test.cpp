// Qt's own texts come from its Japanese catalogue (every test runs with it, as the program
// does), while the program's own texts stay exactly as they are.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>
#include <memory>

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"

namespace {
// The text the user reads on a part of the dialog: a label, a button of the button box,
// a tool button's tip, an action of the list's context menu, a column header, the side bar.
QString Shown(QFileDialog& d, const QString& part) {
  const auto* buttons = d.findChild<QDialogButtonBox*>();
  if (part == "open") return buttons->button(QDialogButtonBox::Open)->text();
  if (part == "cancel") return buttons->button(QDialogButtonBox::Cancel)->text();
  if (part == "name column")
    return d.findChild<QTreeView*>("treeView")->model()->headerData(0, Qt::Horizontal).toString();
  if (part == "sidebar")
    return d.findChild<QAbstractItemView*>("sidebar")->model()->index(0, 0).data().toString();
  if (auto* tool = d.findChild<QToolButton*>(part)) return tool->toolTip();
  if (auto* label = d.findChild<QLabel*>(part)) return label->text();
  if (auto* action = d.findChild<QAction*>(part)) return action->text();
  return "no " + part;
}
}  // namespace

class QtJapaneseTest : public QObject {
  Q_OBJECT

 private slots:
  void openDialogIsJapanese_data() {
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("text");
    QTest::newRow("look in, ours") << "lookInLabel" << "ファイルの場所(&I):";
    QTest::newRow("file type, ours") << "fileTypeLabel" << "ファイルの種類(&T):";
    QTest::newRow("file name") << "fileNameLabel" << "ファイル名(&N):";
    QTest::newRow("open") << "open" << "開く(&O)";
    QTest::newRow("cancel") << "cancel" << "キャンセル";
    QTest::newRow("name column") << "name column" << "名前";
    QTest::newRow("side bar") << "sidebar" << "コンピュータ";
    QTest::newRow("back") << "backButton" << "戻る";
    QTest::newRow("rename") << "qt_rename_action" << "名前の変更(&R)";
  }
  void openDialogIsJapanese() {
    QFETCH(QString, part);
    QFETCH(QString, text);
    QString shown;
    platform::SetFileDialogHook([&](QFileDialog& d) {
      shown = Shown(d, part);
      return QString();
    });
    platform::RunFileDialog(nullptr, {platform::FileDialogMode::Open, "T", QString("A") + QChar(0) + "*.A", "/"});
    platform::SetFileDialogHook({});
    QCOMPARE(shown, text);
  }

  // Undo, Redo, Cut, Copy, Paste, Delete, Select All: none left in English.
  void textBoxMenuIsJapanese() {
    QLineEdit box;
    const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    QStringList entries;
    for (const QAction* a : menu->actions())
      if (!a->isSeparator()) entries << a->text().section('\t', 0, 0);
    QVERIFY2(entries.contains("貼り付け(&P)"), qPrintable(entries.join(" | ")));
    for (const QString& e : entries) QVERIFY2(e.front().unicode() >= 0x3000, qPrintable(e));
  }

  // A message box keeps the program's caption and text, and its one button reads "OK".
  void messageBoxIsUnchanged() {
    QString caption, text;
    QStringList buttons;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      poll.stop();
      caption = box->windowTitle();
      text = box->text();
      for (QAbstractButton* b : box->buttons()) buttons << b->text();
      box->accept();
    });
    poll.start(5);
    platform::MsgBox(QStringLiteral("これ以上の追加は出来ません"));
    QCOMPARE(caption, QStringLiteral("Tilora"));
    QCOMPARE(text, QStringLiteral("これ以上の追加は出来ません"));
    QCOMPARE(buttons, QStringList{"OK"});
  }
};

QTEST_MAIN(QtJapaneseTest)
#include "qt_japanese_test.moc"
