// A private X server (Xvfb) for end-to-end tests, the program run on it, and screenshots.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace lumen::test {

// Runs argv with extra environment entries ("NAME=value"); returns the pid. Output goes
// where the test's own goes unless other descriptors are given.
inline pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                   int stdoutFd = -1, int stderrFd = -1) {
  pid_t pid = ::fork();
  if (pid == 0) {
    for (const std::string& entry : environment) ::putenv(const_cast<char*>(entry.c_str()));
    if (stdoutFd >= 0) ::dup2(stdoutFd, 1);
    if (stderrFd >= 0) ::dup2(stderrFd, 2);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  return pid;
}

// The exit status, or -1 when it has not exited within the time.
inline int WaitExit(pid_t pid, std::chrono::milliseconds within) {
  auto end = std::chrono::steady_clock::now() + within;
  while (std::chrono::steady_clock::now() < end) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

class X11Session {
 public:
  explicit X11Session(const std::string& screen = "1280x720") {
    int fds[2];
    if (::pipe(fds) != 0) return;
    // -noreset: by default the server resets when its last client leaves, and a program
    // started in that moment (a second start) cannot connect.
    const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    server_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen + "x24", "-nolisten", "tcp",
                     "-noreset"},
                    {}, -1, quiet);
    ::close(quiet);
    ::close(fds[1]);
    char buffer[16] = {};
    ssize_t n = ::read(fds[0], buffer, sizeof buffer - 1);  // the server writes its number when ready
    ::close(fds[0]);
    if (n > 0) display_ = ":" + std::string(buffer, static_cast<size_t>(n - (buffer[n - 1] == '\n')));
  }
  ~X11Session() {
    if (server_ > 0) {
      ::kill(server_, SIGTERM);
      WaitExit(server_, std::chrono::seconds(5));
    }
  }
  bool Ready() const { return !display_.empty(); }
  const std::string& Display() const { return display_; }

  // Runs a command (shell syntax) on this display; returns its exit status.
  int Run(const std::string& command) const {
    return std::system(("DISPLAY=" + display_ + " " + command + " >/dev/null 2>&1").c_str());
  }

  // A capture by xwd; empty on failure.
  struct Screenshot {
    std::vector<unsigned char> data;
    size_t offset = 0, bytesPerLine = 0, bytesPerPixel = 0;
    int width = 0, height = 0;
    // The pixel (x, y) as 0xRRGGBB; -1 outside the picture.
    long At(int x, int y) const {
      size_t at = offset + static_cast<size_t>(y) * bytesPerLine + static_cast<size_t>(x) * bytesPerPixel;
      if (x < 0 || y < 0 || x >= width || y >= height || at + 3 > data.size()) return -1;
      return long(data[at + 2]) << 16 | long(data[at + 1]) << 8 | data[at];  // stored B, G, R
    }
    int Count(int left, int top, int w, int h, long colour) const {
      int n = 0;
      for (int y = top; y < top + h; ++y) {
        for (int x = left; x < left + w; ++x) n += At(x, y) == colour;
      }
      return n;
    }
  };

  // The whole screen, or with a window's name that window's own pixels (under a
  // compositor these are what it blends, alpha included).
  Screenshot Capture(const std::string& window = "") const {
    Screenshot shot;
    const std::string which =
        window.empty() ? "-root" : "-id $(xdotool search --onlyvisible --name '" + window + "' | tail -1)";
    FILE* pipe = ::popen(("export DISPLAY=" + display_ + "; xwd " + which + " -silent 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return shot;
    unsigned char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) shot.data.insert(shot.data.end(), chunk, chunk + n);
    ::pclose(pipe);
    if (shot.data.size() < 100) return shot;
    auto field = [&](int k) {
      const unsigned char* p = &shot.data[static_cast<size_t>(k) * 4];
      return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
    };
    // XWD header: 0 header size, 4 width, 5 height, 11 bits per pixel, 12 bytes per line,
    // 19 colour count.
    shot.offset = field(0) + field(19) * 12;
    shot.width = static_cast<int>(field(4));
    shot.height = static_cast<int>(field(5));
    shot.bytesPerPixel = field(11) / 8;
    shot.bytesPerLine = field(12);
    return shot;
  }

  long Pixel(int x, int y) const { return Capture().At(x, y); }

  // Focuses the newest visible window of that name and types keys there (xdotool's
  // "key ..." or "type ..." arguments); returns xdotool's status.
  int KeysTo(const std::string& name, const std::string& keys) const {
    return Run("sh -c 'timeout 10 xdotool windowfocus --sync $(xdotool search --onlyvisible --name \"" + name +
               "\" | tail -1) && xdotool " + keys + "'");
  }

  // Polls until a (visible) window of that name exists, or (shown = false) none does.
  // Each look is a fresh search, so windows may come and go meanwhile.
  bool WaitForWindow(const std::string& name, std::chrono::milliseconds within, bool shown = true) const {
    auto end = std::chrono::steady_clock::now() + within;
    do {
      if ((Run("xdotool search --onlyvisible --name '" + name + "'") == 0) == shown) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < end);
    return false;
  }

  // Waits until the pixel has the colour; false when it does not within the time.
  bool WaitForPixel(int x, int y, long colour, std::chrono::milliseconds within) const {
    auto end = std::chrono::steady_clock::now() + within;
    while (std::chrono::steady_clock::now() < end) {
      if (Pixel(x, y) == colour) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

 private:
  pid_t server_ = -1;
  std::string display_;
};

}  // namespace lumen::test
