#include "library/dxf_classic.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "geometry/arc.h"
#include "geometry/part.h"
#include "geometry/region.h"
#include "geometry/segment.h"
#include "library/dxf_contours.h"
#include "library/dxf_guard.h"
#include "library/dxf_import.h"
#include "library/line_reader.h"

namespace tarn {
namespace {

constexpr double kChordTol = kDefaultChordTol;  // a new Part's, which readDxfPart uses
constexpr double kMaxCircleStepDeg = 120.0;
constexpr int kMinChainPoints = 4;
constexpr int kMinSegments = 3;
constexpr std::string_view kNamePrefix = "name:";

// The values readDxfPart takes from an entity: 10, 20, 11, 21, 40, 50, 51 and
// the text of a TEXT.
enum Slot { kX10, kY20, kX11, kY21, kV40, kV50, kV51, kSlots };

struct ClassicEntity {
  char kind = 'L';  // L(ine), C(ircle), A(rc), T(ext)
  std::array<double, kSlots> values{};
  std::string text;

  bool operator==(const ClassicEntity&) const = default;
};

std::optional<char> kindOf(std::string_view name) {
  if (name == "LINE") {
    return 'L';
  }
  if (name == "CIRCLE") {
    return 'C';
  }
  if (name == "ARC") {
    return 'A';
  }
  if (name == "TEXT") {
    return 'T';
  }
  return std::nullopt;
}

// The slot a group code fills for this kind, as readDxfPart files them.
std::optional<Slot> slotOf(char kind, int code) {
  switch (code) {
    case 10:
      return kX10;
    case 20:
      return kY20;
    case 11:
    case 21:
      return kind == 'L' ? std::optional<Slot>(code == 11 ? kX11 : kY21) : std::nullopt;
    case 40:
      return kind != 'L' ? std::optional<Slot>(kV40) : std::nullopt;
    case 50:
      return kind == 'A' || kind == 'T' ? std::optional<Slot>(kV50) : std::nullopt;
    case 51:
      return kind == 'A' ? std::optional<Slot>(kV51) : std::nullopt;
    default:
      return std::nullopt;
  }
}

std::string alignedCode(int code) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%3d", code);
  return buffer;
}

// The drawing as its groups say: the entities readDxfPart should meet, or
// nothing when the drawing holds anything else it would not read right.
std::optional<std::vector<ClassicEntity>> entitiesByGroups(std::string_view bytes) {
  enum class Section { Outside, Starting, Blocks, Entities, Other };
  dxf::GroupReader reader(bytes);
  std::vector<ClassicEntity> entities;
  std::optional<ClassicEntity> current;
  Section section = Section::Outside;
  bool sawEof = false;
  bool planar = true;
  // Entities without any section around them, which readDxfPart reads as
  // well: one ENTITIES section that ends with the file.
  bool bare = false;
  bool first = true;
  while (const std::optional<dxf::Group> g = reader.next()) {
    if (g->codeText != alignedCode(g->code)) {
      return std::nullopt;
    }
    if (first && g->code == 0 && kindOf(g->value)) {
      bare = true;
      section = Section::Entities;
    }
    first = false;
    if (g->code == 0 && current) {
      if (!planar) {
        return std::nullopt;
      }
      entities.push_back(*current);
      current.reset();
    }
    if (g->code == 0 && g->value == "EOF") {
      sawEof = true;
      break;
    }
    switch (section) {
      case Section::Outside:
        if (g->code == 0 && g->value == "SECTION") {
          section = Section::Starting;
        }
        break;
      case Section::Starting:
        section = g->code != 2             ? Section::Other
                  : g->value == "BLOCKS"   ? Section::Blocks
                  : g->value == "ENTITIES" ? Section::Entities
                                           : Section::Other;
        break;
      // The header's units are not looked at: readDxfPart never did, and a
      // drawing it reads keeps the geometry it always had.
      case Section::Other:
        if (g->code == 0 && g->value == "ENDSEC") {
          section = Section::Outside;
        }
        break;
      case Section::Blocks:
        // Block definitions may be there, empty; readDxfPart would read their
        // entities as if they were drawn in place.
        if (g->code == 0 && g->value == "ENDSEC") {
          section = Section::Outside;
        } else if (g->code == 0 && g->value != "BLOCK" && g->value != "ENDBLK") {
          return std::nullopt;
        }
        break;
      case Section::Entities:
        if (g->code == 0) {
          if (g->value == "ENDSEC" && !bare) {
            section = Section::Outside;
            break;
          }
          const std::optional<char> kind = kindOf(g->value);
          if (!kind) {
            return std::nullopt;
          }
          current = ClassicEntity{*kind, {}, {}};
          planar = true;
        } else if (current) {
          if (const std::optional<Slot> slot = slotOf(current->kind, g->code)) {
            current->values[*slot] = parseDouble(g->value);
          } else if (g->code == 1 && current->kind == 'T') {
            current->text = std::string(g->value.substr(0, kDxfLineBytes));
          } else if (g->code == 67 && parseInt(g->value) == 1) {
            return std::nullopt;  // paper space
          } else if (g->code == 210 || g->code == 220 || g->code == 230) {
            // The normal must point straight up: (0, 0, positive).
            const double n = parseDouble(g->value);
            planar = planar && (g->code == 230 ? n > 0.0 : n == 0.0);
          }
        }
        break;
    }
  }
  if (!reader.failure().empty() || (!sawEof && section != Section::Outside && !bare)) {
    return std::nullopt;
  }
  if (current) {
    if (!planar) {
      return std::nullopt;
    }
    entities.push_back(*current);  // the last of a bare list, ended by the file
  }
  return entities;
}

// The entities as readDxfPart's line scan meets them; nothing when a number
// would make it fail.
std::optional<std::vector<ClassicEntity>> entitiesByLines(std::string_view bytes) {
  std::istringstream in{std::string(bytes)};
  LineReader file(in, kDxfLineBytes, {});
  std::vector<ClassicEntity> entities;
  while (const std::optional<std::string> line = file.next()) {
    const std::optional<char> kind = kindOf(*line);
    if (!kind) {
      continue;
    }
    ClassicEntity e{*kind, {}, {}};
    while (const std::optional<std::string> code = file.next()) {
      if (*code == "  0") {
        break;
      }
      if (e.kind == 'T' && *code == "  1") {
        if (const std::optional<std::string> value = file.next()) {
          e.text = *value;
        }
        continue;
      }
      // The classic codes are right-aligned, so a line that is one is that code.
      if (code->size() != 3 || (*code)[0] != ' ') {
        continue;
      }
      const int number = parseInt(*code);
      const std::optional<Slot> slot = slotOf(e.kind, number);
      if (!slot || alignedCode(number) != *code) {
        continue;
      }
      if (const std::optional<std::string> value = file.next()) {
        std::size_t used = 0;
        e.values[*slot] = parseDouble(*value, &used);
        if (!usableNumber(e.values[*slot]) || numberMayBeCut(*value, used, file.truncated())) {
          return std::nullopt;
        }
      }
    }
    entities.push_back(e);
  }
  return entities;
}

// readDxfPart's discretisation would run without a warning.
bool discretisable(const ClassicEntity& e) {
  if (e.kind != 'A' && e.kind != 'C') {
    return true;
  }
  const double r = e.values[kV40];
  if (!(kChordTol <= r)) {
    return false;  // 弓高误差错误!
  }
  const double stepDeg = 2.0 * std::acos(1.0 - kChordTol / r) / std::acos(-1.0) * 180.0;
  if (!(stepDeg > 0.0)) {
    return false;
  }
  return e.kind == 'A' || stepDeg <= kMaxCircleStepDeg;
}

bool regionInside(const Region& inner, const Region& outer) {
  const BBox& a = inner.bbox;
  const BBox& b = outer.bbox;
  if (a.xmin < b.xmin || a.xmax > b.xmax || a.ymin < b.ymin || a.ymax > b.ymax) {
    return false;
  }
  const std::size_t n = inner.points.size();
  int inside = 0;
  for (const std::size_t k : {std::size_t{0}, n / 3, 2 * n / 3}) {
    const Point& p = inner.points[k];
    const Point& q = inner.points[k + 1 == n ? 0 : k + 1];
    inside += dxf::insideRing(outer.points, Point{0.5 * (p.x + q.x), 0.5 * (p.y + q.y)}) ? 1 : 0;
  }
  return inside >= 2;
}

// The loops readDxfPart would chain, silently; false where it would fail,
// leave segments over, or make a hole of what is no hole.
bool chainsLikeTheClassic(const std::vector<ClassicEntity>& entities) {
  SegmentList lines;
  CircleList circles;
  ArcList arcs;
  double pieces = 0.0;
  for (const ClassicEntity& e : entities) {
    if (!discretisable(e)) {
      return false;
    }
    const auto& v = e.values;
    switch (e.kind) {
      case 'L':
        lines.insert(makeSegment(Point{v[kX10], v[kY20]}, Point{v[kX11], v[kY21]}));
        pieces += 1.0;
        break;
      case 'C':
        circles.insert(Circle{Point{v[kX10], v[kY20]}, v[kV40]});
        pieces += dxf::arcPiecesFor(v[kV40], 360.0, kChordTol) + 1.0;
        break;
      case 'A': {
        const Arc arc = setArc(Point{v[kX10], v[kY20]}, v[kV40], v[kV50], v[kV51]);
        arcs.insert(arc);
        pieces += dxf::arcPiecesFor(v[kV40], arc.endAngle - arc.startAngle, kChordTol);
        break;
      }
      default:
        break;
    }
  }
  if (pieces > kClassicMaxSegments) {
    return false;
  }
  SegmentList segments(lines);
  circlesByChord(circles, kChordTol, segments);
  arcsByChord(arcs, kChordTol, segments);
  if (segments.count() < kMinSegments) {
    return false;
  }
  std::vector<Region> regions;
  while (segments.count() >= kMinSegments) {
    PointChain chain;
    chainSegments(segments, chain);
    if (chain.count() < kMinChainPoints || !within(chain.front(), chain.back(), kChainJoinRadius)) {
      return false;
    }
    std::vector<Point> points(chain.begin(), chain.end());
    points.pop_back();
    Region region;
    setPoints(region, points);
    regions.push_back(region);
  }
  if (!segments.empty()) {
    return false;  // readDxfPart drops them without a word
  }
  // The regions are held newest first: the last chained is the first met.
  std::size_t outer = regions.size();
  double largest = 0.0;
  for (std::size_t i = regions.size(); i-- > 0;) {
    if (regions[i].area > largest) {
      largest = regions[i].area;
      outer = i;
    }
  }
  if (outer == regions.size()) {
    return false;
  }
  double net = regions[outer].area;
  for (std::size_t i = 0; i < regions.size(); ++i) {
    if (i == outer) {
      continue;
    }
    net -= regions[i].area;
    if (!regionInside(regions[i], regions[outer])) {
      return false;  // a second part
    }
    for (std::size_t j = 0; j < regions.size(); ++j) {
      if (j != outer && j != i && regionInside(regions[i], regions[j])) {
        return false;  // a part in a hole
      }
    }
  }
  return net > 0.0;
}

}  // namespace

ClassicCheck checkClassic(std::string_view bytes) {
  ClassicCheck check;
  const std::optional<std::vector<ClassicEntity>> byGroups = entitiesByGroups(bytes);
  if (!byGroups) {
    return check;
  }
  const std::optional<std::vector<ClassicEntity>> byLines = entitiesByLines(bytes);
  if (!byLines || *byLines != *byGroups) {
    return check;
  }
  for (const ClassicEntity& e : *byGroups) {
    check.named = check.named || (e.kind == 'T' && e.text.starts_with(kNamePrefix));
  }
  check.complete = chainsLikeTheClassic(*byGroups);
  return check;
}

bool classicReadsCompletely(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    return false;
  }
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > kDxfMaxBytes) {
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(size))) {
    return false;
  }
  return checkClassic(bytes).complete;
}

}  // namespace tarn
