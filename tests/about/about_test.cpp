// The about box: its texts, its keys, the registry lookups and the start of the tool.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "about/Registry.h"
#include "about/frmAbout.h"
#include "app/MDIForm1.h"
#include "platform/PictureBox.h"
#include "support/TestSupport.h"

using about::HKEY_LOCAL_MACHINE;
using about::MemoryRegistry;

namespace {
const QString kUnavailable = QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません");
const QString kKey = QStringLiteral("SOFTWARE\\Test");

QByteArray Dword(quint32 v) {
  return QByteArray(reinterpret_cast<const char*>(&v), 4);  // little endian here
}
}  // namespace

class AboutTest : public QObject {
  Q_OBJECT

  MemoryRegistry registry_;
  QStringList started_;
  bool startSucceeds_ = true;

  frmAbout::ProgramStarter Starter() {
    return [this](const QString& path) {
      started_ << path;
      return startSucceeds_;
    };
  }

 private slots:
  void init() {
    registry_ = MemoryRegistry();
    started_.clear();
    startSucceeds_ = true;
  }

  void loadFillsCaptionTitleAndVersionOnly() {
    frmAbout box(registry_, Starter());
    QCOMPARE(box.windowTitle(), QStringLiteral("Tiloraのﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(box.lblTitle->text(), QStringLiteral("Tilora"));
    QCOMPARE(box.lblVersion->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.0.4"));
    QCOMPARE(box.lblDescription->text(), QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝの説明"));
    QCOMPARE(box.lblDisclaimer->text(), QStringLiteral("警告: ..."));
    QCOMPARE(box.cmdSysInfo->text(), QStringLiteral("ｼｽﾃﾑ情報(&S)..."));
    QCOMPARE(box.size(), QSize(382, 237));
    QCOMPARE(box.minimumSize(), box.maximumSize());
    QCOMPARE(box.picIcon->geometry(), QRect(16, 16, 36, 36));
  }

  void getKeyValue_data() {
    QTest::addColumn<quint32>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("text");
    const QByteArray fits = QByteArray(1023, 'a') + '\0';   // 1024 bytes with its zero
    const QByteArray tooLong = QByteArray(1024, 'a') + '\0';
    QTest::newRow("string") << 1u << QByteArray("/usr/bin/tool\0", 14) << true << "/usr/bin/tool";
    QTest::newRow("1023 characters") << 1u << fits << true << QString(1023, 'a');
    QTest::newRow("1024 characters") << 1u << tooLong << false << "";
    QTest::newRow("text ends at its zero") << 1u << QByteArray("ab\0cd\0", 6) << true << "ab";
    QTest::newRow("dword 1") << 4u << Dword(1) << true << "1";
    QTest::newRow("dword 256") << 4u << Dword(256) << true << "256";
    QTest::newRow("dword all ones") << 4u << Dword(0xFFFFFFFFu) << true << "4294967295";
    QTest::newRow("other type keeps the text") << 3u << QByteArray("\x01\x02", 2) << true << "caller";
  }
  void getKeyValue() {
    QFETCH(quint32, type);
    QFETCH(QByteArray, data);
    QFETCH(bool, result);
    QFETCH(QString, text);
    registry_.SetValue(HKEY_LOCAL_MACHINE, kKey, "V", type, data);
    QString value = QStringLiteral("caller");
    QCOMPARE(frmAbout::GetKeyValue(registry_, HKEY_LOCAL_MACHINE, kKey, "v", value), result);
    QCOMPARE(value, text);
    QCOMPARE(registry_.OpenKeys(), 0);
  }

  void getKeyValueMissing_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("name");
    QTest::newRow("no key") << "SOFTWARE\\Other" << "V";
    QTest::newRow("no value") << kKey << "W";
  }
  void getKeyValueMissing() {
    QFETCH(QString, key);
    QFETCH(QString, name);
    registry_.SetString(HKEY_LOCAL_MACHINE, kKey, "V", "x");
    QString value = QStringLiteral("caller");
    QVERIFY(!frmAbout::GetKeyValue(registry_, HKEY_LOCAL_MACHINE, key, name, value));
    QCOMPARE(value, QString());
    QCOMPARE(registry_.OpenKeys(), 0);
  }

  void startSysInfo_data() {
    QTest::addColumn<QString>("toolPath");    // the first value; empty: absent
    QTest::addColumn<bool>("longToolPath");   // the first value too long for the buffer
    QTest::addColumn<bool>("folder");         // the second value present
    QTest::addColumn<bool>("toolInFolder");   // the tool file exists in that folder
    QTest::addColumn<bool>("startSucceeds");
    QTest::addColumn<bool>("expectStart");    // something was started
    QTest::addColumn<bool>("expectMessage");
    QTest::newRow("path started") << "/opt/tool" << false << false << false << true << true << false;
    QTest::newRow("path not startable") << "/opt/missing" << false << false << false << false << true << true;
    QTest::newRow("folder with the tool") << "" << false << true << true << true << true << false;
    QTest::newRow("folder without the tool") << "" << false << true << false << true << false << true;
    QTest::newRow("too long path, then folder") << "" << true << true << true << true << true << false;
    QTest::newRow("neither value") << "" << false << false << false << true << false << true;
  }
  void startSysInfo() {
    QFETCH(QString, toolPath);
    QFETCH(bool, longToolPath);
    QFETCH(bool, folder);
    QFETCH(bool, toolInFolder);
    QFETCH(bool, startSucceeds);
    QFETCH(bool, expectStart);
    QFETCH(bool, expectMessage);
    QTemporaryDir dir;
    const QString folderPath = dir.path() + "/msinfo";
    const QString toolFile = folderPath + "\\MSINFO32.EXE";
    if (toolInFolder) {
      QFile f(toolFile);
      QVERIFY(f.open(QIODevice::WriteOnly));
    }
    if (!toolPath.isEmpty()) registry_.SetString(HKEY_LOCAL_MACHINE, frmAbout::kToolKey, "PATH", toolPath);
    if (longToolPath) registry_.SetString(HKEY_LOCAL_MACHINE, frmAbout::kToolKey, "PATH", QString(1024, 'x'));
    if (folder) registry_.SetString(HKEY_LOCAL_MACHINE, frmAbout::kFolderKey, "MSINFO", folderPath);
    startSucceeds_ = startSucceeds;

    testsupport::MessageRecorder rec;
    frmAbout box(registry_, Starter());
    box.cmdSysInfo->click();
    const QString expectedPath = toolPath.isEmpty() ? toolFile : toolPath;
    QCOMPARE(started_, expectStart ? QStringList{expectedPath} : QStringList{});
    QCOMPARE(rec.messages, expectMessage ? QStringList{kUnavailable} : QStringList{});
    QCOMPARE(registry_.OpenKeys(), 0);
  }

  void keys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("sysInfo");
    QTest::newRow("Enter") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << true << false;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << Qt::KeyboardModifiers() << true << false;
    QTest::newRow("Alt+S") << int(Qt::Key_S) << Qt::KeyboardModifiers(Qt::AltModifier) << false << true;
  }
  void keys() {
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, closes);
    QFETCH(bool, sysInfo);
    registry_.SetString(HKEY_LOCAL_MACHINE, frmAbout::kToolKey, "PATH", "/opt/tool");
    frmAbout box(registry_, Starter());
    box.show();
    box.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QCOMPARE(QApplication::focusWidget(), box.cmdOK);
    // Through the window, as a real key arrives, so shortcuts apply.
    QTest::keyClick(box.windowHandle(), Qt::Key(key), modifiers);
    QCOMPARE(box.isVisible(), !closes);
    // An access key presses its button after a short animation.
    QTest::qWait(300);
    QCOMPARE(started_, sysInfo ? QStringList{"/opt/tool"} : QStringList{});
  }

  void f1OpensTheBoxFromTheFrame() {
    auto frame = testsupport::StartEditor();
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    QString caption;
    QTimer::singleShot(0, [&] {
      if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        caption = box->windowTitle();
        box->reject();
      }
    });
    QTest::keyClick(frame.get(), Qt::Key_F1);
    QCOMPARE(caption, QStringLiteral("Tiloraのﾊﾞｰｼﾞｮﾝ情報"));
    QVERIFY(!QApplication::activeModalWidget());
  }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
