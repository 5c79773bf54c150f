#include "platform/mci/mci_interpreter.h"

#include <algorithm>

#include "platform/ascii_text.h"
#include "platform/mci/cd_device.h"
#include "platform/mci/mci_errors.h"
#include "platform/mci/mpeg_device.h"

namespace lumen::platform::mci {
namespace {

std::string Key(std::string_view name) { return AsciiLowered(name); }

constexpr std::string_view kVerbs[] = {"play", "stop", "pause", "resume", "status", "set", "seek"};

}  // namespace

uint32_t MciInterpreter::Open(const MciCommand& command) {
  std::string type;
  std::string alias;
  ArgReader args(command.args);
  while (!args.Done()) {
    if (args.Take("shareable")) continue;
    bool isType = args.Take("type");
    if (!isType && !args.Take("alias")) return MCIERR_UNRECOGNIZED_KEYWORD;
    const std::string* value = args.Value();
    if (value == nullptr) return MCIERR_MISSING_STRING_ARGUMENT;
    (isType ? type : alias) = *value;
  }
  const std::string& element = command.device;
  if (type.empty()) {
    if (SameWord(element, "cdaudio") || SameWord(element, "mpegvideo")) {
      type = element;
    } else if (EndsWithNoCase(element, ".mp3") || EndsWithNoCase(element, ".wav")) {
      type = "mpegvideo";
    } else {
      return MCIERR_INVALID_DEVICE_NAME;
    }
  }
  bool isCd = SameWord(type, "cdaudio");
  if (!isCd && !SameWord(type, "mpegvideo")) return MCIERR_DEVICE_NOT_INSTALLED;
  if (!isCd && SameWord(element, "mpegvideo")) return MCIERR_MISSING_PARAMETER;  // no file named

  const std::string key = Key(alias.empty() ? element : alias);
  if (devices_.count(key) != 0) return alias.empty() ? MCIERR_DEVICE_OPEN : MCIERR_DUPLICATE_ALIAS;

  uint32_t error = 0;
  std::unique_ptr<MciDevice> device;
  if (isCd) {
    if (auto drive = drivers_.OpenCdDrive(error)) device = std::make_unique<CdAudioDevice>(std::move(drive));
  } else {
    if (auto track = drivers_.OpenMusic(element, error)) device = std::make_unique<MpegDevice>(std::move(track));
  }
  if (!device) return error != 0 ? error : MCIERR_INTERNAL;
  devices_.emplace(key, std::move(device));
  return 0;
}

uint32_t MciInterpreter::Send(std::string_view text, std::string& answer) {
  answer.clear();
  MciCommand command;
  if (uint32_t error = ParseCommand(text, command)) return error;
  if (command.verb == "open") return Open(command);
  if (command.verb == "close") {
    if (!command.args.empty()) return MCIERR_UNRECOGNIZED_KEYWORD;
    if (SameWord(command.device, "all")) {
      devices_.clear();
      return 0;
    }
    return devices_.erase(Key(command.device)) != 0 ? 0u : uint32_t{MCIERR_INVALID_DEVICE_NAME};
  }
  if (std::find(std::begin(kVerbs), std::end(kVerbs), command.verb) == std::end(kVerbs)) {
    return MCIERR_UNRECOGNIZED_COMMAND;
  }
  auto device = devices_.find(Key(command.device));
  if (device == devices_.end()) return MCIERR_INVALID_DEVICE_NAME;
  uint32_t error = device->second->Execute(command, answer);
  if (error != 0) answer.clear();
  return error;
}

}  // namespace lumen::platform::mci
