// Work on threads of our own that must not end the program when the system refuses
// something (memory, a thread, a file system call): the item fails, as a broken file's
// does, and the debug log says why.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>

#include "platform/debug_log.h"

namespace lumen::platform {

// What `work` returns, or nothing when it threw.
template <typename Work>
std::optional<std::invoke_result_t<Work>> Guarded(std::string_view what, Work&& work) {
  try {
    return std::forward<Work>(work)();
  } catch (const std::exception& error) {
    DebugLog(std::string(what) + ": " + error.what());
    return std::nullopt;
  }
}

// A new thread, or none when the system cannot start one.
template <typename... Args>
std::optional<std::thread> TryStartThread(Args&&... args) {
  try {
    return std::thread(std::forward<Args>(args)...);
  } catch (const std::exception& error) {
    DebugLog(std::string("cannot start a thread: ") + error.what());
    return std::nullopt;
  }
}

}  // namespace lumen::platform
