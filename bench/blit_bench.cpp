// BitBlt of one 32 x 32 cell against the bare row copies it is made of. The cells walk a
// 2 x 2 neighbourhood, as a pointer moving over a picture does.
#include <benchmark/benchmark.h>

#include <cstring>

#include "platform/Gdi.h"
#include "platform/PictureBox.h"

namespace {
void MakeBox(platform::PictureBox& box, int side) {
  box.SetWidth(side);
  box.SetHeight(side);
}

void BM_BitBlt32(benchmark::State& state) {
  const int side = int(state.range(0));
  platform::PictureBox src, dst;
  MakeBox(src, side);
  MakeBox(dst, side);
  int i = 0;
  for (auto _ : state) {
    const int x = 32 * (i % 2) + 64, y = 32 * ((i / 2) % 2) + 64;
    platform::BitBlt(dst, x, y, 32, 32, src, y, x);
    benchmark::ClobberMemory();
    ++i;
  }
}

// The floor: the same 32 row copies at the same strides, no clipping, no bookkeeping.
void BM_Memcpy32Rows(benchmark::State& state) {
  const int side = int(state.range(0));
  platform::PictureBox src, dst;
  MakeBox(src, side);
  MakeBox(dst, side);
  const qsizetype stride = src.Dc().bytesPerLine();
  const uchar* s = src.Dc().constBits();
  uchar* d = dst.Dc().bits();
  int i = 0;
  for (auto _ : state) {
    const int x = 32 * (i % 2) + 64, y = 32 * ((i / 2) % 2) + 64;
    const uchar* from = s + x * stride + y * 4;
    uchar* to = d + y * stride + x * 4;
    for (int row = 0; row < 32; ++row) std::memcpy(to + row * stride, from + row * stride, 32 * 4);
    benchmark::ClobberMemory();
    ++i;
  }
}
}  // namespace

BENCHMARK(BM_BitBlt32)->Arg(256)->Arg(2048)->Arg(8192);
BENCHMARK(BM_Memcpy32Rows)->Arg(256)->Arg(2048)->Arg(8192);
