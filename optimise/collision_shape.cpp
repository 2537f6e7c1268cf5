#include "optimise/collision_shape.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <queue>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarn::strip {
namespace {

// Below this cosine between the normals of a convex corner (an angle of more than
// 120 degrees between them) the corner is bevelled: a mitre would reach too far.
constexpr double kMitreCosine = -0.5;
// A reflex corner whose edges turn back on themselves gets two points, not a mitre
// that would run off along the slit.
constexpr double kReflexSlit = 1e-6;
// Unit normals that cancel to less than this meet at a needle tip.
constexpr double kNeedleTip = 1e-9;
// The overlap measure's smooth tail starts at this share of the larger diameter.
constexpr double kTailShare = 0.01;
// Pole pairs further apart than this many tails are left out of the measure.
constexpr double kTailReach = 10.0;
// A box sticking out of the strip costs at least this share of its area more.
constexpr double kContainerFloor = 1e-4;
// Relative rounding allowed at the strip's edges.
constexpr double kStripRounding = 1e-12;
// The quick overlap test looks at the largest poles of each shape.
constexpr std::size_t kQuickPoles = 2;
// Poles: stop at 8 circles covering 90 % of the area, 16 covering 80 %, or 32
// (outlines with many holes never reach the coverage; every pole costs time).
constexpr double kPoleCoverageFew = 0.9;
constexpr std::size_t kPolesFew = 8;
constexpr double kPoleCoverageSome = 0.8;
constexpr std::size_t kPolesSome = 16;
constexpr std::size_t kPolesMost = 32;
// A circle smaller than this share of the diameter adds nothing worth its cost.
constexpr double kPoleMinShare = 1e-3;
// The inscribed-circle search refines cells down to this share of the larger box side.
constexpr double kPolePrecisionShare = 1e-3;
constexpr int kPoleCellLimit = 200000;

struct XY {
  double x = 0.0;
  double y = 0.0;
};

double cross(double ux, double uy, double vx, double vy) {
  return ux * vy - uy * vx;
}

// Twice the signed area, counter-clockwise positive.
double signedArea2(const std::vector<XY>& v) {
  double sum = 0.0;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const XY& p = v[i];
    const XY& q = v[i + 1 == v.size() ? 0 : i + 1];
    sum += p.x * q.y - q.x * p.y;
  }
  return sum;
}

// The ring without repeated vertices, turned so that the material lies on the left:
// an outer outline counter-clockwise, a hole clockwise.
std::vector<XY> materialLeftRing(const Region& region, bool hole) {
  std::vector<XY> ring;
  ring.reserve(region.points.size());
  for (const Point& p : region.points) {
    if (ring.empty() || ring.back().x != p.x || ring.back().y != p.y) {
      ring.push_back(XY{p.x, p.y});
    }
  }
  while (ring.size() > 1 && ring.front().x == ring.back().x && ring.front().y == ring.back().y) {
    ring.pop_back();
  }
  const double area2 = signedArea2(ring);
  if ((area2 < 0.0) != hole) {
    std::reverse(ring.begin(), ring.end());
  }
  return ring;
}

XY unitRightNormal(const XY& from, const XY& to) {
  const double ex = to.x - from.x;
  const double ey = to.y - from.y;
  const double len = std::sqrt(ex * ex + ey * ey);
  return XY{ey / len, -ex / len};
}

