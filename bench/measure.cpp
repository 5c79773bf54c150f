// Runs a command and prints its wall time and peak resident memory.
// Run: measure COMMAND [ARGS...]   ->   "seconds 1.234 peak_mb 56.7 exit 0" on stderr
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: measure COMMAND [ARGS...]\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::fprintf(stderr, "seconds %.3f peak_mb %.1f exit %d\n", seconds, usage.ru_maxrss / 1024.0,
               WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
