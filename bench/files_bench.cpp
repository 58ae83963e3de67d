// Loading an 8192 x 8192 JPEG onto the canvas and saving an 8192 x 8192 canvas, each beside
// bare QImageReader / QImageWriter on the same file, with the resident memory a load adds.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <fstream>
#include <memory>
#include <string>

#include "app/MDIForm1.h"
#include "app/Module1.h"
#include "dest/DEST_W.h"
#include "platform/FileDialog.h"
#include "platform/PictureFile.h"

namespace {
constexpr int kSide = 8192;
constexpr double kImageMiB = double(kSide) * kSide * 4 / (1024 * 1024);

long StatusKiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == field) {
      status >> value;
      return value;
    }
    status.ignore(1 << 10, '\n');
  }
  return 0;
}

// Resets the peak resident size to the current one.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// A photograph-like 8192 x 8192 JPEG, made once.
const QString& JpegPath() {
  static QTemporaryDir dir;
  static const QString path = [] {
    QImage img(kSide, kSide, QImage::Format_RGB32);
    for (int y = 0; y < kSide; ++y) {
      auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
      for (int x = 0; x < kSide; ++x) row[x] = qRgb((x >> 5) & 255, (y >> 5) & 255, (x * y >> 9) & 255);
    }
    const QString p = dir.filePath("big.jpg");
    img.save(p, "JPG", 90);
    return p;
  }();
  return path;
}

QString& Answer() {
  static QString answer;
  return answer;
}

struct Editor {
  std::unique_ptr<MDIForm1> frame;
  Editor() {
    EditorState = EditorStateRecord{};
    frame = std::make_unique<MDIForm1>();
    frame->Show();
    platform::SetFileDialogHook([](QFileDialog&) { return Answer(); });
  }
  ~Editor() { platform::SetFileDialogHook({}); }
  DEST_W& Canvas() { return DEST_W::Instance(); }
  void Shrink() {
    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(Qt::white);
    Canvas().Picture2->SetPicture(small);
    Canvas().WKP->SetPicture(small);
  }
};

void BM_LoadJpeg_Canvas(benchmark::State& state) {
  const QString path = JpegPath();
  Editor editor;
  Answer() = path;
  double peak = 0, settled = 0;
  for (auto _ : state) {
    state.PauseTiming();
    editor.Shrink();
    const long before = StatusKiB("VmRSS:");
    ResetPeak();
    state.ResumeTiming();
    editor.Canvas().Command3_Click();
    state.PauseTiming();
    peak = std::max(peak, double(StatusKiB("VmHWM:") - before) / 1024);
    settled = std::max(settled, double(StatusKiB("VmRSS:") - before) / 1024);
    state.ResumeTiming();
  }
  state.counters["peak_MiB"] = peak;
  state.counters["settled_MiB"] = settled;
  state.counters["peak_x_image"] = peak / kImageMiB;
  state.counters["settled_x_image"] = settled / kImageMiB;
}

void BM_LoadJpeg_LoadPicture(benchmark::State& state) {
  const QString path = JpegPath();
  for (auto _ : state) benchmark::DoNotOptimize(platform::LoadPicture(path));
}

void BM_LoadJpeg_BareReader(benchmark::State& state) {
  const QString path = JpegPath();
  platform::LoadPicture(path);  // raises Qt's allocation limit, as the program runs
  double peak = 0;
  for (auto _ : state) {
    const long before = StatusKiB("VmRSS:");
    ResetPeak();
    QImageReader reader(path);
    QImage image = reader.read();
    peak = std::max(peak, double(StatusKiB("VmHWM:") - before) / 1024);
    benchmark::DoNotOptimize(image);
  }
  state.counters["peak_MiB"] = peak;
}

QImage& BigCanvasImage() {
  static QImage img = [] {
    QImage i(kSide, kSide, QImage::Format_RGB32);
    for (int y = 0; y < kSide; ++y) {
      auto* row = reinterpret_cast<QRgb*>(i.scanLine(y));
      for (int x = 0; x < kSide; ++x) row[x] = qRgb(x & 255, y & 255, (x ^ y) & 255);
    }
    return i;
  }();
  return img;
}

void BM_SaveCanvas_Canvas(benchmark::State& state) {
  Editor editor;
  editor.Canvas().Picture2->SetPicture(BigCanvasImage());
  editor.Canvas().WKP->SetPicture(BigCanvasImage());
  QTemporaryDir dir;
  Answer() = dir.filePath("canvas.bmp");
  for (auto _ : state) editor.Canvas().Command2_Click();
}

void BM_SaveCanvas_BareWriter(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath("canvas.bmp");
  for (auto _ : state) {
    QImageWriter writer(path, "bmp");
    benchmark::DoNotOptimize(writer.write(BigCanvasImage()));
  }
}
}  // namespace

BENCHMARK(BM_LoadJpeg_BareReader)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LoadJpeg_LoadPicture)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LoadJpeg_Canvas)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SaveCanvas_BareWriter)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SaveCanvas_Canvas)->Unit(benchmark::kMillisecond)->Iterations(5);

