// The file dialog: filter conversion, what the configured dialog shows, and the real dialog
// driven through its own line edit, questions and messages.
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "platform/FileDialog.h"
#include "support/TestSupport.h"

using platform::FileDialogMode;

namespace {
const QChar NUL(0);
const QString kPictures = QStringLiteral("読み込み可能なファイル(*.BMP;*.GIF;*.JPG)") + NUL +
                          "*.BMP;*.GIF;*.JPG" + NUL + "ﾋﾞｯﾄﾏｯﾌﾟ(*.BMP)" + NUL + "*.BMP";

// Runs action once a modal widget of type T is the active one.
template <typename T>
void WhenModal(std::function<void(T*)> action) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      action(w);
    }
  });
  timer->start();
}

void TypeAndConfirm(QFileDialog* dialog, const QString& name) {
  dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
  QTest::keyClick(dialog->findChild<QLineEdit*>("fileNameEdit"), Qt::Key_Return);
}

void Press(QMessageBox* box, const QString& caption) {
  for (QAbstractButton* b : box->buttons())
    if (b->text() == caption) return b->click();
  QFAIL(qPrintable("no button " + caption));
}

QStringList Shown(QFileDialog& dialog) {
  auto* view = dialog.findChild<QListView*>("listView");
  QStringList names;
  for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
    names << view->model()->index(r, 0, view->rootIndex()).data().toString();
  names.sort(Qt::CaseInsensitive);
  return names;
}
}  // namespace

class FileDialogTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString At(const QString& name) const { return dir_.filePath(name); }
  void Touch(const QString& name) {
    QFile f(At(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
  }
  QString Run(FileDialogMode mode) {
    return platform::RunFileDialog(nullptr, {mode, QStringLiteral("T"), kPictures, dir_.path()});
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    for (const char* name : {"tiles.bmp", "Tiles2.Gif", "photo.jpg", "sheet.png", "noext", "old.bmp"})
      Touch(name);
  }
  void cleanup() { platform::SetFileDialogHook({}); }

  void filterPairsBecomeQtFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("one pair") << QString(QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟ(*.BMP)") + NUL + "*.BMP")
                              << QStringList{"ﾋﾞｯﾄﾏｯﾌﾟ(*.BMP) (*.BMP)"};
    QTest::newRow("pattern list") << kPictures
                                  << QStringList{"読み込み可能なファイル(*.BMP;*.GIF;*.JPG) (*.BMP *.GIF *.JPG)",
                                                 "ﾋﾞｯﾄﾏｯﾌﾟ(*.BMP) (*.BMP)"};
    QTest::newRow("description without patterns") << QString(QStringLiteral("A") + NUL + "*.A" + NUL + "B")
                                                  << QStringList{"A (*.A)"};
    QTest::newRow("empty") << QString() << QStringList{};
  }
  void filterPairsBecomeQtFilters() {
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(platform::QtNameFilters(filter), expected);
  }

  void configuredDialog_data() {
    QTest::addColumn<FileDialogMode>("mode");
    QTest::addColumn<int>("acceptMode");
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<QString>("acceptLabel");
    QTest::newRow("open") << FileDialogMode::Open << int(QFileDialog::AcceptOpen)
                          << int(QFileDialog::ExistingFile) << "開く(&O)";
    QTest::newRow("save") << FileDialogMode::Save << int(QFileDialog::AcceptSave)
                          << int(QFileDialog::AnyFile) << "保存(&S)";
  }
  void configuredDialog() {
    QFETCH(FileDialogMode, mode);
    QFETCH(int, acceptMode);
    QFETCH(int, fileMode);
    QFETCH(QString, acceptLabel);
    bool seen = false;
    platform::SetFileDialogHook([&](QFileDialog& d) {
      seen = true;
      Inspect(d, acceptMode, fileMode, acceptLabel);
      return QString("answer");
    });
    QCOMPARE(Run(mode), QStringLiteral("answer"));
    QVERIFY(seen);
  }

  void patternsIgnoreLetterCase() {
    platform::SetFileDialogHook([&](QFileDialog& d) {
      ListsByCase(d);
      return QString();
    });
    Run(FileDialogMode::Open);
  }

 private:
  void Inspect(QFileDialog& d, int acceptMode, int fileMode, const QString& acceptLabel) {
      QCOMPARE(d.windowTitle(), QStringLiteral("T"));
      QVERIFY(d.testOption(QFileDialog::DontUseNativeDialog));
      QCOMPARE(int(d.acceptMode()), acceptMode);
      QCOMPARE(int(d.fileMode()), fileMode);
      QCOMPARE(d.defaultSuffix(), QString());
      QCOMPARE(d.directory().absolutePath(), QDir(dir_.path()).absolutePath());
      QCOMPARE(d.selectedNameFilter(), QStringLiteral("読み込み可能なファイル(*.BMP;*.GIF;*.JPG)"));
      QCOMPARE(d.labelText(QFileDialog::Accept), acceptLabel);
      // What the user reads in the type list: each description exactly.
      auto* types = d.findChild<QComboBox*>("fileTypeCombo");
      QCOMPARE(types->count(), 2);
      QCOMPARE(types->currentIndex(), 0);
      QCOMPARE(types->itemText(0), QStringLiteral("読み込み可能なファイル(*.BMP;*.GIF;*.JPG)"));
      QCOMPARE(types->itemText(1), QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟ(*.BMP)"));
  }
  // On this platform a sheet named tiles.bmp must still show under "*.BMP".
  void ListsByCase(QFileDialog& d) {
    QTRY_COMPARE(Shown(d), (QStringList{"old.bmp", "photo.jpg", "tiles.bmp", "Tiles2.Gif"}));
    d.selectNameFilter(d.nameFilters().at(1));
    QTRY_COMPARE(Shown(d), (QStringList{"old.bmp", "tiles.bmp"}));
  }

 private slots:

  void cancelGivesEmpty_data() {
    QTest::addColumn<FileDialogMode>("mode");
    QTest::newRow("open") << FileDialogMode::Open;
    QTest::newRow("save") << FileDialogMode::Save;
  }
  void cancelGivesEmpty() {
    QFETCH(FileDialogMode, mode);
    WhenModal<QFileDialog>([](QFileDialog* d) { d->reject(); });
    QCOMPARE(Run(mode), QString());
  }

  void openTakesExistingFilesOfAnyType_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("matching") << "tiles.bmp";
    QTest::newRow("png typed by name") << "sheet.png";
    QTest::newRow("no extension") << "noext";
  }
  void openTakesExistingFilesOfAnyType() {
    QFETCH(QString, typed);
    WhenModal<QFileDialog>([typed](QFileDialog* d) { TypeAndConfirm(d, typed); });
    QCOMPARE(Run(FileDialogMode::Open), At(typed));
  }

  void openRefusesMissingFile() {
    testsupport::MessageRecorder messages;
    WhenModal<QFileDialog>([](QFileDialog* d) {
      TypeAndConfirm(d, "absent.bmp");
      QVERIFY(d->isVisible());  // still open: the user may try again
      d->reject();
    });
    QCOMPARE(Run(FileDialogMode::Open), QString());
    QCOMPARE(messages.messages,
             QStringList{"absent.bmp\nファイルが見つかりません。\nファイル名を確認してください。"});
  }

  void saveAsks_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("returned");
    QTest::newRow("create, yes") << "canvas" << "はい(&Y)" << "canvas は存在しません。\nファイルを作成しますか?" << true;
    QTest::newRow("create, no") << "canvas" << "いいえ(&N)" << "canvas は存在しません。\nファイルを作成しますか?" << false;
    QTest::newRow("replace, yes") << "old.bmp" << "はい(&Y)" << "old.bmp は既に存在します。\n上書きしますか?" << true;
    QTest::newRow("replace, no") << "old.bmp" << "いいえ(&N)" << "old.bmp は既に存在します。\n上書きしますか?" << false;
  }
  void saveAsks() {
    QFETCH(QString, typed);
    QFETCH(QString, answer);
    QFETCH(QString, question);
    QFETCH(bool, returned);
    QString asked, title;
    WhenModal<QFileDialog>([&](QFileDialog* d) {
      WhenModal<QMessageBox>([&](QMessageBox* box) {
        asked = box->text();
        title = box->windowTitle();
        Press(box, answer);
      });
      TypeAndConfirm(d, typed);
      if (d->isVisible()) d->reject();
    });
    QCOMPARE(Run(FileDialogMode::Save), returned ? At(typed) : QString());
    QCOMPARE(asked, question);
    QCOMPARE(title, QStringLiteral("T"));
    QVERIFY(!QFile::exists(At("canvas")));  // the dialog only chooses; it writes nothing
  }

  // The hand-set labels keep their access keys: Alt with the letter reaches the control.
  void accessKeysReachTheirControls_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("control");
    QTest::newRow("look in") << int(Qt::Key_I) << "lookInCombo";
    QTest::newRow("file name") << int(Qt::Key_N) << "fileNameEdit";
    QTest::newRow("file type") << int(Qt::Key_T) << "fileTypeCombo";
  }
  void accessKeysReachTheirControls() {
    QFETCH(int, key);
    QFETCH(QString, control);
    QString reached;
    WhenModal<QFileDialog>([&](QFileDialog* d) {
      d->activateWindow();
      d->findChild<QWidget*>("sidebar")->setFocus();  // away from the file name, where it starts
      if (QTest::qWaitForWindowActive(d)) QTest::keyClick(d, Qt::Key(key), Qt::AltModifier);
      reached = d->focusWidget() ? d->focusWidget()->objectName() : QString();
      d->reject();
    });
    Run(FileDialogMode::Open);
    QCOMPARE(reached, control);
  }

  void saveRefusesMissingFolder() {
    testsupport::MessageRecorder messages;
    WhenModal<QFileDialog>([](QFileDialog* d) {
      TypeAndConfirm(d, "nowhere/canvas.bmp");
      d->reject();
    });
    QCOMPARE(Run(FileDialogMode::Save), QString());
    QCOMPARE(messages.messages, QStringList{At("nowhere/canvas.bmp") +
                                            "\nパスが見つかりません。\nパス名を確認してください。"});
  }
};

QTEST_MAIN(FileDialogTest)
#include "file_dialog_test.moc"
