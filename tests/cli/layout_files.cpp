#include "layout_files.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <stdexcept>
#include <string_view>

namespace tarn::test {

namespace {

constexpr double kArcSampleDeg = 2.0;
constexpr std::string_view kGbkPackedCount =
    "\xd2\xd1\xc5\xc5\xd1\xf9\xc1\xe3\xbc\xfe\xca\xfd\xc1\xbf=";  // 已排样零件数量=
constexpr std::string_view kGbkPackedNames =
    "\xd2\xd1\xc5\xc5\xd1\xf9\xc1\xe3\xbc\xfe:";  // 已排样零件:
constexpr double kJoinTolerance = 0.1;            // mm; the drawing rounds to 6 significant digits
const double kPi = std::acos(-1.0);

struct Segment {
  XY a;
  XY b;
};

struct Box {
  double xmin = std::numeric_limits<double>::infinity();
  double xmax = -std::numeric_limits<double>::infinity();
  double ymin = std::numeric_limits<double>::infinity();
  double ymax = -std::numeric_limits<double>::infinity();
};

Box boxOf(const Polygon& polygon) {
  Box box;
  for (const XY& p : polygon) {
    box.xmin = std::min(box.xmin, p.x);
    box.xmax = std::max(box.xmax, p.x);
    box.ymin = std::min(box.ymin, p.y);
    box.ymax = std::max(box.ymax, p.y);
  }
  return box;
}

bool boxesNear(const Box& a, const Box& b, double margin) {
  return a.xmin <= b.xmax + margin && b.xmin <= a.xmax + margin && a.ymin <= b.ymax + margin &&
         b.ymin <= a.ymax + margin;
}

std::vector<std::string> splitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (const char c : bytes) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') {
        line.pop_back();
      }
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) {
    lines.push_back(line);
  }
  return lines;
}

double number(const std::map<std::string, std::string>& values, const std::string& code) {
  const auto found = values.find(code);
  return found == values.end() ? 0.0 : std::strtod(found->second.c_str(), nullptr);
}

bool near(const XY& p, const XY& q) {
  return std::hypot(p.x - q.x, p.y - q.y) < kJoinTolerance;
}

void addArc(const std::map<std::string, std::string>& v, std::vector<Segment>& out) {
  const double cx = number(v, " 10");
  const double cy = number(v, " 20");
  const double r = number(v, " 40");
  const double start = number(v, " 50");
  double end = number(v, " 51");
  while (end < start) {
    end += 360.0;
  }
  const int pieces = std::max(1, static_cast<int>(std::ceil((end - start) / kArcSampleDeg)));
  XY previous{cx + r * std::cos(start * kPi / 180.0), cy + r * std::sin(start * kPi / 180.0)};
  for (int i = 1; i <= pieces; ++i) {
    const double angle = (start + (end - start) * i / pieces) * kPi / 180.0;
    const XY next{cx + r * std::cos(angle), cy + r * std::sin(angle)};
    out.push_back({previous, next});
    previous = next;
  }
}

// Closed loops from unordered pieces: each loop follows shared end points.
std::vector<Polygon> chainLoops(std::vector<Segment> pieces) {
  std::vector<Polygon> loops;
  while (!pieces.empty()) {
    Polygon loop{pieces.front().a};
    XY end = pieces.front().b;
    pieces.erase(pieces.begin());
    while (!near(end, loop.front())) {
      auto next = std::find_if(pieces.begin(), pieces.end(),
                               [&](const Segment& s) { return near(s.a, end) || near(s.b, end); });
      if (next == pieces.end()) {
        throw std::runtime_error("an outline of the layout drawing does not close");
      }
      loop.push_back(end);
      end = near(next->a, end) ? next->b : next->a;
      pieces.erase(next);
    }
    loops.push_back(std::move(loop));
  }
  std::sort(loops.begin(), loops.end(),
            [](const Polygon& p, const Polygon& q) { return polygonArea(p) > polygonArea(q); });
  return loops;
}

int orientation(const XY& a, const XY& b, const XY& c) {
  const double v = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
  constexpr double kCollinear = 1e-9;
  return v > kCollinear ? 1 : (v < -kCollinear ? -1 : 0);
}

bool segmentsCrossProperly(const XY& a, const XY& b, const XY& c, const XY& d) {
  return orientation(a, b, c) * orientation(a, b, d) < 0 &&
         orientation(c, d, a) * orientation(c, d, b) < 0;
}

bool insidePolygon(const Polygon& polygon, const XY& p) {
  bool inside = false;
  for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    const XY& u = polygon[i];
    const XY& w = polygon[j];
    if ((u.y > p.y) != (w.y > p.y) && p.x < (w.x - u.x) * (p.y - u.y) / (w.y - u.y) + u.x) {
      inside = !inside;
    }
  }
  return inside;
}

bool inMaterial(const DrawnPart& part, const XY& p) {
  if (!insidePolygon(part.loops.front(), p)) {
    return false;
  }
  return std::none_of(part.loops.begin() + 1, part.loops.end(),
                      [&](const Polygon& hole) { return insidePolygon(hole, p); });
}

double pointSegmentDistance(const XY& p, const XY& a, const XY& b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

}  // namespace

