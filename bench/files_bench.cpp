// Loading a picture into the program and saving the canvas, each beside bare QImageReader /
// QImageWriter on the same file in the same run: an 8192 x 8192 JPEG onto the canvas and an
// 8192 x 8192 canvas saved; outside the quick run also JPEG, PNG and GIF files 16384 pixels
// wide and as high as the picture limit allows into a source window. Then a GIF's first image
// far larger than its screen, and 256 x 256 tile sheets through "Load Image".
#include <benchmark/benchmark.h>

#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <functional>
#include <string>

#include "Session.h"
#include "TestPictures.h"
#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "platform/Errors.h"
#include "platform/files/DecodingChild.h"
#include "platform/files/PictureDecoder.h"
#include "platform/files/PictureFile.h"
#include "platform/PictureLimits.h"
#include "source/SRC_W.h"
#include "support/TestSupport.h"

namespace {
constexpr int kSide = 8192;
// Longer than the decoding program takes to start: the least a user spends in the file dialog.
constexpr int kChoosingMs = 300;
const int kRepeats = bench::Quick() ? 1 : 5;

QString Jpeg() { return bench::PictureFile(bench::FileKind::Jpeg, QSize(kSide, kSide)); }

// The decoding program raises Qt's allocation limit as it decodes; the bare reader gets the same.
void RaiseLimitAsTheProgram() { platform::MatchAllocationLimit(); }

QImage BareRead(const QString& path) {
  QImageReader reader(path);
  return reader.read();
}

void ShrinkCanvas() {
  const QImage small = testsupport::PatternImage(16, 16);
  DEST_W::Instance().Picture2->SetPicture(small);
  DEST_W::Instance().WKP->SetPicture(small);
}

void BM_LoadJpeg_BareReader(benchmark::State& state) {
  const QString path = Jpeg();
  RaiseLimitAsTheProgram();
  for (auto _ : state) benchmark::DoNotOptimize(BareRead(path));
}

void BM_LoadJpeg_LoadPicture(benchmark::State& state) {
  const QString path = Jpeg();
  for (auto _ : state) benchmark::DoNotOptimize(platform::LoadPicture(path));
}

// Through the real "Load Picture" button, each time onto a small canvas.
void BM_LoadJpeg_Canvas(benchmark::State& state) {
  bench::DialogAnswer answer(Jpeg());
  bench::FreshEditor();
  for (auto _ : state) {
    state.PauseTiming();
    ShrinkCanvas();
    state.ResumeTiming();
    DEST_W::Instance().Command3->click();
  }
  bench::CloseEditor();
}

const QImage& BigCanvasImage() {
  static const QImage img = testsupport::PatternImage(kSide, kSide);
  return img;
}

void BM_SaveCanvas_Canvas(benchmark::State& state) {
  QTemporaryDir dir;
  bench::DialogAnswer answer(dir.filePath("canvas.bmp"));
  bench::FreshEditor();
  DEST_W& canvas = DEST_W::Instance();
  canvas.Picture2->SetPicture(BigCanvasImage());
  canvas.WKP->SetPicture(BigCanvasImage());
  for (auto _ : state) DEST_W::Instance().Command2->click();
  bench::CloseEditor();
}

void BM_SaveCanvas_BareWriter(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath("canvas.bmp");
  for (auto _ : state) {
    QImageWriter writer(path, "bmp");
    benchmark::DoNotOptimize(writer.write(BigCanvasImage()));
  }
}

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The largest picture 16384 pixels wide the program takes, through "Load Image" into a fresh
// source window, against the bare reader, alternating, so that both meet the same machine;
// between them the program's loader alone, which tells the decoder's share of the difference
// from the window's.
void BM_LoadHuge_Source(benchmark::State& state, bench::FileKind kind) {
  const QSize size(int(platform::kAreaLimitSide), int(platform::kMaxPicturePixels / platform::kAreaLimitSide));
  const QString path = bench::PictureFile(kind, size);
  bench::DialogAnswer answer(path);
  testsupport::MessageRecorder recorder;
  RaiseLimitAsTheProgram();
  double bare = 0, loader = 0, source = 0;
  for (auto _ : state) {
    bool read = false;
    bare += Seconds([&] { read = BareRead(path).size() == size; });
    loader += Seconds([&] { read = read && platform::LoadPicture(path).size() == size; });
    bench::FreshEditor();
    const double once = Seconds([&] { EditorState.SrcWindows(1)->Command2->click(); });
    const bool loaded = EditorState.SrcWindows(1)->Picture2->size() == size;
    source += once;
    state.SetIterationTime(once);
    bench::CloseEditor();
    if (!read || !loaded) {
      state.SkipWithError(recorder.messages.isEmpty() ? "the picture was not read"
                                                       : recorder.messages.first().toStdString().c_str());
      break;
    }
  }
  state.counters["bare_s"] = bare / state.iterations();
  state.counters["loader_s"] = loader / state.iterations();
  state.counters["source_s"] = source / state.iterations();
  state.counters["loader_x_bare"] = loader / bare;
  state.counters["x_bare"] = source / bare;
}

// A 256 x 256 tile sheet through "Load Image" as a user sees it: the file dialog has started the
// decoding program while the user chose a file, which the benchmark lets happen untimed.
void BM_LoadSheet_Source(benchmark::State& state, bench::FileKind kind) {
  bench::DialogAnswer answer(bench::PictureFile(kind, QSize(256, 256)));
  bench::FreshEditor();
  SRC_W& source = *EditorState.SrcWindows(1);
  for (auto _ : state) {
    state.PauseTiming();
    platform::PrepareDecoding();
    QThread::msleep(kChoosingMs);
    state.ResumeTiming();
    source.Command2->click();
  }
  if (source.Picture2->size() != QSize(256, 256)) state.SkipWithError("the sheet was not loaded");
  bench::CloseEditor();
}

// A GIF whose first image is far larger than its 100 x 100 screen: over the picture limit it is
// refused before anything is decoded; within it, the load does no more than a picture of the
// limit's area would.
void BM_LoadGifLargeFirstImage(benchmark::State& state) {
  const QSize image(int(state.range(0)), int(state.range(1)));
  const bool refused = !platform::FitsPictureLimit(image.width(), image.height());
  const QString path = bench::LargeFirstImageGif(image);
  for (auto _ : state) {
    try {
      if (platform::LoadPicture(path).size() != QSize(100, 100) || refused) state.SkipWithError("loaded");
    } catch (const platform::PlatformError& e) {
      if (!refused) state.SkipWithError(e.Text().toStdString().c_str());
    }
  }
}
}  // namespace

