#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "app/commands.h"
#include "job/packing_job.h"
#include "job/run_context.h"
#include "plates/plate_set.h"

namespace tarn {

// The long commands (Open and the layouts) in three steps, so that a front end
// can run the middle one on a worker thread: prepare on the front end's thread,
// work on the worker, finish on the front end's thread again.

// What the work hands back by value: the job it loaded, or the snapshot of the
// job that it laid out; no job after an Open that was asked to stop. `failure`
// is a CoreError that came after the job had changed (the packing report of
// Layout All), shown once the result is in place.
struct PlateSetResult {
  PlateSet set;  // the set's plates laid out, from snapshots of the plates it had
  PlateSetRun run;
};

struct RunResult {
  std::optional<PackingJob> job;
  std::optional<PlateSetResult> plates;  // the set runs
  std::string failure;
};

using RunWork = std::function<RunResult(RunContext&)>;

// On the front end's thread: the work, owning everything it needs (a snapshot
// of the job; the path of the library to load). A layout runs the timed driver
// on the snapshot, so its timing file, report and timing notice are those of
// the same command run in place, a stopped run included.
RunWork prepareRun(const AppState& state, const RunRequest& request);

// On the front end's thread once the work has returned: swaps the loaded job or
// the laid-out parts in (the layouts as one undo step) and says what to do next.
// The front end shows the notices the work raised after it has repainted.
Effects finishRun(AppState& state, const RunRequest& request, RunResult result);

// All three on the calling thread; the work's notices are raised after the finish.
Effects runNow(AppState& state, const RunRequest& request);

// The name of the run for a progress display: the command, or the file loaded (UTF-8).
std::string runTitle(const RunRequest& request);

}  // namespace tarn