// Every edge moved by g to its right (away from the material).
std::vector<XY> grownRing(const std::vector<XY>& ring, double g) {
  const std::size_t n = ring.size();
  std::vector<XY> out;
  out.reserve(n + 8);
  for (std::size_t i = 0; i < n; ++i) {
    const XY& prev = ring[i == 0 ? n - 1 : i - 1];
    const XY& v = ring[i];
    const XY& next = ring[i + 1 == n ? 0 : i + 1];
    const XY n1 = unitRightNormal(prev, v);
    const XY n2 = unitRightNormal(v, next);
    const double c = n1.x * n2.x + n1.y * n2.y;
    const bool convex = cross(v.x - prev.x, v.y - prev.y, next.x - v.x, next.y - v.y) > 0.0;
    if ((convex && c < kMitreCosine) || (!convex && 1.0 + c < kReflexSlit)) {
      double mx = n1.x + n2.x;
      double my = n1.y + n2.y;
      const double ml = std::sqrt(mx * mx + my * my);
      if (ml > kNeedleTip) {
        mx /= ml;
        my /= ml;
      } else {
        // A needle tip: the bisector points along the edge into the tip.
        mx = -n1.y;
        my = n1.x;
      }
      out.push_back(XY{v.x + g * n1.x, v.y + g * n1.y});
      if (convex) {
        out.push_back(XY{v.x + g * mx, v.y + g * my});
      }
      out.push_back(XY{v.x + g * n2.x, v.y + g * n2.y});
    } else {
      const double k = g / (1.0 + c);
      out.push_back(XY{v.x + k * (n1.x + n2.x), v.y + k * (n1.y + n2.y)});
    }
  }
  return out;
}

void appendEdges(const std::vector<XY>& ring, std::vector<HitEdge>& edges) {
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const XY& p = ring[i];
    const XY& q = ring[i + 1 == ring.size() ? 0 : i + 1];
    edges.push_back(HitEdge{p.x, p.y, q.x, q.y, std::min(p.x, q.x), std::max(p.x, q.x),
                            std::min(p.y, q.y), std::max(p.y, q.y)});
  }
}

// Even-odd over all rings: inside the outer outline and in none of the holes.
bool inMaterial(const std::vector<HitEdge>& edges, double px, double py) {
  bool inside = false;
  for (const HitEdge& e : edges) {
    if ((e.y1 > py) != (e.y2 > py) && px < e.x1 + (py - e.y1) * (e.x2 - e.x1) / (e.y2 - e.y1)) {
      inside = !inside;
    }
  }
  return inside;
}

// Closed segments: touching and collinear overlap count.
bool segmentsMeet(double px1, double py1, double px2, double py2, double qx1, double qy1,
                  double qx2, double qy2) {
  const double ex = px2 - px1;
  const double ey = py2 - py1;
  const double d1 = cross(ex, ey, qx1 - px1, qy1 - py1);
  const double d2 = cross(ex, ey, qx2 - px1, qy2 - py1);
  if ((d1 > 0.0 && d2 > 0.0) || (d1 < 0.0 && d2 < 0.0)) {
    return false;
  }
  const double fx = qx2 - qx1;
  const double fy = qy2 - qy1;
  const double d3 = cross(fx, fy, px1 - qx1, py1 - qy1);
  const double d4 = cross(fx, fy, px2 - qx1, py2 - qy1);
  return !((d3 > 0.0 && d4 > 0.0) || (d3 < 0.0 && d4 < 0.0));
}

double segmentDistance2(const HitEdge& e, double px, double py) {
  const double dx = e.x2 - e.x1;
  const double dy = e.y2 - e.y1;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0.0 ? ((px - e.x1) * dx + (py - e.y1) * dy) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  const double ux = e.x1 + t * dx - px;
  const double uy = e.y1 + t * dy - py;
  return ux * ux + uy * uy;
}

// Distance to the nearest boundary or pole, negative outside the material or
// inside a pole. It changes by at most the distance moved, which bounds a cell.
double signedClearance(const std::vector<HitEdge>& edges, const std::vector<Pole>& poles, double px,
                       double py) {
  double d2 = INFINITY;
  for (const HitEdge& e : edges) {
    d2 = std::min(d2, segmentDistance2(e, px, py));
  }
  double d = std::sqrt(d2);
  if (!inMaterial(edges, px, py)) {
    d = -d;
  }
  for (const Pole& p : poles) {
    d = std::min(d, std::hypot(px - p.x, py - p.y) - p.r);
  }
  return d;
}

