#pragma once

#include "geometry/part.h"
#include "geometry/point.h"
#include "job/packing_job.h"
#include "job/run_context.h"

namespace tarn {

// The part operations on the job. All act on job.workingParts; points are
// plate millimetres (a front end converts its pixels first).

void SelectNone(PackingJob& job);
void SelectAll(PackingJob& job);
// Toggles the first part containing the point; true when one was toggled.
bool TogglePartAt(PackingJob& job, const Point& at);
// The rectangle spanned by the two corners: a window selection when end.x >=
// anchor.x, a crossing selection otherwise; true when some part was hit. Parts
// not hit keep their flag.
bool SelectInRectangle(PackingJob& job, const Point& anchor, const Point& end);
// Translates every selected part by to - from.
void MoveSelected(PackingJob& job, const Point& from, const Point& to);
// x then y, each step undone when the part no longer fits.
void MoveSelectedChecked(PackingJob& job, const Point& from, const Point& to);
// Inside the plate and disjoint from every other working part (its own node,
// found by address, is skipped). The test is counted into the context's
// counters (the calling thread's default context without one).
bool PartFits(const PackingJob& job, const Part& part);
bool PartFits(const PackingJob& job, const Part& part, RunContext& ctx);
void RotateSelected(PackingJob& job, const Point& centre, double angle);
void TurnOverFirstSelected(PackingJob& job);
// Brings the first waiting part to the plate's top right corner and selects it alone.
void StageNextPart(PackingJob& job);
// Selects every part inside the plate that fails PartFits; true when there was none.
bool FindUnfitParts(PackingJob& job);
// Selects every waiting part that overlaps the plate; true when it selected one.
// Other selections are left as they were.
bool SelectStraddlingParts(PackingJob& job);

}  // namespace tarn
