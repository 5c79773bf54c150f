// The decoded pixels the whole process holds at once, however many pictures are decoded
// on however many threads: 1 GiB. The largest picture LumenShow decodes takes 512 MiB, so
// two of them fit (the show prepares the next page while one stands, the list decodes on
// every core), and six at once no longer add up to several gigabytes. A decoder takes its
// share before it allocates and gives it back when its pixels are gone; a share that
// cannot be had in time (or is larger than the whole) makes the picture a failed one.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <utility>

namespace lumen::platform::picture {

inline constexpr uint64_t kDecodeBudgetBytes = 1ull << 30;

class DecodeShare {
 public:
  // Waits while others hold too much, up to `wait`; nothing when the share never fits.
  static std::optional<DecodeShare> Take(uint64_t bytes,
                                         std::chrono::milliseconds wait = std::chrono::seconds(10));
  DecodeShare(DecodeShare&& other) noexcept : bytes_(std::exchange(other.bytes_, 0)) {}
  DecodeShare& operator=(DecodeShare&& other) noexcept;
  DecodeShare(const DecodeShare&) = delete;
  ~DecodeShare();
  uint64_t Bytes() const { return bytes_; }
  // Gives back what is no longer needed (a decoder's scratch once its result stands).
  void ShrinkTo(uint64_t bytes);
  // What the whole process holds now.
  static uint64_t Held();

 private:
  explicit DecodeShare(uint64_t bytes) : bytes_(bytes) {}
  uint64_t bytes_;
};

}  // namespace lumen::platform::picture