struct Cell {
  double x = 0.0;
  double y = 0.0;
  double h = 0.0;  // half the side
  double d = 0.0;
  double bound = 0.0;  // no point of the cell is clearer than this
};

// The largest circle inside the material and outside the poles found so far:
// best-first refinement of square cells, as the usual pole-of-inaccessibility search.
Pole largestFreeCircle(const std::vector<HitEdge>& edges, const std::vector<Pole>& poles,
                       const BBox& box) {
  const double w = box.xmax - box.xmin;
  const double h = box.ymax - box.ymin;
  const double side = std::min(w, h);
  if (!(side > 0.0)) {
    return Pole{};
  }
  const double precision = std::max(w, h) * kPolePrecisionShare;
  const auto makeCell = [&](double x, double y, double half) {
    const double d = signedClearance(edges, poles, x, y);
    return Cell{x, y, half, d, d + half * std::numbers::sqrt2};
  };
  const auto byBound = [](const Cell& a, const Cell& b) { return a.bound < b.bound; };
  std::priority_queue<Cell, std::vector<Cell>, decltype(byBound)> queue(byBound);
  for (double x = box.xmin; x < box.xmax; x += side) {
    for (double y = box.ymin; y < box.ymax; y += side) {
      queue.push(makeCell(x + side / 2, y + side / 2, side / 2));
    }
  }
  Cell best = makeCell((box.xmin + box.xmax) / 2, (box.ymin + box.ymax) / 2, 0.0);
  int cells = 0;
  while (!queue.empty() && cells < kPoleCellLimit) {
    const Cell cell = queue.top();
    queue.pop();
    if (cell.d > best.d) {
      best = cell;
    }
    if (cell.bound - best.d <= precision) {
      continue;
    }
    const double q = cell.h / 2;
    queue.push(makeCell(cell.x - q, cell.y - q, q));
    queue.push(makeCell(cell.x + q, cell.y - q, q));
    queue.push(makeCell(cell.x - q, cell.y + q, q));
    queue.push(makeCell(cell.x + q, cell.y + q, q));
    cells += 4;
  }
  return Pole{best.x, best.y, std::max(best.d, 0.0)};
}

std::vector<HitEdge> trueEdges(const Region& outer, const std::vector<Region>& holes) {
  std::vector<HitEdge> edges;
  appendEdges(materialLeftRing(outer, false), edges);
  for (const Region& hole : holes) {
    const std::vector<XY> ring = materialLeftRing(hole, true);
    if (ring.size() >= 3) {
      appendEdges(ring, edges);
    }
  }
  return edges;
}

