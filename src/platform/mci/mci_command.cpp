#include "platform/mci/mci_command.h"

#include <algorithm>
#include <cstdint>

#include "platform/ascii_text.h"
#include "platform/mci/mci_errors.h"

namespace lumen::platform::mci {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

bool SameWord(std::string_view a, std::string_view b) { return EqualsNoCase(a, b); }

int64_t ParseCount(const std::string& text) {
  if (text.empty() || text.size() > 10) return -1;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value <= INT32_MAX ? value : -1;
}

uint32_t ParseCommand(std::string_view text, MciCommand& command) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size()) {
    if (IsBlank(text[i])) {
      ++i;
      continue;
    }
    if (text[i] == '"') {
      size_t close = text.find('"', i + 1);
      if (close == std::string_view::npos) return MCIERR_NO_CLOSING_QUOTE;
      if (close + 1 < text.size() && !IsBlank(text[close + 1])) return MCIERR_EXTRA_CHARACTERS;
      words.emplace_back(text.substr(i + 1, close - i - 1));
      i = close + 1;
    } else {
      size_t end = i;
      while (end < text.size() && !IsBlank(text[end])) ++end;
      words.emplace_back(text.substr(i, end - i));
      i = end;
    }
  }
  if (words.empty()) return MCIERR_MISSING_COMMAND_STRING;
  if (words.size() < 2) return MCIERR_MISSING_STRING_ARGUMENT;

  command.verb = AsciiLowered(words[0]);
  command.device = words[1];
  command.args.clear();
  for (size_t w = 2; w < words.size(); ++w) {
    if (!SameWord(words[w], "wait") && !SameWord(words[w], "notify")) command.args.push_back(words[w]);
  }
  return 0;
}

}  // namespace lumen::platform::mci
