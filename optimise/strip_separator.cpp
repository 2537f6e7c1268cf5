#include "optimise/strip_separator.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>

#include "optimise/collision_shape.h"
#include "optimise/random_stream.h"

namespace tarn {
namespace {

using strip::CollisionShape;
using strip::CollisionTester;
using strip::Pole;
using strip::RandomStream;

// Guided local search weights: a colliding pair's weight grows by 1.2 to 2 (the
// worst collision most), a free pair's decays by 0.95, never below 1.
constexpr double kWeightGrowthMin = 1.2;
constexpr double kWeightGrowthMax = 2.0;
constexpr double kWeightDecay = 0.95;
// A separation pass counts as progress when it lowers the least loss by 2 %.
constexpr double kClearImprovement = 0.98;
// Coordinate descent steps, as shares of the item's smaller box side: the first
// refinement from 0.25 down to 0.02, the final one from 0.01 down to 0.001.
constexpr double kCoarseStepFirst = 0.25;
constexpr double kCoarseStepLast = 0.02;
constexpr double kFineStepFirst = 0.01;
constexpr double kFineStepLast = 0.001;
constexpr double kStepGrowth = 1.1;
constexpr double kStepShrink = 0.5;
// Samples closer than this share of the smaller box side (same orientation) are one.
constexpr double kSameSampleShare = 0.05;
// Items whose hull areas make up the largest 75 % of the total are the large ones
// that a disruption swaps.
constexpr double kLargeItemShare = 0.75;
// Items that differ by less than 1 % in hull area count as alike for a swap.
constexpr double kAlikeShare = 0.01;
// A failed exploration step is cut to this share for the next attempt.
constexpr double kExploreStepCut = 0.5;
// Infeasible layouts kept for a restart are picked by |N(0, 0.25)| of the pool's rank.
constexpr double kPoolSpread = 0.25;
// Rigid maps between orientations may err by this share of the diameter, and
// their matrices by this much from orthogonal.
constexpr double kSameShapeShare = 1e-9;
constexpr double kRigidTolerance = 1e-9;
// Orientations whose vertices agree to this share of the strip's larger side are one shape.
constexpr double kKeyQuantumShare = 1e-9;
// An item tries at most this many of its orientations (a rotation number of 360
// with turning over allows 720): they would cost memory, not add much.
constexpr std::size_t kMaxOrientations = 64;

enum class EvalKind { Clear, Collision, Invalid };

struct Eval {
  EvalKind kind = EvalKind::Invalid;
  double loss = 0.0;
};

bool operator<(const Eval& a, const Eval& b) {
  if (a.kind != b.kind) {
    return a.kind < b.kind;
  }
  return a.kind == EvalKind::Collision && a.loss < b.loss;
}

struct Placement {
  int slot = 0;   // among the item's slots
  int shape = 0;  // that slot's shape
  double x = 0.0;
  double y = 0.0;
};

struct Sample {
  Placement at;
  Eval eval;
};

// The few best samples of one placement search, no two alike.
class BestSamples {
 public:
  BestSamples(std::size_t capacity, double sameDistance)
      : capacity_(capacity), sameDistance_(sameDistance) {}

  Eval bound() const { return samples_.size() < capacity_ ? Eval{} : samples_.back().eval; }
  const std::vector<Sample>& samples() const { return samples_; }

  void report(const Sample& s) {
    if (!(s.eval < bound())) {
      return;
    }
    bool anyAlike = false;
    bool beatsAlike = true;
    for (const Sample& other : samples_) {
      if (alike(other.at, s.at)) {
        anyAlike = true;
        beatsAlike = beatsAlike && s.eval < other.eval;
      }
    }
    if (anyAlike) {
      if (!beatsAlike) {
        return;
      }
      std::erase_if(samples_, [&](const Sample& other) { return alike(other.at, s.at); });
    } else if (samples_.size() == capacity_) {
      samples_.pop_back();
    }
    const auto at =
        std::upper_bound(samples_.begin(), samples_.end(), s,
                         [](const Sample& a, const Sample& b) { return a.eval < b.eval; });
    samples_.insert(at, s);
  }

 private:
  bool alike(const Placement& a, const Placement& b) const {
    return a.shape == b.shape && std::fabs(a.x - b.x) < sameDistance_ &&
           std::fabs(a.y - b.y) < sameDistance_;
  }

