#include "nesting/contact.h"

#include <algorithm>
#include <cmath>

#include "geometry/predicates.h"
#include "nesting/layout_run.h"

namespace tarn {
namespace {

constexpr double kStepShare = 0.25;  // of the part's smaller box side

enum class Stop { Contact, Passed };

// Moves `part` by steps in direction (ux, uy) while `acceptable` holds, undoes the
// step that failed and halves the step until it is below kContactResolution.
// Returns Passed as soon as `passed` holds after an accepted step.
template <class Acceptable, class Passed>
Stop stepToContact(Part& part, double ux, double uy, double distance, Acceptable&& acceptable,
                   Passed&& passed) {
  const BBox& box = part.bbox;
  // A sliver's share would crawl for ages: no step starts below the resolution.
  double step =
      std::max(kStepShare * std::min(box.xmax - box.xmin, box.ymax - box.ymin), kContactResolution);
  if (step > distance) {
    step = distance;
  }
  // A box that is not a number, or a distance that is not positive, gives no
  // step that would ever end the stepping.
  if (!(step > 0.0) || !std::isfinite(step)) {
    return Stop::Contact;
  }
  double dx = ux * step;
  double dy = uy * step;
  for (;;) {
    for (;;) {
      translate(part, dx, dy);
      if (!acceptable(part)) {
        break;
      }
      if (passed(part)) {
        return Stop::Passed;
      }
    }
    translate(part, -dx, -dy);
    if (std::abs(dx) < kContactResolution && std::abs(dy) < kContactResolution) {
      return Stop::Contact;
    }
    dx *= 0.5;
    dy *= 0.5;
  }
}

// `skipped` is the part's own node for a working part, null for a temporary one.
void slideWhileFits(PackingJob& job, Part& part, const Part* skipped, double ux, double uy,
                    RunContext& ctx) {
  const RunObstacles obstacles(job, ctx);
  const FitIndex& index = obstacles.index();
  stepToContact(
      part, ux, uy, job.params.packingPointDistance,
      [&index, skipped](const Part& moved) { return index.fits(moved, skipped); },
      [](const Part&) { return false; });
}

template <class Passed>
void slideToward(PackingJob& job, Part& moving, const Part& target, double ux, double uy,
                 Passed&& passed) {
  // A copy reverses the holes and the assignment back reverses them again.
  const Part start(moving);
  const Stop stop = stepToContact(
      moving, ux, uy, job.params.packingPointDistance,
      [&target](const Part& moved) { return partsDisjoint(moved, target); }, passed);
  if (stop == Stop::Passed) {
    moving = start;
  }
}

}  // namespace

bool CandidateFits(const PackingJob& job, const Part& part, RunContext& ctx) {
  const RunObstacles obstacles(job, ctx);
  return obstacles.index().fits(part);
}

void ContactLeft(PackingJob& job, Part& part, RunContext& ctx) {
  slideWhileFits(job, part, &part, -1.0, 0.0, ctx);
}
void ContactRight(PackingJob& job, Part& part, RunContext& ctx) {
  slideWhileFits(job, part, &part, 1.0, 0.0, ctx);
}
void ContactUp(PackingJob& job, Part& part, RunContext& ctx) {
  slideWhileFits(job, part, &part, 0.0, 1.0, ctx);
}
void ContactDown(PackingJob& job, Part& part, RunContext& ctx) {
  slideWhileFits(job, part, &part, 0.0, -1.0, ctx);
}

void SlideLeftFree(PackingJob& job, Part& part, RunContext& ctx) {
  slideWhileFits(job, part, nullptr, -1.0, 0.0, ctx);
}
void SlideDownFree(PackingJob& job, Part& part, RunContext& ctx) {
  slideWhileFits(job, part, nullptr, 0.0, -1.0, ctx);
}

void SlideLeftToward(PackingJob& job, Part& moving, const Part& target) {
  slideToward(job, moving, target, -1.0, 0.0,
              [&target](const Part& moved) { return moved.bbox.xmax <= target.bbox.xmin; });
}

void SlideUpToward(PackingJob& job, Part& moving, const Part& target) {
  slideToward(job, moving, target, 0.0, 1.0,
              [&target](const Part& moved) { return moved.bbox.ymin >= target.bbox.ymax; });
}

void SlideDownToward(PackingJob& job, Part& moving, const Part& target) {
  slideToward(job, moving, target, 0.0, -1.0,
              [&target](const Part& moved) { return moved.bbox.ymax <= target.bbox.ymin; });
}

}  // namespace tarn
