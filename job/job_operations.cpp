#include "job/job_operations.h"

#include <algorithm>

#include "geometry/predicates.h"
#include "job/fit_index.h"
#include "job/fit_tester.h"

namespace tarn {
void SelectNone(PackingJob& job) {
  for (Part& part : job.workingParts) {
    part.selected = false;
  }
}

void SelectAll(PackingJob& job) {
  for (Part& part : job.workingParts) {
    part.selected = true;
  }
}

bool TogglePartAt(PackingJob& job, const Point& at) {
  for (Part& part : job.workingParts) {
    if (pointInPart(part, at)) {
      part.selected = !part.selected;
      return true;
    }
  }
  return false;
}

bool SelectInRectangle(PackingJob& job, const Point& anchor, const Point& end) {
  const BBox rect{std::min(anchor.x, end.x), std::max(anchor.x, end.x), std::min(anchor.y, end.y),
                  std::max(anchor.y, end.y)};
  const bool window = end.x >= anchor.x;
  bool hit = false;
  for (Part& part : job.workingParts) {
    const bool inside = window ? withinRect(part, rect) : overlapsRect(part, rect);
    if (inside) {
      part.selected = true;
      hit = true;
    }
  }
  return hit;
}

void MoveSelected(PackingJob& job, const Point& from, const Point& to) {
  for (Part& part : job.workingParts) {
    if (part.selected) {
      translate(part, to.x - from.x, to.y - from.y);
    }
  }
}

void MoveSelectedChecked(PackingJob& job, const Point& from, const Point& to) {
  const double dx = to.x - from.x;
  const double dy = to.y - from.y;
  for (Part& part : job.workingParts) {
    if (!part.selected) {
      continue;
    }
    // Each copy is assigned back whole, which restores the hole order too.
    const Part beforeX(part);
    translate(part, dx, 0.0);
    if (!PartFits(job, part)) {
      part = beforeX;
    }
    const Part beforeY(part);
    translate(part, 0.0, dy);
    if (!PartFits(job, part)) {
      part = beforeY;
    }
  }
}

bool PartFits(const PackingJob& job, const Part& part) {
  return PartFits(job, part, defaultRunContext());
}

bool PartFits(const PackingJob& job, const Part& part, RunContext& ctx) {
  return FitTester(job.plateExtents, job.workingParts, &part, &ctx.counters).fits(part);
}

void RotateSelected(PackingJob& job, const Point& centre, double angle) {
  const Point pivot = centre;  // the centre may be a field of a part that turns
  for (Part& part : job.workingParts) {
    if (part.selected) {
      rotate(part, pivot, angle);
    }
  }
}

void TurnOverFirstSelected(PackingJob& job) {
  for (Part& part : job.workingParts) {
    if (part.selected) {
      const Point centroid = part.centroid;  // turnOver moves the centroid it mirrors about
      turnOver(part, centroid);
      return;
    }
  }
}

void StageNextPart(PackingJob& job) {
  for (Part& part : job.workingParts) {
    if (withinRect(part, job.plateExtents)) {
      continue;
    }
    translate(part, job.params.plateLength - part.bbox.xmin,
              job.params.plateWidth - part.bbox.ymax);
    SelectNone(job);
    part.selected = true;
    return;
  }
}

bool FindUnfitParts(PackingJob& job) {
  // Selecting moves nothing, so one index serves every part (each skipping itself).
  const FitIndex index(job.plateExtents, job.workingParts);
  bool none = true;
  for (Part& part : job.workingParts) {
    if (withinRect(part, job.plateExtents) && !index.fits(part, &part)) {
      part.selected = true;
      none = false;
    }
  }
  defaultRunContext().counters.fitTests += index.tests();
  return none;
}

bool SelectStraddlingParts(PackingJob& job) {
  bool any = false;
  for (Part& part : job.workingParts) {
    if (!withinRect(part, job.plateExtents) && overlapsRect(part, job.plateExtents)) {
      part.selected = true;
      any = true;
    }
  }
  return any;
}

}  // namespace tarn
