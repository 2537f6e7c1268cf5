#pragma once

#include "geometry/part.h"
#include "job/packing_job.h"
#include "job/run_context.h"

namespace tarn {

inline constexpr double kContactResolution = 0.01;  // mm, the step below which a contact move ends

// Every engine operation takes the run's context (the calling thread's
// default context when none is given): its fit tests are counted there.

// The fit test of a temporary part: inside the plate and disjoint from every
// working part, none skipped.
bool CandidateFits(const PackingJob& job, const Part& part, RunContext& ctx = defaultRunContext());

// Push a node of job.workingParts in one direction while PartFits holds; it ends
// less than kContactResolution from the obstacle, or where it was when it did
// not fit at its start.
void ContactLeft(PackingJob& job, Part& part, RunContext& ctx = defaultRunContext());
void ContactRight(PackingJob& job, Part& part, RunContext& ctx = defaultRunContext());
void ContactUp(PackingJob& job, Part& part, RunContext& ctx = defaultRunContext());
void ContactDown(PackingJob& job, Part& part, RunContext& ctx = defaultRunContext());

// The same for a temporary part while CandidateFits holds.
void SlideLeftFree(PackingJob& job, Part& part, RunContext& ctx = defaultRunContext());
void SlideDownFree(PackingJob& job, Part& part, RunContext& ctx = defaultRunContext());

// Slide the temporary part `moving` toward `target` alone (the plate and the
// other parts do not stop it) until it touches. When `moving` passes wholly
// beyond the box of `target` without touching it, it is put back where it
// started.
void SlideLeftToward(PackingJob& job, Part& moving, const Part& target);
void SlideUpToward(PackingJob& job, Part& moving, const Part& target);
void SlideDownToward(PackingJob& job, Part& moving, const Part& target);

}  // namespace tarn
