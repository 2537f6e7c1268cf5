#include "library/dxf_contours.h"

#include <algorithm>
#include <array>
#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <numeric>
#include <optional>
#include <tuple>
#include <utility>

#include "geometry/segment.h"

namespace tarn::dxf {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;

namespace {

using GeoPoint = bg::model::point<double, 2, bg::cs::cartesian>;
using GeoBox = bg::model::box<GeoPoint>;
using BoxValue = std::pair<GeoBox, std::size_t>;
using BoxTree = bgi::rtree<BoxValue, bgi::rstar<16>>;

constexpr double kCoincide = 1e-6;  // mm: ends this close meet without a search
// Ends in the 3 x 3 cells around an end beyond which its partner is not looked for.
constexpr std::size_t kMaxCrowd = 64;
constexpr std::size_t kMaxCrowdPlaces = 5;
constexpr double kMinLoopArea = 1e-6;  // mm²
// A ring's chords stray from an arc by kRingSagitta, or with 16 pieces to half
// a turn by (1 - cos(pi / 32)) / 2 = 0.24 % of the arc's chord: less than this
// part of the ring's box.
constexpr double kRingSlack = 0.005;
constexpr double kRingSagitta = 0.01;  // mm, arcs flattened for point tests
constexpr double kMaxRingPieces = 16.0;
// Farther than this from every other vertex an arc piece cannot be taken by
// the kernel's chaining in place of the right one.
constexpr double kSafeDistance = 2.0 * kChainJoinRadius;
constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
// polylineToRegion draws an arc straight when its radius is more than this
// many times its chord.
constexpr double kKernelFlatArc = 200.0;

using Cell = std::pair<std::int64_t, std::int64_t>;

Cell cellOf(const Point& p, double size) {
  return {static_cast<std::int64_t>(std::floor(p.x / size)),
          static_cast<std::int64_t>(std::floor(p.y / size))};
}

// Points filed by square cells for neighbourhood queries; no hashing, so the
// visiting order is fixed by the input.
class Grid {
 public:
  Grid(const std::vector<Point>& points, const std::vector<std::size_t>& ids, double size)
      : size_(size) {
    entries_.reserve(ids.size());
    for (const std::size_t id : ids) {
      entries_.emplace_back(cellOf(points[id], size), id);
    }
    std::sort(entries_.begin(), entries_.end());
  }

  // Calls visit(id) for the points in the 3 x 3 cells around p, unless they
  // are more than `cap`: then false and nothing visited.
  template <class Visit>
  bool visitNear(const Point& p, std::size_t cap, Visit visit) const {
    const Cell c = cellOf(p, size_);
    std::pair<Iter, Iter> ranges[9];
    std::size_t total = 0;
    int k = 0;
    for (std::int64_t dx = -1; dx <= 1; ++dx) {
      for (std::int64_t dy = -1; dy <= 1; ++dy) {
        ranges[k] = std::equal_range(entries_.begin(), entries_.end(),
                                     Entry{Cell{c.first + dx, c.second + dy}, 0}, byCell);
        total += static_cast<std::size_t>(ranges[k].second - ranges[k].first);
        ++k;
      }
    }
    if (total > cap) {
      return false;
    }
    for (const auto& [first, last] : ranges) {
      for (Iter it = first; it != last; ++it) {
        visit(it->second);
      }
    }
    return true;
  }

 private:
  using Entry = std::pair<Cell, std::size_t>;
  using Iter = std::vector<Entry>::const_iterator;
  static bool byCell(const Entry& a, const Entry& b) { return a.first < b.first; }

