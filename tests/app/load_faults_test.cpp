// A load that is refused, whatever the reason and at whatever step, leaves the source window
// and the canvas exactly as they were: pictures, sizes, scroll bars, caption, editor state.
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <sys/wait.h>

#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "platform/files/DecodingChild.h"
#include "platform/files/Faults.h"
#include "platform/FileDialog.h"
#include "source/SRC_W.h"
#include "source/WindowState.h"
#include "support/GifWriter.h"
#include "support/PictureBytes.h"
#include "support/TestSupport.h"

using namespace picturebytes;

namespace {
// A child of this process has ended and not been reaped (and is reaped now).
bool ZombieLeft() { return waitpid(-1, nullptr, WNOHANG) > 0; }
}  // namespace

class LoadFaultsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<MDIForm1> editor_;
  QTemporaryDir dir_;
  QString start_;
  QString answer_;

  ChildWindow& Window(bool canvas) {
    return canvas ? static_cast<ChildWindow&>(DEST_W::Instance()) : *EditorState.SrcWindows(1);
  }
  void Load(bool canvas, const QString& path) {
    answer_ = path;
    canvas ? DEST_W::Instance().Command3->click() : EditorState.SrcWindows(1)->Command2->click();
  }
  QString Write(const QByteArray& bytes, const QString& name) {
    QDir(dir_.path()).mkpath(QFileInfo(name).path());
    QFile f(dir_.filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write %s", qPrintable(name));
    return f.fileName();
  }
  // Both windows hold a picture larger than their viewports, so every scroll bar has a range.
  void LoadEarlierPictures() {
    Load(false, Write(Encoded(testsupport::PatternImage(500, 420, 1), "png"), "sheet.png"));
    Load(true, Write(Encoded(testsupport::PatternImage(460, 380, 2), "png"), "canvas.png"));
    QVERIFY(Window(false).HScroll1->Max() > 0 && Window(true).VScroll1->Max() > 0);
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    start_ = QDir::currentPath();
  }
  void init() {
    QDir::setCurrent(dir_.path());
    editor_ = testsupport::StartEditor();
    platform::SetFileDialogHook([this](QFileDialog&) { return answer_; });
  }
  void cleanup() {
    platform::InjectAllocationFault(0);
    platform::SetFileDialogHook({});
    editor_.reset();
    QDir::setCurrent(start_);
  }

  // Damaged files, and decoding children that fail: a stand-in for the decoding program that asks
  // for a picture's memory and is then killed, and a program that is not there.
  void refusedLoadChangesNeitherWindow_data() {
    QTest::addColumn<bool>("canvas");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("program");  // the decoding program, where it is not this build's
    QTest::addColumn<QString>("reason");
    const QImage pattern = testsupport::PatternImage(90, 70, 3);
    QByteArray offsetPastTheEnd = Encoded(pattern, "bmp");
    Put32(offsetPastTheEnd, 10, 0x7FFFFFFF);
    const QByteArray gif = gifwriter::Encode(90, 70, {qRgb(9, 9, 9), qRgb(200, 0, 0)},
                                             [](int x, int y) { return (x * y) % 2; });
    const QList<std::pair<const char*, QByteArray>> files = {
        {"bmp cut short", Cut(Encoded(pattern, "bmp"), 6)},
        {"bmp data offset past the end", offsetPastTheEnd},
        {"gif cut short", Cut(gif, 6)},
        {"jpeg cut short", Cut(Encoded(pattern, "jpeg"), 6)},
        {"png cut short", Cut(Encoded(pattern, "png"), 6)}};
    const QString damaged = QStringLiteral("画像データが壊れています。");
    for (bool canvas : {false, true}) {
      const QString window = canvas ? "canvas" : "source";
      for (const auto& [name, bytes] : files)
        QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(window, name))) << canvas << bytes << QString() << damaged;
      QTest::newRow(qPrintable(window + ": decoder killed")) << canvas << Encoded(pattern, "bmp")
                                                            << QStringLiteral(TILORA_STAND_IN)
                                                            << QStringLiteral("画像を読み込む処理が異常終了しました。");
      QTest::newRow(qPrintable(window + ": no decoder"))
          << canvas << Encoded(pattern, "bmp") << dir_.filePath("nowhere/tilora-decode")
          << QStringLiteral("画像を読み込むプログラム (tilora-decode) を起動できません。インストールを確かめてください。");
    }
  }
  void refusedLoadChangesNeitherWindow() {
    QFETCH(bool, canvas);
    QFETCH(QByteArray, file);
    QFETCH(QString, program);
    QFETCH(QString, reason);
    LoadEarlierPictures();
    const QString path = Write(file, QStringLiteral("elsewhere/refused"));
    const WindowState source = Capture(Window(false)), dest = Capture(Window(true));
    if (!program.isEmpty()) platform::SetDecodingProgram(program);
    testsupport::MessageRecorder recorder;
    Load(canvas, path);
    platform::SetDecodingProgram(QStringLiteral(TILORA_DECODER));
    QCOMPARE(recorder.messages,
             QStringList{QStringLiteral("ファイルを読み込めませんでした。\n%1\n%2\n処理を中断しました。").arg(path, reason)});
    CompareState(Capture(Window(false)), source);
    CompareState(Capture(Window(true)), dest);
    QCOMPARE(QDir::currentPath(), QFileInfo(path).absolutePath());  // the dialog's folder is kept
    QVERIFY(!ZombieLeft());
  }

  void memoryShortageAtAnyStepChangesNeitherWindow_data() {
    QTest::addColumn<bool>("canvas");
    QTest::addColumn<QByteArray>("file");
    const QImage pattern = testsupport::PatternImage(640, 480, 5);
    for (bool canvas : {false, true}) {
      const char* window = canvas ? "canvas" : "source";
      QTest::newRow(qPrintable(QStringLiteral("%1: 24-bit bmp").arg(window))) << canvas << Encoded(pattern, "bmp");
      QTest::newRow(qPrintable(QStringLiteral("%1: png with alpha").arg(window)))
          << canvas << Encoded(pattern.convertToFormat(QImage::Format_ARGB32), "png");
    }
  }
  void memoryShortageAtAnyStepChangesNeitherWindow() {
    QFETCH(bool, canvas);
    QFETCH(QByteArray, file);
    LoadEarlierPictures();
    const QString path = Write(file, QStringLiteral("sheet"));
    // Fails the first picture allocation, then the second, ..., until the load needs no more.
    int failed = 0;
    for (;; ++failed) {
      const WindowState source = Capture(Window(false)), dest = Capture(Window(true));
      testsupport::MessageRecorder recorder;
      platform::InjectAllocationFault(failed + 1);
      Load(canvas, path);
      platform::InjectAllocationFault(0);
      if (recorder.messages.isEmpty()) break;
      QVERIFY2(recorder.messages.first().startsWith(QStringLiteral("メモリが不足しています。\n")),
               qPrintable(recorder.messages.first()));
      CompareState(Capture(Window(false)), source);
      CompareState(Capture(Window(true)), dest);
    }
    QVERIFY2(failed >= 1, "the decoded picture at least; the boxes share it");
    QCOMPARE(Window(canvas).WKP->Image(), testsupport::PatternImage(640, 480, 5));
    QCOMPARE(Window(canvas).Picture2->Image(), testsupport::PatternImage(640, 480, 5));
  }

  // Whether the decoder or the window runs short, the message says which file it was.
  void everyMemoryRefusalNamesTheFile_data() {
    QTest::addColumn<bool>("canvas");
    QTest::addColumn<QByteArray>("file");
    const QImage pattern = testsupport::PatternImage(300, 200, 4);
    const QByteArray gif = gifwriter::Encode(300, 200, {qRgb(9, 9, 9), qRgb(200, 0, 0)}, [](int x, int y) { return (x ^ y) & 1; });
    for (bool canvas : {false, true}) {
      QTest::newRow(canvas ? "canvas: jpeg" : "source: jpeg") << canvas << Encoded(pattern, "jpeg");
      QTest::newRow(canvas ? "canvas: gif" : "source: gif") << canvas << gif;
    }
  }
  void everyMemoryRefusalNamesTheFile() {
    QFETCH(bool, canvas);
    QFETCH(QByteArray, file);
    const QString path = Write(file, QStringLiteral("named"));
    int failed = 0;
    for (;; ++failed) {
      testsupport::MessageRecorder recorder;
      platform::InjectAllocationFault(failed + 1);
      Load(canvas, path);
      platform::InjectAllocationFault(0);
      if (recorder.messages.isEmpty()) break;
      QVERIFY2(recorder.messages.first().startsWith(QStringLiteral("メモリが不足しています。\n%1\n").arg(path)),
               qPrintable(recorder.messages.first()));
    }
    // The decoder writes into memory the loader allocates, and both boxes show that picture
    // itself: the window allocates nothing of its own.
    QCOMPARE(failed, 1);
  }
};

QTEST_MAIN(LoadFaultsTest)
#include "load_faults_test.moc"
