// The show data a command builds from a folder, as the start button builds it.
#pragma once

#include <optional>
#include <string>

#include "app/command_options.h"
#include "settings/lumen_b.h"

namespace lumen::app {

// Reads --seed; false (after one line on stderr) when it is not a number.
bool ReadSeed(const CommandOptions& options, const std::string& command, std::optional<uint64_t>& seed);

// ImageCount, ImagePaths and SlideOrder for the folder; false when it cannot be listed.
bool BuildShowDataFor(const std::string& folder, const settings::Settings& settings,
                      std::optional<uint64_t> seed, settings::ShowData& data);

}  // namespace lumen::app