double polygonArea(const Polygon& polygon) {
  double twice = 0.0;
  for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    twice += polygon[j].x * polygon[i].y - polygon[i].x * polygon[j].y;
  }
  return std::abs(twice) / 2.0;
}

double netArea(const DrawnPart& part) {
  double area = polygonArea(part.loops.front());
  for (std::size_t i = 1; i < part.loops.size(); ++i) {
    area -= polygonArea(part.loops[i]);
  }
  return area;
}

LayoutDrawing readLayoutDrawing(const std::string& bytes) {
  const std::vector<std::string> lines = splitLines(bytes);
  if (lines.size() % 2 != 0) {
    throw std::runtime_error("the layout drawing is not made of code and value pairs");
  }
  LayoutDrawing drawing;
  std::vector<Segment> pieces;
  std::string type;
  std::map<std::string, std::string> values;

  const auto finishEntity = [&] {
    const std::string layer = values.count("  8") ? values["  8"] : "";
    if (type == "LINE" && layer == "0") {
      ++drawing.plateLines;
    } else if (type == "LINE" && layer == "1") {
      pieces.push_back({{number(values, " 10"), number(values, " 20")},
                        {number(values, " 11"), number(values, " 21")}});
    } else if (type == "ARC" && layer == "1") {
      addArc(values, pieces);
    } else if (type == "TEXT" && layer == "2") {
      if (pieces.empty()) {
        throw std::runtime_error("a part name without an outline");
      }
      DrawnPart part;
      part.name = values["  1"];
      part.loops = chainLoops(std::move(pieces));
      pieces.clear();
      const Box box = boxOf(part.loops.front());
      part.xmin = box.xmin;
      part.xmax = box.xmax;
      part.ymin = box.ymin;
      part.ymax = box.ymax;
      drawing.parts.push_back(std::move(part));
    } else if (type == "TEXT" && layer == "3") {
      drawing.infoTexts.push_back(values["  1"]);
    }
  };

  for (std::size_t i = 0; i < lines.size(); i += 2) {
    if (lines[i] == "  0") {
      finishEntity();
      type = lines[i + 1];
      values.clear();
    } else {
      values[lines[i]] = lines[i + 1];
    }
  }
  if (type != "EOF" || !pieces.empty()) {
    throw std::runtime_error("the layout drawing does not end with its parts named and EOF");
  }
  return drawing;
}

ReportFigures readReport(const std::string& bytes) {
  ReportFigures figures;
  const std::vector<std::string> lines = splitLines(bytes);
  const auto after = [](const std::string& line, std::string_view prefix) -> const char* {
    return line.starts_with(prefix) ? line.c_str() + prefix.size() : nullptr;
  };
  bool names = false;
  for (const std::string& line : lines) {
    if (names) {
      std::size_t start = 0;
      for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos;
           start = comma + 1) {
        figures.names.push_back(line.substr(start, comma - start));
      }
      figures.names.push_back(line.substr(start));
    } else if (const char* length = after(line, "Packed length:")) {
      figures.packedLength = std::strtod(length, nullptr);
    } else if (const char* density = after(line, "Packing density:")) {
      figures.density = density;
    } else if (const char* area = after(line, "Area of all parts:")) {
      figures.packedArea = std::strtod(area, nullptr);
    } else if (const char* count = after(line, kGbkPackedCount)) {
      figures.packedCount = std::atoi(count);
    } else if (after(line, kGbkPackedNames)) {
      names = true;
    }
  }
  return figures;
}

bool partsOverlap(const DrawnPart& a, const DrawnPart& b) {
  if (!boxesNear(boxOf(a.loops.front()), boxOf(b.loops.front()), 0.0)) {
    return false;
  }
  for (const Polygon& p : a.loops) {
    for (const Polygon& q : b.loops) {
      if (!boxesNear(boxOf(p), boxOf(q), 0.0)) {
        continue;
      }
      for (std::size_t i = 0, i0 = p.size() - 1; i < p.size(); i0 = i++) {
        for (std::size_t j = 0, j0 = q.size() - 1; j < q.size(); j0 = j++) {
          if (segmentsCrossProperly(p[i0], p[i], q[j0], q[j])) {
            return true;
          }
        }
      }
    }
  }
  return inMaterial(b, a.loops.front().front()) || inMaterial(a, b.loops.front().front());
}

double outlineDistance(const DrawnPart& a, const DrawnPart& b, double limit) {
  double best = limit;
  for (const Polygon& p : a.loops) {
    for (const Polygon& q : b.loops) {
      if (!boxesNear(boxOf(p), boxOf(q), best)) {
        continue;
      }
      for (const XY& point : p) {
        for (std::size_t j = 0, j0 = q.size() - 1; j < q.size(); j0 = j++) {
          best = std::min(best, pointSegmentDistance(point, q[j0], q[j]));
        }
      }
      for (const XY& point : q) {
        for (std::size_t i = 0, i0 = p.size() - 1; i < p.size(); i0 = i++) {
          best = std::min(best, pointSegmentDistance(point, p[i0], p[i]));
        }
      }
    }
  }
  return best;
}

}  // namespace tarn::test