  std::size_t capacity_;
  double sameDistance_;
  std::vector<Sample> samples_;
};

struct Range {
  double lo = 0.0;
  double hi = 0.0;
  bool empty() const { return hi < lo; }
};

// A rigid map p -> m * (p - from) + to.
struct RigidMap {
  double m00 = 1.0, m01 = 0.0, m10 = 0.0, m11 = 1.0;
  double fromX = 0.0, fromY = 0.0, toX = 0.0, toY = 0.0;
  Pole apply(const Pole& p) const {
    const double x = p.x - fromX;
    const double y = p.y - fromY;
    return Pole{m00 * x + m01 * y + toX, m10 * x + m11 * y + toY, p.r};
  }
};

std::vector<Point> allVertices(const ItemOrientation& o) {
  std::vector<Point> points = o.outer.points;
  for (const Region& hole : o.holes) {
    points.insert(points.end(), hole.points.begin(), hole.points.end());
  }
  return points;
}

bool sameRingSizes(const ItemOrientation& a, const ItemOrientation& b) {
  if (a.outer.points.size() != b.outer.points.size() || a.holes.size() != b.holes.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.holes.size(); ++i) {
    if (a.holes[i].points.size() != b.holes[i].points.size()) {
      return false;
    }
  }
  return true;
}

// The rigid map taking each vertex of `a` onto the same vertex of `b`, if one
// does within `tol`; orientations made by rotating and turning over one outline
// keep their vertex order, so this finds them.
std::optional<RigidMap> rigidMapBetween(const ItemOrientation& a, const ItemOrientation& b,
                                        double tol) {
  if (!sameRingSizes(a, b)) {
    return std::nullopt;
  }
  const std::vector<Point> pa = allVertices(a);
  const std::vector<Point> pb = allVertices(b);
  std::size_t far = 0;
  double farDist = 0.0;
  for (std::size_t k = 1; k < pa.size(); ++k) {
    const double d = std::hypot(pa[k].x - pa[0].x, pa[k].y - pa[0].y);
    if (d > farDist) {
      farDist = d;
      far = k;
    }
  }
  std::size_t side = 0;
  double sideCross = 0.0;
  const double ex = pa[far].x - pa[0].x;
  const double ey = pa[far].y - pa[0].y;
  for (std::size_t k = 1; k < pa.size(); ++k) {
    const double c = std::fabs(ex * (pa[k].y - pa[0].y) - ey * (pa[k].x - pa[0].x));
    if (c > sideCross) {
      sideCross = c;
      side = k;
    }
  }
  if (!(farDist > 0.0) || !(sideCross > farDist * tol)) {
    return std::nullopt;
  }
  // m * [e1 e2] = [f1 f2]
  const double e1x = ex, e1y = ey;
  const double e2x = pa[side].x - pa[0].x, e2y = pa[side].y - pa[0].y;
  const double f1x = pb[far].x - pb[0].x, f1y = pb[far].y - pb[0].y;
  const double f2x = pb[side].x - pb[0].x, f2y = pb[side].y - pb[0].y;
  const double det = e1x * e2y - e2x * e1y;
  RigidMap map;
  map.m00 = (f1x * e2y - f2x * e1y) / det;
  map.m01 = (f2x * e1x - f1x * e2x) / det;
  map.m10 = (f1y * e2y - f2y * e1y) / det;
  map.m11 = (f2y * e1x - f1y * e2x) / det;
  map.fromX = pa[0].x;
  map.fromY = pa[0].y;
  map.toX = pb[0].x;
  map.toY = pb[0].y;
  if (std::fabs(map.m00 * map.m00 + map.m10 * map.m10 - 1.0) > kRigidTolerance ||
      std::fabs(map.m01 * map.m01 + map.m11 * map.m11 - 1.0) > kRigidTolerance ||
      std::fabs(map.m00 * map.m01 + map.m10 * map.m11) > kRigidTolerance) {
    return std::nullopt;
  }
  for (std::size_t k = 0; k < pa.size(); ++k) {
    const Pole q = map.apply(Pole{pa[k].x, pa[k].y, 0.0});
    if (std::fabs(q.x - pb[k].x) > tol || std::fabs(q.y - pb[k].y) > tol) {
      return std::nullopt;
    }
  }
  return map;
}

BBox boxOf(const std::vector<Point>& points) {
  BBox box{points.front().x, points.front().x, points.front().y, points.front().y};
  for (const Point& p : points) {
    box.xmin = std::min(box.xmin, p.x);
    box.xmax = std::max(box.xmax, p.x);
    box.ymin = std::min(box.ymin, p.y);
    box.ymax = std::max(box.ymax, p.y);
  }
  return box;
}

// Orientations with the same key are the same outline up to a translation (their
// vertices, taken from the outline's box corner and quantised, are the same
// multiset); the converse may fail by rounding, which only costs a duplicate.
std::string shapeKey(const ItemOrientation& o, double quantum) {
  const BBox box = boxOf(o.outer.points);
  std::vector<std::pair<long long, long long>> cells;
  for (const Point& p : allVertices(o)) {
    cells.emplace_back(std::llround((p.x - box.xmin) / quantum),
                       std::llround((p.y - box.ymin) / quantum));
  }
  std::sort(cells.begin(), cells.end());
  std::string key;
  const auto append = [&key](long long v) {
    key.append(reinterpret_cast<const char*>(&v), sizeof v);
  };
  append(static_cast<long long>(o.outer.points.size()));
  for (const Region& hole : o.holes) {
    append(static_cast<long long>(hole.points.size()));
  }
  for (const auto& [x, y] : cells) {
    append(x);
    append(y);
  }
  return key;
}

// The orientations a search tries for an item: all of them up to a limit, else
// that many spread evenly over the list; the start orientation always, first.
std::vector<std::size_t> orientationSubset(std::size_t count, std::size_t start) {
  std::vector<std::size_t> chosen{start};
  const std::size_t wanted = std::min(count, kMaxOrientations);
  for (std::size_t m = 1; m < wanted; ++m) {
    chosen.push_back((start + m * count / wanted) % count);
  }
  return chosen;
}

// One distinct pose of an item as the search uses it: a shape, and the item's
// own orientation, which is that shape translated by the offset.
struct Slot {
  int shape = 0;
  int orientation = 0;
  double offsetX = 0.0;
  double offsetY = 0.0;
};

class Separator {
 public:
  Separator(const StripProblem& problem, const SeparatorSettings& settings, std::uint64_t seed,
            const SeparatorBudget& budget, std::stop_token stop)
      : problem_(problem),
        settings_(settings),
        budget_(budget),
        stop_(std::move(stop)),
        rng_(seed),
        n_(problem.items.size()),
        width_(problem.width),
        started_(std::chrono::steady_clock::now()) {}

