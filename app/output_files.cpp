#include "app/output_files.h"

#include <filesystem>

#include "catalogue/thumbnail_png.h"
#include "platform/whole_file.h"

namespace lumen::app {

bool MakeOutputFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return std::filesystem::is_directory(folder, error);
}

bool WritePngFile(const QImage& image, const std::string& path) {
  if (image.isNull()) return false;
  const bool alpha = image.hasAlphaChannel();
  // Unchanged (and not copied) when it is one of these already, as the frames are.
  const QImage words = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  const std::string bytes =
      catalogue::EncodePng(reinterpret_cast<const uint32_t*>(words.constBits()), words.width(), words.height(),
                           static_cast<size_t>(words.bytesPerLine()) / 4, alpha);
  if (platform::WriteWholeFile(path, bytes)) return true;
  std::error_code ignored;
  std::filesystem::remove(path, ignored);  // a part of a picture is no picture
  return false;
}

}  // namespace lumen::app
