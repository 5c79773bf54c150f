// The random numbers of the shuffled show order.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace lumen::mainwindow {

// Re-seeded before every draw. Each seed mixes the clock with a count of the re-seeds so
// far in this process, so draws made within one clock tick still differ. With a fixed seed the clock is
// not read and the same sequence of draws comes every time.
class ShuffleRandom {
 public:
  using Clock = std::function<uint64_t()>;  // any value that changes with time

  // The clock is the system's real-time clock in nanoseconds.
  ShuffleRandom();
  explicit ShuffleRandom(Clock clock);
  static ShuffleRandom WithFixedSeed(uint64_t seed);

  void Reseed();
  // Uniform over [0, 1), 53 random bits.
  double Uniform();

 private:
  ShuffleRandom(Clock clock, std::optional<uint64_t> fixedSeed);

  Clock clock_;
  std::optional<uint64_t> fixedSeed_;
  uint64_t reseeds_ = 0;
  uint64_t state_ = 0;
};

}  // namespace lumen::mainwindow
