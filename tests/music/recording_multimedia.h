// A multimedia system that records every call as a line of text and answers from a
// script: "mci <command> [<answer length>]", "PlaySound <name|NULL> <flags>", "waveOutGetNumDevs".
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/mci/multimedia.h"

namespace lumen::music::test {

class RecordingMultimedia : public platform::Multimedia {
 public:
  struct Reply {
    uint32_t code = 0;
    std::string answer;
  };

  uint32_t mciSendString(std::string_view command, std::string* answer, uint32_t answerLength,
                         uintptr_t) override {
    calls.push_back("mci " + std::string(command) + " [" + std::to_string(answerLength) + "]");
    Reply reply = replies.count(std::string(command)) ? replies[std::string(command)] : Reply{};
    if (answer != nullptr) *answer = platform::CutToBuffer(reply.answer, answerLength);
    return reply.code;
  }
  bool mciGetErrorString(uint32_t code, std::string* text, uint32_t) override {
    if (!errorTexts) return false;
    *text = "error text " + std::to_string(code);
    return true;
  }
  bool PlaySound(const char* name, uintptr_t, uint32_t flags) override {
    calls.push_back("PlaySound " + std::string(name ? name : "NULL") + " " + std::to_string(flags));
    return true;
  }
  uint32_t waveOutGetNumDevs() override {
    calls.push_back("waveOutGetNumDevs");
    return outputs;
  }

  std::vector<std::string> calls;
  std::map<std::string, Reply> replies;
  uint32_t outputs = 1;
  bool errorTexts = true;
};

}  // namespace lumen::music::test