double hullArea(std::vector<XY> points) {
  std::sort(points.begin(), points.end(),
            [](const XY& a, const XY& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
  if (points.size() < 3) {
    return 0.0;
  }
  std::vector<XY> hull(2 * points.size());
  std::size_t k = 0;
  for (const XY& p : points) {
    while (k >= 2 && cross(hull[k - 1].x - hull[k - 2].x, hull[k - 1].y - hull[k - 2].y,
                           p.x - hull[k - 2].x, p.y - hull[k - 2].y) <= 0.0) {
      --k;
    }
    hull[k++] = p;
  }
  const std::size_t lower = k + 1;
  for (std::size_t i = points.size() - 1; i-- > 0;) {
    const XY& p = points[i];
    while (k >= lower && cross(hull[k - 1].x - hull[k - 2].x, hull[k - 1].y - hull[k - 2].y,
                               p.x - hull[k - 2].x, p.y - hull[k - 2].y) <= 0.0) {
      --k;
    }
    hull[k++] = p;
  }
  hull.resize(k - 1);
  return std::fabs(signedArea2(hull)) / 2;
}

double ringArea(const Region& region) {
  std::vector<XY> ring;
  for (const Point& p : region.points) {
    ring.push_back(XY{p.x, p.y});
  }
  return std::fabs(signedArea2(ring)) / 2;
}

// A few poles in single precision, padded to whole groups of four with poles so
// far away that they add nothing.
struct PoleBlock {
  static constexpr std::size_t kCapacity = kPolesMost + 4;
  alignas(16) float x[kCapacity];
  alignas(16) float y[kCapacity];
  alignas(16) float r[kCapacity];
  std::size_t count = 0;

  void add(float px, float py, float pr) {
    x[count] = px;
    y[count] = py;
    r[count] = pr;
    ++count;
  }
  void pad() {
    for (std::size_t k = count; k % 4 != 0; ++k) {
      x[k] = kFarAway;
      y[k] = kFarAway;
      r[k] = 0.0f;
    }
  }
  static constexpr float kFarAway = 1e18f;
};

// The sum over the block's poles p of depth(p, q) * min(r_p, r_q), where the
// depth is the penetration of the two circles, or for circles apart (or barely
// touching) eps^2 / (2 eps - penetration); pairs apart by more than `reach` add 0.
#if defined(__SSE2__)
double poleRowSum(const PoleBlock& a, float qx, float qy, float qr, float eps, float reach) {
  const __m128 vqx = _mm_set1_ps(qx);
  const __m128 vqy = _mm_set1_ps(qy);
  const __m128 vqr = _mm_set1_ps(qr);
  const __m128 veps = _mm_set1_ps(eps);
  const __m128 veps2 = _mm_set1_ps(eps * eps);
  const __m128 vtwoEps = _mm_set1_ps(2.0f * eps);
  const __m128 vnegReach = _mm_set1_ps(-reach);
  __m128 acc = _mm_setzero_ps();
  for (std::size_t k = 0; k < a.count; k += 4) {
    const __m128 ar = _mm_load_ps(a.r + k);
    const __m128 ex = _mm_sub_ps(vqx, _mm_load_ps(a.x + k));
    const __m128 ey = _mm_sub_ps(vqy, _mm_load_ps(a.y + k));
    const __m128 dist = _mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(ex, ex), _mm_mul_ps(ey, ey)));
    const __m128 pd = _mm_sub_ps(_mm_add_ps(ar, vqr), dist);
    const __m128 tail = _mm_div_ps(veps2, _mm_sub_ps(vtwoEps, pd));
    const __m128 deep = _mm_cmpge_ps(pd, veps);
    const __m128 depth = _mm_or_ps(_mm_and_ps(deep, pd), _mm_andnot_ps(deep, tail));
    const __m128 term = _mm_mul_ps(depth, _mm_min_ps(ar, vqr));
    acc = _mm_add_ps(acc, _mm_and_ps(_mm_cmpge_ps(pd, vnegReach), term));
  }
  alignas(16) float lanes[4];
  _mm_store_ps(lanes, acc);
  return static_cast<double>(lanes[0]) + lanes[1] + lanes[2] + lanes[3];
}
#else
double poleRowSum(const PoleBlock& a, float qx, float qy, float qr, float eps, float reach) {
  float lanes[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  for (std::size_t k = 0; k < a.count; ++k) {
    const float ex = qx - a.x[k];
    const float ey = qy - a.y[k];
    const float pd = a.r[k] + qr - std::sqrt(ex * ex + ey * ey);
    const float depth = pd >= eps ? pd : eps * eps / (2.0f * eps - pd);
    if (pd >= -reach) {
      lanes[k % 4] += depth * std::min(a.r[k], qr);
    }
  }
  return static_cast<double>(lanes[0]) + lanes[1] + lanes[2] + lanes[3];
}
#endif

}  // namespace

