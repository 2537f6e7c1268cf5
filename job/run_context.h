#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>

#include "geometry/notify.h"

namespace tarn {

class LayoutRun;

// What one run counted (benchmarks and searches read it).
struct RunCounters {
  std::uint64_t fitTests = 0;  // fit tests made (FitIndex::fits and fitsTranslated calls)
};

// Reported by the layout runs after each part they tried; changes no result.
struct LayoutProgress {
  int tried = 0;    // parts tried so far in this run
  int waiting = 0;  // parts this run still has to try
  double elapsedSeconds = 0.0;
};
using ProgressHook = std::function<void(const LayoutProgress&)>;

// What an engine run is given besides the job: where its notices and progress
// go, whether it is asked to stop, and what it counts. A context serves one
// thread at a time; a worker thread makes its own, with its own job snapshot.
struct RunContext {
  // Empty: the notices go where the thread's NoticeRoute (else the process-wide
  // hook) sends them. Set: a run routes its thread's notices here while it lasts.
  NoticeHook notices;
  ProgressHook progress;  // empty: no progress reports
  // A layout run stops after the part being placed when a stop is requested
  // (see nesting/layout.h). Default: never.
  std::stop_token stop;
  RunCounters counters;
  // The engine's state of the layout walk going on with this context
  // (nesting/layout_run.h): set by the walk for its length, null otherwise.
  LayoutRun* layoutRun = nullptr;
};

// The calling thread's own default context, used by the entry points that
// take none (LayoutAll(job, announce), PartFits(job, part), PlaceOne(job,
// part), ...). A front end sets up its thread's once at start (a progress
// hook, say). Each thread has its own, so nothing is shared between threads
// even when a worker calls an entry point without a context.
RunContext& defaultRunContext();

// Routes the calling thread's notices to ctx.notices while it lives, when the
// context has a hook; otherwise leaves the routing as it is.
class ContextNoticeRoute {
 public:
  explicit ContextNoticeRoute(const RunContext& ctx) {
    if (ctx.notices) {
      route_.emplace(ctx.notices);
    }
  }

 private:
  std::optional<NoticeRoute> route_;
};

}  // namespace tarn
