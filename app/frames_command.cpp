// lumenshow frames: every frame a show presents, as PNG files, from the same show window
// code on a virtual screen.
#include <QImage>
#include <QString>
#include <cstdio>
#include <iostream>

#include "app/output_files.h"
#include "app/show_data_for.h"
#include "app/subcommands.h"
#include "platform/gdi/qt_image.h"
#include "platform/rounding.h"
#include "slideshow/virtual_screen.h"

namespace lumen::app {
namespace {

namespace gdi = platform::gdi;

enum class FrameWritten { Whole, NoMemory, NotWritten };

// RGBA of the client area: alpha 0 exactly where the pixel equals the colour key.
FrameWritten WritePng(const gdi::Surface& image, std::optional<gdi::COLORREF> key, const std::string& path) {
  QImage png(image.Width(), image.Height(), QImage::Format_ARGB32);
  // A frame that could not be drawn, or its copy not be had, is short of memory, not of disk.
  if (image.Width() <= 0 || image.Height() <= 0 || png.isNull()) return FrameWritten::NoMemory;
  gdi::PutKeyed(image, key, png);
  return WritePngFile(png, path) ? FrameWritten::Whole : FrameWritten::NotWritten;
}

}  // namespace

int RunFrames(const std::vector<std::string>& args) {
  auto options = ParseCommandOptions(args, "frames");
  if (!options) return BadArguments("frames", options.reason());
  if (options->positional.size() != 1 || options->Value("--out") == nullptr) return BadArguments("frames", UsageLine("frames"));
  slideshow::PixelSize screen{1920, 1080};
  if (const std::string* text = options->Value("--screen")) {
    const auto size = ParseSize(*text, 16384);
    if (!size) return BadArguments("frames", "--screen takes WIDTHxHEIGHT, such as 1920x1080, not '" + *text + "'");
    screen = {size->first, size->second};
  }
  double scale = 1.0;
  if (!ReadNumberOption(*options, "frames", "--scale", 1, 4, "from 1 to 4, such as 2 or 1.5", scale)) {
    return kBadArguments;
  }
  const std::string* keys = options->Value("--keys");
  if (keys != nullptr && keys->find_first_not_of("LRTE") != std::string::npos) {
    return BadArguments("frames", "--keys takes the letters L, R, T and E, not '" + *keys + "'");
  }
  const std::string& folder = options->positional.front();
  const std::string outFolder = *options->Value("--out");
  const settings::Settings saved = LoadSettingsFor(*options);
  auto shown = ShowDataFor(*options, folder, saved);
  if (!shown) return BadArguments("frames", shown.reason());
  const settings::ShowData& data = *shown;
  if (!MakeOutputFolder(outFolder)) {
    return BadArguments("frames", "cannot create the folder '" + outFolder + "'");
  }

  slideshow::VirtualScreen host(screen, options->Has("--maximized"), scale);
  slideshow::Lumen_S show(host, saved, data, nullptr);
  host.Attach(&show);
  int written = 0;
  FrameWritten failed = FrameWritten::Whole;
  int failedAt = 0;
  auto write = [&](const gdi::Surface& image, std::optional<gdi::COLORREF> key) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%05d.png", written);
    if (failed == FrameWritten::Whole) {
      failed = WritePng(image, key, outFolder + name);
      failedAt = written;
    }
    ++written;
  };
  host.Open();
  write(show.WindowImage(), host.ColorKey());
  host.OnPresent(write);

  // One round of the automatic show unless told otherwise.
  const std::string script = keys ? *keys : std::string(static_cast<size_t>(data.ImageCount), 'T');
  for (char key : script) {
    if (key == 'L') show.Form_KeyUp(slideshow::kKeyLeft, 0);
    if (key == 'R') show.Form_KeyUp(slideshow::kKeyRight, 0);
    if (key == 'T') show.Timer3_Timer();
    if (key == 'E') {
      show.Form_KeyUp(slideshow::kKeyEscape, 0);
      break;
    }
  }
  if (failed == FrameWritten::NoMemory) {
    std::cerr << "lumenshow: frames: not enough memory to draw frame " << failedAt << "\n";
    return 1;
  }
  if (failed == FrameWritten::NotWritten) {
    std::cerr << "lumenshow: frames: cannot write the frames to '" << outFolder << "'\n";
    return 1;
  }
  std::cout << written << " frames written to " << outFolder << "\n";
  return 0;
}

}  // namespace lumen::app
