// The show start's cost, sequential and shuffled, up to 100,000 pictures (the shuffle
// finds each draw's picture in a Fenwick tree: n log n). Run: build/bench/shuffle_bench
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

#include "mainwindow/show_order.h"

namespace {

void BM_ShowStart(benchmark::State& state, int16_t showOrder) {
  std::vector<std::string> names(static_cast<size_t>(state.range(0)), "IMG_0000.jpg");
  lumen::mainwindow::ShuffleRandom random;
  lumen::settings::ShowData data;
  for (auto _ : state) {
    lumen::mainwindow::BuildShowData(data, "/home/user/Pictures", names, static_cast<lumen::settings::Order>(showOrder),
                                     random);
    benchmark::DoNotOptimize(data.SlideOrder.data());
  }
  state.SetComplexityN(state.range(0));
}

void BM_Shuffled(benchmark::State& state) { BM_ShowStart(state, 1); }

// The baseline, in the same run: the first implementation's walk over the markers for
// every draw (the same order, n(n+1)/2 steps).
void BM_ShuffledLinearWalk(benchmark::State& state) {
  const auto count = static_cast<int32_t>(state.range(0));
  lumen::mainwindow::ShuffleRandom random;
  std::vector<int32_t> order(static_cast<size_t>(count) + 1);
  for (auto _ : state) {
    std::vector<char> used(static_cast<size_t>(count) + 1, 0);
    int32_t k = 0;
    for (int32_t n = count; n > 0; --n) {
      random.Reseed();
      int32_t r = std::min(static_cast<int32_t>(std::floor(random.Uniform() * n)) + 1, n);
      for (int32_t j = 1; j <= count; ++j) {
        if (used[j] == 0 && --r == 0) {
          used[j] = 1;
          order[++k] = j;
          break;
        }
      }
    }
    benchmark::DoNotOptimize(order.data());
  }
}
void BM_Sequential(benchmark::State& state) { BM_ShowStart(state, 0); }

BENCHMARK(BM_Shuffled)->RangeMultiplier(10)->Range(100, 100000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_ShuffledLinearWalk)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Sequential)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