  double size_;
  std::vector<Entry> entries_;
};

std::int64_t quantise(double v) {
  return static_cast<std::int64_t>(std::llround(v / kCoincide));
}

bool singleStraightEdge(const Path& path) {
  return path.radii.size() == 1 && path.radii[0] == 0.0;
}

// Same ends (either way round), same number of points, same mean point, and
// the same arcs on the same side: the same curve drawn twice. Arcs count by
// their signed radius times the middle of their chord, walked in a fixed
// sense (from the lower end; counter-clockwise round a loop), so that two
// arcs between the same points that bulge apart differ.
using PathKey = std::array<std::int64_t, 10>;

constexpr double kArcMomentQuantum = 1e-3;  // mm², for the radius times chord middle

PathKey keyOf(const Path& path) {
  const std::size_t n = path.points.size();
  const Point& a = path.points.front();
  const Point& b = path.closed ? path.points.front() : path.points.back();
  std::array<std::int64_t, 2> qa{quantise(a.x), quantise(a.y)};
  std::array<std::int64_t, 2> qb{quantise(b.x), quantise(b.y)};
  double sense = 1.0;
  if (path.closed) {
    // A closed path may start anywhere: its box stands for its ends.
    BBox box{a.x, a.x, a.y, a.y};
    for (const Point& p : path.points) {
      box = BBox{std::min(box.xmin, p.x), std::max(box.xmax, p.x), std::min(box.ymin, p.y),
                 std::max(box.ymax, p.y)};
    }
    qa = {quantise(box.xmin), quantise(box.ymin)};
    qb = {quantise(box.xmax), quantise(box.ymax)};
    sense = signedArea(path.points, path.radii) < 0.0 ? -1.0 : 1.0;
  } else if (qb < qa) {
    std::swap(qa, qb);
    sense = -1.0;
  }
  double mx = 0.0;
  double my = 0.0;
  for (const Point& p : path.points) {
    mx += p.x;
    my += p.y;
  }
  double ax = 0.0;
  double ay = 0.0;
  for (std::size_t i = 0; i < path.radii.size(); ++i) {
    const Point& s = path.points[i];
    const Point& e = path.points[i + 1 == n ? 0 : i + 1];
    ax += sense * path.radii[i] * 0.5 * (s.x + e.x);
    ay += sense * path.radii[i] * 0.5 * (s.y + e.y);
  }
  const double count = static_cast<double>(n);
  const double edges = std::max<double>(1.0, static_cast<double>(path.radii.size()));
  return {path.closed ? 1 : 0,
          qa[0],
          qa[1],
          qb[0],
          qb[1],
          static_cast<std::int64_t>(n),
          quantise(mx / count),
          quantise(my / count),
          std::llround(ax / edges / kArcMomentQuantum),
          std::llround(ay / edges / kArcMomentQuantum)};
}

void dropDuplicates(std::vector<Path>& paths) {
  std::vector<std::pair<PathKey, std::size_t>> keys;
  keys.reserve(paths.size());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    keys.emplace_back(keyOf(paths[i]), i);
  }
  std::sort(keys.begin(), keys.end());
  std::vector<bool> drop(paths.size(), false);
  for (std::size_t k = 1; k < keys.size(); ++k) {
    if (keys[k].first == keys[k - 1].first) {
      drop[keys[k].second] = true;
    }
  }
  std::size_t kept = 0;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (!drop[i]) {
      if (kept != i) {
        paths[kept] = std::move(paths[i]);
      }
      ++kept;
    }
  }
  paths.resize(kept);
}

// The points and radii of a path walked from its last point to its first.
void appendOriented(const Path& path, bool forward, std::vector<Point>& points,
                    std::vector<double>& radii) {
  const std::size_t edges = path.radii.size();
  for (std::size_t k = 0; k < edges; ++k) {
    if (forward) {
      points.push_back(path.points[k]);
      radii.push_back(path.radii[k]);
    } else {
      points.push_back(path.points[edges - k]);
      radii.push_back(-path.radii[edges - 1 - k]);
    }
  }
}

Point orientedFirst(const Path& path, bool forward) {
  return forward ? path.points.front() : path.points.back();
}

Point orientedLast(const Path& path, bool forward) {
  return forward ? path.points.back() : path.points.front();
}

