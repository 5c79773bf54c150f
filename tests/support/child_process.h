// Runs a piece of a test in a forked child, for steps that change process-wide limits or
// identity (file size limits, a user without write rights) without touching the test run.
#pragma once

#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace lumen::test {

// The child's exit status, or -1 when it did not exit normally.
inline int RunInChild(const std::function<int()>& body) {
  pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace lumen::test
