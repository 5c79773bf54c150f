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
  return platform::WriteWholeFile(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

}  // namespace lumen::app
