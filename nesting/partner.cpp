#include "nesting/partner.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "geometry/predicates.h"
#include "nesting/contact.h"
#include "nesting/layout_run.h"
#include "nesting/packing_points.h"
#include "nesting/placement.h"

namespace tarn {
namespace {

constexpr int kQuarterTurns = 4;
constexpr double kFarAway = 1e20;           // mm, worse than any real centroid
constexpr double kNoScore = -1e20;          // below any real pairing score
constexpr double kRectangularFill = 0.001;  // fill ratios this close to 1 never pair
constexpr double kOvershootShare = 0.5;     // of the longer side, past the packed length
// mm²: a part whose box is at least this large may reach past the packed length freely
constexpr double kLargePartBoxArea = 500'000.0;

double quarterTurn(int k) {
  return k * std::acos(-1.0) / 2.0;
}

double boxArea(const BBox& box) {
  return (box.xmax - box.xmin) * (box.ymax - box.ymin);
}

bool laidOut(const PackingJob& job, const Part& part) {
  return withinRect(part, job.plateExtents);
}

// Some other part, laid out or waiting as asked, to which `part` is similar.
bool similarExists(const PackingJob& job, const Part& part, bool wantLaidOut) {
  return std::any_of(job.workingParts.begin(), job.workingParts.end(), [&](const Part& other) {
    return &other != &part && laidOut(job, other) == wantLaidOut && SimilarParts(other, part);
  });
}

enum class Spot { Right, Above, Below };
constexpr Spot kSpots[] = {Spot::Right, Spot::Above, Spot::Below};

// Each spot is one translation from the current boxes, wherever the part was.
void moveToSpot(Part& part, const Part& laidOutPart, Spot spot) {
  const BBox& q = laidOutPart.bbox;
  const BBox& t = part.bbox;
  switch (spot) {
    case Spot::Right:
      translate(part, q.xmax - t.xmin, q.ymin - t.ymin);
      break;
    case Spot::Above:
      translate(part, q.xmin - t.xmin, q.ymax - t.ymin);
      break;
    case Spot::Below:
      translate(part, q.xmin - t.xmin, q.ymin - t.ymax);
      break;
  }
}

// The part in its quarter turns about its refPoint; with `turned` first turned
// over about the line through `mirrorAt` of the copy.
enum class MirrorAt { Centroid, RefPoint };

void addQuarterTurns(const Part& part, bool turned, MirrorAt mirrorAt, std::vector<Part>& out) {
  Part base(part);
  if (turned) {
    const Point line = mirrorAt == MirrorAt::Centroid ? base.centroid : base.refPoint;
    turnOver(base, line);
  }
  for (int k = 0; k < kQuarterTurns; ++k) {
    Part copy(base);
    if (k > 0) {
      const Point pivot = copy.refPoint;
      rotate(copy, pivot, quarterTurn(k));
    }
    out.push_back(std::move(copy));
  }
}

// One search for a place beside laid-out parts. Nothing moves while it lasts,
// so the fit tester and the prepared turns stay valid.
class PartnerSearch {
 public:
  PartnerSearch(PackingJob& job, const Part& part, RunContext& ctx)
      : job_(job), part_(part), obstacles_(job, ctx), tester_(obstacles_.index()) {}

  std::optional<BesideSpot> bestSpot(const Part& laidOutPart);
  std::optional<Pairing> bestPairing(double threshold, const Part& laidOutPart);

 private:
  // The quarter turns, then (when allowed) those of the copy turned over about
  // the line through `mirrorAt`; prepared once per search.
  const std::vector<Part>& quarterTurns(MirrorAt mirrorAt);
  // The one trial copy, set to `turn` (its storage kept from the last trial).
  Part& trialFrom(const Part& turn);

