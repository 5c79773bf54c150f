#include "app/polite_end.h"

#include <fcntl.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <csignal>

namespace lumen::app {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
int wakeFds[2] = {-1, -1};  // a byte written to [1] by the handler wakes the event loop on [0]

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t ignored = ::write(wakeFds[1], &byte, 1);  // async-signal-safe
}

}  // namespace

PoliteEnd::PoliteEnd(std::function<void()> asked) : asked_(std::move(asked)) {
  if (::pipe2(wakeFds, O_CLOEXEC | O_NONBLOCK) != 0) return;  // then the signals keep their defaults
  notifier_ = std::make_unique<QSocketNotifier>(wakeFds[0], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
    char bytes[16];
    while (::read(wakeFds[0], bytes, sizeof bytes) > 0) {
    }
    asked_();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : kSignals) sigaction(signal, &action, nullptr);
  if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(gui, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { asked_(); });
  }
}

PoliteEnd::~PoliteEnd() {
  for (int signal : kSignals) std::signal(signal, SIG_DFL);
  notifier_.reset();
  for (int& fd : wakeFds) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

}  // namespace lumen::app
