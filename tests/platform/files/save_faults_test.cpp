// A save never loses the old file silently: a write that fails leaves the old file as it was
// (through a temporary file) or puts it back (in place), and the message says which.
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include "app/MDIForm1.h"
#include "dest/DEST_W.h"
#include "platform/files/BmpFile.h"
#include "platform/Errors.h"
#include "platform/files/Faults.h"
#include "platform/FileDialog.h"
#include "platform/files/PictureFile.h"
#include "support/TestSupport.h"

using platform::ErrorKind;
using platform::PlatformError;

namespace {
// 300 x 300 as a 24-bit BMP takes 270,054 bytes.
const QImage& Picture() {
  static const QImage picture = testsupport::PatternImage(300, 300, 6);
  return picture;
}
constexpr qint64 kPictureBytes = 270054;

QByteArray OldContent() {
  QByteArray old(10240, '\0');
  for (int i = 0; i < old.size(); ++i) old[i] = char(i * 31 % 251);
  return old;
}

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString Saved(const QString& path, const QString& reason) {
  return QStringLiteral("ファイルを保存できませんでした。\n%1\n%2").arg(path, reason);
}

const QString kNoRoom = QStringLiteral("ディスクの空き容量が足りません。");
const QString kWriteError = QStringLiteral("書き込み中にエラーが発生しました。");
}  // namespace

class SaveFaultsTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString target_;

  QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
  QString Refusal() {
    try {
      platform::SavePicture(Picture(), target_);
    } catch (const PlatformError& e) {
      return e.Kind() == ErrorKind::UnwritableFile ? e.Text() : QStringLiteral("wrong kind: ") + e.Text();
    }
    return QString();
  }

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    for (const QString& f : Files()) QFile::remove(dir_.filePath(f));
    target_ = dir_.filePath(QStringLiteral("canvas.bmp"));
    QFile old(target_);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(OldContent());
  }
  void cleanup() {
    platform::ClearWriteFault();
    platform::InjectTemporaryFileFault(false);
    platform::InjectSyncFault(platform::SyncStep::Data, 0);
    platform::InjectSyncFault(platform::SyncStep::Folder, 0);
  }

  void failedWriteLeavesTheOldFile_data() {
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<qint64>("after");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason");
    for (bool inPlace : {false, true}) {
      const QString kept = inPlace ? QStringLiteral("元のファイルに戻しました。") : QStringLiteral("元のファイルはそのままです。");
      const char* path = inPlace ? "in place" : "temporary file";
      for (qint64 after : {qint64(0), qint64(54), qint64(65536), kPictureBytes - 1}) {
        QTest::newRow(qPrintable(QStringLiteral("%1, disk full after %2 bytes").arg(path).arg(after)))
            << inPlace << after << ENOSPC << kNoRoom + kept;
        QTest::newRow(qPrintable(QStringLiteral("%1, i/o error after %2 bytes").arg(path).arg(after)))
            << inPlace << after << EIO << kWriteError + kept;
      }
    }
  }
  void failedWriteLeavesTheOldFile() {
    QFETCH(bool, inPlace);
    QFETCH(qint64, after);
    QFETCH(int, error);
    QFETCH(QString, reason);
    platform::InjectTemporaryFileFault(inPlace);
    platform::InjectWriteFault(after, error);
    QCOMPARE(Refusal(), Saved(target_, reason));
    QCOMPARE(Read(target_), OldContent());
    QCOMPARE(Files(), QStringList{"canvas.bmp"});
  }

  // Only a data sync that succeeded lets the new file take the name; a folder that cannot be
  // synced at all is no fault, a folder sync that fails leaves a new file that may not last.
  void syncFailures_data() {
    QTest::addColumn<platform::SyncStep>("step");
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<QString>("message");  // empty: none
    QTest::addColumn<bool>("saved");
    using platform::SyncStep;
    const QString path = dir_.filePath(QStringLiteral("canvas.bmp"));
    const QString kept = QStringLiteral("元のファイルはそのままです。");
    QTest::newRow("data, i/o error") << SyncStep::Data << EIO << false << Saved(path, kWriteError + kept) << false;
    QTest::newRow("data, disk full") << SyncStep::Data << ENOSPC << false << Saved(path, kNoRoom + kept) << false;
    QTest::newRow("data, over quota") << SyncStep::Data << EDQUOT << false << Saved(path, kNoRoom + kept) << false;
    QTest::newRow("data, in place") << SyncStep::Data << EIO << true
                                    << Saved(path, kWriteError + QStringLiteral("元のファイルに戻しました。")) << false;
    QTest::newRow("folder, i/o error")
        << SyncStep::Folder << EIO << false
        << QStringLiteral("ファイルを保存しましたが、ディスクへの記録を確かめられませんでした。\n%1\n"
                          "新しいファイルはできていますが、停電などで失われるおそれがあります。")
               .arg(path)
        << true;
    QTest::newRow("folder, cannot sync (EINVAL)") << SyncStep::Folder << EINVAL << false << QString() << true;
    QTest::newRow("folder, cannot sync (ENOTSUP)") << SyncStep::Folder << ENOTSUP << false << QString() << true;
  }
  void syncFailures() {
    QFETCH(platform::SyncStep, step);
    QFETCH(int, error);
    QFETCH(bool, inPlace);
    QFETCH(QString, message);
    QFETCH(bool, saved);
    platform::InjectTemporaryFileFault(inPlace);
    platform::InjectSyncFault(step, error);
    QString text;
    try {
      platform::SavePicture(Picture(), target_);
    } catch (const PlatformError& e) {
      text = e.Text();
    }
    QCOMPARE(text, message);
    QCOMPARE(Files(), QStringList{"canvas.bmp"});
    if (saved) QCOMPARE(bmpfile::ParseFile(target_).pixels, Picture());
    if (!saved) QCOMPARE(Read(target_), OldContent());
  }

  // Ignored only while the save writes: a program started later inherits the disposition.
  void fileSizeSignalIsPutBack() {
    struct sigaction mine {}, now {};
    mine.sa_handler = [](int) {};
    QCOMPARE(::sigaction(SIGXFSZ, &mine, nullptr), 0);
    QCOMPARE(Refusal(), QString());
    QCOMPARE(::sigaction(SIGXFSZ, nullptr, &now), 0);
    QVERIFY(now.sa_handler == mine.sa_handler);
    ::signal(SIGXFSZ, SIG_DFL);
  }

  void inPlaceFailureThatCannotBeUndoneSaysSo() {
    platform::InjectTemporaryFileFault(true);
    platform::InjectWriteFault(1000, EIO, true);
    QCOMPARE(Refusal(), Saved(target_, kWriteError + QStringLiteral("元のファイルを元に戻せませんでした。")));
  }

  void inPlaceSaveWritesTheWholeFile_data() {
    QTest::addColumn<int>("oldBytes");
    QTest::newRow("over a shorter file") << 10240;
    QTest::newRow("over a longer file") << 400000;
  }
  void inPlaceSaveWritesTheWholeFile() {
    QFETCH(int, oldBytes);
    QFile old(target_);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(oldBytes, 'x'));
    old.close();
    platform::InjectTemporaryFileFault(true);
    QCOMPARE(Refusal(), QString());
    QCOMPARE(QFileInfo(target_).size(), kPictureBytes);
    const bmpfile::Parsed parsed = bmpfile::ParseFile(target_);
    QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
    QCOMPARE(parsed.pixels, Picture());
  }

  void saveButtonShowsTheRefusal() {
    const QString start = QDir::currentPath();
    auto editor = testsupport::StartEditor();
    platform::SetFileDialogHook([this](QFileDialog&) { return target_; });
    platform::InjectTemporaryFileFault(true);
    platform::InjectWriteFault(4096, ENOSPC);
    testsupport::MessageRecorder recorder;
    DEST_W::Instance().Command2->click();
    platform::SetFileDialogHook({});
    editor.reset();
    QDir::setCurrent(start);
    QCOMPARE(recorder.messages,
             QStringList{Saved(target_, kNoRoom + QStringLiteral("元のファイルに戻しました。\n処理を中断しました。"))});
    QCOMPARE(Read(target_), OldContent());
  }

  // A small file system really full, a folder the user may not write to, the program run as
  // that user: nothing here is simulated.
  void fullDiskInPlaceOnARealFileSystem() {
    if (geteuid() != 0) QSKIP("mounting a small file system and changing user needs root");
    const passwd* nobody = getpwnam("nobody");
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (!nobody || setpriv.isEmpty()) QSKIP("no user 'nobody' or no setpriv to become that user");
    QTemporaryDir mountPoint;
    QVERIFY(QFile::setPermissions(mountPoint.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                         QFile::ReadOther | QFile::ExeOther));
    QProcess mount;
    mount.start(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k,mode=0755", "tmpfs", mountPoint.path()});
    if (!mount.waitForFinished() || mount.exitCode() != 0)
      QSKIP(qPrintable(QStringLiteral("cannot mount a small tmpfs here: ") + mount.readAllStandardError()));
    struct Unmount {
      QString path;
      ~Unmount() { QProcess::execute(QStringLiteral("umount"), {path}); }
    } unmount{mountPoint.path()};

    const QString target = mountPoint.filePath(QStringLiteral("canvas.bmp"));
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    QCOMPARE(old.write(OldContent()), 10240);
    old.close();
    QCOMPARE(::chown(QFile::encodeName(target).constData(), nobody->pw_uid, nobody->pw_gid), 0);

    // Copied where that user can reach it: the build folder may lie under a home of mode 0700.
    QTemporaryDir helper;
    const QString program = helper.filePath(QStringLiteral("save_once"));
    QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/save_once"), program));
    QVERIFY(QFile::setPermissions(helper.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                     QFile::ReadOther | QFile::ExeOther));
    QProcess save;
    save.start(setpriv, {"--reuid=" + QString::number(nobody->pw_uid), "--regid=" + QString::number(nobody->pw_gid),
                         "--clear-groups", program, target});
    QVERIFY(save.waitForFinished(60000));
    if (save.exitCode() == 126 || save.exitCode() == 127 || save.error() == QProcess::FailedToStart)
      QSKIP("the user 'nobody' cannot run a program from the temporary folder");
    QCOMPARE(save.exitCode(), 3);
    QCOMPARE(QString::fromUtf8(save.readAllStandardOutput()), Saved(target, kNoRoom + QStringLiteral("元のファイルはそのままです。")));
    QCOMPARE(Read(target), OldContent());
    QCOMPARE(QDir(mountPoint.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"canvas.bmp"});
  }
};

QTEST_MAIN(SaveFaultsTest)
#include "save_faults_test.moc"
