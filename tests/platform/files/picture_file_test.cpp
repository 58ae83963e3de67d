// Picture files: the BMP corpus, format by content, the size limit before decoding, and
// 24-bit BMP saving checked by an independent reader.
#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files/BmpFile.h"
#include "platform/Errors.h"
#include "platform/files/PictureFile.h"
#include "platform/PictureLimits.h"
#include "support/TestSupport.h"

using platform::ErrorKind;
using platform::PlatformError;

namespace {
QString Corpus() {
  const QString root = qEnvironmentVariable("TILORA_TESTDATA");
  return root.isEmpty() ? QString() : root + QStringLiteral("/bmpsuite");
}

// Good files with no picture of their own name render exactly as these (pal8nonsquare
// as stored, not stretched).
QString ReferenceFor(const QString& base) {
  static const QHash<QString, QString> same = {
      {"pal1wb", "pal1"},        {"pal8nonsquare", "pal8nonsquare-e"},
      {"pal4rle", "pal4"},       {"pal8-0", "pal8"},      {"pal8os2", "pal8"},
      {"pal8rle", "pal8"},       {"pal8topdown", "pal8"}, {"pal8v4", "pal8"},
      {"pal8v5", "pal8"},        {"rgb24pal", "rgb24"},   {"rgb32", "rgb24"},
      {"rgb32bf", "rgb24"},      {"rgb32bfdef", "rgb24"}, {"rgb16bfdef", "rgb16"},
      {"rgb16-565pal", "rgb16-565"}};
  return same.value(base, base);
}

int MaxChannelDifference(const QImage& a, const QImage& b) {
  int worst = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      worst = std::max({worst, qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q)),
                    qAbs(qBlue(p) - qBlue(q))});
    }
  return worst;
}

// A BMP header declaring w x h, 24-bit, with no pixel data behind it.
QByteArray BmpHeader(qint32 w, qint32 h) {
  QByteArray d(54, '\0');
  auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, d.data() + at); };
  d[0] = 'B';
  d[1] = 'M';
  put32(2, 54);
  put32(10, 54);
  put32(14, 40);
  put32(18, quint32(w));
  put32(22, quint32(h));
  qToLittleEndian(quint16(1), d.data() + 26);
  qToLittleEndian(quint16(24), d.data() + 28);
  return d;
}

// A small real JPEG whose frame header claims w x h: the size is known, the data is not there.
QByteArray JpegDeclaring(quint16 w, quint16 h) {
  QImage small(8, 8, QImage::Format_RGB32);
  small.fill(Qt::red);
  QByteArray jpg;
  QBuffer buffer(&jpg);
  buffer.open(QIODevice::WriteOnly);
  small.save(&buffer, "JPG");
  const int sof = jpg.indexOf(QByteArray("\xFF\xC0", 2));
  qToBigEndian(h, jpg.data() + sof + 5);
  qToBigEndian(w, jpg.data() + sof + 7);
  return jpg;
}

// Two pixels, red then blue, in a hand-made GIF (Qt writes no GIF).
QByteArray RedBlueGif() {
  return QByteArray::fromHex(
      "474946383961" "02000100" "800000" "ff0000" "0000ff"
      "2c" "00000000" "02000100" "00" "02" "02440a00" "3b");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  QCOMPARE(f.write(bytes), bytes.size());
}

QStringList FilesIn(const QString& dir) { return QDir(dir).entryList(QDir::Files, QDir::Name); }
}  // namespace

class PictureFileTest : public QObject {
  Q_OBJECT

  QTemporaryDir tmp_;
  QString At(const QString& name) const { return tmp_.filePath(name); }

 private slots:
  void initTestCase() { QVERIFY(tmp_.isValid()); }