// Pairs the ends of open paths: ends that coincide first, then, among the
// rest, the closest pairs within joinTol. partner[e] is the end joined to end
// e (2 * path for its first point, 2 * path + 1 for its last) or kNone.
std::vector<std::size_t> pairEnds(const std::vector<Path>& paths, double joinTol,
                                  WorkBudget& budget, std::vector<Point>& crowded) {
  const std::size_t n = paths.size() * 2;
  std::vector<Point> ends(n);
  for (std::size_t i = 0; i < paths.size(); ++i) {
    ends[2 * i] = paths[i].points.front();
    ends[2 * i + 1] = paths[i].points.back();
  }
  std::vector<std::size_t> partner(n, kNone);
  auto selfAllowed = [&](std::size_t e, std::size_t f) {
    return e / 2 != f / 2 || !singleStraightEdge(paths[e / 2]);
  };

  // Ends that coincide in pairs, as nearly all do.
  {
    std::vector<std::tuple<std::int64_t, std::int64_t, std::size_t>> order;
    order.reserve(n);
    for (std::size_t e = 0; e < n; ++e) {
      order.emplace_back(quantise(ends[e].x), quantise(ends[e].y), e);
    }
    std::sort(order.begin(), order.end());
    std::size_t k = 0;
    while (k < n) {
      std::size_t run = k + 1;
      while (run < n && std::get<0>(order[run]) == std::get<0>(order[k]) &&
             std::get<1>(order[run]) == std::get<1>(order[k])) {
        ++run;
      }
      if (run - k == 2) {
        const std::size_t e = std::get<2>(order[k]);
        const std::size_t f = std::get<2>(order[k + 1]);
        if (selfAllowed(e, f)) {
          partner[e] = f;
          partner[f] = e;
        }
      }
      k = run;
    }
  }

  // The rest: the closest pairs within joinTol, ties to the lower ends.
  std::vector<std::size_t> loose;
  for (std::size_t e = 0; e < n; ++e) {
    if (partner[e] == kNone) {
      loose.push_back(e);
    }
  }
  if (!budget.spend(loose.size())) {
    return partner;
  }
  const Grid grid(ends, loose, joinTol);
  std::vector<std::tuple<double, std::size_t, std::size_t>> pairs;
  for (const std::size_t e : loose) {
    const bool fits = grid.visitNear(ends[e], kMaxCrowd, [&](std::size_t f) {
      if (f <= e || !selfAllowed(e, f)) {
        return;
      }
      const double d = distance(ends[e], ends[f]);
      if (d < joinTol) {
        pairs.emplace_back(d, e, f);
      }
    });
    if (!fits && crowded.size() < kMaxCrowdPlaces) {
      crowded.push_back(ends[e]);
    }
  }
  if (!budget.spend(pairs.size())) {
    return partner;
  }
  std::sort(pairs.begin(), pairs.end());
  for (const auto& [d, e, f] : pairs) {
    if (partner[e] == kNone && partner[f] == kNone) {
      partner[e] = f;
      partner[f] = e;
    }
  }
  return partner;
}

// The circle of an arc edge (the shorter arc from s to e) and its sweep from
// the start, counter-clockwise positive.
struct EdgeArc {
  Point centre;
  double r = 0.0;
  double a0 = 0.0;  // radians
  double sweep = 0.0;
};

EdgeArc edgeArc(const Point& s, const Point& e, double radius) {
  const double d = distance(s, e);
  const double half = 0.5 * d;
  const double r = std::max(std::fabs(radius), half);
  const double side = radius > 0.0 ? 1.0 : -1.0;
  const double h = std::sqrt(std::fmax(0.0, r * r - half * half));
  const Point centre{0.5 * (s.x + e.x) - side * h * (e.y - s.y) / d,
                     0.5 * (s.y + e.y) + side * h * (e.x - s.x) / d};
  return EdgeArc{centre, r, std::atan2(s.y - centre.y, s.x - centre.x),
                 side * 2.0 * std::asin(std::fmin(1.0, half / r))};
}

// The ring of an outline: its arcs flattened to within kRingSagitta.
void appendRingEdge(std::vector<Point>& ring, const Point& s, const Point& e, double radius) {
  if (radius == 0.0 || !(distance(s, e) > 0.0)) {
    ring.push_back(e);
    return;
  }
  const auto [centre, r, a0, sweep] = edgeArc(s, e, radius);
  double pieces = 1.0;
  if (r > kRingSagitta) {
    pieces = std::ceil(std::fabs(sweep) / (2.0 * std::acos(1.0 - kRingSagitta / r)));
  }
  if (!(pieces >= 1.0)) {
    pieces = 1.0;
  }
  const int n = static_cast<int>(std::clamp(pieces, 1.0, kMaxRingPieces));
  for (int i = 1; i < n; ++i) {
    const double t = a0 + sweep * i / n;
    ring.push_back(Point{centre.x + r * std::cos(t), centre.y + r * std::sin(t)});
  }
  ring.push_back(e);
}

std::vector<Point> ringOf(const RadiusPolyline& poly) {
  std::vector<Point> ring;
  const std::size_t n = poly.points.size();
  ring.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    appendRingEdge(ring, poly.points[i], poly.points[i + 1 == n ? 0 : i + 1], poly.radii[i]);
  }
  // The last point repeats the first.
  ring.insert(ring.begin(), ring.back());
  ring.pop_back();
  return ring;
}

