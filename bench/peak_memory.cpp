// The memory of a show over a folder of 24-megapixel photographs: runs
//   lumenshow frames FOLDER --out OUT --keys RRRRRLL
// on photographs made for it and prints the program's peak resident memory.
// Run: build/bench/peak_memory build/lumenshow [photo-count]
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "photos.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: peak_memory LUMENSHOW [PHOTOS]\n");
    return 2;
  }
  const int count = argc > 2 ? std::atoi(argv[2]) : 6;
  const std::string base = (std::filesystem::temp_directory_path() / "lumenshow-memory").string();
  lumen::bench::MakePhotos(base + "/photos", count);
  const std::string out = base + "/frames", home = base + "/home";
  std::filesystem::create_directories(home);
  std::filesystem::remove_all(out);

  pid_t pid = fork();
  if (pid == 0) {
    setenv("LUMENSHOW_HOME", home.c_str(), 1);
    execl(argv[1], argv[1], "frames", (base + "/photos").c_str(), "--out", out.c_str(), "--keys", "RRRRRLL",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const double megabytes = usage.ru_maxrss / 1024.0;  // ru_maxrss is in kilobytes
  std::printf("show over %d photographs of 6000 x 4000: exit %d, peak resident memory %.1f MB (target: under 250 MB)\n",
              count, WIFEXITED(status) ? WEXITSTATUS(status) : -1, megabytes);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && megabytes < 250 ? 0 : 1;
}
