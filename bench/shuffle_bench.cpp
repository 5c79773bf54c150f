// The show start's cost: the shuffle walks its markers linearly for every draw, so n
// pictures take up to n(n+1)/2 steps. Run: build/bench/shuffle_bench
#include <benchmark/benchmark.h>

#include "mainwindow/show_order.h"

namespace {

void BM_ShowStart(benchmark::State& state, int16_t showOrder) {
  std::vector<std::string> names(static_cast<size_t>(state.range(0)), "IMG_0000.jpg");
  lumen::mainwindow::ShuffleRandom random;
  lumen::settings::ShowData data;
  for (auto _ : state) {
    lumen::mainwindow::BuildShowData(data, "/home/user/Pictures", names, showOrder, random);
    benchmark::DoNotOptimize(data.SlideOrder.data());
  }
  state.SetComplexityN(state.range(0));
}

void BM_Shuffled(benchmark::State& state) { BM_ShowStart(state, 1); }
void BM_Sequential(benchmark::State& state) { BM_ShowStart(state, 0); }

BENCHMARK(BM_Shuffled)->RangeMultiplier(10)->Range(100, 10000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_Sequential)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
