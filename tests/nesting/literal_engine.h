#pragma once

// The grid placement and its walks as written down, without any index or
// memory: every fit test walks every working part, every scan starts at the
// first column. The engine must lay every job out exactly as these do.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <vector>

#include "geometry/part.h"
#include "geometry/predicates.h"
#include "job/job_operations.h"
#include "job/packing_job.h"
#include "nesting/contact.h"
#include "nesting/packing_points.h"
#include "nesting/placement.h"

namespace tarn::test::literal {

// Within the plate and disjoint from every part of `parts` but `skipped`.
inline bool fits(const BBox& plate, const PartList& parts, const Part& part, const Part* skipped) {
  return withinRect(part, plate) && std::all_of(parts.begin(), parts.end(), [&](const Part& other) {
           return &other == skipped || partsDisjoint(part, other);
         });
}

inline bool fits(const PackingJob& job, const Part& part, const Part* skipped) {
  return fits(job.plateExtents, job.workingParts, part, skipped);
}

// The engine's stepping: a start step from the box (no less than the
// resolution, no more than the packing point distance), halved after each
// step that failed.
inline void contact(PackingJob& job, Part& part, double ux, double uy) {
  const BBox& box = part.bbox;
  double step =
      std::max(0.25 * std::min(box.xmax - box.xmin, box.ymax - box.ymin), kContactResolution);
  step = std::min(step, job.params.packingPointDistance);
  if (!(step > 0.0) || !std::isfinite(step)) {
    return;
  }
  double dx = ux * step;
  double dy = uy * step;
  for (;;) {
    for (;;) {
      translate(part, dx, dy);
      if (!fits(job, part, &part)) {
        break;
      }
    }
    translate(part, -dx, -dy);
    if (std::abs(dx) < kContactResolution && std::abs(dy) < kContactResolution) {
      return;
    }
    dx *= 0.5;
    dy *= 0.5;
  }
}

struct Candidate {
  Part shape;
  Point centroid;
  double angle = 0.0;
  bool turned = false;
};

// PlaceByGrid, or PlaceByGridTurnover with `turnover`.
inline bool placeByGrid(PackingJob& job, Part& part, bool turnover) {
  const Point centroid = part.centroid;
  const Point anchor = nearestVertexToCentroid(part);
  const double reach = distance(anchor, centroid);
  const std::vector<double> angles = RotationAngles(job.params.rotationNumber);
  if (angles.empty() || job.gridCountX <= 0 || job.gridCountY <= 0) {
    return false;
  }
  std::vector<Candidate> candidates;
  for (std::size_t k = 0; k < angles.size(); ++k) {
    Candidate plain{Part(part), centroid, angles[k], false};
    if (k > 0) {
      rotate(plain.shape, anchor, angles[k]);
    }
    rotateAbout(plain.centroid, anchor, angles[k]);
    candidates.push_back(plain);
    if (turnover) {
      Candidate twin{sameOrderCopy(plain.shape), plain.centroid, angles[k], true};
      turnOver(twin.shape, anchor);
      twin.centroid.y = 2.0 * anchor.y - plain.centroid.y;
      candidates.push_back(twin);
    }
  }
  const int stride = PlacementStride(part.bbox, job.params.packingPointDistance);
  const auto fitsAt = [&](const Candidate& c, double dx, double dy) {
    Part moved(c.shape);
    translate(moved, dx, dy);
    return fits(job, moved, nullptr);
  };
  const auto point = [&job](int i, int j) -> const PackingPoint& {
    return job.packingPoints[static_cast<std::size_t>(i * job.gridCountY + j)];
  };
  // Column by column: the first candidate that fits, then any that beats it,
  // until the points lie too far right for the part's centroid to win.
  bool found = false;
  double bx = 0.0, by = 0.0;
  Point bestPoint;
  std::size_t winner = 0;
  for (int i = 0; i < job.gridCountX; i += stride) {
    for (int j = 0; j < job.gridCountY; j += stride) {
      const PackingPoint& q = point(i, j);
      if (q.occupied) {
        continue;
      }
      if (found && q.position.x - reach > bx) {
        i = job.gridCountX;  // the scan ends
        break;
      }
      const double dx = q.position.x - anchor.x;
      const double dy = q.position.y - anchor.y;
      for (std::size_t k = 0; k < candidates.size(); ++k) {
        const double cx = candidates[k].centroid.x + dx;
        const double cy = candidates[k].centroid.y + dy;
        if ((!found || leftThenLower(cx, cy, bx, by)) && fitsAt(candidates[k], dx, dy)) {
          found = true;
          bx = cx;
          by = cy;
          bestPoint = q.position;
          winner = k;
        }
      }
    }
  }
  if (!found) {
    return false;
  }
  translate(part, bestPoint.x - anchor.x, bestPoint.y - anchor.y);
  rotate(part, bestPoint, candidates[winner].angle);
  if (candidates[winner].turned) {
    turnOver(part, bestPoint);
  }
  contact(job, part, -1.0, 0.0);
  contact(job, part, 0.0, -1.0);
  MarkOccupied(job, part);
  return true;
}

inline void buildGrid(PackingJob& job) {
  if (job.gridPending) {
    RebuildPackingPoints(job);
    job.gridPending = false;
  }
}

// LayoutAll's and Layout's walks; `after` is called after every part tried.
inline void placeWaiting(PackingJob& job, const std::function<void()>& after = {}) {
  SelectNone(job);
  buildGrid(job);
  for (Part& part : job.workingParts) {
    if (!withinRect(part, job.plateExtents)) {
      placeByGrid(job, part, job.params.allowTurnover);
      if (after) {
        after();
      }
    }
  }
}

inline void placeSelected(PackingJob& job) {
  buildGrid(job);
  for (Part& part : job.workingParts) {
    if (part.selected) {
      placeByGrid(job, part, job.params.allowTurnover);
    }
  }
}

}  // namespace tarn::test::literal
