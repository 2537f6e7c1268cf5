#include "nesting/partner.h"

#include <algorithm>
#include <cmath>
#include <iterator>
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

  // With `toBeat`, nothing when no trial at all could beat it by
  // leftThenLower; the answer is then without effect in PlaceNextToLaidOut.
  std::optional<BesideSpot> bestSpot(const Part& laidOutPart, const BesideSpot* toBeat = nullptr);
  // With `toBeat`, a trial that would not beat it (score, then centroid x) is
  // not tested; the answer is then either what it is without, when that beats
  // `toBeat`, or nothing (see PlaceBySimilarPair).
  std::optional<Pairing> bestPairing(double threshold, const Part& laidOutPart,
                                     const Pairing* toBeat = nullptr);

 private:
  // The trial of turn n at spot s slid against `laidOutPart` (or only moved
  // there, without `slide`), as the search made it: turn n at the spots
  // before s first.
  Part& replayTrial(std::size_t index, const Part& laidOutPart, bool slide);
  // The part's shape in the run.
  std::size_t shape();

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
  std::optional<std::size_t> shape_;  // the part's shape in the run
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

void slideAgainst(PackingJob& job, Part& trial, const Part& laidOutPart, Spot spot) {
  moveToSpot(trial, laidOutPart, spot);
  switch (spot) {
    case Spot::Right:
      SlideLeftToward(job, trial, laidOutPart);
      break;
    case Spot::Above:
      SlideDownToward(job, trial, laidOutPart);
      break;
    case Spot::Below:
      SlideUpToward(job, trial, laidOutPart);
      break;
  }
}

// Score first, then centroid x; with NaN in neither this orders like numbers.
bool beats(double score, double x, double bestScore, double bestX) {
  return score > bestScore || (score == bestScore && x < bestX);
}

bool hasNaN(const PartnerTrial& trial) {
  return std::isnan(trial.score) || std::isnan(trial.centroid.x);
}

Part& PartnerSearch::replayTrial(std::size_t index, const Part& laidOutPart, bool slide) {
  const std::size_t spots = std::size(kSpots);
  const MirrorAt mirrorAt = slide ? MirrorAt::RefPoint : MirrorAt::Centroid;
  Part& trial = trialFrom(quarterTurns(mirrorAt)[index / spots]);
  for (std::size_t s = 0; s <= index % spots; ++s) {
    if (slide) {
      slideAgainst(job_, trial, laidOutPart, kSpots[s]);
    } else {
      moveToSpot(trial, laidOutPart, kSpots[s]);
    }
  }
  return trial;
}

std::size_t PartnerSearch::shape() {
  if (!shape_) {
    shape_ = obstacles_.run()->shapeOf(part_);
  }
  return *shape_;
}

// The trials in search order: the plain turns compare exactly, the turned-over
// ones must win by the tie band. A trial is tested only when it would win,
// which changes nothing (one that would not win changes nothing either way).
// In a run the trials of this shape beside this part are taken from the run,
// with the ones whose test failed; there a part that no trial could beat by
// leftThenLower (the rule of PlaceNextToLaidOut) is given up at once, since
// whichever trial were its best, it would not count.
std::optional<BesideSpot> PartnerSearch::bestSpot(const Part& laidOutPart,
                                                  const BesideSpot* toBeat) {
  const std::vector<Part>& turns = quarterTurns(MirrorAt::Centroid);
  std::vector<PartnerTrial>* kept = nullptr;
  if (obstacles_.run() != nullptr) {
    kept = obstacles_.run()->partnerTrials(shape(), laidOutPart, LayoutRun::Search::Spot);
  }
  if (kept != nullptr && kept->empty()) {
    for (const Part& turn : turns) {
      Part& trial = trialFrom(turn);
      for (const Spot spot : kSpots) {
        moveToSpot(trial, laidOutPart, spot);
        kept->push_back(PartnerTrial{poseOf(trial), trial.centroid, trial.bbox});
      }
    }
    obstacles_.run()->keptPartnerTrials(kept->size());
  }
  if (kept != nullptr && toBeat != nullptr &&
      std::none_of(kept->begin(), kept->end(), [toBeat](const PartnerTrial& t) {
        return leftThenLower(t.centroid.x, t.centroid.y, toBeat->centroid.x, toBeat->centroid.y);
      })) {
    return std::nullopt;
  }
  std::optional<BesideSpot> best;
  double bx = kFarAway;
  double by = kFarAway;
  const auto better = [&](std::size_t turn, double cx, double cy) {
    return turn >= static_cast<std::size_t>(kQuarterTurns) ? leftThenLower(cx, cy, bx, by)
                                                           : cx < bx || (cx == bx && cy < by);
  };
  if (kept != nullptr) {
    for (std::size_t i = 0; i < kept->size(); ++i) {
      PartnerTrial& t = (*kept)[i];
      if (!better(i / std::size(kSpots), t.centroid.x, t.centroid.y) || t.failed) {
        continue;
      }
      if (!tester_.fits(replayTrial(i, laidOutPart, false))) {
        t.failed = true;
        continue;
      }
      bx = t.centroid.x;
      by = t.centroid.y;
      best = BesideSpot{t.pose, t.centroid};
    }
    return best;
  }
  for (std::size_t n = 0; n < turns.size(); ++n) {
    Part& trial = trialFrom(turns[n]);
    for (const Spot spot : kSpots) {
      moveToSpot(trial, laidOutPart, spot);
      if (!better(n, trial.centroid.x, trial.centroid.y) || !tester_.fits(trial)) {
        continue;
      }
      bx = trial.centroid.x;
      by = trial.centroid.y;
      best = BesideSpot{poseOf(trial), trial.centroid};
    }
  }
  return best;
}