BBox boxOf(const std::vector<Point>& ring) {
  BBox box{ring.front().x, ring.front().x, ring.front().y, ring.front().y};
  for (const Point& p : ring) {
    box.xmin = std::min(box.xmin, p.x);
    box.xmax = std::max(box.xmax, p.x);
    box.ymin = std::min(box.ymin, p.y);
    box.ymax = std::max(box.ymax, p.y);
  }
  return box;
}

GeoBox geoBox(const BBox& b) {
  return GeoBox(GeoPoint(b.xmin, b.ymin), GeoPoint(b.xmax, b.ymax));
}

// Reverses the walking sense, keeping point 0.
void reverseLoop(RadiusPolyline& poly) {
  const std::size_t n = poly.points.size();
  std::vector<Point> points{poly.points[0]};
  std::vector<double> radii{-poly.radii[n - 1]};
  for (std::size_t j = 1; j < n; ++j) {
    points.push_back(poly.points[n - j]);
    radii.push_back(-poly.radii[n - j - 1]);
  }
  poly.points = std::move(points);
  poly.radii = std::move(radii);
}

// An arc whose end points moved within the joining tolerance may have become
// shorter than its chord: its radius grows to half the chord.
void makeArcsBuildable(RadiusPolyline& poly) {
  const std::size_t n = poly.points.size();
  for (std::size_t i = 0; i < n; ++i) {
    double& r = poly.radii[i];
    const double half = 0.5 * distance(poly.points[i], poly.points[i + 1 == n ? 0 : i + 1]);
    if (r != 0.0 && std::fabs(r) < half) {
      r = r > 0.0 ? half : -half;
    }
  }
}

struct Loop {
  RadiusPolyline poly;
  std::vector<Point> ring;
  BBox box;
  double area = 0.0;  // absolute
  double length = 0.0;
  std::size_t parent = kNone;
  int depth = 0;
};

double edgeLength(const Point& s, const Point& e, double radius) {
  if (radius == 0.0 || !(distance(s, e) > 0.0)) {
    return distance(s, e);
  }
  const EdgeArc arc = edgeArc(s, e, radius);
  return arc.r * std::fabs(arc.sweep);
}

double distanceToSegment(const Point& p, const Point& s, const Point& e) {
  const double dx = e.x - s.x;
  const double dy = e.y - s.y;
  const double squared = dx * dx + dy * dy;
  const double t =
      squared > 0.0 ? std::clamp(((p.x - s.x) * dx + (p.y - s.y) * dy) / squared, 0.0, 1.0) : 0.0;
  return distance(p, Point{s.x + t * dx, s.y + t * dy});
}

double distanceToEdge(const Point& p, const Point& s, const Point& e, double radius) {
  if (radius == 0.0 || !(distance(s, e) > 0.0)) {
    return distanceToSegment(p, s, e);
  }
  const auto [centre, r, a0, sweep] = edgeArc(s, e, radius);
  constexpr double kTurn = 2.0 * 3.14159265358979323846;
  // The angle from the start in the arc's own sense, in [0, 2 pi).
  double t = (std::atan2(p.y - centre.y, p.x - centre.x) - a0) * (sweep < 0.0 ? -1.0 : 1.0);
  t = std::fmod(std::fmod(t, kTurn) + kTurn, kTurn);
  if (t <= std::fabs(sweep)) {
    return std::fabs(distance(p, centre) - r);
  }
  return std::min(distance(p, s), distance(p, e));
}

// Every vertex and edge midpoint of `a` lies within `tol` of the outline of `b`.
bool runsAlong(const RadiusPolyline& a, const RadiusPolyline& b, double tol) {
  const std::size_t n = a.points.size();
  const std::size_t m = b.points.size();
  const auto near = [&](const Point& p) {
    for (std::size_t j = 0; j < m; ++j) {
      if (distanceToEdge(p, b.points[j], b.points[j + 1 == m ? 0 : j + 1], b.radii[j]) <= tol) {
        return true;
      }
    }
    return false;
  };
  for (std::size_t i = 0; i < n; ++i) {
    const Point& s = a.points[i];
    const Point& e = a.points[i + 1 == n ? 0 : i + 1];
    Point middle{0.5 * (s.x + e.x), 0.5 * (s.y + e.y)};
    if (a.radii[i] != 0.0 && distance(s, e) > 0.0) {
      const EdgeArc arc = edgeArc(s, e, a.radii[i]);
      const double t = arc.a0 + 0.5 * arc.sweep;
      middle = Point{arc.centre.x + arc.r * std::cos(t), arc.centre.y + arc.r * std::sin(t)};
    }
    if (!near(s) || !near(middle)) {
      return false;
    }
  }
  return true;
}

