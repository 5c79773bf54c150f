// The debug log: one line per event on stderr, for what the user is never shown
// (no audio output, an unreadable disc) but may want to know when something stays silent.
#pragma once

#include <string_view>

namespace lumen::platform {

// Thread-safe; adds the "lumenshow: " prefix and the line end.
void DebugLog(std::string_view message);

}  // namespace lumen::platform
