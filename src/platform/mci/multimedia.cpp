#include "platform/mci/multimedia.h"

namespace lumen::platform {

std::string CutToBuffer(std::string_view text, uint32_t bufferLength) {
  if (bufferLength == 0) return {};
  if (text.size() < bufferLength) return std::string(text);
  size_t keep = bufferLength - 1;
  // Step back over UTF-8 continuation bytes so no character is cut in half.
  while (keep > 0 && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80) --keep;
  return std::string(text.substr(0, keep));
}

}  // namespace lumen::platform
