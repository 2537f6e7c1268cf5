#pragma once

#include <optional>

#include "geometry/part.h"
#include "geometry/point.h"
#include "job/packing_job.h"
#include "job/run_context.h"

namespace tarn {

inline constexpr double kSimilarSideShare = 0.01;  // relative side difference of similar parts
inline constexpr double kSimilarFillBand = 0.1;    // fill ratio difference of similar parts

// Where a candidate copy of a part lies: applying it to the part reproduces the copy.
struct PlacementPose {
  bool turnedOver = false;
  Point refPoint;
  double rotation = 0.0;  // radians
};

PlacementPose poseOf(const Part& part);
// Turns the part over about its own refPoint when the flags differ, moves the
// refPoints together, turns it to the pose's rotation and marks the grid.
void applyPose(PackingJob& job, Part& part, const PlacementPose& pose);

// Sides within 1 % (measured against q's sides) and fill ratios within 0.1; not
// symmetric.
bool SimilarParts(const Part& q, const Part& p);
bool SimilarLaidOutExists(const PackingJob& job, const Part& part);
bool SimilarWaitingExists(const PackingJob& job, const Part& part);
bool PlateEmpty(const PackingJob& job);
// The largest box xmax of the laid-out parts; 0 without any.
double PackedLength(const PackingJob& job);
// The area of the box enclosing both parts' boxes.
double UnionBoxArea(const Part& a, const Part& b);

struct BesideSpot {
  PlacementPose pose;
  Point centroid;
};
// The fitting spot right of, above or below the laid-out `laidOut`, over the
// part's quarter turns (and their turned-over copies when allowed), whose
// centroid lies furthest left, then lowest.
std::optional<BesideSpot> BestSpotBeside(PackingJob& job, const Part& laidOut, const Part& part,
                                         RunContext& ctx = defaultRunContext());
// Lays the part out at the best spot beside any laid-out part (PlaceOne on an
// empty plate); false and unchanged when there is none.
bool PlaceNextToLaidOut(PackingJob& job, Part& part, RunContext& ctx = defaultRunContext());

struct Pairing {
  PlacementPose pose;
  double score = 0.0;  // mm²: the two box areas minus their common box's area
  Point centroid;
};
// The candidate slid against the similar laid-out part whose common box is the
// smallest; nothing unless score / box area / (1 - fill ratio) reaches
// `threshold`.
std::optional<Pairing> BestPairingBeside(PackingJob& job, double threshold, const Part& laidOut,
                                         const Part& part, RunContext& ctx = defaultRunContext());
// Lays the part out interlocked with the laid-out part that pairs best; false
// and unchanged when none pairs.
bool PlaceBySimilarPair(PackingJob& job, Part& part, double threshold,
                        RunContext& ctx = defaultRunContext());

}  // namespace tarn
