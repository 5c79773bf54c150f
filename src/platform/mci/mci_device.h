// An opened MCI device: the interpreter hands it every command addressed to its alias.
#pragma once

#include <cstdint>
#include <string>

#include "platform/mci/mci_command.h"

namespace lumen::platform::mci {

class MciDevice {
 public:
  virtual ~MciDevice() = default;
  // Runs play, stop, pause, resume, status, set or seek. Returns 0 or an MCI error code.
  virtual uint32_t Execute(const MciCommand& command, std::string& answer) = 0;
};

// Reads "keyword value" pairs and lone flags from a command's words.
class ArgReader {
 public:
  explicit ArgReader(const std::vector<std::string>& args) : args_(args) {}
  bool Done() const { return next_ >= args_.size(); }
  // True (and moves on) when the next word is the keyword.
  bool Take(std::string_view keyword) {
    if (Done() || !SameWord(args_[next_], keyword)) return false;
    ++next_;
    return true;
  }
  // The next word, or nothing at the end.
  const std::string* Value() { return Done() ? nullptr : &args_[next_++]; }

 private:
  const std::vector<std::string>& args_;
  size_t next_ = 0;
};

}  // namespace lumen::platform::mci