  void goodCorpusFileMatchesItsReference_data() {
    QTest::addColumn<QString>("file");
    if (!QDir(Corpus() + "/g").exists()) QTest::newRow("corpus absent") << QString();
    for (const QString& name : FilesIn(Corpus() + "/g"))
      QTest::newRow(qPrintable(name)) << Corpus() + "/g/" + name;
  }
  void goodCorpusFileMatchesItsReference() {
    QFETCH(QString, file);
    if (file.isEmpty()) QSKIP("the BMP corpus is not there");
    const QString base = QFileInfo(file).completeBaseName();
    const QImage loaded = platform::LoadPicture(file).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!loaded.isNull());
    const QString refPath = Corpus() + "/reference/" + ReferenceFor(base) + ".png";
    if (!QFile::exists(refPath)) {
      qInfo("| g/%s | %dx%d | no reference |", qPrintable(base), loaded.width(), loaded.height());
      return;
    }
    const QImage ref(refPath);
    QCOMPARE(loaded.size(), ref.size());
    const int diff = MaxChannelDifference(loaded, ref.convertToFormat(QImage::Format_RGB32));
    // 16-bit channels shifted rather than scaled miss the reference by up to 7 levels.
    const int allowed = base.startsWith(QLatin1String("rgb16")) ? 7 : 0;
    qInfo("| g/%s | %dx%d | %s.png | %d |", qPrintable(base), loaded.width(), loaded.height(),
          qPrintable(ReferenceFor(base)), diff);
    QVERIFY2(diff <= allowed, qPrintable(QStringLiteral("differs by %1").arg(diff)));
  }

  void doubtfulCorpusFileLoadsOrIsRefusedCleanly_data() {
    QTest::addColumn<QString>("file");
    if (!QDir(Corpus() + "/b").exists()) QTest::newRow("corpus absent") << QString();
    for (const QString& folder : {QStringLiteral("q"), QStringLiteral("b")})
      for (const QString& name : FilesIn(Corpus() + "/" + folder))
        QTest::newRow(qPrintable(folder + "/" + name)) << Corpus() + "/" + folder + "/" + name;
  }
  void doubtfulCorpusFileLoadsOrIsRefusedCleanly() {
    QFETCH(QString, file);
    if (file.isEmpty()) QSKIP("the BMP corpus is not there");
    const QString name = QFileInfo(file).dir().dirName() + "/" + QFileInfo(file).fileName();
    try {
      const QImage image = platform::LoadPicture(file);
      QVERIFY(platform::FitsPictureLimit(image.width(), image.height()));
      QVERIFY2(name != QLatin1String("b/reallybig.bmp"), "3000000 x 2000000 was not refused");
      qInfo("| %s | loaded %dx%d |", qPrintable(name), image.width(), image.height());
    } catch (const PlatformError& e) {
      QVERIFY(e.Kind() == ErrorKind::UnreadableFile || e.Kind() == ErrorKind::RefusedSize);
      QCOMPARE(e.Kind() == ErrorKind::RefusedSize, name == QLatin1String("b/reallybig.bmp"));
      QVERIFY(e.Text().contains(QDir::toNativeSeparators(file)));
      qInfo("| %s | refused: %s |", qPrintable(name),
            qPrintable(e.Text().section(QLatin1Char('\n'), -1)));
    }
  }

  void formatIsDecidedByContent_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("png named .bmp") << "sheet.bmp" << QByteArray("png");
    QTest::newRow("bmp named .JPG") << "sheet.JPG" << QByteArray("bmp");
    QTest::newRow("bmp without extension") << "sheet" << QByteArray("bmp");
    QTest::newRow("png named .png") << "sheet.png" << QByteArray("png");
  }
  void formatIsDecidedByContent() {
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    const QImage pattern = testsupport::PatternImage(37, 23, 3);
    QVERIFY(pattern.save(At(name), format.constData()));
    const QImage loaded = platform::LoadPicture(At(name)).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(loaded, pattern);
  }

  void gifIsRead() {
    WriteFile(At("two.dat"), RedBlueGif());
    const QImage loaded = platform::LoadPicture(At("two.dat")).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(loaded.size(), QSize(2, 1));
    QCOMPARE(loaded.pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(loaded.pixel(1, 0), qRgb(0, 0, 255));
  }

  void jpegBeyondQtsDefaultAllocationLimitLoads() {
    // 6000 x 6000 decodes to 137 MiB, above Qt's default of 128 MiB.
    QImage big(6000, 6000, QImage::Format_RGB32);
    big.fill(qRgb(200, 40, 40));
    QVERIFY(big.save(At("big.jpg"), "JPG"));
    big = QImage();
    QCOMPARE(platform::LoadPicture(At("big.jpg")).size(), QSize(6000, 6000));
  }

  void declaredSizeBeyondTheLimitIsRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("side one too long") << BmpHeader(65536, 1) << 65536 << 1;
    QTest::newRow("top-down side one too long") << BmpHeader(1, -65536) << 1 << 65536;
    QTest::newRow("area one row too large") << JpegDeclaring(16384, 16385) << 16384 << 16385;
    QTest::newRow("area exactly 16384 squared") << JpegDeclaring(16384, 16384) << 16384 << 16384;
    QTest::newRow("area far too large") << JpegDeclaring(30000, 20000) << 30000 << 20000;
  }
  void declaredSizeBeyondTheLimitIsRefused() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, width);
    QFETCH(int, height);
    WriteFile(At("declared"), bytes);
    try {
      platform::LoadPicture(At("declared"));
      QFAIL("loaded");
    } catch (const PlatformError& e) {
      QCOMPARE(e.Kind(), ErrorKind::RefusedSize);
      QCOMPARE(e.Text(), QStringLiteral("この大きさの画像は扱えません。\n%1\n%2 × %3 ピクセルの画像です。"
                                        "扱えるのは縦横それぞれ 65535 ピクセルまで、"
                                        "全体で 16384 × 16384 ピクセル未満です。")
                             .arg(QDir::toNativeSeparators(At("declared")))
                             .arg(width)
                             .arg(height));
    }
  }

  void sideAtTheLimitLoads() {
    QImage strip(platform::kMaxPictureSide, 1, QImage::Format_RGB32);
    strip.fill(qRgb(1, 2, 3));
    QVERIFY(strip.save(At("strip.bmp"), "BMP"));
    QCOMPARE(platform::LoadPicture(At("strip.bmp")).size(), strip.size());
  }

  void unreadableFileIsNamed_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");  // empty: the file does not exist
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing.bmp" << QByteArray() << "ファイルが見つかりません。";
    QTest::newRow("text") << "notes.bmp" << QByteArray("just some words\n")
                          << "読み込める画像形式 (BMP、GIF、JPEG、PNG など) ではありません。";
    QTest::newRow("truncated bmp") << "cut.bmp" << BmpHeader(64, 64) << "画像データが壊れています。";
  }
  void unreadableFileIsNamed() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    if (!bytes.isEmpty()) WriteFile(At(name), bytes);
    try {
      platform::LoadPicture(At(name));
      QFAIL("loaded");
    } catch (const PlatformError& e) {
      QCOMPARE(e.Kind(), ErrorKind::UnreadableFile);
      QCOMPARE(e.Text(), QStringLiteral("ファイルを読み込めませんでした。\n") +
                             QDir::toNativeSeparators(At(name)) + "\n" + reason);
    }
  }

  // A FIFO would block the open, a device never end: only regular files are read.
  void onlyRegularFilesAreRead_data() {
    QTest::addColumn<QString>("kind");
    for (const char* kind : {"fifo", "folder", "device"}) QTest::newRow(kind) << kind;
  }
  void onlyRegularFilesAreRead() {
    QFETCH(QString, kind);
    QString path = At("special-" + kind);
    if (kind == "fifo") QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    if (kind == "folder") QVERIFY(QDir().mkdir(path));
    if (kind == "device") path = QStringLiteral("/dev/zero");
    try {
      platform::LoadPicture(path);
      QFAIL("loaded");
    } catch (const PlatformError& e) {
      QCOMPARE(e.Text(), QStringLiteral("ファイルを読み込めませんでした。\n%1\nファイルを開けません。").arg(path));
    }
  }

  void savedFileIs24BitBmpWithExactPixels_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("1x1") << QSize(1, 1);
    QTest::newRow("row padded by 3") << QSize(3, 2);
    QTest::newRow("row padded by 1") << QSize(5, 3);
    QTest::newRow("no padding") << QSize(4, 7);
    QTest::newRow("wide") << QSize(361, 2);
  }
  void savedFileIs24BitBmpWithExactPixels() {
    QFETCH(QSize, size);
    const QImage pattern = testsupport::PatternImage(size.width(), size.height(), 5);
    platform::SavePicture(pattern, At("saved.bmp"));
    const bmpfile::Parsed parsed = bmpfile::ParseFile(At("saved.bmp"));
    QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
    QCOMPARE(parsed.pixels, pattern);
  }

  void nameWithoutExtensionIsWrittenExactly() {
    QTemporaryDir dir;
    platform::SavePicture(testsupport::PatternImage(8, 8), dir.filePath("canvas"));
    QCOMPARE(FilesIn(dir.path()), QStringList{"canvas"});
    QVERIFY(bmpfile::ParseFile(dir.filePath("canvas")).error.isEmpty());
  }

  void existingFileIsReplaced() {
    QTemporaryDir dir;
    WriteFile(dir.filePath("old.bmp"), QByteArray(5000, 'x'));
    const QImage pattern = testsupport::PatternImage(6, 4, 1);
    platform::SavePicture(pattern, dir.filePath("old.bmp"));
    QCOMPARE(bmpfile::ParseFile(dir.filePath("old.bmp")).pixels, pattern);
    QCOMPARE(FilesIn(dir.path()), QStringList{"old.bmp"});
  }

  void unwritablePathLeavesNothing_data() {
    QTest::addColumn<QString>("target");  // inside a fresh folder holding "plain" and "folder/"
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing folder") << "nowhere/out.bmp" << "このフォルダーかファイルには書き込めません。";
    QTest::newRow("file as folder") << "plain/out.bmp" << "このフォルダーかファイルには書き込めません。";
    QTest::newRow("folder as file") << "folder" << "このフォルダーかファイルには書き込めません。";
  }
  void unwritablePathLeavesNothing() {
    QFETCH(QString, target);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    WriteFile(dir.filePath("plain"), "keep");
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    try {
      platform::SavePicture(testsupport::PatternImage(4, 4), dir.filePath(target));
      QFAIL("saved");
    } catch (const PlatformError& e) {
      QCOMPARE(e.Kind(), ErrorKind::UnwritableFile);
      QCOMPARE(e.Text(), QStringLiteral("ファイルを保存できませんでした。\n") +
                             QDir::toNativeSeparators(dir.filePath(target)) + "\n" + reason);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
             (QStringList{"folder", "plain"}));
    QVERIFY(QDir(dir.filePath("folder")).isEmpty());
    QFile plain(dir.filePath("plain"));
    QVERIFY(plain.open(QIODevice::ReadOnly));
    QCOMPARE(plain.readAll(), QByteArray("keep"));
  }

  void readOnlyFileIsLeftUntouched() {
    if (geteuid() == 0) QSKIP("permissions do not bind root");
    QTemporaryDir dir;
    WriteFile(dir.filePath("locked.bmp"), "keep");
    QFile::setPermissions(dir.filePath("locked.bmp"), QFile::ReadOwner);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    QVERIFY_THROWS_EXCEPTION(PlatformError,
                             platform::SavePicture(testsupport::PatternImage(4, 4), dir.filePath("locked.bmp")));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(FilesIn(dir.path()), QStringList{"locked.bmp"});
    QFile f(dir.filePath("locked.bmp"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("keep"));
  }

  void folderWithoutTemporaryFilesIsWrittenInPlace() {
    if (geteuid() == 0) QSKIP("permissions do not bind root");
    QTemporaryDir dir;
    WriteFile(dir.filePath("open.bmp"), "old");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const QImage pattern = testsupport::PatternImage(3, 3);
    platform::SavePicture(pattern, dir.filePath("open.bmp"));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(bmpfile::ParseFile(dir.filePath("open.bmp")).pixels, pattern);
  }

};

QTEST_MAIN(PictureFileTest)
#include "picture_file_test.moc"