std::optional<Loop> makeLoop(Path&& path, WorkBudget& budget) {
  path.closed = true;
  dropZeroEdges(path);
  if (path.points.size() < 2) {
    return std::nullopt;
  }
  Loop loop;
  loop.poly.points = std::move(path.points);
  loop.poly.radii = std::move(path.radii);
  makeArcsBuildable(loop.poly);
  const double area = signedArea(loop.poly.points, loop.poly.radii);
  if (!(std::fabs(area) >= kMinLoopArea)) {
    return std::nullopt;
  }
  if (area < 0.0) {
    reverseLoop(loop.poly);
  }
  loop.area = std::fabs(area);
  const std::size_t n = loop.poly.points.size();
  for (std::size_t i = 0; i < n; ++i) {
    loop.length += edgeLength(loop.poly.points[i], loop.poly.points[i + 1 == n ? 0 : i + 1],
                              loop.poly.radii[i]);
  }
  loop.ring = ringOf(loop.poly);
  if (!budget.spend(loop.ring.size())) {
    return std::nullopt;
  }
  loop.box = boxOf(loop.ring);
  return loop;
}

// Most of three points spread along `inner` lie inside `outer`: a touching
// corner does not decide.
bool loopInside(const Loop& inner, const Loop& outer) {
  const std::size_t n = inner.ring.size();
  int inside = 0;
  for (const std::size_t k : {std::size_t{0}, n / 3, 2 * n / 3}) {
    const Point& a = inner.ring[k];
    const Point& b = inner.ring[k + 1 == n ? 0 : k + 1];
    inside += insideRing(outer.ring, Point{0.5 * (a.x + b.x), 0.5 * (a.y + b.y)}) ? 1 : 0;
  }
  return inside >= 2;
}

// An outline drawn twice (lines over a polyline of the same shape, a circle
// copied onto itself with a rounding difference) would make one copy a hole of
// the other and leave a part without area. Of loops that run within `tol` of
// each other all along, the larger is kept; false when the budget ran out.
bool dropCoincidentLoops(std::vector<Loop>& loops, double tol, WorkBudget& budget) {
  std::vector<std::size_t> bySize(loops.size());
  std::iota(bySize.begin(), bySize.end(), 0);
  std::stable_sort(bySize.begin(), bySize.end(),
                   [&](std::size_t a, std::size_t b) { return loops[a].area > loops[b].area; });
  std::vector<std::size_t> rank(loops.size());
  for (std::size_t k = 0; k < bySize.size(); ++k) {
    rank[bySize[k]] = k;
  }
  std::vector<BoxValue> values;
  values.reserve(loops.size());
  for (std::size_t i = 0; i < loops.size(); ++i) {
    values.emplace_back(geoBox(loops[i].box), i);
  }
  const BoxTree tree(values.begin(), values.end());
  std::vector<bool> drop(loops.size(), false);
  std::vector<BoxValue> found;
  for (const std::size_t i : bySize) {
    const Loop& loop = loops[i];
    // The rings' boxes lie within the outlines' by less than a ring's chords
    // stray from its arcs.
    const double slack =
        tol + kRingSlack * std::max(loop.box.xmax - loop.box.xmin, loop.box.ymax - loop.box.ymin);
    const BBox near{loop.box.xmin - slack, loop.box.xmax + slack, loop.box.ymin - slack,
                    loop.box.ymax + slack};
    found.clear();
    tree.query(bgi::intersects(geoBox(near)), std::back_inserter(found));
    if (!budget.spend(found.size())) {
      return false;
    }
    for (const auto& [box, j] : found) {
      const Loop& other = loops[j];
      if (rank[j] >= rank[i] || drop[j] || std::fabs(other.box.xmin - loop.box.xmin) > slack ||
          std::fabs(other.box.xmax - loop.box.xmax) > slack ||
          std::fabs(other.box.ymin - loop.box.ymin) > slack ||
          std::fabs(other.box.ymax - loop.box.ymax) > slack ||
          other.area - loop.area > tol * std::max(loop.length, other.length) + kMinLoopArea) {
        continue;
      }
      const std::size_t n = loop.poly.points.size();
      const std::size_t m = other.poly.points.size();
      if (!budget.spend(4 * n * m)) {
        return false;
      }
      if (runsAlong(loop.poly, other.poly, tol) && runsAlong(other.poly, loop.poly, tol)) {
        drop[i] = true;
        break;
      }
    }
  }
  std::size_t kept = 0;
  for (std::size_t i = 0; i < loops.size(); ++i) {
    if (!drop[i]) {
      if (kept != i) {
        loops[kept] = std::move(loops[i]);
      }
      ++kept;
    }
  }
  loops.resize(kept);
  return true;
}

