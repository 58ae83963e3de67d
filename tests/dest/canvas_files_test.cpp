// "Load Picture" and "Save Picture" on the canvas, with saved files read back by the test's
// own BMP reader.
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "platform/files/BmpFile.h"
#include "platform/FileDialog.h"
#include "source/SRC_W.h"
#include "source/WindowState.h"
#include "support/TestSupport.h"

class CanvasFilesTest : public QObject {
  Q_OBJECT

  std::unique_ptr<MDIForm1> editor_;
  QTemporaryDir dir_;
  QString start_;
  QString answer_;  // the dialog's answer; empty = cancel
  QString title_, shownDir_;
  QStringList filters_;

  DEST_W& Canvas() { return DEST_W::Instance(); }
  QString Put(const QImage& image, const QString& name) {
    image.save(dir_.filePath(name), "PNG");
    return dir_.filePath(name);
  }
  void LoadCanvas(const QString& path) {
    answer_ = path;
    Canvas().Command3->click();
  }
  void SaveCanvas(const QString& path) {
    answer_ = path;
    Canvas().Command2->click();
  }
  QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files, QDir::Name); }
  // A source sheet, a clip of its cell (1, 0) of 32 x 32, and two stamps on the canvas.
  QImage StampTwice() {
    const QImage sheet = testsupport::PatternImage(96, 64, 4);
    EditorState.SrcWindows(1)->Picture2->SetPicture(sheet);
    EditorState.SrcWindows(1)->WKP->SetPicture(sheet);
    auto& s = EditorState;
    s.ClipSrcIndex = 1;
    s.ClipX = 32, s.ClipY = 0, s.ClipW = 32, s.ClipH = 32;
    Canvas().Picture2_MouseDown(1, 0, 10, 10);
    Canvas().Picture2_MouseUp(1, 0, 10, 10);
    Canvas().Picture2_MouseDown(1, 0, 70, 40);
    Canvas().Picture2_MouseUp(1, 0, 70, 40);
    return sheet.copy(32, 0, 32, 32);
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    start_ = QDir::currentPath();
  }
  void init() {
    for (const QString& f : Files()) QFile::remove(dir_.filePath(f));
    QDir::setCurrent(dir_.path());
    editor_ = testsupport::StartEditor();
    platform::SetFileDialogHook([this](QFileDialog& d) {
      title_ = d.windowTitle();
      shownDir_ = d.directory().absolutePath();
      filters_ = d.nameFilters();
      return answer_;
    });
  }
  void cleanup() {
    platform::SetFileDialogHook({});
    editor_.reset();
    QDir::setCurrent(start_);
  }

  void cancelChangesNothing_data() {
    QTest::addColumn<bool>("save");
    QTest::newRow("load") << false;
    QTest::newRow("save") << true;
  }
  void cancelChangesNothing() {
    QFETCH(bool, save);
    StampTwice();
    const WindowState before = Capture(Canvas());
    save ? SaveCanvas(QString()) : LoadCanvas(QString());
    QCOMPARE(title_, save ? QStringLiteral("ﾌｧｲﾙを保存") : QStringLiteral("ﾌｧｲﾙを開く"));
    QCOMPARE(filters_.size(), save ? 1 : 4);
    QCOMPARE(shownDir_, QDir(dir_.path()).absolutePath());
    CompareState(Capture(Canvas()), before);
    QCOMPARE(Files(), QStringList{});
  }

  void canvasTakesThePicturesSize_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("hMax");
    QTest::addColumn<int>("vMax");
    QTest::newRow("smaller: shrinks") << QSize(120, 90) << 0 << 0;
    QTest::newRow("larger: grows") << QSize(1000, 700) << 661 << 442;
  }
  void canvasTakesThePicturesSize() {
    QFETCH(QSize, size);
    QFETCH(int, hMax);
    QFETCH(int, vMax);
    const QImage picture = testsupport::PatternImage(size.width(), size.height(), 9);
    LoadCanvas(Put(picture, "canvas.png"));
    QCOMPARE(Canvas().Picture2->size(), size);
    QCOMPARE(Canvas().WKP->size(), size);
    QCOMPARE(Canvas().Picture2->Image(), picture);
    QCOMPARE(Canvas().WKP->Image(), picture);
    QCOMPARE(int(Canvas().HScroll1->Max()), hMax);
    QCOMPARE(int(Canvas().VScroll1->Max()), vMax);
  }

  void newAfterALoadReturnsToThePicture() {
    const QImage picture = testsupport::PatternImage(200, 150, 2);
    LoadCanvas(Put(picture, "canvas.png"));
    StampTwice();
    QVERIFY(Canvas().WKP->Image() != picture);
    Canvas().Command1_Click();
    QCOMPARE(Canvas().Picture2->Image(), picture);
    QCOMPARE(Canvas().WKP->Image(), picture);
  }

  void saveWritesTheCleanCanvasWithoutTheOutline() {
    const QImage stamp = StampTwice();
    Canvas().Picture2_MouseMove(0, 0, 100, 100);  // the red preview is on Picture2 now
    QVERIFY(Canvas().Picture2->Image() != Canvas().WKP->Image());
    SaveCanvas(dir_.filePath("out.bmp"));
    const bmpfile::Parsed saved = bmpfile::ParseFile(dir_.filePath("out.bmp"));
    QVERIFY2(saved.error.isEmpty(), qPrintable(saved.error));
    QCOMPARE(saved.pixels, Canvas().WKP->Image());
    QCOMPARE(saved.pixels.copy(0, 0, 32, 32), stamp);
    QCOMPARE(saved.pixels.copy(64, 32, 32, 32), stamp);
    QCOMPARE(saved.pixels.pixel(200, 150), qRgb(255, 255, 255));
  }

  void saveLeavesTheBackgroundPictureSoNewStillAgrees() {
    const QImage picture = testsupport::PatternImage(150, 100, 5);
    LoadCanvas(Put(picture, "canvas.png"));
    StampTwice();
    SaveCanvas(dir_.filePath("out.bmp"));
    QCOMPARE(Canvas().WKP->Picture(), picture);
    Canvas().Command1_Click();
    QCOMPARE(Canvas().WKP->Image(), picture);
    QCOMPARE(Canvas().Picture2->Image(), picture);
  }

  void nameWithoutExtensionIsWrittenAsTyped() {
    SaveCanvas(dir_.filePath("map"));
    QCOMPARE(Files(), QStringList{"map"});
    QCOMPARE(bmpfile::ParseFile(dir_.filePath("map")).pixels, Canvas().WKP->Image());
  }

  void loadedBitmapSavesBackIdentically() {
    const QImage picture = testsupport::PatternImage(77, 33, 6);
    QVERIFY(picture.save(dir_.filePath("in.bmp"), "BMP"));
    LoadCanvas(dir_.filePath("in.bmp"));
    SaveCanvas(dir_.filePath("in.bmp"));  // replacing the file it came from
    QCOMPARE(bmpfile::ParseFile(dir_.filePath("in.bmp")).pixels, picture);
    QCOMPARE(Files(), QStringList{"in.bmp"});
  }

  void damagedFileChangesNothing() {
    StampTwice();
    Canvas().Picture2_MouseMove(0, 0, 100, 100);
    QFile bad(dir_.filePath("bad.jpg"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray::fromHex("ffd8ffe000104a46494600"));
    bad.close();
    const WindowState before = Capture(Canvas());
    testsupport::MessageRecorder messages;
    LoadCanvas(dir_.filePath("bad.jpg"));
    QCOMPARE(messages.messages, QStringList{"ファイルを読み込めませんでした。\n" +
                                            QDir::toNativeSeparators(dir_.filePath("bad.jpg")) +
                                            "\n画像データが壊れています。\n処理を中断しました。"});
    CompareState(Capture(Canvas()), before);
  }

  void unwritablePathChangesNothing_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("missing folder") << "nowhere/out.bmp";
    QTest::newRow("a folder's name") << "folder";
  }
  void unwritablePathChangesNothing() {
    QFETCH(QString, target);
    QVERIFY(QDir(dir_.path()).mkpath("folder"));
    StampTwice();
    const WindowState before = Capture(Canvas());
    testsupport::MessageRecorder messages;
    SaveCanvas(dir_.filePath(target));
    QCOMPARE(messages.messages, QStringList{"ファイルを保存できませんでした。\n" +
                                            QDir::toNativeSeparators(dir_.filePath(target)) +
                                            "\nこのフォルダーかファイルには書き込めません。\n処理を中断しました。"});
    CompareState(Capture(Canvas()), before);
    QCOMPARE(Files(), QStringList{});
    QVERIFY(QDir(dir_.filePath("folder")).isEmpty());
    QDir(dir_.filePath("folder")).removeRecursively();
  }
};

QTEST_MAIN(CanvasFilesTest)
#include "canvas_files_test.moc"
