#pragma once

#include <string>

#include "geometry/part.h"
#include "job/packing_job.h"
#include "job/run_context.h"

namespace tarn {

inline constexpr double kPairingThreshold = 0.25;

// The placing walks of the three drivers, untimed: no file is written and no
// timing notice raised, so workers can call them on their own snapshots. Each
// builds the grid first when it is pending and the job has parts (CoreError
// kBadPackingPointDistance when the distance is refused, before any part moves).
//
// A walk keeps what it learns from one part to the next (nesting/layout_run.h):
// ctx.progress must not change the job; should it move or remove parts, the
// walk notices before the next part and searches afresh.
//
// A stop requested through ctx.stop ends a walk after the part being placed:
// the parts placed stay where they were put, the rest keep waiting untouched,
// and nothing is half-moved. Progress goes to ctx.progress after every part
// tried; the fit tests are counted into ctx.counters; the thread's notices go
// to ctx.notices while the walk lasts, when it is set.
struct PlacingOutcome {
  int tried = 0;         // parts handed to a placement routine
  bool stopped = false;  // the walk ended early on a stop request
};
// Layout's walk: PlaceOne on every selected part, in list order.
PlacingOutcome PlaceSelected(PackingJob& job, RunContext& ctx);
// LayoutAll's walk: clears every selection, then PlaceOne on every waiting part.
PlacingOutcome PlaceWaiting(PackingJob& job, RunContext& ctx);
// LayoutMultipleSteps's five passes over the selected waiting parts.
PlacingOutcome PlaceSelectedInSteps(PackingJob& job, RunContext& ctx);

// The timed drivers: each opens "排样计算时间.txt" in the job's output folder
// (truncated) before anything else, runs its walk, then, when `announce` is
// set, raises the timing notice and writes the time into the file. They
// return the measured time in seconds. An unwritable timing file throws
// CoreError before any part moves. A run ended by a stop request finishes like
// a completed run of that length: timing line, notice and return value.
// Without a context they run on the calling thread's defaultRunContext().
double Layout(PackingJob& job, bool announce);
double Layout(PackingJob& job, bool announce, RunContext& ctx);
double LayoutAll(PackingJob& job, bool announce);
double LayoutAll(PackingJob& job, bool announce, RunContext& ctx);
double LayoutMultipleSteps(PackingJob& job, bool announce);
double LayoutMultipleSteps(PackingJob& job, bool announce, RunContext& ctx);

// The text telling how long a run took: milliseconds up to 1 s, seconds
// beyond. UTF-8 for the notice, GBK (without a line end) for the timing file.
std::string TimingNoticeText(double seconds);
std::string TimingFileText(double seconds);

bool PlaceMedium(PackingJob& job, Part& part, double threshold,
                 RunContext& ctx = defaultRunContext());
bool PlaceMediumStrict(PackingJob& job, Part& part, double threshold,
                       RunContext& ctx = defaultRunContext());

}  // namespace tarn
