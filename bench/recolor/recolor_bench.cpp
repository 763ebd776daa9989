// RecolorBitmap over a 64 MiB 8-bit image against the same 256-entry table
// applied by a plain loop over the same bytes.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "core/modRecolor.h"

namespace {

using namespace tintwell;

constexpr int kSide = 8192;  // 8192 x 8192 x 1 byte = 64 MiB

ColorMap ShiftedMap() {
    ColorMap map;
    for (int i = 0; i < 256; ++i)
        map.SetMapping(i, static_cast<std::uint8_t>(i * 7 + 13));
    return map;
}

void FillRandom(std::span<std::uint8_t> bytes) {
    std::mt19937 rng(1);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(rng());
}

void BM_PlainTableLookup(benchmark::State& state) {
    std::vector<std::uint8_t> bytes(std::size_t{kSide} * kSide);
    FillRandom(bytes);
    const ColorMap map = ShiftedMap();
    const std::uint8_t* table = map.data();
    for (auto _ : state) {
        std::uint8_t* p = bytes.data();
        const std::size_t n = bytes.size();
        for (std::size_t i = 0; i < n; ++i)
            p[i] = table[p[i]];
        benchmark::DoNotOptimize(bytes.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSide * kSide);
}
BENCHMARK(BM_PlainTableLookup)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RecolorBitmap(benchmark::State& state) {
    clsBitmap bmp;
    bmp.CreateNew(kSide, kSide, 8);
    FillRandom(bmp.MutablePixels());
    const ColorMap map = ShiftedMap();
    const SelectionRect whole{};
    for (auto _ : state) {
        RecolorBitmap(bmp, map, whole, false);
        benchmark::DoNotOptimize(bmp.Pixels().data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSide * kSide);
}
BENCHMARK(BM_RecolorBitmap)->Unit(benchmark::kMillisecond)->UseRealTime();

// A selection with the outside flag: two spans per row inside the rectangle.
void BM_RecolorBitmapOutsideSelection(benchmark::State& state) {
    clsBitmap bmp;
    bmp.CreateNew(kSide, kSide, 8);
    FillRandom(bmp.MutablePixels());
    const ColorMap map = ShiftedMap();
    const SelectionRect middle{kSide / 4, kSide / 4, 16, kSide / 2};
    for (auto _ : state) {
        RecolorBitmap(bmp, map, middle, true);
        benchmark::DoNotOptimize(bmp.Pixels().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RecolorBitmapOutsideSelection)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