std::vector<Pole> computePoles(const Region& outer, const std::vector<Region>& holes,
                               const std::function<bool()>& cancelled) {
  const std::vector<HitEdge> edges = trueEdges(outer, holes);
  BBox box;
  box.xmin = box.xmax = outer.points.front().x;
  box.ymin = box.ymax = outer.points.front().y;
  for (const Point& p : outer.points) {
    box.xmin = std::min(box.xmin, p.x);
    box.xmax = std::max(box.xmax, p.x);
    box.ymin = std::min(box.ymin, p.y);
    box.ymax = std::max(box.ymax, p.y);
  }
  const double diameter = std::hypot(box.xmax - box.xmin, box.ymax - box.ymin);
  double area = ringArea(outer);
  for (const Region& hole : holes) {
    area -= ringArea(hole);
  }
  std::vector<Pole> poles;
  double covered = 0.0;
  while (poles.size() < kPolesMost && !(cancelled && !poles.empty() && cancelled())) {
    const Pole pole = largestFreeCircle(edges, poles, box);
    if (!(pole.r > diameter * kPoleMinShare)) {
      break;
    }
    poles.push_back(pole);
    covered += std::numbers::pi * pole.r * pole.r;
    const double coverage = area > 0.0 ? covered / area : 1.0;
    if ((coverage > kPoleCoverageFew && poles.size() >= kPolesFew) ||
        (coverage > kPoleCoverageSome && poles.size() >= kPolesSome)) {
      break;
    }
  }
  return poles;
}

CollisionShape buildCollisionShape(const Region& outer, const std::vector<Region>& holes,
                                   double clearance, const std::vector<Pole>& poles,
                                   const std::function<bool()>& cancelled) {
  CollisionShape s;
  const std::vector<XY> outerRing = materialLeftRing(outer, false);
  s.box = BBox{outerRing.front().x, outerRing.front().x, outerRing.front().y, outerRing.front().y};
  for (const XY& p : outerRing) {
    s.box.xmin = std::min(s.box.xmin, p.x);
    s.box.xmax = std::max(s.box.xmax, p.x);
    s.box.ymin = std::min(s.box.ymin, p.y);
    s.box.ymax = std::max(s.box.ymax, p.y);
  }
  for (std::size_t i = 0; i < outerRing.size(); ++i) {
    for (std::size_t j = i + 1; j < outerRing.size(); ++j) {
      s.diameter = std::max(
          s.diameter, std::hypot(outerRing[i].x - outerRing[j].x, outerRing[i].y - outerRing[j].y));
    }
  }
  s.hullArea = hullArea(outerRing);
  s.penaltyRoot = std::sqrt(std::sqrt(s.hullArea));
  s.area = std::fabs(signedArea2(outerRing)) / 2;

  const std::vector<XY> grownOuter = grownRing(outerRing, clearance);
  appendEdges(grownOuter, s.edges);
  s.probeX = grownOuter.front().x;
  s.probeY = grownOuter.front().y;
  s.hitBox = BBox{s.probeX, s.probeX, s.probeY, s.probeY};
  for (const XY& p : grownOuter) {
    s.hitBox.xmin = std::min(s.hitBox.xmin, p.x);
    s.hitBox.xmax = std::max(s.hitBox.xmax, p.x);
    s.hitBox.ymin = std::min(s.hitBox.ymin, p.y);
    s.hitBox.ymax = std::max(s.hitBox.ymax, p.y);
  }
  for (const Region& hole : holes) {
    const std::vector<XY> ring = materialLeftRing(hole, true);
    if (ring.size() < 3) {
      continue;
    }
    s.area -= std::fabs(signedArea2(ring)) / 2;
    appendEdges(grownRing(ring, clearance), s.edges);
  }
  s.poles = poles.empty() ? computePoles(outer, holes, cancelled) : poles;
  std::stable_sort(s.poles.begin(), s.poles.end(),
                   [](const Pole& a, const Pole& b) { return a.r > b.r; });
  if (s.poles.size() > kPolesMost) {
    s.poles.resize(kPolesMost);  // the overlap measure holds no more
  }
  if (!s.poles.empty()) {
    s.probeX = s.poles.front().x;
    s.probeY = s.poles.front().y;
  }
  s.poleOriginX = (s.box.xmin + s.box.xmax) / 2;
  s.poleOriginY = (s.box.ymin + s.box.ymax) / 2;
  for (const Pole& p : s.poles) {
    s.poleX.push_back(static_cast<float>(p.x - s.poleOriginX));
    s.poleY.push_back(static_cast<float>(p.y - s.poleOriginY));
    s.poleR.push_back(static_cast<float>(p.r));
  }
  return s;
}

