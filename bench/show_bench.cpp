// The show's speed: one page-turn frame against the memory floor, how soon a turn
// presents its first frame, with and without the neighbouring pictures prepared (and,
// cold, at what CPU cost, idle and under load), and the longest wait in a run of quick
// presses.
// Run: build/bench/show_bench
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <csignal>
#include <ctime>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "photos.h"

#include "slideshow/lumen_s.h"
#include "slideshow/virtual_screen.h"

namespace {

using lumen::slideshow::Lumen_S;
using lumen::slideshow::VirtualScreen;
namespace gdi = lumen::platform::gdi;

const lumen::settings::Settings kSettings{.ViewKind = lumen::settings::View::Details,
                                          .ImageFolder = "",
                                          .TurnDirection = lumen::settings::Turn::Left,
                                          .TurnSpeed = 100,
                                          .MarginColor = 0xFFFFFF,
                                          .BgmFile = "",
                                          .BgmFolder = ""};

// Two 24-megapixel photographs, without restart markers or with one every row of MCUs.
const lumen::settings::ShowData& LargePhotos(bool restarts) {
  static lumen::settings::ShowData shows[2];
  lumen::settings::ShowData& data = shows[restarts];
  if (data.ImageCount == 0) {
    data.ImageCount = 2;
    data.SlideOrder = {0, 1, 2};
    data.ImagePaths = {""};
    for (const std::string& path : lumen::bench::MakePhotos(
             (std::filesystem::temp_directory_path() / "lumenshow-bench").string(), 2, restarts)) {
      data.ImagePaths.push_back(path);
    }
  }
  return data;
}

// Two processes that only spin, as a busy machine's other work, while it lives.
class CompetingLoad {
 public:
  explicit CompetingLoad(bool on) {
    for (int i = 0; on && i < 2; ++i) {
      const pid_t child = fork();
      if (child == 0) {
        while (true) __asm__ volatile("" ::: "memory");  // a loop the compiler keeps
      }
      if (child > 0) children_.push_back(child);
    }
  }
  ~CompetingLoad() {
    for (pid_t child : children_) kill(child, SIGKILL), waitpid(child, nullptr, 0);
  }

