#include "platform/debug_log.h"

#include <cstdio>
#include <mutex>
#include <string>

namespace lumen::platform {

void DebugLog(std::string_view message) {
  static std::mutex mutex;
  std::string line = "lumenshow: " + std::string(message) + "\n";
  std::lock_guard lock(mutex);
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace lumen::platform
