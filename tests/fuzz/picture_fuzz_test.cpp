// The fuzz regression suite for picture loading. Three kinds of run share this program:
//  - loadImage, loadPicture: a quarter of the corpus through each button, a different quarter for
//    each, and the intact seeds through both; a refusal changes neither window, a load shows the
//    same picture in both boxes (the seeds' exact pixels where known);
//  - recordOutcomes: each file's outcome and pixel digest at the loader, into TILORA_FUZZ_RECORD,
//    run twice with different allocator fill bytes;
//  - the two records compared (TILORA_FUZZ_RECORD_A and _B): the same outcome and the same
//    pixels under both fills, size refusals only where the file declares such a size;
//  - writeSeeds: the intact seeds into TILORA_FUZZ_SEEDS, where libFuzzer starts;
//  - sameAsQtsReader: every file through the loader and through Qt's own reader.
#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImageReader>
#include <QtEndian>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <unistd.h>

#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "fuzz/Corpus.h"
#include "fuzz/FileStructure.h"
#include "platform/Errors.h"
#include "platform/FileDialog.h"
#include "platform/Flatten.h"
#include "platform/ImageBuffer.h"
#include "platform/files/Damage.h"
#include "platform/files/PictureFile.h"
#include "source/SRC_W.h"
#include "source/WindowState.h"
#include "support/TestSupport.h"

using fuzz::Expect;

namespace {
const QString kLoaded = QStringLiteral("loaded");

QString KindName(platform::ErrorKind kind) {
  switch (kind) {
    case platform::ErrorKind::RefusedSize: return QStringLiteral("RefusedSize");
    case platform::ErrorKind::OutOfMemory: return QStringLiteral("OutOfMemory");
    case platform::ErrorKind::UnreadableFile: return QStringLiteral("UnreadableFile");
    default: return QStringLiteral("ErrorKind(%1)").arg(int(kind));
  }
}

// The loaded pixels as 8-bit ARGB, row by row: padding bytes are not pixels.
QString Digest(const QImage& image) {
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  QCryptographicHash hash(QCryptographicHash::Sha1);
  hash.addData(QByteArray::number(argb.width()) + 'x' + QByteArray::number(argb.height()));
  for (int y = 0; y < argb.height(); ++y)
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(argb.constScanLine(y)), argb.width() * 4));
  return QString::fromLatin1(hash.result().toHex());
}

QString ExpectName(Expect e) {
  switch (e) {
    case Expect::Loads: return QStringLiteral("loads");
    case Expect::Refused: return QStringLiteral("refused");
    case Expect::SizeRefused: return QStringLiteral("size");
    case Expect::Anything: break;
  }
  return QStringLiteral("-");
}

