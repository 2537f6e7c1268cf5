#include "layout_oracle.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tarn::test {
namespace {

constexpr double kTouch = 1e-9;
constexpr double kEdgeTolerance = 1e-10;  // as the plate test allows

using P = Point;

// Rings[0] is the outer outline, the rest are holes.
using Rings = std::vector<std::vector<P>>;

Rings posed(const ItemOrientation& o, const ItemPose& pose) {
  Rings rings;
  const auto add = [&](const Region& r) {
    auto& ring = rings.emplace_back();
    for (const Point& p : r.points) {
      ring.push_back(P{p.x + pose.dx, p.y + pose.dy});
    }
  };
  add(o.outer);
  std::for_each(o.holes.begin(), o.holes.end(), add);
  return rings;
}

double orient(const P& a, const P& b, const P& c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

double pointSegment(const P& p, const P& a, const P& b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  const double t =
      len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
  return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
}

double segmentGap(const P& a, const P& b, const P& c, const P& d) {
  if (orient(a, b, c) * orient(a, b, d) < 0 && orient(c, d, a) * orient(c, d, b) < 0) {
    return 0.0;
  }
  return std::min(
      {pointSegment(a, c, d), pointSegment(b, c, d), pointSegment(c, a, b), pointSegment(d, a, b)});
}

// Winding number of the ring around p (nonzero inside, whatever the vertex order).
int winding(const std::vector<P>& ring, const P& p) {
  int w = 0;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const P& a = ring[i];
    const P& b = ring[(i + 1) % ring.size()];
    if (a.y <= p.y) {
      if (b.y > p.y && orient(a, b, p) > 0) {
        ++w;
      }
    } else if (b.y <= p.y && orient(a, b, p) < 0) {
      --w;
    }
  }
  return w;
}

bool inMaterial(const Rings& rings, const P& p) {
  return winding(rings[0], p) != 0 &&
         std::none_of(rings.begin() + 1, rings.end(),
                      [&p](const std::vector<P>& hole) { return winding(hole, p) != 0; });
}

bool meet(const Rings& a, const Rings& b) {
  for (const auto& ra : a) {
    for (std::size_t i = 0; i < ra.size(); ++i) {
      for (const auto& rb : b) {
        for (std::size_t j = 0; j < rb.size(); ++j) {
          if (segmentGap(ra[i], ra[(i + 1) % ra.size()], rb[j], rb[(j + 1) % rb.size()]) <=
              kTouch) {
            return true;
          }
        }
      }
    }
  }
  const auto anyInside = [](const Rings& from, const Rings& into) {
    return std::any_of(from[0].begin(), from[0].end(),
                       [&](const P& p) { return inMaterial(into, p); });
  };
  return anyInside(a, b) || anyInside(b, a);
}

}  // namespace

std::string layoutFault(const StripProblem& problem, const std::vector<ItemPose>& poses) {
  if (poses.size() != problem.items.size()) {
    return "pose count differs from item count";
  }
  std::vector<Rings> shapes;
  for (std::size_t i = 0; i < poses.size(); ++i) {
    const auto& orientations = problem.items[i].orientations;
    if (poses[i].orientation < 0 || poses[i].orientation >= static_cast<int>(orientations.size())) {
      return "item " + std::to_string(i) + " has an orientation outside its set";
    }
    shapes.push_back(posed(orientations[static_cast<std::size_t>(poses[i].orientation)], poses[i]));
    for (const P& p : shapes.back()[0]) {
      if (p.x < -kEdgeTolerance || p.x > problem.maxLength + kEdgeTolerance ||
          p.y < -kEdgeTolerance || p.y > problem.width + kEdgeTolerance) {
        return "item " + std::to_string(i) + " leaves the strip";
      }
    }
  }
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    for (std::size_t j = i + 1; j < shapes.size(); ++j) {
      if (meet(shapes[i], shapes[j])) {
        return "items " + std::to_string(i) + " and " + std::to_string(j) + " meet";
      }
    }
  }
  return "";
}

}  // namespace tarn::test
