// What Qt's file dialog remembers: kept from one dialog to the next within the run, never
// written to the user's home, and gone from the temporary folder once a dialog has closed.
#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "platform/FileDialog.h"

namespace {
QStringList Everything(const QString& folder) {
  QStringList found;
  QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) found << it.next();
  return found;
}

// Shows the real open dialog, lets `use` work on it while it is open, and cancels it.
void WithDialog(const std::function<void(QFileDialog&)>& use) {
  platform::SetFileDialogHook([&use](QFileDialog& dialog) {
    dialog.show();
    use(dialog);
    dialog.reject();
    return QString();
  });
  platform::RunFileDialog(nullptr, {platform::FileDialogMode::Open, QStringLiteral("ﾌｧｲﾙを開く"),
                                    QStringLiteral("all") + QChar(0) + QStringLiteral("*"),
                                    QDir::rootPath()});
  platform::SetFileDialogHook({});
}
}  // namespace

class DialogSettingsTest : public QObject {
  Q_OBJECT

  QTemporaryDir home_, temp_, visited_;

 private slots:
  void initTestCase() {
    // Before the first QSettings: where the user's settings go is read once.
    qputenv("HOME", home_.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home_.path() + "/.config").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (home_.path() + "/.cache").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home_.path() + "/.local/share").toLocal8Bit());
    qputenv("TMPDIR", temp_.path().toLocal8Bit());
  }

  void historyLastsTheRunOnly() {
    QString whileOpen;
    WithDialog([&](QFileDialog& dialog) {
      whileOpen = QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName();
      dialog.setHistory({visited_.path()});
    });
    const QString folder = QFileInfo(whileOpen).absolutePath();
    QCOMPARE(QFileInfo(folder).absolutePath(), temp_.path());
    QVERIFY(!QFileInfo::exists(folder));
    QCOMPARE(Everything(temp_.path()), QStringList());
    QCOMPARE(Everything(home_.path()), QStringList());

    QStringList history;
    WithDialog([&](QFileDialog& dialog) { history = dialog.history(); });
    QVERIFY2(history.contains(visited_.path()), qPrintable(history.join(' ')));
    QCOMPARE(Everything(temp_.path()), QStringList());
    QCOMPARE(Everything(home_.path()), QStringList());
  }

  void withoutATemporaryFolderNothingIsWritten() {
    QFile blocker(temp_.path() + "/not-a-folder");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("TMPDIR", blocker.fileName().toLocal8Bit());
    WithDialog([](QFileDialog& dialog) { dialog.setHistory({QDir::rootPath()}); });
    qputenv("TMPDIR", temp_.path().toLocal8Bit());
    QCOMPARE(Everything(temp_.path()), QStringList{blocker.fileName()});
    QCOMPARE(Everything(home_.path()), QStringList());
  }
};

QTEST_MAIN(DialogSettingsTest)
#include "dialog_settings_test.moc"
