#include "app/output_files.h"

#include <QBuffer>
#include <filesystem>

#include "platform/whole_file.h"

namespace lumen::app {

bool MakeOutputFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return std::filesystem::is_directory(folder, error);
}

bool WritePngFile(const QImage& image, const std::string& path, int quality) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG", quality)) return false;
  if (platform::WriteWholeFile(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())))) return true;
  std::error_code ignored;
  std::filesystem::remove(path, ignored);  // a part of a picture is no picture
  return false;
}

}  // namespace lumen::app