bool CollisionTester::collide(const CollisionShape& a, const CollisionShape& b, double dx,
                              double dy) {
  const double rx0 = std::max(a.hitBox.xmin, b.hitBox.xmin + dx);
  const double rx1 = std::min(a.hitBox.xmax, b.hitBox.xmax + dx);
  const double ry0 = std::max(a.hitBox.ymin, b.hitBox.ymin + dy);
  const double ry1 = std::min(a.hitBox.ymax, b.hitBox.ymax + dy);
  if (rx0 > rx1 || ry0 > ry1) {
    return false;
  }
  nearB_.clear();
  for (const HitEdge& e : b.edges) {
    if (e.xmin + dx <= rx1 && e.xmax + dx >= rx0 && e.ymin + dy <= ry1 && e.ymax + dy >= ry0) {
      nearB_.push_back(HitEdge{e.x1 + dx, e.y1 + dy, e.x2 + dx, e.y2 + dy, e.xmin + dx, e.xmax + dx,
                               e.ymin + dy, e.ymax + dy});
    }
  }
  if (!nearB_.empty()) {
    for (const HitEdge& e : a.edges) {
      if (e.xmin > rx1 || e.xmax < rx0 || e.ymin > ry1 || e.ymax < ry0) {
        continue;
      }
      for (const HitEdge& f : nearB_) {
        if (e.xmin > f.xmax || f.xmin > e.xmax || e.ymin > f.ymax || f.ymin > e.ymax) {
          continue;
        }
        if (segmentsMeet(e.x1, e.y1, e.x2, e.y2, f.x1, f.y1, f.x2, f.y2)) {
          return true;
        }
      }
    }
  }
  // No edges meet: either one lies wholly in the other's material, or they are apart.
  const double ax = a.probeX - dx;
  const double ay = a.probeY - dy;
  if (ax >= b.hitBox.xmin && ax <= b.hitBox.xmax && ay >= b.hitBox.ymin && ay <= b.hitBox.ymax &&
      inMaterial(b.edges, ax, ay)) {
    return true;
  }
  const double bx = b.probeX + dx;
  const double by = b.probeY + dy;
  return bx >= a.hitBox.xmin && bx <= a.hitBox.xmax && by >= a.hitBox.ymin && by <= a.hitBox.ymax &&
         inMaterial(a.edges, bx, by);
}

bool polesOverlap(const CollisionShape& a, const CollisionShape& b, double dx, double dy) {
  const auto overlap = [](const Pole& p, const Pole& q, double x, double y) {
    const double ex = q.x + x - p.x;
    const double ey = q.y + y - p.y;
    return ex * ex + ey * ey < (p.r + q.r) * (p.r + q.r);
  };
  const std::size_t na = std::min(a.poles.size(), kQuickPoles);
  const std::size_t nb = std::min(b.poles.size(), kQuickPoles);
  for (std::size_t i = 0; i < na; ++i) {
    for (std::size_t j = 0; j < nb; ++j) {
      if (overlap(a.poles[i], b.poles[j], dx, dy)) {
        return true;
      }
    }
  }
  return false;
}

