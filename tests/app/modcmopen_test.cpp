// The two choosers: titles, the filter strings, the result rules and the current directory.
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QtTest>

#include "app/modCmOpen.h"
#include "platform/FileDialog.h"

namespace {
const QChar NUL(0);
using Chooser = QString (*)(QWidget*, const QString&, const QString&);
}  // namespace

Q_DECLARE_METATYPE(Chooser)

class ModCmOpenTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString start_;
  QString answer_;  // what the "user" picks; empty = cancel
  QString title_, shownDir_;
  QStringList filters_;

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QVERIFY(QDir(dir_.path()).mkpath("sheets"));
    start_ = QDir::currentPath();
  }
  void init() {
    QDir::setCurrent(dir_.path());
    platform::SetFileDialogHook([this](QFileDialog& d) {
      title_ = d.windowTitle();
      shownDir_ = d.directory().absolutePath();
      filters_ = d.nameFilters();
      return answer_;
    });
  }
  void cleanup() {
    platform::SetFileDialogHook({});
    QDir::setCurrent(start_);
  }

  void filterStrings() {
    QCOMPARE(PictureOpenFilter(),
             QStringLiteral("読み込み可能なファイル(*.BMP;*.GIF;*.JPG)") + NUL + "*.BMP;*.GIF;*.JPG" +
                 NUL + QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟ(*.BMP)") + NUL + "*.BMP" + NUL +
                 QStringLiteral("GIFﾌｧｲﾙ(*.GIF)") + NUL + "*.GIF" + NUL +
                 QStringLiteral("JPEGﾌｧｲﾙ(*.JPG)") + NUL + "*.JPG");
    QCOMPARE(BitmapSaveFilter(), QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟ(*.BMP)") + NUL + "*.BMP");
  }

  void chooser_data() {
    QTest::addColumn<Chooser>("choose");
    QTest::addColumn<QString>("title");
    QTest::newRow("open") << Chooser(&ShowOpenDialog) << QStringLiteral("ﾌｧｲﾙを開く");
    QTest::newRow("save") << Chooser(&ShowSaveDialog) << QStringLiteral("ﾌｧｲﾙを保存");
  }

  void chooser() {
    QFETCH(Chooser, choose);
    QFETCH(QString, title);
    answer_ = dir_.filePath("sheets/town");
    QCOMPARE(choose(nullptr, BitmapSaveFilter(), dir_.path()), dir_.filePath("sheets/town"));
    QCOMPARE(title_, title);
    QCOMPARE(filters_, QStringList{"ﾋﾞｯﾄﾏｯﾌﾟ(*.BMP) (*.BMP)"});
    QCOMPARE(shownDir_, QDir(dir_.path()).absolutePath());
    // The chosen file's folder is now current, so the next dialog opens there.
    QCOMPARE(QDir::currentPath(), QDir(dir_.filePath("sheets")).absolutePath());
    answer_.clear();
    QCOMPARE(choose(nullptr, PictureOpenFilter(), QDir::currentPath()), QString());
    QCOMPARE(shownDir_, QDir(dir_.filePath("sheets")).absolutePath());
    QCOMPARE(filters_.size(), 4);
  }

  void chooserCancelKeepsTheCurrentDirectory_data() { chooser_data(); }
  void chooserCancelKeepsTheCurrentDirectory() {
    QFETCH(Chooser, choose);
    answer_.clear();
    QCOMPARE(choose(nullptr, PictureOpenFilter(), dir_.filePath("sheets")), QString());
    QCOMPARE(shownDir_, QDir(dir_.filePath("sheets")).absolutePath());
    QCOMPARE(QDir::currentPath(), QDir(dir_.path()).absolutePath());
  }
};

QTEST_MAIN(ModCmOpenTest)
#include "modcmopen_test.moc"
