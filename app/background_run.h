#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <utility>
#include <vector>

#include "geometry/notify.h"
#include "job/run_context.h"

namespace tarn {

// What the owner of a background run sees of it, whatever the work returns:
// progress, a stop request and whether it has ended. Every member may be called
// from the owner's thread while the worker runs.
class RunMonitor {
 public:
  RunMonitor();
  virtual ~RunMonitor() = default;
  RunMonitor(const RunMonitor&) = delete;
  RunMonitor& operator=(const RunMonitor&) = delete;

  // The work sees it through ctx.stop: a layout ends after the part being placed.
  virtual void requestStop() = 0;
  virtual bool stopRequested() const = 0;
  // True once the work has returned or thrown; its result may then be taken.
  bool finished() const { return finished_.load(std::memory_order_acquire); }
  // The last progress the work reported, with the time since the run began.
  LayoutProgress progress() const;
  double elapsedSeconds() const;
  // Waits on the owner's thread until the work has ended or `timeout` passed.
  bool waitFor(std::chrono::milliseconds timeout) const;
  // The notices the work raised on its thread, in order (taken once finished).
  std::vector<Notice> takeNotices();

 protected:
  // Called on the worker thread.
  void reportProgress(const LayoutProgress& progress);
  void keepNotice(const Notice& notice);
  void markFinished();

 private:
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start_;
  mutable std::mutex mutex_;
  mutable std::condition_variable ended_;
  LayoutProgress progress_;
  std::vector<Notice> notices_;
  std::atomic<bool> finished_{false};
};

// Runs `work` once on a thread of its own. The work owns everything it touches
// (a snapshot of the job, a job it loads) and hands its result back by value;
// it is given a RunContext whose stop token is this run's and whose progress
// goes to progress(), and every notice raised on its thread is kept for the
// owner to show. Once the work has ended, `onFinished` is called on the worker
// thread: it may only wake the owner (post an event), never touch its state.
//
// The destructor requests a stop and waits for the work to end.
template <class Result>
class BackgroundRun final : public RunMonitor {
 public:
  using Work = std::function<Result(RunContext&)>;

  explicit BackgroundRun(Work work, std::function<void()> onFinished = {})
      : thread_([this, work = std::move(work), onFinished = std::move(onFinished)](
                    std::stop_token stop) { body(work, onFinished, std::move(stop)); }) {}
  ~BackgroundRun() override = default;  // the thread, destroyed first, stops and joins

  void requestStop() override { thread_.request_stop(); }
  bool stopRequested() const override { return thread_.get_stop_token().stop_requested(); }

  // Once finished(): the work's result, or what it threw, thrown again here.
  Result takeResult() {
    if (failure_) {
      std::rethrow_exception(failure_);
    }
    return std::move(*result_);
  }

 private:
  void body(const Work& work, const std::function<void()>& onFinished, std::stop_token stop) {
    {
      const NoticeRoute route([this](const Notice& notice) { keepNotice(notice); });
      RunContext ctx;
      ctx.stop = std::move(stop);
      ctx.progress = [this](const LayoutProgress& progress) { reportProgress(progress); };
      try {
        result_.emplace(work(ctx));
      } catch (...) {
        failure_ = std::current_exception();
      }
    }
    markFinished();
    if (onFinished) {
      onFinished();
    }
  }

  // Written by the worker before markFinished(), read by the owner after finished().
  std::optional<Result> result_;
  std::exception_ptr failure_;
  std::jthread thread_;  // last: it ends before the members above go
};

}  // namespace tarn
