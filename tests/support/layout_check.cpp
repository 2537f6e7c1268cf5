#include "support/layout_check.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "geometry/predicates.h"

namespace tarn::test {
namespace {

constexpr double kDepth = 1e-4;  // mm; contact and the kernel's 1e-5 box rule stay below

using Edge = std::pair<Point, Point>;

std::vector<Edge> edgesOf(const Part& part) {
  std::vector<Edge> edges;
  const auto ring = [&edges](const std::vector<Point>& p) {
    for (std::size_t i = 0; i < p.size(); ++i) {
      edges.emplace_back(p[i], p[(i + 1) % p.size()]);
    }
  };
  ring(part.outer.points);
  for (const Region& hole : part.holes) {
    ring(hole.points);
  }
  return edges;
}

// Each edge has the other's ends deeper than kDepth on both of its sides.
bool cross(const Edge& e, const Edge& f) {
  const auto side = [](const Point& p, const Edge& g) {
    const auto& [a, b] = g;
    return ((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)) /
           std::hypot(b.x - a.x, b.y - a.y);
  };
  const auto apart = [](double d1, double d2) {
    return d1 * d2 < 0 && std::min(std::abs(d1), std::abs(d2)) > kDepth;
  };
  return apart(side(f.first, e), side(f.second, e)) && apart(side(e.first, f), side(e.second, f));
}

// Even-odd over the outline and the holes, and farther than kDepth from each edge.
bool deepInMaterial(const std::vector<Edge>& edges, const Point& p) {
  bool inside = false;
  for (const auto& [a, b] : edges) {
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
      inside = !inside;
    }
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double t =
        std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    if (std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy) <= kDepth) {
      return false;
    }
  }
  return inside;
}

}  // namespace

bool materialOverlaps(const Part& a, const Part& b) {
  const std::vector<Edge> edgesA = edgesOf(a);
  const std::vector<Edge> edgesB = edgesOf(b);
  const auto anyCross = [&edgesB](const Edge& e) {
    return std::ranges::any_of(edgesB, [&e](const Edge& f) { return cross(e, f); });
  };
  return std::ranges::any_of(edgesA, anyCross) ||
         std::ranges::any_of(a.outer.points,
                             [&](const Point& v) { return deepInMaterial(edgesB, v); }) ||
         std::ranges::any_of(b.outer.points,
                             [&](const Point& v) { return deepInMaterial(edgesA, v); });
}

std::string layoutFault(const PackingJob& job, bool everyPart) {
  const BBox& plate = job.plateExtents;
  const auto onPlate = [&plate](const BBox& box) {
    return box.xmin >= plate.xmin - 1e-9 && box.xmax <= plate.xmax + 1e-9 &&
           box.ymin >= plate.ymin - 1e-9 && box.ymax <= plate.ymax + 1e-9;
  };
  std::vector<const Part*> placed;
  for (const Part& part : job.workingParts) {
    if (!onPlate(part.bbox)) {
      // Beside the plate: wholly off it, or a fault.
      const BBox& box = part.bbox;
      const bool beside = box.xmin >= plate.xmax || box.xmax <= plate.xmin ||
                          box.ymin >= plate.ymax || box.ymax <= plate.ymin;
      if (everyPart || !beside) {
        return "part " + std::to_string(part.id) + " is not on the plate";
      }
      continue;
    }
    for (const Part* other : placed) {
      if (materialOverlaps(part, *other)) {
        return "part " + std::to_string(part.id) + " overlaps part " + std::to_string(other->id);
      }
    }
    placed.push_back(&part);
  }
  return {};
}

}  // namespace tarn::test