double collisionLoss(const CollisionShape& a, const CollisionShape& b, double dx, double dy,
                     double cap) {
  const double eps = std::max(a.diameter, b.diameter) * kTailShare;
  const double scale = a.penaltyRoot * b.penaltyRoot;
  // The pole sum beyond which the measure exceeds the cap.
  const double sumCap = (cap / scale) * (cap / scale) / std::numbers::pi;
  const double reach = eps * kTailReach;
  // In a's frame, relative to a's pole origin; b's pole origin lies at (ox, oy).
  const double ox = b.poleOriginX + dx - a.poleOriginX;
  const double oy = b.poleOriginY + dy - a.poleOriginY;
  // Only poles within reach of the other shape's box take part: a pair further
  // apart adds less than a tenth of what a touching pair adds.
  PoleBlock nearA;
  const double bx0 = b.box.xmin + dx - a.poleOriginX - reach;
  const double bx1 = b.box.xmax + dx - a.poleOriginX + reach;
  const double by0 = b.box.ymin + dy - a.poleOriginY - reach;
  const double by1 = b.box.ymax + dy - a.poleOriginY + reach;
  for (std::size_t k = 0; k < a.poleX.size(); ++k) {
    const double x = a.poleX[k];
    const double y = a.poleY[k];
    const double r = a.poleR[k];
    if (x + r >= bx0 && x - r <= bx1 && y + r >= by0 && y - r <= by1) {
      nearA.add(a.poleX[k], a.poleY[k], a.poleR[k]);
    }
  }
  if (nearA.count == 0) {
    return eps * scale;
  }
  nearA.pad();
  const double ax0 = a.box.xmin - a.poleOriginX - reach;
  const double ax1 = a.box.xmax - a.poleOriginX + reach;
  const double ay0 = a.box.ymin - a.poleOriginY - reach;
  const double ay1 = a.box.ymax - a.poleOriginY + reach;
  double sum = 0.0;
  for (std::size_t k = 0; k < b.poleX.size(); ++k) {
    const double qx = b.poleX[k] + ox;
    const double qy = b.poleY[k] + oy;
    const double qr = b.poleR[k];
    if (qx + qr < ax0 || qx - qr > ax1 || qy + qr < ay0 || qy - qr > ay1) {
      continue;
    }
    sum += poleRowSum(nearA, static_cast<float>(qx), static_cast<float>(qy), b.poleR[k],
                      static_cast<float>(eps), static_cast<float>(reach));
    if (sum > sumCap) {
      return INFINITY;
    }
  }
  return std::sqrt(sum * std::numbers::pi + eps * eps) * scale;
}

bool containsPoint(const CollisionShape& s, double px, double py) {
  return px >= s.hitBox.xmin && px <= s.hitBox.xmax && py >= s.hitBox.ymin && py <= s.hitBox.ymax &&
         inMaterial(s.edges, px, py);
}

bool insideStrip(const CollisionShape& s, double x, double y, double length, double width) {
  // Rounding of a clamped translation may leave a box a few units in the last place out.
  const double tol = kStripRounding * std::max(length, width);
  return s.box.xmin + x >= -tol && s.box.xmax + x <= length + tol && s.box.ymin + y >= -tol &&
         s.box.ymax + y <= width + tol;
}

double containerLoss(const CollisionShape& s, double x, double y, double length, double width) {
  const double x0 = s.box.xmin + x;
  const double x1 = s.box.xmax + x;
  const double y0 = s.box.ymin + y;
  const double y1 = s.box.ymax + y;
  const double boxArea = (x1 - x0) * (y1 - y0);
  const double ix = std::min(x1, length) - std::max(x0, 0.0);
  const double iy = std::min(y1, width) - std::max(y0, 0.0);
  double outside = 0.0;
  if (ix > 0.0 && iy > 0.0) {
    outside = boxArea - ix * iy + kContainerFloor * boxArea;
  } else {
    outside = boxArea + std::hypot((x0 + x1 - length) / 2, (y0 + y1 - width) / 2);
  }
  return 2.0 * std::sqrt(outside) * s.penaltyRoot * s.penaltyRoot;
}

}  // namespace tarn::strip