// Parent and depth of every loop; false when the budget ran out.
bool nestLoops(std::vector<Loop>& loops, WorkBudget& budget) {
  std::vector<std::size_t> bySize(loops.size());
  std::iota(bySize.begin(), bySize.end(), 0);
  std::stable_sort(bySize.begin(), bySize.end(),
                   [&](std::size_t a, std::size_t b) { return loops[a].area > loops[b].area; });
  std::vector<BoxValue> values;
  values.reserve(loops.size());
  for (std::size_t i = 0; i < loops.size(); ++i) {
    values.emplace_back(geoBox(loops[i].box), i);
  }
  const BoxTree tree(values.begin(), values.end());
  std::vector<BoxValue> found;
  for (const std::size_t i : bySize) {
    Loop& loop = loops[i];
    found.clear();
    tree.query(bgi::covers(geoBox(loop.box)), std::back_inserter(found));
    std::vector<std::pair<double, std::size_t>> larger;
    for (const auto& [box, j] : found) {
      if (loops[j].area > loop.area) {
        larger.emplace_back(loops[j].area, j);
      }
    }
    if (!budget.spend(found.size())) {
      return false;
    }
    // The smallest loop around it is its parent.
    std::sort(larger.begin(), larger.end());
    for (const auto& [area, j] : larger) {
      if (!budget.spend(3 * loops[j].ring.size())) {
        return false;
      }
      if (loopInside(loop, loops[j])) {
        loop.parent = j;
        loop.depth = loops[j].depth + 1;
        break;
      }
    }
  }
  return true;
}

// The chains of open paths and the loops they close.
void joinChains(std::vector<Path>& open, double joinTol, WorkBudget& budget,
                std::vector<Loop>& loops, Contours& result) {
  const std::vector<std::size_t> partner = pairEnds(open, joinTol, budget, result.crowded);
  if (budget.exceeded()) {
    return;
  }
  std::vector<bool> visited(open.size(), false);
  for (std::size_t i = 0; i < open.size(); ++i) {
    if (visited[i]) {
      continue;
    }
    // Back to the head of the chain, or round to this path again.
    std::size_t entry = 2 * i;
    bool closed = false;
    for (std::size_t steps = 0; steps <= open.size(); ++steps) {
      const std::size_t p = partner[entry];
      if (p == kNone) {
        break;
      }
      if (p / 2 == i) {
        closed = true;
        entry = 2 * i;
        break;
      }
      entry = p ^ 1;
    }
    const std::size_t head = entry / 2;
    Path loop;
    OpenChain chain{orientedFirst(open[head], entry % 2 == 0), Point{}};
    std::size_t e = entry;
    for (std::size_t steps = 0; steps <= open.size(); ++steps) {
      const std::size_t j = e / 2;
      const bool forward = e % 2 == 0;
      visited[j] = true;
      if (closed) {
        appendOriented(open[j], forward, loop.points, loop.radii);
      }
      chain.last = orientedLast(open[j], forward);
      const std::size_t next = partner[e ^ 1];
      if (next == kNone || next / 2 == head) {
        break;
      }
      e = next;
    }
    if (closed) {
      if (std::optional<Loop> made = makeLoop(std::move(loop), budget)) {
        loops.push_back(std::move(*made));
      }
    } else {
      result.open.push_back(chain);
    }
  }
}

}  // namespace

double signedArea(const std::vector<Point>& points, const std::vector<double>& radii) {
  const std::size_t n = points.size();
  double twice = 0.0;
  double segments = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const Point& s = points[i];
    const Point& e = points[i + 1 == n ? 0 : i + 1];
    twice += s.x * e.y - e.x * s.y;
    const double radius = i < radii.size() ? radii[i] : 0.0;
    if (radius != 0.0) {
      const double r = std::fabs(radius);
      const double theta = 2.0 * std::asin(std::fmin(1.0, 0.5 * distance(s, e) / r));
      // A counter-clockwise arc bulges to the right of its chord.
      segments += (radius > 0.0 ? 1.0 : -1.0) * 0.5 * r * r * (theta - std::sin(theta));
    }
  }
  return 0.5 * twice + segments;
}