// The trials are made (or, in a run, taken from the run's memory of this shape
// beside this part) in search order. A trial is tested only when it would win:
// within reach and better than the best so far, and better than `toBeat`.
// Testing after the comparison instead of before changes nothing, as a trial
// that would not win changes nothing whether it fits or not. Skipping the
// trials that do not beat `toBeat` leaves the best as it is when the best
// beats `toBeat`, and leaves nothing otherwise: (score, -x) orders the trials
// as numbers do, so any trial that beats `toBeat` makes the best beat it too.
std::optional<Pairing> PartnerSearch::bestPairing(double threshold, const Part& laidOutPart,
                                                  const Pairing* toBeat) {
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
  std::vector<PartnerTrial>* kept = nullptr;
  if (obstacles_.run() != nullptr) {
    kept = obstacles_.run()->partnerTrials(shape(), laidOutPart, LayoutRun::Search::Pairing);
  }
  const bool remembered = kept != nullptr && !kept->empty();
  bool prune = remembered && toBeat != nullptr && !std::isnan(toBeat->score) &&
               !std::isnan(toBeat->centroid.x);
  if (prune) {
    prune = std::none_of(kept->begin(), kept->end(), hasNaN);
  }
  // Whether the trial wins, its fit test (made through fits()) last.
  const auto consider = [&](PartnerTrial& trial, Spot spot, auto&& fits) {
    const BBox& box = trial.box;
    // A small part may not reach past the packed length by more than half its longer side.
    const bool withinReach =
        spot != Spot::Right || areaP >= kLargePartBoxArea ||
        box.xmax <= packed + kOvershootShare * std::max(box.xmax - box.xmin, box.ymax - box.ymin);
    if (!withinReach || !beats(trial.score, trial.centroid.x, bestScore, bestX)) {
      return;
    }
    if (prune && !beats(trial.score, trial.centroid.x, toBeat->score, toBeat->centroid.x)) {
      return;
    }
    if (trial.failed || !fits()) {
      trial.failed = true;
      return;
    }
    bestScore = trial.score;
    bestX = trial.centroid.x;
    best = Pairing{trial.pose, trial.score, trial.centroid};
  };
  if (remembered) {
    for (std::size_t i = 0; i < kept->size(); ++i) {
      consider((*kept)[i], kSpots[i % std::size(kSpots)],
               [&] { return tester_.fits(replayTrial(i, laidOutPart, true)); });
    }
  } else {
    for (const Part& turn : quarterTurns(MirrorAt::RefPoint)) {
      Part& trial = trialFrom(turn);
      for (const Spot spot : kSpots) {
        slideAgainst(job_, trial, laidOutPart, spot);
        PartnerTrial made{poseOf(trial), trial.centroid, trial.bbox,
                          areaP + areaQ - UnionBoxArea(laidOutPart, trial)};
        consider(made, spot, [&] { return tester_.fits(trial); });
        if (kept != nullptr) {
          kept->push_back(made);
        }
      }
    }
    if (kept != nullptr) {
      obstacles_.run()->keptPartnerTrials(kept->size());
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
    // A partner none of whose spots could beat the best so far is passed over.
    const std::optional<BesideSpot> spot = search.bestSpot(other, best ? &*best : nullptr);
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
    // A partner that cannot beat the best so far need not be searched in full.
    const std::optional<Pairing> pairing =
        search.bestPairing(threshold, other, best ? &*best : nullptr);
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
