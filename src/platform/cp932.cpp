#include "platform/cp932.h"

#include <cerrno>
#include <iconv.h>

namespace lumen::platform {
namespace {

// One iconv descriptor for the length of one conversion.
class IconvConverter {
 public:
  IconvConverter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~IconvConverter() {
    if (valid()) iconv_close(cd_);
  }
  IconvConverter(const IconvConverter&) = delete;
  IconvConverter& operator=(const IconvConverter&) = delete;

  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much of *in as it can, appending to out. Returns 0 when all of the
  // input was converted, otherwise the errno that stopped it (EILSEQ or EINVAL).
  int Convert(std::string_view& in, std::string& out) {
    char buffer[256];
    while (!in.empty()) {
      char* inPtr = const_cast<char*>(in.data());
      size_t inLeft = in.size();
      char* outPtr = buffer;
      size_t outLeft = sizeof buffer;
      size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      int err = rc == static_cast<size_t>(-1) ? errno : 0;
      out.append(buffer, static_cast<size_t>(outPtr - buffer));
      in.remove_prefix(in.size() - inLeft);
      if (err != 0 && err != E2BIG) return err;
    }
    return 0;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
  IconvConverter converter("CP932", "UTF-8");
  if (!converter.valid()) return std::nullopt;
  std::string out;
  out.reserve(utf8.size());
  if (converter.Convert(utf8, out) != 0) return std::nullopt;
  return out;
}

std::string Cp932ToUtf8(std::string_view cp932) {
  static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  IconvConverter converter("UTF-8", "CP932");
  if (!converter.valid()) return std::string(kReplacement);
  std::string out;
  out.reserve(cp932.size() * 3 / 2);
  while (converter.Convert(cp932, out) != 0) {
    // Skip the one byte that does not start a valid character and go on after it.
    out.append(kReplacement);
    cp932.remove_prefix(1);
  }
  return out;
}

}  // namespace lumen::platform
