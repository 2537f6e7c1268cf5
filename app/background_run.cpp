#include "app/background_run.h"

namespace tarn {

RunMonitor::RunMonitor() : start_(Clock::now()) {}

LayoutProgress RunMonitor::progress() const {
  LayoutProgress progress;
  {
    const std::lock_guard lock(mutex_);
    progress = progress_;
  }
  progress.elapsedSeconds = elapsedSeconds();
  return progress;
}

double RunMonitor::elapsedSeconds() const {
  return std::chrono::duration<double>(Clock::now() - start_).count();
}

bool RunMonitor::waitFor(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return ended_.wait_for(lock, timeout, [this] { return finished(); });
}

std::vector<Notice> RunMonitor::takeNotices() {
  const std::lock_guard lock(mutex_);
  return std::exchange(notices_, {});
}

void RunMonitor::reportProgress(const LayoutProgress& progress) {
  const std::lock_guard lock(mutex_);
  progress_ = progress;
}

void RunMonitor::keepNotice(const Notice& notice) {
  const std::lock_guard lock(mutex_);
  notices_.push_back(notice);
}

void RunMonitor::markFinished() {
  {
    const std::lock_guard lock(mutex_);
    finished_.store(true, std::memory_order_release);
  }
  ended_.notify_all();
}

}  // namespace tarn