  SeparatorResult run(const std::vector<ItemPose>& start, const SeparatorProgress& progress);

 private:
  // Setup.
  // False when interrupted before every shape was built; otherwise the start
  // layout is in items_.
  bool buildShapes(const std::vector<ItemPose>& start);
  // Layout state and losses.
  void place(std::size_t i, const Placement& p);
  void recomputeRow(std::size_t i);
  void recomputeAll();
  void restore(const std::vector<Placement>& items, double length);
  double pairLoss(const Placement& p, std::size_t j, double cap = INFINITY);
  double itemLoss(std::size_t i) const;
  double totalLoss() const;
  void updateWeights();
  void resetWeights();
  double usedLength() const;
  BBox worldBox(std::size_t i) const;
  // Search.
  Eval evaluate(std::size_t i, const Placement& p, const Eval& bound);
  Range xRange(int shape) const;
  Range yRange(int shape) const;
  Sample refine(std::size_t i, Sample start, double stepFirst, double stepLast);
  Placement searchPlacement(std::size_t i);
  void moveItems();
  bool separate(int strikeLimit, int iterationLimit);
  void shrink(double newLength);
  void disrupt();
  // Schedule.
  bool interrupted();
  double spentShare() const;
  bool acceptFeasible(const SeparatorProgress& progress);
  std::vector<ItemPose> posesOf(const std::vector<Placement>& items) const;

  const StripProblem& problem_;
  SeparatorSettings settings_;
  SeparatorBudget budget_;
  std::stop_token stop_;
  RandomStream rng_;
  CollisionTester tester_;
  std::size_t n_;
  double width_;
  double length_ = 0.0;
  std::chrono::steady_clock::time_point started_;
  std::uint64_t evaluations_ = 0;
  bool interrupted_ = false;

  std::vector<CollisionShape> shapes_;
  std::vector<std::vector<Slot>> itemSlots_;  // per item: its distinct poses that fit
  std::vector<double> minSide_;               // per item: smaller side of its box
  std::vector<double> hullArea_;              // per item

  std::vector<Placement> items_;
  std::vector<double> hx0_, hx1_, hy0_, hy1_;  // grown boxes in the layout
  std::vector<double> pairLoss_;               // n x n, symmetric
  std::vector<double> pairWeight_;             // n x n, symmetric
  std::vector<double> containerLoss_;
  std::vector<double> containerWeight_;

