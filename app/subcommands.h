// The command-line subcommands that need no display.
#pragma once

#include <string>
#include <vector>

namespace lumen::app {

// Exit status for arguments the program cannot use; one line on stderr says why.
inline constexpr int kBadArguments = 2;

// args are the words after the subcommand's name. Return the exit status.
int RunSettings(const std::vector<std::string>& args);
int RunOrder(const std::vector<std::string>& args);

}  // namespace lumen::app