bool insideRing(const std::vector<Point>& ring, const Point& p) {
  bool inside = false;
  const std::size_t n = ring.size();
  for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
    const Point& a = ring[i];
    const Point& b = ring[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
      inside = !inside;
    }
  }
  return inside;
}

Contours buildContours(std::vector<Path>& paths, double joinTol, WorkBudget& budget) {
  Contours result;
  std::vector<Loop> loops;
  std::vector<Path> open;
  for (Path& path : paths) {
    dropZeroEdges(path);
  }
  dropDuplicates(paths);
  for (Path& path : paths) {
    if (path.closed) {
      if (std::optional<Loop> loop = makeLoop(std::move(path), budget)) {
        loops.push_back(std::move(*loop));
      }
    } else if (path.points.size() >= 2 &&
               !(singleStraightEdge(path) &&
                 distance(path.points.front(), path.points.back()) < kCoincide)) {
      open.push_back(std::move(path));
    }
  }
  paths.clear();
  joinChains(open, joinTol, budget, loops, result);
  if (budget.exceeded() || !dropCoincidentLoops(loops, joinTol, budget) ||
      !nestLoops(loops, budget)) {
    result.outlines.clear();
    return result;
  }

  // Even depth: a part; odd depth: a hole of its parent.
  std::vector<std::size_t> outlineOf(loops.size(), kNone);
  std::vector<std::size_t> partLoops;
  for (std::size_t i = 0; i < loops.size(); ++i) {
    if (loops[i].depth % 2 == 0) {
      partLoops.push_back(i);
    }
  }
  std::stable_sort(partLoops.begin(), partLoops.end(), [&](std::size_t a, std::size_t b) {
    return std::tie(loops[a].box.xmin, loops[a].box.ymin) <
           std::tie(loops[b].box.xmin, loops[b].box.ymin);
  });
  for (const std::size_t i : partLoops) {
    outlineOf[i] = result.outlines.size();
    Outline outline;
    outline.outer = loops[i].poly;
    outline.ring = loops[i].ring;
    outline.box = loops[i].box;
    outline.area = loops[i].area;
    result.outlines.push_back(std::move(outline));
  }
  std::vector<std::size_t> holeLoops;
  for (std::size_t i = 0; i < loops.size(); ++i) {
    if (loops[i].depth % 2 == 1) {
      holeLoops.push_back(i);
    }
  }
  std::stable_sort(holeLoops.begin(), holeLoops.end(),
                   [&](std::size_t a, std::size_t b) { return loops[a].area > loops[b].area; });
  for (const std::size_t i : holeLoops) {
    RadiusPolyline hole = loops[i].poly;
    reverseLoop(hole);
    result.outlines[outlineOf[loops[i].parent]].holes.push_back(std::move(hole));
  }
  return result;
}

