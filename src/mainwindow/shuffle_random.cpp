#include "mainwindow/shuffle_random.h"

#include <atomic>
#include <chrono>

namespace lumen::mainwindow {
namespace {

// SplitMix64: a full-period generator whose outputs pass BigCrush; also a good mixer
// of seeds that differ in few bits (consecutive clock readings, consecutive counts).
uint64_t SplitMix64(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

uint64_t RealTimeNanoseconds() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                   std::chrono::system_clock::now().time_since_epoch())
                                   .count());
}

}  // namespace

ShuffleRandom::ShuffleRandom() : ShuffleRandom(RealTimeNanoseconds, std::nullopt) {}
ShuffleRandom::ShuffleRandom(Clock clock) : ShuffleRandom(std::move(clock), std::nullopt) {}
ShuffleRandom::ShuffleRandom(Clock clock, std::optional<uint64_t> fixedSeed)
    : clock_(std::move(clock)), fixedSeed_(fixedSeed) {}

ShuffleRandom ShuffleRandom::WithFixedSeed(uint64_t seed) { return ShuffleRandom(nullptr, seed); }

void ShuffleRandom::Reseed() {
  uint64_t base = fixedSeed_ ? *fixedSeed_ : clock_();
  // Clock-seeded generators share one count, so two starts within one tick differ too.
  static std::atomic<uint64_t> processReseeds{0};
  uint64_t count = fixedSeed_ ? reseeds_++ : processReseeds.fetch_add(1);
  uint64_t mix = count;
  state_ = base ^ SplitMix64(mix);
}

double ShuffleRandom::Uniform() {
  return static_cast<double>(SplitMix64(state_) >> 11) * 0x1.0p-53;
}

}  // namespace lumen::mainwindow
