#include "nesting/placement.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <optional>

#include "geometry/predicates.h"
#include "nesting/contact.h"
#include "nesting/layout_run.h"
#include "nesting/packing_points.h"

namespace tarn {
namespace {

constexpr int kQuarterTurns = 4;

double pi() {
  return std::acos(-1.0);
}

// One orientation of the part, prepared once per call and tested by
// translation to each packing point.
struct Candidate {
  Part shape;
  Point centroid;
  double angle = 0.0;
  bool turned = false;
};

enum class Ranking {
  TieBand,  // further left by kCentroidTieBand, or as far left within it and lower
  Strict,   // strictly further left, no tie-break
};

struct ScanResult {
  bool found = false;
  double x = 0.0;  // the winning candidate's centroid
  double y = 0.0;
  Point point;  // the winning packing point
  std::size_t candidate = 0;
};

bool improves(Ranking ranking, double cx, double cy, const ScanResult& best) {
  if (ranking == Ranking::Strict) {
    return cx < best.x;
  }
  return leftThenLower(cx, cy, best.x, best.y);
}

// The first fit column by column from the left, then the improvement scan from
// that column on until a point lies more than `reach` right of the best
// centroid. Candidates are translated by (point - origin).
//
// The first-fit scan starts at `start` (a pair before which every test failed
// for a part of the same shape, see LayoutRun) and moves it to the first fit.
ScanResult scanGrid(const PackingJob& job, const std::vector<Candidate>& candidates,
                    const Point& origin, double reach, int stride, Ranking ranking,
                    const FitIndex& tester, LayoutRun::ScanStart& start) {
  ScanResult best;
  if (candidates.empty() || job.gridCountX <= 0 || job.gridCountY <= 0 || start.exhausted) {
    return best;
  }
  start.stride = stride;
  for (const Candidate& c : candidates) {
    start.reachRight = std::max(start.reachRight, c.shape.outer.bbox.xmax - origin.x);
  }
  const int countX = job.gridCountX;
  const int countY = job.gridCountY;
  const auto pointAt = [&job, countY](int i, int j) -> const PackingPoint& {
    return job.packingPoints[static_cast<std::size_t>(i) * static_cast<std::size_t>(countY) +
                             static_cast<std::size_t>(j)];
  };

  int firstColumn = -1;
  int row = start.row;
  std::size_t first = start.candidate;
  for (int i = start.column; i < countX && firstColumn < 0; i += stride, row = 0) {
    for (int j = row; j < countY && firstColumn < 0; j += stride, first = 0) {
      const PackingPoint& q = pointAt(i, j);
      if (q.occupied) {
        continue;
      }
      const double dx = q.position.x - origin.x;
      const double dy = q.position.y - origin.y;
      for (std::size_t k = first; k < candidates.size(); ++k) {
        const Candidate& c = candidates[k];
        if (tester.fitsTranslated(c.shape, dx, dy)) {
          best = ScanResult{true, c.centroid.x + dx, c.centroid.y + dy, q.position, k};
          firstColumn = i;
          start.column = i;
          start.row = j;
          start.candidate = k;
          break;
        }
      }
    }
  }
  if (firstColumn < 0) {
    start.exhausted = true;
    return best;
  }

  for (int i = firstColumn; i < countX; i += stride) {
    for (int j = 0; j < countY; j += stride) {
      const PackingPoint& q = pointAt(i, j);
      if (q.occupied) {
        continue;
      }
      // Every candidate centroid lies within `reach` of its packing point.
      if (q.position.x - reach > best.x) {
        return best;
      }
      const double dx = q.position.x - origin.x;
      const double dy = q.position.y - origin.y;
      for (std::size_t k = 0; k < candidates.size(); ++k) {
        const Candidate& c = candidates[k];
        const double cx = c.centroid.x + dx;
        const double cy = c.centroid.y + dy;
        if (improves(ranking, cx, cy, best) && tester.fitsTranslated(c.shape, dx, dy)) {
          best = ScanResult{true, cx, cy, q.position, k};
        }
      }
    }
  }
  return best;
}

// The orientations of the grid placements, each turned about `anchor`; with
// `turnover` every rotation is followed by its twin turned over about the
// horizontal line through `anchor`.
std::vector<Candidate> gridCandidates(const Part& part, const Point& anchor, const Point& centroid,
                                      const std::vector<double>& angles, bool turnover) {
  std::vector<Candidate> candidates;
  candidates.reserve(angles.size() * (turnover ? 2 : 1));
  for (std::size_t k = 0; k < angles.size(); ++k) {
    Candidate plain{Part(part), centroid, angles[k], false};
    if (k > 0) {
      rotate(plain.shape, anchor, angles[k]);
    }
    rotateAbout(plain.centroid, anchor, angles[k]);
    if (turnover) {
      // The twin keeps the hole order of its plain candidate.
      Candidate twin{sameOrderCopy(plain.shape), plain.centroid, angles[k], true};
      turnOver(twin.shape, anchor);
      twin.centroid.y = 2.0 * anchor.y - plain.centroid.y;
      candidates.push_back(std::move(plain));
      candidates.push_back(std::move(twin));
    } else {
      candidates.push_back(std::move(plain));
    }
  }
  return candidates;
}

// The run's scan start for the part's shape (read before anything of the part
// is recomputed), or a fresh one outside a walk.
LayoutRun::ScanStart& scanStartOf(const RunObstacles& obstacles, const Part& part,
                                  LayoutRun::Routine routine, LayoutRun::ScanStart& fresh) {
  LayoutRun* run = obstacles.run();
  return run != nullptr ? run->scanStart(run->shapeOf(part), routine) : fresh;
}

bool placeByGrid(PackingJob& job, Part& part, bool turnover, RunContext& ctx) {
  std::optional<RunObstacles> obstacles(std::in_place, job, ctx);
  LayoutRun::ScanStart fresh;
  LayoutRun::ScanStart& start =
      scanStartOf(*obstacles, part,
                  turnover ? LayoutRun::Routine::GridTurnover : LayoutRun::Routine::Grid, fresh);
  const Point centroid = part.centroid;
  const Point anchor = nearestVertexToCentroid(part);
  const double reach = distance(anchor, centroid);
  const std::vector<double> angles = RotationAngles(job.params.rotationNumber);
  if (angles.empty()) {
    return false;
  }
  const std::vector<Candidate> candidates =
      gridCandidates(part, anchor, centroid, angles, turnover);
  const int stride = PlacementStride(part.bbox, job.params.packingPointDistance);
  const ScanResult best =
      scanGrid(job, candidates, anchor, reach, stride, Ranking::TieBand, obstacles->index(), start);
  obstacles.reset();
  if (!best.found) {
    return false;
  }
  const Candidate& winner = candidates[best.candidate];
  translate(part, best.point.x - anchor.x, best.point.y - anchor.y);
  rotate(part, best.point, winner.angle);
  if (winner.turned) {
    turnOver(part, best.point);
  }
  ContactLeft(job, part, ctx);
  ContactDown(job, part, ctx);
  MarkOccupied(job, part);
  return true;
}

}  // namespace

std::vector<double> RotationAngles(int rotationNumber) {
  std::vector<double> angles;
  if (rotationNumber <= 0) {
    return angles;
  }
  const double step = 2.0 * pi() / rotationNumber;
  angles.reserve(static_cast<std::size_t>(rotationNumber));
  for (int k = 0; k < rotationNumber; ++k) {
    angles.push_back(k * step);
  }
  return angles;
}

int PlacementStride(const BBox& box, double packingPointDistance) {
  const double side = std::min(box.xmax - box.xmin, box.ymax - box.ymin);
  if (side / 10.0 <= 2.0 * packingPointDistance) {
    return 1;
  }
  const double stride = std::trunc(side / 10.0 / packingPointDistance);
  // A distance that is not positive gives no usable stride: scan every point.
  if (!(stride >= 1.0) || !std::isfinite(stride)) {
    return 1;
  }
  return stride < INT_MAX / 4 ? static_cast<int>(stride) : INT_MAX / 4;
}

bool PlaceByGrid(PackingJob& job, Part& part, RunContext& ctx) {
  return placeByGrid(job, part, false, ctx);
}

bool PlaceByGridTurnover(PackingJob& job, Part& part, RunContext& ctx) {
  return placeByGrid(job, part, true, ctx);
}

bool PlaceByBoundingRectangle(PackingJob& job, Part& part, RunContext& ctx) {
  std::optional<RunObstacles> obstacles(std::in_place, job, ctx);
  LayoutRun::ScanStart fresh;
  LayoutRun::ScanStart& start =
      scanStartOf(*obstacles, part, LayoutRun::Routine::BoundingRectangle, fresh);
  const Point centroid = computePartCentroid(part);
  const BBox box = part.bbox;
  const Point corner{box.xmin, box.ymin};
  const double reach = distance(corner, centroid);

  Region outline;
  setPoints(outline, {corner, {box.xmax, box.ymin}, {box.xmax, box.ymax}, {box.xmin, box.ymax}});
  Part rectangle;
  setGeometry(rectangle, outline, RegionList{});

  std::vector<Candidate> candidates;
  candidates.reserve(kQuarterTurns);
  for (int k = 0; k < kQuarterTurns; ++k) {
    const double angle = k * pi() / 2.0;
    Candidate c{Part(rectangle), centroid, angle, false};
    rotate(c.shape, corner, angle);
    rotateAbout(c.centroid, corner, angle);
    candidates.push_back(std::move(c));
  }
  const int stride = PlacementStride(box, job.params.packingPointDistance);
  const ScanResult best =
      scanGrid(job, candidates, corner, reach, stride, Ranking::Strict, obstacles->index(), start);
  obstacles.reset();
  if (!best.found) {
    return false;
  }
  const double angle = candidates[best.candidate].angle;
  // Only the rectangle is pushed: the part lies inside it, so it fits wherever
  // the rectangle does.
  Part pushed(rectangle);
  translate(pushed, best.point.x - corner.x, best.point.y - corner.y);
  rotate(pushed, best.point, angle);
  const Point before = pushed.centroid;
  SlideLeftFree(job, pushed, ctx);
  SlideDownFree(job, pushed, ctx);
  const double dx = best.point.x - corner.x + (pushed.centroid.x - before.x);
  const double dy = best.point.y - corner.y + (pushed.centroid.y - before.y);
  const Point pivot{corner.x + dx, corner.y + dy};
  translate(part, dx, dy);
  rotate(part, pivot, angle);
  MarkOccupied(job, part);
  return true;
}

bool PlaceOne(PackingJob& job, Part& part, RunContext& ctx) {
  return job.params.allowTurnover ? PlaceByGridTurnover(job, part, ctx)
                                  : PlaceByGrid(job, part, ctx);
}

}  // namespace tarn
