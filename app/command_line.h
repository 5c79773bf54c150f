// The subcommands and their options in one table: what each takes, what --help says,
// and which need a display. Words are parsed with QCommandLineParser.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_options.h"
#include "platform/result.h"

namespace lumen::app {

struct OptionEntry {
  const char* name;       // "--out"
  const char* valueName;  // "OUTDIR"; null for a flag
  const char* help;
};

struct SubcommandEntry {
  const char* name;
  const char* arguments;  // what follows the name in the usage line
  const char* summary;
  bool needsDisplay;
  std::vector<OptionEntry> options;
};

const std::vector<SubcommandEntry>& Subcommands();
const SubcommandEntry* FindSubcommand(std::string_view name);

// "lumenshow --help" and "lumenshow SUBCOMMAND --help".
std::string ProgramHelp();
std::string SubcommandHelp(const SubcommandEntry& entry);
// "usage: lumenshow frames DIR --out OUTDIR [options]", for a line about bad arguments.
std::string UsageLine(std::string_view subcommand);
// The subcommands that work without a display, for the line that says there is none.
std::string CommandsWithoutDisplay();

// The words after the subcommand's name, read by its entry in the table: options anywhere ("--out DIR"
// or "--out=DIR"), "--" ending them. The reason when they do not fit.
Result<CommandOptions> ParseCommandOptions(const std::vector<std::string>& args, std::string_view subcommand);

}  // namespace lumen::app
