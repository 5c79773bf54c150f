#include "app/command_line.h"

#include <QCommandLineParser>
#include <QStringList>

namespace lumen::app {

const std::vector<SubcommandEntry>& Subcommands() {
  static const OptionEntry ini{"--ini", "FILE", "read the settings from FILE instead of the settings file in use"};
  static const OptionEntry seed{"--seed", "N", "the shuffle's seed (0 to 18446744073709551615), for a repeatable order"};
  static const std::vector<SubcommandEntry> table = {
      {"slideshow", "DIR", "the show of DIR with the saved settings, straight away (no DIR: the main window)", true,
       {ini, seed}},
      {"browse", "DIR", "the picture list of DIR with its preview, in a window of its own", true,
       {{"--details", nullptr, "the details view instead of thumbnails"}}},
      {"settings", "", "the settings as loaded, one Name=value line each", false,
       {ini, {"--file", nullptr, "print the path of the settings file in use instead"}}},
      {"order", "DIR", "ImageCount, ImagePaths and SlideOrder as the start button builds them", false, {ini, seed}},
      {"bgm", "", "plays the saved music as a show would, printing every MCI command and answer", false,
       {ini, {"--seconds", "S", "how long to play (default 10)"}}},
      {"frames", "DIR --out OUTDIR", "every frame the show would present, as PNG files", false,
       {{"--out", "OUTDIR", "the folder for the frames"},
        {"--screen", "WxH", "the screen's size (default 1920x1080)"},
        {"--scale", "S", "the screen's scale, 1 to 4 (HiDPI)"},
        {"--maximized", nullptr, "the window maximised, as a window manager may insist"},
        {"--keys", "KEYS", "the keys pressed in turn: R(ight), L(eft), T(ick), E(sc)"},
        seed,
        ini}},
      {"video", "DIR --out FILE", "the show as a video file (.mp4, .mkv or .webm), turning by itself", false,
       {{"--out", "FILE", "the video file; .mp4 and .mkv hold H.264, .webm VP9"},
        {"--size", "WxH", "the video's size, even numbers (default 1920x1080)"},
        {"--fps", "N", "frames a second, 1 to 240 (default 60)"},
        {"--rounds", "N", "full rounds through the pictures (default 1)"},
        {"--quality", "Q", "the encoder's constant quality, lower is better (default 23; .webm 32)"},
        seed,
        ini}},
      {"thumbnails", "DIR --out OUTDIR", "the 40 x 40 thumbnails the list would hold, as PNG files", false,
       {{"--out", "OUTDIR", "the folder for the thumbnails"}}},
      {"gallery", "--out OUTDIR", "the custom controls in all their states, as PNG files", false,
       {{"--out", "OUTDIR", "the folder for the images"}}},
  };
  return table;
}

const SubcommandEntry* FindSubcommand(std::string_view name) {
  for (const SubcommandEntry& entry : Subcommands()) {
    if (name == entry.name) return &entry;
  }
  return nullptr;
}

std::string ProgramHelp() {
  std::string text =
      "usage: lumenshow [SUBCOMMAND [ARGUMENTS]]\n"
      "A photo slide show with a page-turning animation and music. Without a subcommand\n"
      "it opens the main window.\n\nSubcommands:\n";
  for (const SubcommandEntry& entry : Subcommands()) {
    std::string head = std::string("  ") + entry.name;
    text += head + std::string(head.size() < 14 ? 14 - head.size() : 1, ' ') + entry.summary + "\n";
  }
  text +=
      "\n  --help        this text; lumenshow SUBCOMMAND --help tells about one\n"
      "  --version     the version\n"
      "\nSee man lumenshow for the environment variables and the files.\n";
  return text;
}

std::string UsageLine(std::string_view subcommand) {
  const SubcommandEntry* entry = FindSubcommand(subcommand);
  if (entry == nullptr) return "usage: lumenshow --help";
  std::string usage = std::string("usage: lumenshow ") + entry->name;
  if (*entry->arguments != '\0') usage += std::string(" ") + entry->arguments;
  return usage + (entry->options.empty() ? "" : " [options]");
}

std::string SubcommandHelp(const SubcommandEntry& entry) {
  std::string text = UsageLine(entry.name) + "\n" + entry.summary + "\n";
  if (entry.needsDisplay) text += "Needs a display.\n";
  for (const OptionEntry& option : entry.options) {
    std::string head = std::string("  ") + option.name + (option.valueName ? std::string(" ") + option.valueName : "");
    text += head + std::string(head.size() < 18 ? 18 - head.size() : 1, ' ') + option.help + "\n";
  }
  return text;
}

std::string CommandsWithoutDisplay() {
  std::string names;
  for (const SubcommandEntry& entry : Subcommands()) {
    if (!entry.needsDisplay) names += (names.empty() ? "" : ", ") + std::string(entry.name);
  }
  return names;
}

Result<CommandOptions> ParseCommandOptions(const std::vector<std::string>& args, std::string_view subcommand) {
  const SubcommandEntry* entry = FindSubcommand(subcommand);
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  for (const OptionEntry& option : entry ? entry->options : std::vector<OptionEntry>{}) {
    parser.addOption(QCommandLineOption(QString(option.name + 2), QString(), option.valueName ? option.valueName : ""));
  }
  // Latin-1 both ways carries every byte through as it is: a file name need not be UTF-8.
  QStringList words{"lumenshow"};
  for (const std::string& word : args) words << QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size()));
  if (!parser.parse(words)) return Fail(parser.errorText().toStdString());
  CommandOptions options;
  for (const QString& word : parser.positionalArguments()) options.positional.push_back(word.toLatin1().toStdString());
  for (const OptionEntry& option : entry ? entry->options : std::vector<OptionEntry>{}) {
    const QString name(option.name + 2);
    if (!parser.isSet(name)) continue;
    if (option.valueName) {
      options.values[option.name] = parser.value(name).toLatin1().toStdString();
    } else {
      options.flags.insert(option.name);
    }
  }
  return options;
}

}  // namespace lumen::app
