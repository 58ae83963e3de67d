// A tiny picture followed by a long tail that the loader must not read: a 20 x 20 GIF and JPEG
// with 2 GiB of zeros after them (a sparse file, so the disk holds none of it), and a one-pixel
// RLE8 bitmap followed by 128 MiB of runs past its only row. Time and peak memory of the load,
// beside the same picture without its tail in the same run (the quick run keeps 16 MiB tails).
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <string>

#include "Memory.h"
#include "Session.h"
#include "platform/Errors.h"
#include "platform/files/PictureFile.h"
#include "support/GifWriter.h"
#include "support/PictureBytes.h"
#include "support/TestSupport.h"

namespace {
enum class Tail { GifZeros, JpegZeros, RleRuns };

const qint64 kZeros = bench::Quick() ? qint64(16) << 20 : qint64(2) << 30;
const int kRuns = bench::Quick() ? 8 << 20 : 64 << 20;  // two bytes each

QByteArray Picture(Tail tail) {
  switch (tail) {
    case Tail::GifZeros:
      return gifwriter::Encode(20, 20, {qRgb(10, 20, 30), qRgb(200, 100, 0)},
                               [](int x, int y) { return (x ^ y) & 1; });
    case Tail::JpegZeros: return picturebytes::Encoded(testsupport::PatternImage(20, 20, 3), "jpeg");
    case Tail::RleRuns:
      return picturebytes::PalettedBmp(picturebytes::IndexPattern(1, 1, 1, 1), picturebytes::Rle::NoEndOfLastRow);
  }
  return {};
}

// The picture alone, or with its tail.
QString File(Tail tail, bool withTail) {
  static QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("%1-%2").arg(int(tail)).arg(withTail));
  if (QFile::exists(path)) return path;
  QFile file(path);
  const QByteArray picture = Picture(tail);
  if (!file.open(QIODevice::WriteOnly) || file.write(picture) != picture.size()) return QString();
  if (!withTail) return path;
  if (tail != Tail::RleRuns) return file.resize(picture.size() + kZeros) ? path : QString();
  const QByteArray runs = QByteArray::fromHex("ff00").repeated(1 << 20);
  for (int written = 0; written < kRuns; written += 1 << 20)
    if (file.write(runs) != runs.size()) return QString();
  return path;
}

double Seconds(const QString& path) {
  const auto start = std::chrono::steady_clock::now();
  platform::LoadPicture(path);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_LoadWithTail(benchmark::State& state, Tail tail) {
  const QString plain = File(tail, false), tailed = File(tail, true);
  double plainSeconds = 0, tailSeconds = 0;
  long peakKiB = 0;
  try {
    for (auto _ : state) {
      plainSeconds += Seconds(plain);
      bench::ResetPeak();
      const long base = bench::ResidentKiB();
      const double once = Seconds(tailed);
      peakKiB = std::max(peakKiB, bench::PeakKiB() - base);
      tailSeconds += once;
      state.SetIterationTime(once);
    }
  } catch (const platform::PlatformError& e) {
    state.SkipWithError(e.Text().toStdString().c_str());
    return;
  }
  state.counters["plain_ms"] = 1000 * plainSeconds / state.iterations();
  state.counters["x_plain"] = tailSeconds / plainSeconds;
  state.counters["peak_MiB"] = double(peakKiB) / 1024;
}
}  // namespace

BENCHMARK_CAPTURE(BM_LoadWithTail, GIF_then_zeros, Tail::GifZeros)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_LoadWithTail, JPEG_then_zeros, Tail::JpegZeros)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_LoadWithTail, RLE8_then_runs_past_the_row, Tail::RleRuns)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