  std::vector<Placement> best_;
  double bestLength_ = 0.0;
};

bool Separator::buildShapes(const std::vector<ItemPose>& start) {
  const double clearance = settings_.clearanceShare * width_;
  const double quantum = kKeyQuantumShare * std::max(width_, problem_.maxLength);
  std::unordered_map<std::string, int> shapeByKey;
  std::vector<const ItemOrientation*> shapeSource;
  itemSlots_.assign(n_, {});
  items_.assign(n_, Placement{});
  minSide_.assign(n_, 0.0);
  hullArea_.assign(n_, 0.0);
  for (std::size_t i = 0; i < n_; ++i) {
    if (interrupted()) {
      return false;
    }
    const std::vector<ItemOrientation>& orientations = problem_.items[i].orientations;
    const std::size_t startOrientation = static_cast<std::size_t>(start[i].orientation);
    // The poles of the item's first orientation, in its own coordinates: the
    // others are mostly that outline turned, and their poles turn with it.
    const ItemOrientation* first = nullptr;
    std::vector<Pole> firstPoles;
    for (const std::size_t j : orientationSubset(orientations.size(), startOrientation)) {
      const ItemOrientation& o = orientations[j];
      if (o.outer.points.size() < 3) {
        continue;
      }
      const BBox box = boxOf(o.outer.points);
      if (box.ymax - box.ymin > width_ || box.xmax - box.xmin > problem_.maxLength) {
        continue;
      }
      const std::string key = shapeKey(o, quantum);
      const auto found = shapeByKey.find(key);
      int s = found == shapeByKey.end() ? -1 : found->second;
      if (s < 0) {
        const double tol = std::hypot(box.xmax - box.xmin, box.ymax - box.ymin) * kSameShapeShare;
        std::vector<Pole> poles;
        if (first != nullptr) {
          if (const auto map = rigidMapBetween(*first, o, tol)) {
            for (const Pole& p : firstPoles) {
              poles.push_back(map->apply(p));
            }
          }
        }
        for (std::size_t k = shapes_.size(); k-- > 0 && poles.empty();) {
          if (const auto map = rigidMapBetween(*shapeSource[k], o, tol)) {
            for (const Pole& p : shapes_[k].poles) {
              poles.push_back(map->apply(p));
            }
          }
        }
        shapes_.push_back(strip::buildCollisionShape(o.outer, o.holes, clearance, poles,
                                                     [this] { return interrupted(); }));
        shapeSource.push_back(&o);
        s = static_cast<int>(shapes_.size() - 1);
        shapeByKey.emplace(key, s);
      }
      const CollisionShape& shape = shapes_[static_cast<std::size_t>(s)];
      const double ox = box.xmin - shape.box.xmin;
      const double oy = box.ymin - shape.box.ymin;
      if (first == nullptr) {
        first = &o;
        for (const Pole& p : shape.poles) {
          firstPoles.push_back(Pole{p.x + ox, p.y + oy, p.r});
        }
      }
      std::vector<Slot>& slots = itemSlots_[i];
      auto slot = std::find_if(slots.begin(), slots.end(),
                               [s](const Slot& other) { return other.shape == s; });
      if (slot == slots.end()) {
        slots.push_back(Slot{s, static_cast<int>(j), ox, oy});
        slot = std::prev(slots.end());
      }
      if (j == startOrientation) {
        items_[i] = Placement{static_cast<int>(slot - slots.begin()), s, start[i].dx + ox,
                              start[i].dy + oy};
      }
    }
    if (itemSlots_[i].empty() || first != &orientations[startOrientation]) {
      // The start pose is not one the search can use (no area, or off the strip).
      return false;
    }
    const CollisionShape& s = shapes_[static_cast<std::size_t>(itemSlots_[i].front().shape)];
    minSide_[i] = std::min(s.box.xmax - s.box.xmin, s.box.ymax - s.box.ymin);
    hullArea_[i] = s.hullArea;
  }
  return true;
}

BBox Separator::worldBox(std::size_t i) const {
  const Placement& p = items_[i];
  BBox b = shapes_[static_cast<std::size_t>(p.shape)].box;
  b.xmin += p.x;
  b.xmax += p.x;
  b.ymin += p.y;
  b.ymax += p.y;
  return b;
}

double Separator::usedLength() const {
  double length = 0.0;
  for (std::size_t i = 0; i < n_; ++i) {
    length = std::max(length, worldBox(i).xmax);
  }
  return length;
}

// The loss of an item placed at p against item j; 0 when they do not collide.
double Separator::pairLoss(const Placement& p, std::size_t j, double cap) {
  const CollisionShape& a = shapes_[static_cast<std::size_t>(p.shape)];
  const Placement& q = items_[j];
  const CollisionShape& b = shapes_[static_cast<std::size_t>(q.shape)];
  const double dx = q.x - p.x;
  const double dy = q.y - p.y;
  if (!strip::polesOverlap(a, b, dx, dy) && !tester_.collide(a, b, dx, dy)) {
    return 0.0;
  }
  return strip::collisionLoss(a, b, dx, dy, cap);
}

void Separator::place(std::size_t i, const Placement& p) {
  items_[i] = p;
  const CollisionShape& s = shapes_[static_cast<std::size_t>(p.shape)];
  hx0_[i] = s.hitBox.xmin + p.x;
  hx1_[i] = s.hitBox.xmax + p.x;
  hy0_[i] = s.hitBox.ymin + p.y;
  hy1_[i] = s.hitBox.ymax + p.y;
  recomputeRow(i);
}

void Separator::recomputeRow(std::size_t i) {
  const Placement& p = items_[i];
  for (std::size_t j = 0; j < n_; ++j) {
    double loss = 0.0;
    if (j != i && hx0_[j] <= hx1_[i] && hx0_[i] <= hx1_[j] && hy0_[j] <= hy1_[i] &&
        hy0_[i] <= hy1_[j]) {
      loss = pairLoss(p, j);
    }
    pairLoss_[i * n_ + j] = loss;
    pairLoss_[j * n_ + i] = loss;
  }
  const CollisionShape& s = shapes_[static_cast<std::size_t>(p.shape)];
  containerLoss_[i] = strip::insideStrip(s, p.x, p.y, length_, width_)
                          ? 0.0
                          : strip::containerLoss(s, p.x, p.y, length_, width_);
}

void Separator::recomputeAll() {
  for (std::size_t i = 0; i < n_; ++i) {
    place(i, items_[i]);
  }
}

void Separator::restore(const std::vector<Placement>& items, double length) {
  items_ = items;
  length_ = length;
  recomputeAll();
}

double Separator::itemLoss(std::size_t i) const {
  double loss = containerLoss_[i];
  for (std::size_t j = 0; j < n_; ++j) {
    loss += pairLoss_[i * n_ + j];
  }
  return loss;
}

double Separator::totalLoss() const {
  double loss = 0.0;
  for (std::size_t i = 0; i < n_; ++i) {
    loss += containerLoss_[i];
    for (std::size_t j = i + 1; j < n_; ++j) {
      loss += pairLoss_[i * n_ + j];
    }
  }
  return loss;
}

void Separator::updateWeights() {
  double maxLoss = 0.0;
  for (std::size_t i = 0; i < n_; ++i) {
    maxLoss = std::max(maxLoss, containerLoss_[i]);
    for (std::size_t j = i + 1; j < n_; ++j) {
      maxLoss = std::max(maxLoss, pairLoss_[i * n_ + j]);
    }
  }
  const auto grown = [maxLoss](double weight, double loss) {
    const double factor =
        loss == 0.0 ? kWeightDecay
                    : kWeightGrowthMin + (kWeightGrowthMax - kWeightGrowthMin) * loss / maxLoss;
    return std::max(1.0, weight * factor);
  };
  for (std::size_t i = 0; i < n_; ++i) {
    containerWeight_[i] = grown(containerWeight_[i], containerLoss_[i]);
    for (std::size_t j = i + 1; j < n_; ++j) {
      const double w = grown(pairWeight_[i * n_ + j], pairLoss_[i * n_ + j]);
      pairWeight_[i * n_ + j] = w;
      pairWeight_[j * n_ + i] = w;
    }
  }
}

void Separator::resetWeights() {
  std::fill(pairWeight_.begin(), pairWeight_.end(), 1.0);
  std::fill(containerWeight_.begin(), containerWeight_.end(), 1.0);
}

Eval Separator::evaluate(std::size_t i, const Placement& p, const Eval& bound) {
  ++evaluations_;
  const double limit = bound.kind == EvalKind::Invalid ? INFINITY
                       : bound.kind == EvalKind::Clear ? 0.0
                                                       : bound.loss;
  const CollisionShape& s = shapes_[static_cast<std::size_t>(p.shape)];
  double loss = 0.0;
  bool clear = true;
  if (!strip::insideStrip(s, p.x, p.y, length_, width_)) {
    clear = false;
    loss += containerWeight_[i] * strip::containerLoss(s, p.x, p.y, length_, width_);
    if (loss > limit) {
      return Eval{};
    }
  }
  const double bx0 = s.hitBox.xmin + p.x;
  const double bx1 = s.hitBox.xmax + p.x;
  const double by0 = s.hitBox.ymin + p.y;
  const double by1 = s.hitBox.ymax + p.y;
  for (std::size_t j = 0; j < n_; ++j) {
    if (j == i || hx0_[j] > bx1 || bx0 > hx1_[j] || hy0_[j] > by1 || by0 > hy1_[j]) {
      continue;
    }
    const double weight = pairWeight_[i * n_ + j];
    const double q = pairLoss(p, j, (limit - loss) / weight);
    if (q > 0.0) {
      clear = false;
      loss += weight * q;
      if (loss > limit) {
        return Eval{};
      }
    }
  }
  return clear ? Eval{EvalKind::Clear, 0.0} : Eval{EvalKind::Collision, loss};
}

Range Separator::xRange(int shape) const {
  const BBox& b = shapes_[static_cast<std::size_t>(shape)].box;
  return Range{-b.xmin, length_ - b.xmax};
}

Range Separator::yRange(int shape) const {
  const BBox& b = shapes_[static_cast<std::size_t>(shape)].box;
  return Range{-b.ymin, width_ - b.ymax};
}

Sample Separator::refine(std::size_t i, Sample current, double stepFirst, double stepLast) {
  double sx = stepFirst;
  double sy = stepFirst;
  int axis = rng_.below(4);
  const Range xr = xRange(current.at.shape);
  const Range yr = yRange(current.at.shape);
  const auto clamped = [&](double x, double y) {
    Placement p = current.at;
    p.x = xr.empty() ? x : std::clamp(x, xr.lo, xr.hi);
    p.y = yr.empty() ? y : std::clamp(y, yr.lo, yr.hi);
    return p;
  };
  while (sx >= stepLast || sy >= stepLast) {
    const double x = current.at.x;
    const double y = current.at.y;
    Placement c1;
    Placement c2;
    switch (axis) {
      case 0:
        c1 = clamped(x + sx, y);
        c2 = clamped(x - sx, y);
        break;
      case 1:
        c1 = clamped(x, y + sy);
        c2 = clamped(x, y - sy);
        break;
      case 2:
        c1 = clamped(x + sx, y + sy);
        c2 = clamped(x - sx, y - sy);
        break;
      default:
        c1 = clamped(x - sx, y + sy);
        c2 = clamped(x + sx, y - sy);
        break;
    }
    const Eval e1 = evaluate(i, c1, current.eval);
    const Eval e2 = evaluate(i, c2, current.eval);
    const Sample found = e2 < e1 ? Sample{c2, e2} : Sample{c1, e1};
    const bool better = found.eval < current.eval;
    if (!(current.eval < found.eval)) {
      current = found;
    }
    const double m = better ? kStepGrowth : kStepShrink;
    if (axis == 0) {
      sx *= m;
    } else if (axis == 1) {
      sy *= m;
    } else {
      sx *= std::sqrt(m);
      sy *= std::sqrt(m);
    }
    if (!better) {
      axis = rng_.below(4);
    }
  }
  return current;
}

Placement Separator::searchPlacement(std::size_t i) {
  const double side = minSide_[i];
  BestSamples best(static_cast<std::size_t>(std::max(1, settings_.refinedSamples)),
                   side * kSameSampleShare);
  const Placement now = items_[i];
  best.report(Sample{now, evaluate(i, now, best.bound())});

  struct Window {
    int slot;
    int shape;
    Range x;
    Range y;
  };
  std::vector<Window> strip;
  std::vector<Window> focus;
  const BBox around = worldBox(i);
  const std::vector<Slot>& slots = itemSlots_[i];
  for (std::size_t k = 0; k < slots.size(); ++k) {
    const int slot = static_cast<int>(k);
    const int s = slots[k].shape;
    const Range xr = xRange(s);
    const Range yr = yRange(s);
    if (xr.empty() || yr.empty()) {
      continue;
    }
    strip.push_back(Window{slot, s, xr, yr});
    const BBox& b = shapes_[static_cast<std::size_t>(s)].box;
    const double cx = (b.xmin + b.xmax) / 2;
    const double cy = (b.ymin + b.ymax) / 2;
    const Range fx{std::max(xr.lo, around.xmin - cx), std::min(xr.hi, around.xmax - cx)};
    const Range fy{std::max(yr.lo, around.ymin - cy), std::min(yr.hi, around.ymax - cy)};
    if (!fx.empty() && !fy.empty()) {
      focus.push_back(Window{slot, s, fx, fy});
    }
  }
  const auto sampleIn = [&](const std::vector<Window>& windows, int count) {
    for (int k = 0; k < count && !windows.empty(); ++k) {
      const Window& w =
          windows[static_cast<std::size_t>(rng_.below(static_cast<int>(windows.size())))];
      const Placement p{w.slot, w.shape, rng_.uniform(w.x.lo, w.x.hi),
                        rng_.uniform(w.y.lo, w.y.hi)};
      best.report(Sample{p, evaluate(i, p, best.bound())});
    }
  };
  sampleIn(focus, settings_.focusedSamples);
  sampleIn(strip, settings_.stripSamples);

  const std::vector<Sample> starts = best.samples();
  for (const Sample& s : starts) {
    best.report(refine(i, s, side * kCoarseStepFirst, side * kCoarseStepLast));
  }
  const Sample final =
      refine(i, best.samples().front(), side * kFineStepFirst, side * kFineStepLast);
  return final.at;
}

void Separator::moveItems() {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < n_; ++i) {
    if (itemLoss(i) > 0.0) {
      order.push_back(i);
    }
  }
  for (std::size_t k = order.size(); k > 1; --k) {
    std::swap(order[k - 1], order[static_cast<std::size_t>(rng_.below(static_cast<int>(k)))]);
  }
  for (const std::size_t i : order) {
    if (interrupted()) {
      return;
    }
    if (itemLoss(i) > 0.0 && !itemSlots_[i].empty()) {
      place(i, searchPlacement(i));
    }
  }
}

bool Separator::separate(int strikeLimit, int iterationLimit) {
  std::vector<Placement> leastLossItems = items_;
  double leastLoss = totalLoss();
  if (leastLoss == 0.0) {
    return true;
  }
  int strikes = 0;
  while (strikes < strikeLimit && !interrupted()) {
    int idle = 0;
    const double strikeStartLoss = totalLoss();
    while (idle < iterationLimit && !interrupted()) {
      moveItems();
      const double loss = totalLoss();
      if (loss == 0.0) {
        return true;
      }
      if (loss < leastLoss) {
        if (loss < leastLoss * kClearImprovement) {
          idle = 0;
        }
        leastLoss = loss;
        leastLossItems = items_;
      } else {
        ++idle;
      }
      updateWeights();
    }
    if (strikeStartLoss * kClearImprovement <= leastLoss) {
      ++strikes;
    } else {
      strikes = 0;
    }
    restore(leastLossItems, length_);
  }
  return false;
}

void Separator::shrink(double newLength) {
  const double split = rng_.uniform(0.0, length_);
  const double delta = newLength - length_;
  for (std::size_t i = 0; i < n_; ++i) {
    const BBox b = worldBox(i);
    if ((b.xmin + b.xmax) / 2 > split) {
      items_[i].x += delta;
    }
  }
  length_ = newLength;
  recomputeAll();
  resetWeights();
}

void Separator::disrupt() {
  if (n_ < 2) {
    return;
  }
  std::vector<std::size_t> bySize(n_);
  for (std::size_t i = 0; i < n_; ++i) {
    bySize[i] = i;
  }
  std::stable_sort(bySize.begin(), bySize.end(),
                   [&](std::size_t a, std::size_t b) { return hullArea_[a] > hullArea_[b]; });
  double total = 0.0;
  for (const double a : hullArea_) {
    total += a;
  }
  double cumulative = 0.0;
  double cutoff = 0.0;
  for (const std::size_t i : bySize) {
    cumulative += hullArea_[i];
    if (cumulative > total * kLargeItemShare) {
      cutoff = hullArea_[i];
      break;
    }
  }
  std::vector<std::size_t> large;
  for (std::size_t i = 0; i < n_; ++i) {
    if (hullArea_[i] >= cutoff && !itemSlots_[i].empty()) {
      large.push_back(i);
    }
  }
  if (large.empty()) {
    return;
  }
  const std::size_t a = large[static_cast<std::size_t>(rng_.below(static_cast<int>(large.size())))];
  std::vector<std::size_t> partners;
  for (const std::size_t i : large) {
    if (std::fabs(hullArea_[i] - hullArea_[a]) > hullArea_[a] * kAlikeShare) {
      partners.push_back(i);
    }
  }
  if (partners.empty()) {
    // Swapping alike items changes nothing: turn the item in place instead.
    const std::vector<Slot>& slots = itemSlots_[a];
    if (slots.size() > 1) {
      Placement& p = items_[a];
      const BBox before = worldBox(a);
      int slot = rng_.below(static_cast<int>(slots.size()) - 1);
      slot += slot >= p.slot ? 1 : 0;
      const BBox& box =
          shapes_[static_cast<std::size_t>(slots[static_cast<std::size_t>(slot)].shape)].box;
      p.slot = slot;
      p.shape = slots[static_cast<std::size_t>(slot)].shape;
      p.x = (before.xmin + before.xmax - box.xmin - box.xmax) / 2;
      p.y = (before.ymin + before.ymax - box.ymin - box.ymax) / 2;
      const Range xr = xRange(p.shape);
      const Range yr = yRange(p.shape);
      p.x = xr.empty() ? p.x : std::clamp(p.x, xr.lo, xr.hi);
      p.y = yr.empty() ? p.y : std::clamp(p.y, yr.lo, yr.hi);
      recomputeAll();
    }
    return;
  }
  const std::size_t b =
      partners[static_cast<std::size_t>(rng_.below(static_cast<int>(partners.size())))];
  // Items whose largest pole centre lies in a or b travel with it.
  const auto riders = [&](std::size_t host) {
    std::vector<std::size_t> found;
    const Placement& h = items_[host];
    const CollisionShape& hs = shapes_[static_cast<std::size_t>(h.shape)];
    for (std::size_t k = 0; k < n_; ++k) {
      if (k == a || k == b) {
        continue;
      }
      const Placement& p = items_[k];
      const CollisionShape& ps = shapes_[static_cast<std::size_t>(p.shape)];
      if (ps.poles.empty()) {
        continue;
      }
      if (strip::containsPoint(hs, ps.poles.front().x + p.x - h.x,
                               ps.poles.front().y + p.y - h.y)) {
        found.push_back(k);
      }
    }
    return found;
  };
  const std::vector<std::size_t> ridersA = riders(a);
  const std::vector<std::size_t> ridersB = riders(b);
  const BBox boxA = worldBox(a);
  const BBox boxB = worldBox(b);
  const auto moveCentre = [&](std::size_t k, double cx, double cy) {
    Placement p = items_[k];
    const BBox& s = shapes_[static_cast<std::size_t>(p.shape)].box;
    const Range xr = xRange(p.shape);
    const Range yr = yRange(p.shape);
    p.x = cx - (s.xmin + s.xmax) / 2;
    p.y = cy - (s.ymin + s.ymax) / 2;
    if (!xr.empty()) {
      p.x = std::clamp(p.x, xr.lo, xr.hi);
    }
    if (!yr.empty()) {
      p.y = std::clamp(p.y, yr.lo, yr.hi);
    }
    const double dx = p.x - items_[k].x;
    const double dy = p.y - items_[k].y;
    items_[k] = p;
    return std::make_pair(dx, dy);
  };
  const auto [dxA, dyA] = moveCentre(a, (boxB.xmin + boxB.xmax) / 2, (boxB.ymin + boxB.ymax) / 2);
  const auto [dxB, dyB] = moveCentre(b, (boxA.xmin + boxA.xmax) / 2, (boxA.ymin + boxA.ymax) / 2);
  const auto carry = [&](const std::vector<std::size_t>& group, double dx, double dy) {
    for (const std::size_t k : group) {
      const BBox box = worldBox(k);
      moveCentre(k, (box.xmin + box.xmax) / 2 + dx, (box.ymin + box.ymax) / 2 + dy);
    }
  };
  carry(ridersA, dxA, dyA);
  carry(ridersB, dxB, dyB);
  recomputeAll();
}

bool Separator::interrupted() {
  if (!interrupted_) {
    interrupted_ = stop_.stop_requested() || evaluations_ >= budget_.evaluations ||
                   (budget_.deadline && std::chrono::steady_clock::now() >= *budget_.deadline);
  }
  return interrupted_;
}

double Separator::spentShare() const {
  double share = 0.0;
  if (budget_.evaluations != std::numeric_limits<std::uint64_t>::max()) {
    share = static_cast<double>(evaluations_) / static_cast<double>(budget_.evaluations);
  }
  if (budget_.deadline) {
    const double total = std::chrono::duration<double>(*budget_.deadline - started_).count();
    const double spent =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    share = std::max(share, total > 0.0 ? spent / total : 1.0);
  }
  return share;
}

std::vector<ItemPose> Separator::posesOf(const std::vector<Placement>& items) const {
  std::vector<ItemPose> poses(n_);
  for (std::size_t i = 0; i < n_; ++i) {
    const Placement& p = items[i];
    const Slot& slot = itemSlots_[i][static_cast<std::size_t>(p.slot)];
    poses[i] = ItemPose{slot.orientation, p.x - slot.offsetX, p.y - slot.offsetY};
  }
  return poses;
}

// The current layout is free of collisions: keep it if it is shorter and passes
// the exact check.
bool Separator::acceptFeasible(const SeparatorProgress& progress) {
  const double length = usedLength();
  if (!(length < bestLength_)) {
    return false;
  }
  const std::vector<ItemPose> poses = posesOf(items_);
  if (!LayoutFeasible(problem_, poses)) {
    return false;
  }
  best_ = items_;
  bestLength_ = length;
  if (progress) {
    progress(poses, length, evaluations_);
  }
  return true;
}

SeparatorResult Separator::run(const std::vector<ItemPose>& start,
                               const SeparatorProgress& progress) {
  SeparatorResult result;
  result.poses = start;
  result.startLength = PackedLength(problem_, start);
  result.length = result.startLength;
  result.startFeasible = LayoutFeasible(problem_, start);
  if (!result.startFeasible || n_ == 0) {
    return result;
  }
  if (!buildShapes(start)) {
    return result;
  }
  hx0_.assign(n_, 0.0);
  hx1_.assign(n_, 0.0);
  hy0_.assign(n_, 0.0);
  hy1_.assign(n_, 0.0);
  pairLoss_.assign(n_ * n_, 0.0);
  pairWeight_.assign(n_ * n_, 1.0);
  containerLoss_.assign(n_, 0.0);
  containerWeight_.assign(n_, 1.0);
  length_ = result.startLength;
  recomputeAll();
  best_ = items_;
  bestLength_ = result.startLength;
  bool improved = false;

  // The start may collide where the clearance is wider than its gaps.
  if (separate(settings_.exploreStrikes, settings_.exploreIterations)) {
    improved = acceptFeasible(progress) || improved;
  }

  // Exploration: shrink from the best layout, halving a failed step down to its
  // minimum; at the minimum, restart failed layouts from a pool, disrupted.
  const bool bounded =
      budget_.deadline || budget_.evaluations != std::numeric_limits<std::uint64_t>::max();
  double step = settings_.exploreStepFirst;
  std::vector<std::pair<double, std::vector<Placement>>> pool;
  double poolLength = 0.0;
  while (!interrupted() && (!bounded || spentShare() < settings_.exploreShare)) {
    if (pool.empty()) {
      restore(best_, bestLength_);
      shrink(bestLength_ * (1.0 - step));
      poolLength = length_;
    } else {
      const double pick = std::min(0.999, std::fabs(rng_.normal() * kPoolSpread));
      const auto& chosen = pool[static_cast<std::size_t>(pick * static_cast<double>(pool.size()))];
      restore(chosen.second, poolLength);
      resetWeights();
      disrupt();
    }
    if (separate(settings_.exploreStrikes, settings_.exploreIterations) &&
        acceptFeasible(progress)) {
      improved = true;
      pool.clear();
      step = std::min(step * settings_.exploreStepGrowth, settings_.exploreStepFirst);
    } else if (interrupted()) {
      break;
    } else if (step > settings_.exploreStepMin) {
      step = std::max(step * kExploreStepCut, settings_.exploreStepMin);
      pool.clear();
    } else if (settings_.exploreDisrupt) {
      const double loss = totalLoss();
      const auto at = std::upper_bound(
          pool.begin(), pool.end(), loss,
          [](double l, const std::pair<double, std::vector<Placement>>& e) { return l < e.first; });
      pool.insert(at, std::make_pair(loss, items_));
    }
  }

  // Compression: small shrinks of the best layout, the step falling with the budget spent.
  while (!interrupted()) {
    const double share = std::clamp(
        (spentShare() - settings_.exploreShare) / (1.0 - settings_.exploreShare), 0.0, 1.0);
    const double shrinkStep = settings_.compressStepFirst +
                              (settings_.compressStepLast - settings_.compressStepFirst) * share;
    restore(best_, bestLength_);
    shrink(bestLength_ * (1.0 - shrinkStep));
    if (separate(settings_.compressStrikes, settings_.compressIterations) &&
        acceptFeasible(progress)) {
      improved = true;
    }
  }

  result.evaluations = evaluations_;
  if (improved) {
    result.poses = posesOf(best_);
    result.length = PackedLength(problem_, result.poses);
  }
  return result;
}

}  // namespace

SeparatorResult MinimiseStripLength(const StripProblem& problem, const std::vector<ItemPose>& start,
                                    std::uint64_t seed, const SeparatorBudget& budget,
                                    std::stop_token stop, const SeparatorSettings& settings,
                                    const SeparatorProgress& progress) {
  if (start.size() != problem.items.size()) {
    throw std::invalid_argument("one start pose per item is required");
  }
  for (std::size_t i = 0; i < start.size(); ++i) {
    if (start[i].orientation < 0 ||
        start[i].orientation >= static_cast<int>(problem.items[i].orientations.size())) {
      throw std::invalid_argument("a start pose names an orientation its item does not have");
    }
  }
  Separator separator(problem, settings, seed, budget, std::move(stop));
  return separator.run(start, progress);
}

}  // namespace tarn
