// The desktop session: Qt's file dialog, shown and closed for real, leaves nothing in the
// user's home, and what it wrote goes with the session.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/DesktopSession.h"
#include "platform/FileDialog.h"

namespace {
QStringList Everything(const QString& folder) {
  QStringList found;
  QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) found << it.next();
  return found;
}

// Opens the real open dialog, moves it to another folder (its history and last folder
// change) and closes it.
void UseFileDialog(const QString& folder) {
  platform::SetFileDialogHook([folder](QFileDialog& dialog) {
    dialog.show();
    dialog.setDirectory(folder);
    QTest::qWait(20);
    dialog.reject();
    return QString();
  });
  platform::RunFileDialog(nullptr, {platform::FileDialogMode::Open, QStringLiteral("ﾌｧｲﾙを開く"),
                                    QStringLiteral("all") + QChar(0) + QStringLiteral("*"), QDir::rootPath()});
  platform::SetFileDialogHook({});
}
}  // namespace

class DesktopSessionTest : public QObject {
  Q_OBJECT

  QTemporaryDir home_;
  QTemporaryDir temp_;
  QTemporaryDir visited_;

 private slots:
  void initTestCase() {
    // Before the first QSettings: where the user's settings would go is read once.
    qputenv("HOME", home_.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home_.path() + "/.config").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (home_.path() + "/.cache").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home_.path() + "/.local/share").toLocal8Bit());
  }

  void dialogStateGoesWithTheSession() {
    qputenv("TMPDIR", temp_.path().toLocal8Bit());
    QString folder;
    {
      const platform::DesktopSession session(QStringLiteral("tilora"), QStringLiteral("a.b.C"));
      folder = session.SettingsFolder();
      QCOMPARE(QFileInfo(folder).dir().path(), temp_.path());
      UseFileDialog(visited_.path());
      // The dialog did write its state, into the session's folder only.
      QVERIFY(QFile::exists(folder + "/QtProject.conf"));
      QCOMPARE(Everything(home_.path()), QStringList());
    }
    QVERIFY(!QFileInfo::exists(folder));
    QCOMPARE(Everything(temp_.path()), QStringList());
    QCOMPARE(Everything(home_.path()), QStringList());
  }

  void withoutATemporaryFolderNothingIsWritten() {
    QFile blocker(temp_.path() + "/not-a-folder");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("TMPDIR", blocker.fileName().toLocal8Bit());
    {
      const platform::DesktopSession session(QStringLiteral("tilora"), QStringLiteral("a.b.C"));
      QCOMPARE(session.SettingsFolder(), QStringLiteral("/dev/null"));
      UseFileDialog(visited_.path());
    }
    QCOMPARE(Everything(temp_.path()), QStringList{blocker.fileName()});
    QCOMPARE(Everything(home_.path()), QStringList());
  }
};

QTEST_MAIN(DesktopSessionTest)
#include "desktop_session_test.moc"
