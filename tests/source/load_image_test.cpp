// "Load Image" in a source window: through the dialog seam, real files, the corpus's refusals.
#include <QDir>
#include <QFileDialog>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "platform/FileDialog.h"
#include "source/SRC_W.h"
#include "source/WindowState.h"
#include "support/TestSupport.h"

namespace {
QString Corpus() { return qEnvironmentVariable("TILORA_TESTDATA") + QStringLiteral("/bmpsuite"); }
}  // namespace

class LoadImageTest : public QObject {
  Q_OBJECT

  std::unique_ptr<MDIForm1> editor_;
  QTemporaryDir dir_;
  QString start_;
  QString answer_;  // the dialog's answer; empty = cancel
  int asked_ = 0;
  QString title_, shownDir_;

  SRC_W& Source() { return *EditorState.SrcWindows(1); }
  QString Save(const QImage& image, const QString& name) {
    image.save(dir_.filePath(name), "PNG");
    return dir_.filePath(name);
  }
  void Load(const QString& path) {
    answer_ = path;
    Source().Command2->click();  // through the guard, as a user's click
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    start_ = QDir::currentPath();
  }
  void init() {
    QDir::setCurrent(dir_.path());
    editor_ = testsupport::StartEditor();
    asked_ = 0;
    platform::SetFileDialogHook([this](QFileDialog& d) {
      ++asked_;
      title_ = d.windowTitle();
      shownDir_ = d.directory().absolutePath();
      return answer_;
    });
  }
  void cleanup() {
    platform::SetFileDialogHook({});
    editor_.reset();
    QDir::setCurrent(start_);
  }

  void cancelLeavesTheWindowAsItWas() {
    Load(Save(testsupport::PatternImage(90, 70, 1), "first.png"));
    const WindowState before = Capture(Source());
    Load(QString());
    QCOMPARE(asked_, 2);
    QCOMPARE(title_, QStringLiteral("ﾌｧｲﾙを開く"));
    CompareState(Capture(Source()), before);
  }

