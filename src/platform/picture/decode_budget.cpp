#include "platform/picture/decode_budget.h"

#include <condition_variable>
#include <mutex>

namespace lumen::platform::picture {
namespace {

std::mutex mutex;
std::condition_variable released;
uint64_t held = 0;

void GiveBack(uint64_t bytes) {
  if (bytes == 0) return;
  {
    std::lock_guard lock(mutex);
    held -= bytes;
  }
  released.notify_all();
}

}  // namespace

std::optional<DecodeShare> DecodeShare::Take(uint64_t bytes, std::chrono::milliseconds wait) {
  if (bytes > kDecodeBudgetBytes) return std::nullopt;
  std::unique_lock lock(mutex);
  if (!released.wait_for(lock, wait, [&] { return held + bytes <= kDecodeBudgetBytes; })) return std::nullopt;
  held += bytes;
  return DecodeShare(bytes);
}

DecodeShare& DecodeShare::operator=(DecodeShare&& other) noexcept {
  if (this != &other) {
    GiveBack(bytes_);
    bytes_ = std::exchange(other.bytes_, 0);
  }
  return *this;
}

DecodeShare::~DecodeShare() { GiveBack(bytes_); }

void DecodeShare::ShrinkTo(uint64_t bytes) {
  if (bytes >= bytes_) return;
  GiveBack(bytes_ - bytes);
  bytes_ = bytes;
}

uint64_t DecodeShare::Held() {
  std::lock_guard lock(mutex);
  return held;
}

}  // namespace lumen::platform::picture