void keepArcsSafely(RadiusPolyline& poly, double h, double& chainWork) {
  const std::size_t n = poly.points.size();
  // The arc pieces of every edge the kernel keeps as an arc, from its start.
  std::vector<std::vector<Point>> pieces(n);
  double arcPieceCount = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const Point& s = poly.points[i];
    const Point& e = poly.points[i + 1 == n ? 0 : i + 1];
    const double r = std::fabs(poly.radii[i]);
    if (poly.radii[i] == 0.0 || r < h || r / distance(s, e) > kKernelFlatArc ||
        !arcPossible(s, e, r)) {
      continue;
    }
    const std::optional<Arc> arc = arcFromChord(s, e, poly.radii[i]);
    if (!arc) {
      poly.radii[i] = 0.0;
      continue;
    }
    SegmentList cut;
    arcByChord(*arc, h, cut);
    // The list meets the last piece first; the arc runs counter-clockwise.
    std::vector<Point>& points = pieces[i];
    points.push_back(s);
    for (auto it = cut.end(); it != cut.begin();) {
      --it;
      points.push_back(it->end);
    }
    points.pop_back();
    if (poly.radii[i] < 0.0) {
      std::reverse(points.begin() + 1, points.end());
    }
    points.push_back(e);
    arcPieceCount += static_cast<double>(points.size() - 1);
  }

  // Every point the chaining walks through, each once.
  std::vector<Point> walk;
  std::vector<std::size_t> firstOf(n);
  for (std::size_t i = 0; i < n; ++i) {
    firstOf[i] = walk.size();
    walk.push_back(poly.points[i]);
    if (pieces[i].size() > 2) {
      walk.insert(walk.end(), pieces[i].begin() + 1, pieces[i].end() - 1);
    }
  }
  const double work = arcPieceCount * static_cast<double>(walk.size());
  const bool tooSlow = work > chainWork;
  if (!tooSlow) {
    chainWork -= work;
  }
  std::vector<std::size_t> all(walk.size());
  std::iota(all.begin(), all.end(), 0);
  const Grid grid(walk, all, kSafeDistance);
  std::vector<bool> flatten(n, false);
  for (std::size_t i = 0; i < n; ++i) {
    if (pieces[i].empty()) {
      continue;
    }
    if (tooSlow) {
      flatten[i] = true;
      continue;
    }
    const std::size_t m = pieces[i].size();
    for (std::size_t k = 0; k < m && !flatten[i]; ++k) {
      const std::size_t self =
          k == 0 ? firstOf[i] : (k + 1 == m ? firstOf[i + 1 == n ? 0 : i + 1] : firstOf[i] + k);
      const Point& p = walk[self];
      const bool fits = grid.visitNear(p, kMaxCrowd, [&](std::size_t q) {
        if (q != self && distance(walk[q], p) < kSafeDistance) {
          flatten[i] = true;
        }
      });
      flatten[i] = flatten[i] || !fits;
    }
  }

  RadiusPolyline safe;
  std::size_t firstArc = kNone;
  for (std::size_t i = 0; i < n; ++i) {
    if (flatten[i]) {
      for (std::size_t k = 0; k + 1 < pieces[i].size(); ++k) {
        safe.points.push_back(pieces[i][k]);
        safe.radii.push_back(0.0);
      }
      continue;
    }
    if (!pieces[i].empty() && firstArc == kNone) {
      firstArc = safe.points.size();
    }
    safe.points.push_back(poly.points[i]);
    safe.radii.push_back(poly.radii[i]);
  }
  if (firstArc != kNone && firstArc > 0) {
    std::rotate(safe.points.begin(), safe.points.begin() + static_cast<std::ptrdiff_t>(firstArc),
                safe.points.end());
    std::rotate(safe.radii.begin(), safe.radii.begin() + static_cast<std::ptrdiff_t>(firstArc),
                safe.radii.end());
  }
  poly = std::move(safe);
}

struct OutlineLocator::Index {
  BoxTree tree;
};

OutlineLocator::OutlineLocator(const std::vector<Outline>& outlines) : outlines_(outlines) {
  std::vector<BoxValue> values;
  values.reserve(outlines.size());
  for (std::size_t i = 0; i < outlines.size(); ++i) {
    values.emplace_back(geoBox(outlines[i].box), i);
  }
  index_ = std::make_unique<Index>(Index{BoxTree(values.begin(), values.end())});
}

OutlineLocator::~OutlineLocator() = default;

std::size_t OutlineLocator::locate(const Point& p, WorkBudget& budget) const {
  if (outlines_.size() <= 1) {
    return 0;
  }
  const GeoPoint g(p.x, p.y);
  std::vector<BoxValue> found;
  index_->tree.query(bgi::intersects(g), std::back_inserter(found));
  std::size_t best = kNone;
  for (const auto& [box, i] : found) {
    if (!budget.spend(outlines_[i].ring.size())) {
      return 0;
    }
    if (insideRing(outlines_[i].ring, p) &&
        (best == kNone || outlines_[i].area < outlines_[best].area ||
         (outlines_[i].area == outlines_[best].area && i < best))) {
      best = i;
    }
  }
  if (best != kNone) {
    return best;
  }
  // Outside every outline: the nearest box; among boxes at the same distance, the first.
  constexpr unsigned kNearCandidates = 8;
  found.clear();
  index_->tree.query(bgi::nearest(g, kNearCandidates), std::back_inserter(found));
  double bestDistance = std::numeric_limits<double>::infinity();
  for (const auto& [box, i] : found) {
    const BBox& b = outlines_[i].box;
    const double dx = std::fmax(0.0, std::fmax(b.xmin - p.x, p.x - b.xmax));
    const double dy = std::fmax(0.0, std::fmax(b.ymin - p.y, p.y - b.ymax));
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d < bestDistance || (d == bestDistance && i < best)) {
      bestDistance = d;
      best = i;
    }
  }
  return best == kNone ? 0 : best;
}

}  // namespace tarn::dxf
