// The polite ways a program is asked to end — SIGTERM (a logout, `kill`), SIGHUP (its
// terminal went away), SIGINT (Ctrl+C) and the session manager's request to save — handed to
// the event loop, where the program can still save what it holds before it ends.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace lumen::app {

class PoliteEnd : public QObject {
 public:
  // `asked` runs on the event loop, once for each request. One PoliteEnd at a time.
  explicit PoliteEnd(std::function<void()> asked);
  ~PoliteEnd() override;  // the signals' default actions come back

 private:
  std::function<void()> asked_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace lumen::app