 private:
  std::vector<pid_t> children_;
};

double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

// One frame at FoldPos 300 (a 150-column leaf) on a 1620 x 1080 window, as the frames
// of a turn after its first are drawn: around the page, only the last leaf is cleared.
void BM_BltingFrame(benchmark::State& state) {
  lumen::settings::ShowData none;
  VirtualScreen screen({1920, 1080}, false);
  Lumen_S show(screen, kSettings, none, nullptr, lumen::slideshow::ReadAhead::None());
  screen.Attach(&show);
  screen.Open();
  show.SetFoldPos(300);
  for (auto _ : state) {
    show.Blting(false);
    benchmark::DoNotOptimize(show.WindowImage().Row(0));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * 1620 * 1080 * 4);
}
BENCHMARK(BM_BltingFrame)->Unit(benchmark::kMicrosecond);

// The same bytes with memset and memcpy: the clear, two half pages and the leaf's columns.
void BM_BltingMemoryFloor(benchmark::State& state) {
  std::vector<uint32_t> window(1620 * 1080), page(900 * 600);
  for (auto _ : state) {
    std::memset(window.data(), 0, window.size() * 4);
    for (int y = 0; y < 600; ++y) std::memcpy(&window[size_t(y + 240) * 1620 + 360], &page[size_t(y) * 900], 900 * 4);
    for (int y = 0; y < 600; ++y) std::memcpy(&window[size_t(y + 200) * 1620 + 810], &page[size_t(y) * 900], 151 * 4);
    benchmark::DoNotOptimize(window.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * 1620 * 1080 * 4);
}
BENCHMARK(BM_BltingMemoryFloor)->Unit(benchmark::kMicrosecond);

// A plainer floor: the window cleared with one memset, and one page copied with one memcpy.
void BM_WindowMemsetPageMemcpy(benchmark::State& state) {
  std::vector<uint32_t> window(1620 * 1080), page(900 * 600, 0xFF808080u), copy(900 * 600);
  for (auto _ : state) {
    std::memset(window.data(), 0, window.size() * 4);
    std::memcpy(copy.data(), page.data(), page.size() * 4);
    benchmark::DoNotOptimize(window.data());
    benchmark::DoNotOptimize(copy.data());
  }
}
BENCHMARK(BM_WindowMemsetPageMemcpy)->Unit(benchmark::kMicrosecond);

// From the key to the first frame of a turn to a 24-megapixel photograph; the counter
// cpu_ms is the CPU time the whole turn took, on every thread.
void TurnStart(benchmark::State& state, lumen::slideshow::ReadAhead ahead, bool restarts = false, bool loaded = false) {
  const auto& photos = LargePhotos(restarts);
  const bool prepared = ahead.workers > 0;
  const CompetingLoad load(loaded);
  double cpu = 0;
  for (auto _ : state) {
    VirtualScreen screen({1920, 1080}, false);
    Lumen_S show(screen, kSettings, photos, nullptr, ahead);
    screen.Attach(&show);
    screen.Open();
    if (prepared) show.WaitUntilPrepared();
    auto start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point first{};
    screen.OnPresent([&](const gdi::Surface&, std::optional<gdi::COLORREF>) {
      if (first == std::chrono::steady_clock::time_point{}) first = std::chrono::steady_clock::now();
    });
    const double cpuBefore = ProcessCpuSeconds();
    show.FlipRight();
    cpu += ProcessCpuSeconds() - cpuBefore;
    state.SetIterationTime(std::chrono::duration<double>(first - start).count());
  }
  state.counters["cpu_ms"] = benchmark::Counter(1000 * cpu / double(state.iterations()));
}
// Five Right presses 100 ms apart over eight 24-megapixel photos, on a display that shows
// a frame every 1/60 s: the longest a turn waited for its pictures, from when it could
// start (its key, or the end of the turn before) to its first frame. Both ways in one run:
// the neighbours only on one thread (before), and three pages ahead on two.
void RapidTurns(benchmark::State& state, lumen::slideshow::ReadAhead ahead) {
  static lumen::settings::ShowData photos = [] {
    lumen::settings::ShowData data;
    data.ImagePaths = {""};
    data.SlideOrder = {0};
    for (const std::string& path :
         lumen::bench::MakePhotos((std::filesystem::temp_directory_path() / "lumenshow-bench").string(), 8)) {
      data.ImagePaths.push_back(path);
      data.SlideOrder.push_back(static_cast<int32_t>(data.SlideOrder.size()));
    }
    data.ImageCount = 8;
    return data;
  }();
  using Clock = std::chrono::steady_clock;
  for (auto _ : state) {
    VirtualScreen screen({1920, 1080}, false);
    Lumen_S show(screen, kSettings, photos, nullptr, ahead);
    screen.Attach(&show);
    screen.Open();
    show.WaitUntilPrepared();
    Clock::time_point first{};
    screen.OnPresent([&](const gdi::Surface&, std::optional<gdi::COLORREF>) {
      if (first == Clock::time_point{}) first = Clock::now();
      std::this_thread::sleep_for(std::chrono::microseconds(16667));  // the display's pace
    });
    const Clock::time_point start = Clock::now();
    double longest = 0;
    for (int k = 0; k < 5; ++k) {
      const Clock::time_point pressed = start + std::chrono::milliseconds(100 * k);
      std::this_thread::sleep_until(pressed);
      const Clock::time_point ready = std::max(pressed, Clock::now());
      first = {};
      show.FlipRight();
      longest = std::max(longest, std::chrono::duration<double>(first - ready).count());
    }
    state.SetIterationTime(longest);
  }
}
void BM_RapidTurnsNeighboursOnly(benchmark::State& state) { RapidTurns(state, {1, 1}); }
void BM_RapidTurnsAhead(benchmark::State& state) { RapidTurns(state, {}); }
BENCHMARK(BM_RapidTurnsNeighboursOnly)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RapidTurnsAhead)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Cold: the photo decoded on one thread, and as the show decodes it: in bands on every
// core when it has restart markers (otherwise on one thread too); on an idle machine and
// beside two busy processes.
void BM_TurnStartColdOneThread(benchmark::State& state) { TurnStart(state, {0, 0, 1}); }
void BM_TurnStartCold(benchmark::State& state) { TurnStart(state, lumen::slideshow::ReadAhead::None()); }
void BM_TurnStartColdRestartsOneThread(benchmark::State& state) { TurnStart(state, {0, 0, 1}, true); }
void BM_TurnStartColdRestarts(benchmark::State& state) { TurnStart(state, lumen::slideshow::ReadAhead::None(), true); }
void BM_TurnStartColdOneThreadLoaded(benchmark::State& state) { TurnStart(state, {0, 0, 1}, false, true); }
void BM_TurnStartColdLoaded(benchmark::State& state) { TurnStart(state, lumen::slideshow::ReadAhead::None(), false, true); }
void BM_TurnStartColdRestartsOneThreadLoaded(benchmark::State& state) { TurnStart(state, {0, 0, 1}, true, true); }
void BM_TurnStartColdRestartsLoaded(benchmark::State& state) {
  TurnStart(state, lumen::slideshow::ReadAhead::None(), true, true);
}
void BM_TurnStartPrepared(benchmark::State& state) { TurnStart(state, {}); }
BENCHMARK(BM_TurnStartColdOneThread)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TurnStartCold)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TurnStartColdRestartsOneThread)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TurnStartColdRestarts)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TurnStartColdOneThreadLoaded)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TurnStartColdLoaded)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TurnStartColdRestartsOneThreadLoaded)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TurnStartColdRestartsLoaded)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TurnStartPrepared)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
