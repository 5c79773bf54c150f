#include "catalogue/list_texts.h"

#include <cmath>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/rounding.h"

namespace lumen::catalogue {
namespace {

std::string WithSeparators(uint64_t n) {
  std::string digits = std::to_string(n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<size_t>(at), ",");
  return digits;
}

}  // namespace

std::string FormatCount(int64_t n) {
  if (n == 0) return {};
  return n < 0 ? "-" + WithSeparators(static_cast<uint64_t>(-n)) : WithSeparators(static_cast<uint64_t>(n));
}

std::string CounterProgress(int64_t done, int64_t count) { return FormatCount(done) + " / " + FormatCount(count); }
std::string CounterTotal(int64_t count) { return FormatCount(count) + "枚"; }

std::string SizeInKilobytes(int64_t bytes) {
  double size = static_cast<double>(bytes) / 1024;
  if (size == 0) size = 1;
  return WithSeparators(static_cast<uint64_t>(std::floor(size + 0.5)));
}

std::string GetFileDate(const std::string& path, const std::function<void(const std::string&)>& reportError) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0) {
    if (fd >= 0) ::close(fd);
    if (reportError) reportError("Error " + path);
    return "0:00:00";
  }
  ::close(fd);
  std::tm local{};
  const time_t changed = st.st_mtime;
  localtime_r(&changed, &local);
  char text[48];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  return text;
}

std::string PreviewPath(const std::string& folder, const std::string& name) {
  return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

PreviewPlacement PlacePreview(double pw, double ph, double frame) {
  PreviewPlacement p{};
  if (ph < pw) {
    p.width = frame;
    p.height = ph / pw * p.width;
  } else {
    p.height = frame;
    p.width = pw / ph * p.height;
  }
  p.left = platform::RoundHalfEven(frame - p.width) / 2;
  p.top = platform::RoundHalfEven(frame - p.height) / 2;
  return p;
}

}  // namespace lumen::catalogue