  PackingJob& job_;
  const Part& part_;
  const RunObstacles obstacles_;
  const FitIndex& tester_;
  std::vector<Part> turns_[2];  // by MirrorAt
  std::optional<double> packedLength_;
  std::optional<Part> trial_;
};

const std::vector<Part>& PartnerSearch::quarterTurns(MirrorAt mirrorAt) {
  std::vector<Part>& prepared = turns_[static_cast<std::size_t>(mirrorAt)];
  if (prepared.empty()) {
    addQuarterTurns(part_, false, mirrorAt, prepared);
    if (job_.params.allowTurnover) {
      addQuarterTurns(part_, true, mirrorAt, prepared);
    }
  }
  return prepared;
}

Part& PartnerSearch::trialFrom(const Part& turn) {
  if (trial_) {
    *trial_ = turn;
  } else {
    trial_.emplace(turn);
  }
  return *trial_;
}

std::optional<BesideSpot> PartnerSearch::bestSpot(const Part& laidOutPart) {
  const std::vector<Part>& turns = quarterTurns(MirrorAt::Centroid);
  std::optional<BesideSpot> best;
  double bx = kFarAway;
  double by = kFarAway;
  for (std::size_t n = 0; n < turns.size(); ++n) {
    // The plain turns compare exactly; the turned-over ones must win by the tie band.
    const bool turnedOver = n >= static_cast<std::size_t>(kQuarterTurns);
    Part& trial = trialFrom(turns[n]);
    for (const Spot spot : kSpots) {
      moveToSpot(trial, laidOutPart, spot);
      if (!tester_.fits(trial)) {
        continue;
      }
      const double cx = trial.centroid.x;
      const double cy = trial.centroid.y;
      const bool better =
          turnedOver ? leftThenLower(cx, cy, bx, by) : cx < bx || (cx == bx && cy < by);
      if (better) {
        bx = cx;
        by = cy;
        best = BesideSpot{poseOf(trial), trial.centroid};
      }
    }
  }
  return best;
}

std::optional<Pairing> PartnerSearch::bestPairing(double threshold, const Part& laidOutPart) {
  if (!SimilarParts(laidOutPart, part_)) {
    return std::nullopt;
  }
  if (std::abs(part_.fillRatio - 1.0) < kRectangularFill) {
    return std::nullopt;
  }
  if (!packedLength_) {
    packedLength_ = PackedLength(job_);
  }
  const double packed = *packedLength_;
  const double areaQ = boxArea(laidOutPart.bbox);
  const double areaP = boxArea(part_.bbox);
  std::optional<Pairing> best;
  double bestScore = kNoScore;
  double bestX = kFarAway;
  for (const Part& turn : quarterTurns(MirrorAt::RefPoint)) {
    Part& trial = trialFrom(turn);
    for (const Spot spot : kSpots) {
      moveToSpot(trial, laidOutPart, spot);
      switch (spot) {
        case Spot::Right:
          SlideLeftToward(job_, trial, laidOutPart);
          break;
        case Spot::Above:
          SlideDownToward(job_, trial, laidOutPart);
          break;
        case Spot::Below:
          SlideUpToward(job_, trial, laidOutPart);
          break;
      }
      if (!tester_.fits(trial)) {
        continue;
      }
      const double score = areaP + areaQ - UnionBoxArea(laidOutPart, trial);
      const BBox& box = trial.bbox;
      // A small part may not reach past the packed length by more than half its longer side.
      const bool withinReach =
          spot != Spot::Right || areaP >= kLargePartBoxArea ||
          box.xmax <= packed + kOvershootShare * std::max(box.xmax - box.xmin, box.ymax - box.ymin);
      if (withinReach && (score > bestScore || (score == bestScore && trial.centroid.x < bestX))) {
        bestScore = score;
        bestX = trial.centroid.x;
        best = Pairing{poseOf(trial), score, trial.centroid};
      }
    }
  }
  if (!best || !(bestScore / areaP / (1.0 - part_.fillRatio) >= threshold)) {
    return std::nullopt;
  }
  return best;
}

}  // namespace

PlacementPose poseOf(const Part& part) {
  return PlacementPose{part.turnedOver, part.refPoint, part.rotation};
}

void applyPose(PackingJob& job, Part& part, const PlacementPose& pose) {
  if (pose.turnedOver != part.turnedOver) {
    const Point ref = part.refPoint;
    turnOver(part, ref);
  }
  translate(part, pose.refPoint.x - part.refPoint.x, pose.refPoint.y - part.refPoint.y);
  rotate(part, pose.refPoint, pose.rotation - part.rotation);
  MarkOccupied(job, part);
}

bool SimilarParts(const Part& q, const Part& p) {
  const double wq = q.bbox.xmax - q.bbox.xmin;
  const double hq = q.bbox.ymax - q.bbox.ymin;
  const double wp = p.bbox.xmax - p.bbox.xmin;
  const double hp = p.bbox.ymax - p.bbox.ymin;
  const double longQ = std::max(wq, hq);
  const double shortQ = std::min(wq, hq);
  const double longP = std::max(wp, hp);
  const double shortP = std::min(wp, hp);
  return (std::abs(longQ - longP) / longQ < kSimilarSideShare ||
          std::abs(shortQ - shortP) / shortQ < kSimilarSideShare) &&
         std::abs(q.fillRatio - p.fillRatio) < kSimilarFillBand;
}

bool SimilarLaidOutExists(const PackingJob& job, const Part& part) {
  return similarExists(job, part, true);
}

bool SimilarWaitingExists(const PackingJob& job, const Part& part) {
  return similarExists(job, part, false);
}

bool PlateEmpty(const PackingJob& job) {
  return std::none_of(job.workingParts.begin(), job.workingParts.end(),
                      [&job](const Part& part) { return laidOut(job, part); });
}

double PackedLength(const PackingJob& job) {
  double length = 0.0;
  for (const Part& part : job.workingParts) {
    if (laidOut(job, part) && part.bbox.xmax > length) {
      length = part.bbox.xmax;
    }
  }
  return length;
}

double UnionBoxArea(const Part& a, const Part& b) {
  return (std::max(a.bbox.xmax, b.bbox.xmax) - std::min(a.bbox.xmin, b.bbox.xmin)) *
         (std::max(a.bbox.ymax, b.bbox.ymax) - std::min(a.bbox.ymin, b.bbox.ymin));
}

std::optional<BesideSpot> BestSpotBeside(PackingJob& job, const Part& laidOut, const Part& part,
                                         RunContext& ctx) {
  PartnerSearch search(job, part, ctx);
  return search.bestSpot(laidOut);
}

bool PlaceNextToLaidOut(PackingJob& job, Part& part, RunContext& ctx) {
  if (PlateEmpty(job)) {
    return PlaceOne(job, part, ctx);
  }
  PartnerSearch search(job, part, ctx);
  std::optional<BesideSpot> best;
  for (const Part& other : job.workingParts) {
    if (&other == &part || !laidOut(job, other)) {
      continue;
    }
    const std::optional<BesideSpot> spot = search.bestSpot(other);
    if (!spot) {
      continue;
    }
    if (!best ||
        leftThenLower(spot->centroid.x, spot->centroid.y, best->centroid.x, best->centroid.y)) {
      best = spot;
    }
  }
  if (!best) {
    return false;
  }
  applyPose(job, part, best->pose);
  return true;
}

std::optional<Pairing> BestPairingBeside(PackingJob& job, double threshold, const Part& laidOut,
                                         const Part& part, RunContext& ctx) {
  PartnerSearch search(job, part, ctx);
  return search.bestPairing(threshold, laidOut);
}

bool PlaceBySimilarPair(PackingJob& job, Part& part, double threshold, RunContext& ctx) {
  PartnerSearch search(job, part, ctx);
  std::optional<Pairing> best;
  for (const Part& other : job.workingParts) {
    if (&other == &part || !laidOut(job, other)) {
      continue;
    }
    const std::optional<Pairing> pairing = search.bestPairing(threshold, other);
    if (!pairing) {
      continue;
    }
    if (!best || pairing->score > best->score ||
        (pairing->score == best->score && pairing->centroid.x < best->centroid.x)) {
      best = pairing;
    }
  }
  if (!best) {
    return false;
  }
  applyPose(job, part, best->pose);
  return true;
}

}  // namespace tarn
