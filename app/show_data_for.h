// The show data a command builds from a folder, as the start button builds it.
#pragma once

#include <string>

#include "app/command_options.h"
#include "platform/result.h"
#include "settings/lumen_b.h"

namespace lumen::app {

// ImageCount, ImagePaths and SlideOrder for the folder, shuffled by --seed when it is
// given. The reason when --seed is not a number or the folder cannot be listed.
Result<settings::ShowData> ShowDataFor(const CommandOptions& options, const std::string& folder,
                                       const settings::Settings& settings);

}  // namespace lumen::app