BENCHMARK(BM_LoadGifLargeFirstImage)->Args({65535, 16384})->Unit(benchmark::kMillisecond);
[[maybe_unused]] const bool kSheetsRegistered = [] {
  for (bench::FileKind kind : bench::kFileKinds)
    benchmark::RegisterBenchmark((std::string("BM_LoadSheet_Source/") + bench::KindName(kind)).c_str(),
                                 BM_LoadSheet_Source, kind)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(bench::Quick() ? 2 : 20);
  return true;
}();
BENCHMARK(BM_LoadJpeg_BareReader)->Unit(benchmark::kMillisecond)->Iterations(kRepeats);
BENCHMARK(BM_LoadJpeg_LoadPicture)->Unit(benchmark::kMillisecond)->Iterations(kRepeats);
BENCHMARK(BM_LoadJpeg_Canvas)->Unit(benchmark::kMillisecond)->Iterations(kRepeats);
BENCHMARK(BM_SaveCanvas_BareWriter)->Unit(benchmark::kMillisecond)->Iterations(kRepeats);
BENCHMARK(BM_SaveCanvas_Canvas)->Unit(benchmark::kMillisecond)->Iterations(kRepeats);

// Minutes and gigabytes: never in the quick run.
[[maybe_unused]] const bool kHugeRegistered = [] {
  if (bench::Quick()) return false;
  for (bench::FileKind kind : {bench::FileKind::Jpeg, bench::FileKind::PngRgba, bench::FileKind::Gif})
    benchmark::RegisterBenchmark((std::string("BM_LoadHuge_Source/") + bench::KindName(kind)).c_str(),
                                 BM_LoadHuge_Source, kind)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
  benchmark::RegisterBenchmark("BM_LoadGifLargeFirstImage", BM_LoadGifLargeFirstImage)
      ->Args({16384, 16383})
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3);
  return true;
}();