  void imageFillsBothBoxesAndTheScrollRanges_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("hMax");
    QTest::addColumn<int>("vMax");
    // The bars are 347 and 266 pixels long in a 360 x 300 window; Max = excess + 8.
    QTest::newRow("smaller than the viewport") << QSize(100, 80) << 0 << 0;
    QTest::newRow("wider only") << QSize(400, 100) << 61 << 0;
    QTest::newRow("larger") << QSize(800, 600) << 461 << 342;
  }
  void imageFillsBothBoxesAndTheScrollRanges() {
    QFETCH(QSize, size);
    QFETCH(int, hMax);
    QFETCH(int, vMax);
    const QImage sheet = testsupport::PatternImage(size.width(), size.height(), 2);
    Load(Save(sheet, "sheet.png"));
    QCOMPARE(Source().Picture2->Image(), sheet);
    QCOMPARE(Source().WKP->Image(), sheet);
    QCOMPARE(Source().Picture2->size(), size);
    QCOMPARE(Source().WKP->size(), size);
    QCOMPARE(int(Source().HScroll1->Max()), hMax);
    QCOMPARE(int(Source().VScroll1->Max()), vMax);
  }

  void secondImageReplacesTheFirstAndTheClipKeepsItsRectangle() {
    Load(Save(testsupport::PatternImage(128, 128, 1), "a.png"));
    auto& s = EditorState;
    s.ClipSrcIndex = 1;
    s.ClipX = 32, s.ClipY = 64, s.ClipW = 64, s.ClipH = 32;
    const QList<Long> editor = EditorFields();
    const QImage second = testsupport::PatternImage(160, 96, 7);
    Load(Save(second, "b.png"));
    QCOMPARE(Source().Picture2->Image(), second);
    QCOMPARE(Source().WKP->Image(), second);
    QCOMPARE(EditorFields(), editor);
    // A stamp now copies the same rectangle from the new image.
    DEST_W& canvas = DEST_W::Instance();
    canvas.Picture2_MouseDown(1, 0, 0, 0);
    canvas.Picture2_MouseUp(1, 0, 0, 0);
    QCOMPARE(canvas.WKP->Image().copy(0, 0, 64, 32), second.copy(32, 64, 64, 32));
  }

  void transparencyIsFlattenedOntoWhite() {
    QImage sheet(4, 2, QImage::Format_ARGB32);
    sheet.fill(Qt::transparent);
    sheet.setPixel(1, 0, qRgba(10, 20, 30, 255));
    Load(Save(sheet, "alpha.png"));
    QImage expected(4, 2, QImage::Format_RGB32);
    expected.fill(qRgb(255, 255, 255));
    expected.setPixel(1, 0, qRgb(10, 20, 30));
    QCOMPARE(Source().Picture2->Image(), expected);
    QCOMPARE(Source().WKP->Image(), expected);
  }

  void dialogOpensInTheCurrentDirectoryWhichFollowsTheChoice() {
    QVERIFY(QDir(dir_.path()).mkpath("deep"));
    Load(Save(testsupport::PatternImage(8, 8), "deep/tiles.png"));
    QCOMPARE(shownDir_, QDir(dir_.path()).absolutePath());
    QCOMPARE(QDir::currentPath(), QDir(dir_.filePath("deep")).absolutePath());
    Load(QString());
    QCOMPARE(shownDir_, QDir(dir_.filePath("deep")).absolutePath());
  }

  void fileThatCannotBeLoadedChangesNothing_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");  // written to file first, unless empty
    QTest::addColumn<QString>("message");   // exact, when given
    QTest::newRow("text file") << "notes.bmp" << QByteArray("not a picture") << QStringLiteral(
        "ファイルを読み込めませんでした。\n%1\n"
        "読み込める画像形式 (BMP、GIF、JPEG、PNG など) ではありません。\n処理を中断しました。");
    QTest::newRow("damaged png") << "cut.png" << QByteArray::fromHex("89504e470d0a1a0a0000000d49484452")
                                 << QStringLiteral("ファイルを読み込めませんでした。\n%1\n"
                                                   "画像データが壊れています。\n処理を中断しました。");
    QTest::newRow("vanished") << "gone.bmp" << QByteArray()
                              << QStringLiteral("ファイルを読み込めませんでした。\n%1\n"
                                                "ファイルが見つかりません。\n処理を中断しました。");
    for (const QString& folder : {QStringLiteral("q"), QStringLiteral("b")})
      for (const QString& name : QDir(Corpus() + "/" + folder).entryList(QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(folder + "/" + name))
            << Corpus() + "/" + folder + "/" + name << QByteArray() << QString();
  }
  void fileThatCannotBeLoadedChangesNothing() {
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const QString path = QDir::isAbsolutePath(file) ? file : dir_.filePath(file);
    if (!bytes.isEmpty()) {
      QFile f(path);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(bytes);
    }
    Load(Save(testsupport::PatternImage(500, 400, 3), "before.png"));
    Source().HScroll1->SetValue(40);
    Source().Picture2_MouseMove(0, 0, 70, 40);  // an outline and a caption to keep
    const WindowState before = Capture(Source());
    testsupport::MessageRecorder messages;
    Load(path);
    if (messages.messages.isEmpty() && message.isEmpty()) {  // some doubtful files are readable
      QVERIFY(Source().Picture2->Image() == Source().WKP->Image());
      return;
    }
    QCOMPARE(messages.messages.size(), 1);
    if (message.isEmpty())
      QVERIFY(messages.messages[0].contains(QDir::toNativeSeparators(path)));
    else
      QCOMPARE(messages.messages[0], message.arg(QDir::toNativeSeparators(path)));
    CompareState(Capture(Source()), before);
  }
};

QTEST_MAIN(LoadImageTest)
#include "load_image_test.moc"