// A crash names the file being loaded: QtTest's own report names only the test function.
// The note goes out first, then QtTest's handler takes the signal as before.
QByteArray loading;
struct sigaction previous[NSIG];
constexpr int kFatal[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

void Say(const char* text, size_t length) {
  if (write(STDERR_FILENO, text, length) < 0) return;  // in a crash there is no one else to tell
}

void NameTheFile(int signal) {
  constexpr char kNote[] = "\nCrashed while loading ";
  Say(kNote, sizeof kNote - 1);
  Say(loading.constData(), size_t(loading.size()));
  Say("\n", 1);
  for (int fatal : kFatal) sigaction(fatal, &previous[fatal], nullptr);
  raise(signal);
}

void NameCrashes() {
  static bool installed = false;  // twice would make the note its own successor
  if (std::exchange(installed, true)) return;
  struct sigaction note;
  std::memset(&note, 0, sizeof note);
  note.sa_handler = NameTheFile;
  for (int signal : kFatal) sigaction(signal, &note, &previous[signal]);
}

// The reasons the loader may give for refusing a file Qt's reader takes.
QString DamageName(platform::Damage how) {
  switch (how) {
    case platform::Damage::DataEndsEarly: return QStringLiteral("data ends early");
    case platform::Damage::BadCode: return QStringLiteral("bad code");
    case platform::Damage::MissingScans: return QStringLiteral("missing scans");
    case platform::Damage::BadScanHeader: return QStringLiteral("bad scan header");
    default: return QStringLiteral("Damage(%1)").arg(int(how));
  }
}

// What Qt's own reader makes of the file, deciding the format by content as the loader does.
// Its GIF reader shows an index past a colour table as transparent white, where the loader
// shows black, so it reads a GIF with full tables; other formats get full tables afterwards.
QImage ReadByQt(const QByteArray& file, fuzz::Format format) {
  QBuffer buffer;
  buffer.setData(format == fuzz::Format::Gif ? fuzz::GifWithFullColourTables(file) : file);
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  QImage image = reader.read();
  // As the loader promises, an index past a palette shows black.
  if (image.colorCount() > 0 && image.colorCount() < (1 << image.depth())) {
    QList<QRgb> table = image.colorTable();
    table.resize(1 << image.depth(), qRgb(0, 0, 0));
    image.setColorTable(table);
  }
  return image;
}

// A run-length compressed BMP, which the loader decodes itself: its answer to a run past the
// row or a skipped pixel is its own, where Qt's reader leaves skipped pixels as memory held them.
bool IsRunLengthBmp(const QByteArray& file) {
  return fuzz::FormatOf(file) == fuzz::Format::Bmp && file.size() >= 34 &&
         (qFromLittleEndian<quint32>(file.constData() + 30) == 1 || qFromLittleEndian<quint32>(file.constData() + 30) == 2);
}

// Fresh memory for a picture, holding the byte this run fills with (TILORA_FUZZ_FILL): a memfd
// starts zeroed, and a picture must not depend on that.
platform::PictureMemory FilledMemory() {
  const int fill = qEnvironmentVariableIntValue("TILORA_FUZZ_FILL");
  return [fill](int width, int height, QImage::Format format) {
    QImage image = platform::NewImage(width, height, format);
    if (!image.isNull()) std::memset(image.bits(), fill, size_t(image.sizeInBytes()));
    return image;
  };
}

// One line of a record: name, expectation, declared size, outcome, digest.
struct Record {
  QString expect, declares, outcome, digest;
};

QList<std::pair<QString, Record>> ReadRecord(const QString& path, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    *error = QStringLiteral("no record at ") + path;
    return {};
  }
  QList<std::pair<QString, Record>> lines;
  while (!file.atEnd()) {
    const QStringList f = QString::fromUtf8(file.readLine()).chopped(1).split(QLatin1Char('\t'));
    if (f.size() != 5) {
      *error = QStringLiteral("a broken line in %1 after %2 files").arg(path).arg(lines.size());
      return {};
    }
    lines.append({f[0], {f[1], f[2], f[3], f[4]}});
  }
  return lines;
}
}  // namespace

class PictureFuzzTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_, emptyDir_;
  std::unique_ptr<fuzz::Corpus> corpus_;
  std::unique_ptr<MDIForm1> editor_;
  QString answer_;
  QImage sheet_, canvas_;
  QHash<QString, Record> recordA_, recordB_;
  QString recordError_;

  SRC_W& Source() { return *EditorState.SrcWindows(1); }
  DEST_W& Canvas() { return DEST_W::Instance(); }

  const fuzz::Corpus& Files() {
    if (!corpus_) corpus_ = std::make_unique<fuzz::Corpus>(fuzz::WriteCorpus(dir_.path()));
    return *corpus_;
  }
  // Rows: one per corpus file, or one that reports why there is no corpus.
  // Every file, or with a `turn` (0 or 1) every fourth one from its own start and the intact
  // seeds: under ASan a decoding child per load costs too much for more. The decoders meet every
  // file in-process, in the fill and differential passes.
  void CorpusRows(int turn = -1) {
    QTest::addColumn<int>("file");
    if (!Files().error.isEmpty()) QTest::newRow("no corpus") << -1;
    for (int i = 0; Files().error.isEmpty() && i < Files().files.size(); ++i)
      if (turn < 0 || i % 4 == 2 * turn || !Files().files[i].pixels.isNull()) QTest::newRow(qPrintable(Files().files[i].name)) << i;
  }

  // A picture scrolled away from the origin with an outline: state a stray assignment would lose.
  void Prepare(ChildWindow& w, const QImage& picture) {
    w.Picture2->SetPicture(picture);
    w.WKP->SetPicture(w.Picture2->Picture());
    LayoutChild(w);
    w.HScroll1->SetValue(40);
    w.VScroll1->SetValue(30);
    w.Picture2_MouseMove(0, 0, 70, 40);
  }

  // One corpus file through "Load Image" (into the sheet) or "Load Picture" (onto the canvas).
  void LoadThroughButton(bool intoSheet) {
    QFETCH(int, file);
    if (file < 0) QFAIL(qPrintable(Files().error));
    if (!editor_) {
      NameCrashes();
      editor_ = testsupport::StartEditor();
      platform::SetFileDialogHook([this](QFileDialog&) { return answer_; });
      auto& s = EditorState;
      s.ClipSrcIndex = 1;
      s.ClipX = 32, s.ClipY = 64, s.ClipW = 64, s.ClipH = 32;
      Prepare(Source(), sheet_);
      Prepare(Canvas(), canvas_);
    }
    const fuzz::CorpusFile& f = Files().files[file];
    ChildWindow& target = intoSheet ? static_cast<ChildWindow&>(Source()) : Canvas();
    ChildWindow& other = intoSheet ? static_cast<ChildWindow&>(Canvas()) : Source();
    const WindowState targetBefore = Capture(target), otherBefore = Capture(other);
    answer_ = dir_.filePath(f.name);
    loading = f.name.toUtf8();
    // The dialog opens in the current folder: an empty one costs nothing to list.
    QDir::setCurrent(emptyDir_.path());
    testsupport::MessageRecorder messages;
    (intoSheet ? Source().Command2 : Canvas().Command3)->click();
    CompareState(Capture(other), otherBefore);
    if (!messages.messages.isEmpty()) {
      QCOMPARE(messages.messages.size(), 1);
      CompareState(Capture(target), targetBefore);
      return;
    }
    QVERIFY(target.Picture2->Image() == target.WKP->Image());
    if (!f.pixels.isNull()) QCOMPARE(target.Picture2->Image(), f.pixels);
    Prepare(target, intoSheet ? sheet_ : canvas_);
  }

  QMap<QString, int> comparisons_;

  // Reads both records; rows name every file of the first.
  void RecordRows() {
    QTest::addColumn<QString>("file");
    const QString a = qEnvironmentVariable("TILORA_FUZZ_RECORD_A");
    const QString b = qEnvironmentVariable("TILORA_FUZZ_RECORD_B");
    if (a.isEmpty() || b.isEmpty()) {
      QTest::newRow("no records") << QString();
      return;
    }
    const auto lines = ReadRecord(a, &recordError_);
    recordA_.clear(), recordB_.clear();
    for (const auto& [name, r] : lines) recordA_.insert(name, r);
    for (const auto& [name, r] : ReadRecord(b, &recordError_)) recordB_.insert(name, r);
    if (!recordError_.isEmpty()) QTest::newRow("broken records") << QString();
    for (const auto& line : lines) QTest::newRow(qPrintable(line.first)) << line.first;
  }

  // A GIF's first image shows Qt's reader's pixels, and around it the background the rules give,
  // where Qt's reader draws a colour its local table does not hold yet, or the rows the data
  // holds past the image. Interlaced images cut by the screen or shorter than 5 rows are not
  // compared: Qt's reader counts their passes in the rows it shows and misplaces rows.
  void CompareGif(const QByteArray& content, const QImage& ours, const QImage& qts) {
    const std::optional<fuzz::GifFirstImage> first = fuzz::FirstGifImage(content);
    QVERIFY(first);
    if (first->interlaced && (first->rect.height() < 5 || first->rect.bottom() >= ours.height())) {
      ++comparisons_[QStringLiteral("not compared: an interlaced GIF whose rows Qt's reader misplaces")];
      return;
    }
    QCOMPARE(ours.size(), qts.size());
    const QRgb white = qRgb(255, 255, 255);
    const QImage flat = platform::Flattened(ours, white);
    const QRect inside = first->rect & flat.rect();
    QVERIFY2(inside.isEmpty() || flat.copy(inside) == platform::Flattened(qts, white).copy(inside),
             "pixels differ from Qt's reader's");
    for (int y = 0; y < flat.height(); ++y)
      for (int x = 0; x < flat.width(); ++x)
        if (!inside.contains(x, y)) QCOMPARE(flat.pixel(x, y), first->around.value_or(white));
    ++comparisons_[QStringLiteral("the same pixels as Qt's reader in the first image, the rules' around it")];
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid() && emptyDir_.isValid());
    // The decoders' complaints about damage made on purpose would bury the suite's own report.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));
    sheet_ = testsupport::PatternImage(500, 400, 3);
    canvas_ = testsupport::PatternImage(450, 420, 5);
  }
  void cleanupTestCase() {
    for (auto it = comparisons_.cbegin(); it != comparisons_.cend(); ++it)  // shown under -silent too
      std::fprintf(stderr, "%6d  %s\n", it.value(), qPrintable(it.key()));
    platform::SetFileDialogHook({});
    editor_.reset();
  }

  void loadImage_data() { CorpusRows(0); }
  void loadImage() { LoadThroughButton(true); }

  void loadPicture_data() { CorpusRows(1); }
  void loadPicture() { LoadThroughButton(false); }

  // Never fails but by crashing: the comparison runs only when both records are complete.
  void recordOutcomes() {
    const QString path = qEnvironmentVariable("TILORA_FUZZ_RECORD");
    if (path.isEmpty()) QSKIP("TILORA_FUZZ_RECORD names no file to write");
    QVERIFY2(Files().error.isEmpty(), qPrintable(Files().error));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QMap<QString, int> counts;
    const platform::PictureMemory memory = FilledMemory();
    NameCrashes();
    for (const fuzz::CorpusFile& f : Files().files) {
      loading = f.name.toUtf8();
      // The name goes out first, so a crash leaves the record naming its file.
      out.write(f.name.toUtf8() + '\t' + ExpectName(f.expect).toUtf8() + '\t' +
                (f.declaresOverLimit ? "over" : "within") + '\t');
      out.flush();
      QString outcome = kLoaded, digest = QStringLiteral("-");
      try {
        digest = Digest(platform::DecodePictureHere(dir_.filePath(f.name), memory));
      } catch (const platform::PlatformError& e) {
        outcome = KindName(e.Kind()) + QStringLiteral(": ") + e.Text().section(QLatin1Char('\n'), -1);
      }
      out.write(outcome.toUtf8() + '\t' + digest.toUtf8() + '\n');
      ++counts[outcome.startsWith(QLatin1String("RefusedSize:")) ? QStringLiteral("RefusedSize") : outcome];
    }
    qInfo("%d files:", int(Files().files.size()));
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) qInfo("%6d  %s", it.value(), qPrintable(it.key()));
  }

  // The intact seeds alone, for libFuzzer to start from.
  void writeSeeds() {
    const QString folder = qEnvironmentVariable("TILORA_FUZZ_SEEDS");
    if (folder.isEmpty()) QSKIP("TILORA_FUZZ_SEEDS names no folder to fill");
    QVERIFY2(Files().error.isEmpty(), qPrintable(Files().error));
    QVERIFY(QDir().mkpath(folder));
    for (const fuzz::CorpusFile& f : Files().files)
      if (f.expect == Expect::Loads) {
        QFile::remove(folder + "/" + f.name);
        QVERIFY(QFile::copy(dir_.filePath(f.name), folder + "/" + f.name));
      }
  }

  // Where the loader takes a file, its pixels are Qt's reader's after the same flattening; where
  // Qt's reader takes one that the loader refuses, the loader says why.
  void sameAsQtsReader_data() { CorpusRows(); }
  void sameAsQtsReader() {
    QFETCH(int, file);
    if (file < 0) QFAIL(qPrintable(Files().error));
    const QString path = dir_.filePath(Files().files[file].name);
    QFile bytes(path);
    QVERIFY(bytes.open(QIODevice::ReadOnly));
    const QByteArray content = bytes.readAll();
    const fuzz::Format format = fuzz::FormatOf(content);
    if (IsRunLengthBmp(content)) {
      ++comparisons_[QStringLiteral("not compared: a run-length BMP, which the loader decodes itself")];
      return;
    }
    // Qt's reader makes a picture as large as the header says, whatever the data holds.
    const QSize declared = QImageReader(path).size();
    if (qint64(declared.width()) * declared.height() > (qint64(1) << 24)) {
      ++comparisons_[QStringLiteral("not compared: declares over 16 Mpixels")];
      return;
    }
    QImage ours;
    QString refusal;
    try {
      ours = platform::DecodePictureHere(path, platform::NewImage);
    } catch (const platform::DamagedPicture& e) {
      refusal = DamageName(e.How());
    } catch (const platform::PlatformError& e) {
      refusal = KindName(e.Kind());
    }
    const QImage qts = ReadByQt(content, format);
    if (!ours.isNull()) {
      QVERIFY2(!qts.isNull(), "loaded a file Qt's reader refuses");
      if (format == fuzz::Format::Gif) return CompareGif(content, ours, qts);
      const QRgb white = qRgb(255, 255, 255);
      QVERIFY2(platform::Flattened(ours, white) == platform::Flattened(qts, white), "pixels differ from Qt's reader's");
      ++comparisons_[QStringLiteral("the same pixels as Qt's reader")];
    } else if (!qts.isNull()) {
      static const QStringList reasons = {"data ends early", "bad code", "missing scans", "bad scan header", "RefusedSize"};
      QVERIFY2(reasons.contains(refusal), qPrintable("Qt's reader takes it, the loader refuses: " + refusal));
      ++comparisons_["refused where Qt's reader takes it: " + refusal];
    } else {
      ++comparisons_[QStringLiteral("refused by both")];
    }
  }

  void sameOutcomeUnderBothFills_data() { RecordRows(); }
  void sameOutcomeUnderBothFills() {
    QFETCH(QString, file);
    if (!recordError_.isEmpty()) QFAIL(qPrintable(recordError_));
    if (file.isEmpty()) QSKIP("TILORA_FUZZ_RECORD_A and _B name no records to compare");
    const Record& a = recordA_[file];
    QVERIFY2(recordB_.contains(file), "missing from the second record");
    const Record& b = recordB_[file];
    QCOMPARE(b.outcome, a.outcome);
    QVERIFY2(a.digest == b.digest, "the pixels differ between the two allocator fill bytes");
  }

  void outcomeFitsTheFile_data() { RecordRows(); }
  void outcomeFitsTheFile() {
    QFETCH(QString, file);
    if (!recordError_.isEmpty()) QFAIL(qPrintable(recordError_));
    if (file.isEmpty()) QSKIP("TILORA_FUZZ_RECORD_A and _B name no records to compare");
    const Record& r = recordA_[file];
    const bool sizeRefusal = r.outcome.startsWith(QLatin1String("RefusedSize:"));
    if (sizeRefusal)
      QVERIFY2(r.declares == QLatin1String("over"),
               "refused for its size, yet it declares no size over the limit");
    if (r.expect == QLatin1String("loads")) QCOMPARE(r.outcome, kLoaded);
    if (r.expect == QLatin1String("refused")) {
      QVERIFY2(r.outcome != kLoaded, "loaded, though its image data ends before the picture does");
      QVERIFY2(!sizeRefusal && !r.outcome.startsWith(QLatin1String("OutOfMemory:")),
               qPrintable("refused for the wrong reason: " + r.outcome));
    }
    if (r.expect == QLatin1String("size")) {
      QCOMPARE(r.declares, QStringLiteral("over"));
      QVERIFY2(sizeRefusal, qPrintable("declares a size over the limit, yet: " + r.outcome));
    }
  }
};

QTEST_MAIN(PictureFuzzTest)
#include "picture_fuzz_test.moc"
