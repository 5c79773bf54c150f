#include "fuzz_targets.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "catalogue/thumbnail_decoder.h"
#include "catalogue/thumbnail_cache.h"
#include "catalogue/thumbnail_png.h"
#include "platform/audio/cd_disc.h"
#include "platform/mci/fake_drivers.h"
#include "platform/mci/mci_interpreter.h"
#include "platform/picture/picture.h"
#include "platform/profile_file.h"
#include "settings/lumen_b.h"
#include "video/export_video.h"

namespace lumen::fuzz {
namespace {

// A folder of this process's own for the inputs that must be files.
const std::string& Scratch() {
  static const std::string folder = [] {
    char name[] = "/tmp/lumenshow-fuzz-XXXXXX";
    return std::string(::mkdtemp(name) != nullptr ? name : "/tmp");
  }();
  return folder;
}

std::string WriteScratch(const std::string& name, const std::string& bytes) {
  const std::string path = Scratch() + "/" + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

void Draw(const Result<std::unique_ptr<platform::picture::Picture>>& loaded) {
  if (!loaded) return;
  platform::gdi::Surface page(90, 60);
  (*loaded)->StretchTo(page, -3, 2, 97, 61);
  (*loaded)->StretchTo(page, 0, 0, 90, 60, 2);
}

}  // namespace

void Picture(const std::string& bytes) {
  Draw(platform::picture::LoadPictureFromBytes(bytes));
  auto loaded = platform::picture::LoadPicture(WriteScratch("picture", bytes));
  Draw(loaded);
  if (loaded && uint64_t((*loaded)->Width()) * (*loaded)->Height() <= 4'000'000) {
    (void)(*loaded)->Decode(0);
  }
  // A thumbnail, or the reason there is none.
  const auto thumbnail = catalogue::DecodeBytesForBox(bytes, 128);
  if (thumbnail ? thumbnail->image.Empty() : thumbnail.reason().empty()) std::abort();
  // As a thumbnail cache entry, through the cache and directly: what is read is written
  // back and read again unchanged.
  const std::string entryFolder = Scratch() + "/cache/normal";
  std::filesystem::create_directories(entryFolder);
  WriteScratch("cache/normal/" + catalogue::ThumbnailCache::FileName("/tmp/a.jpg"), bytes);
  catalogue::ThumbnailCache(Scratch() + "/cache").Lookup("/tmp/a.jpg", 1000000000, 1234);
  if (auto entry = catalogue::DecodePlainPng(bytes, 128)) {
    const auto again = catalogue::DecodePlainPng(catalogue::EncodePng(entry->image, entry->alpha, entry->texts), 128);
    if (!again || again->image.Pixels() != entry->image.Pixels() || again->texts != entry->texts) std::abort();
  }
}

void Profile(const std::string& bytes) {
  platform::ProfileDocument document(bytes);
  document.Get("Section", "BGM区分");
  document.Set("section", "new", "value");
  document.Serialize();
  const std::string ini = WriteScratch("LumenShow.ini", bytes);
  platform::GetPrivateProfileString("Section", "key", "default", 256, ini);
  settings::Settings loaded;
  settings::LoadSettings(loaded, Scratch(), ini);
  settings::SaveSettings(loaded, "2", ini);
}

void Mci(const std::string& bytes) {
  platform::mci::test::FakeDrivers drivers;
  drivers.disc.tracks = {{1, 0, 150, false}, {2, 150, 225, true}, {3, 225, 375, true}};
  platform::mci::MciInterpreter mci(drivers);
  std::istringstream lines(bytes);
  std::string line, answer;
  for (int n = 0; n < 64 && std::getline(lines, line); ++n) {
    mci.Send(line, answer);
    drivers.disc.sector += 40;  // time passes between commands
    drivers.music.position += 0.5;
  }
}

void Disc(const std::string& bytes) {
  if (bytes.empty()) return;
  static const bool binWritten = [] {
    WriteScratch("disc.bin", std::string(2352 * 10, '\x11'));
    return true;
  }();
  (void)binWritten;
  static const char* const kExtensions[] = {".cue", ".toc", ".nrg"};
  const std::string image = WriteScratch(std::string("image") + kExtensions[uint8_t(bytes[0]) % 3], bytes.substr(1));
  ::setenv("LUMENSHOW_CDROM", image.c_str(), 1);
  auto disc = platform::audio::CdDisc::OpenDefault();
  ::unsetenv("LUMENSHOW_CDROM");
  if (!disc || disc->Media() != platform::mci::CdMedia::Ready) return;
  std::vector<int16_t> samples(2 * 588 * 2);
  for (const platform::mci::CdTrack& track : disc->Tracks()) disc->Read(track.start, 2, samples.data());
}

void Video(const std::string& bytes) {
  if (bytes.size() < 4) return;
  auto byte = [&](size_t i) { return static_cast<uint8_t>(bytes[i]); };
  video::VideoFormat format;
  format.container = static_cast<video::Container>(byte(0) % 3);
  format.width = 2 * (1 + byte(1) % 40);
  format.height = 2 * (1 + byte(2) % 24);
  format.fps = 1 + byte(3) % 12;
  format.quality = (byte(0) >> 2) % 52 - 1;
  settings::Settings options;
  options.TurnDirection = static_cast<settings::Turn>(byte(1) >> 7);
  options.BackgroundKind = static_cast<settings::Background>(byte(2) >> 7);
  options.TurnSpeed = static_cast<int16_t>(50 + byte(3) % 51);
  options.AutoInterval = 0;
  const std::string picture = WriteScratch("video-picture", bytes.substr(4));
  if (byte(0) & 0x80) {
    options.BgmKind = settings::Music::File;
    options.BgmFile = WriteScratch(byte(1) & 0x40 ? "music.mp3" : "music.wav", bytes.substr(4));
  }
  settings::ShowData data;
  data.ImageCount = 2;
  data.ImagePaths = {"", picture, picture};
  data.SlideOrder = {0, 1, 2};
  static const char* const kExtensions[] = {".mp4", ".mkv", ".webm"};
  (void)video::ExportVideo(options, data, 1, format, Scratch() + "/video" + kExtensions[byte(0) % 3],
                           [](int, int) { return true; });
}

}  // namespace lumen::fuzz
