#include "library/dxf_reader.h"

#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "geometry/arc.h"
#include "geometry/notify.h"
#include "geometry/text_label.h"
#include "geometry/texts.h"
#include "library/line_reader.h"

namespace tarn {
namespace {

constexpr std::string_view kEntityEnd = "  0";
constexpr std::string_view kNamePrefix = "name:";
constexpr std::string_view kThickPrefix = "thick=";

enum class EntityKind { Line, Circle, Arc, Text };

// The group codes of one entity; a code missing from the file leaves 0.
struct Entity {
  double x10 = 0.0, y20 = 0.0, x11 = 0.0, y21 = 0.0;
  double v40 = 0.0, v50 = 0.0, v51 = 0.0;
  std::string text;
};

std::optional<EntityKind> entityKind(std::string_view line) {
  if (line == "LINE") {
    return EntityKind::Line;
  }
  if (line == "CIRCLE") {
    return EntityKind::Circle;
  }
  if (line == "ARC") {
    return EntityKind::Arc;
  }
  if (line == "TEXT") {
    return EntityKind::Text;
  }
  return std::nullopt;
}

// Where the value of a group code goes for this kind of entity; codes the kind
// does not read are plain lines.
double* codeTarget(EntityKind kind, std::string_view code, Entity& e) {
  if (code == " 10") {
    return &e.x10;
  }
  if (code == " 20") {
    return &e.y20;
  }
  if (kind == EntityKind::Line) {
    if (code == " 11") {
      return &e.x11;
    }
    if (code == " 21") {
      return &e.y21;
    }
    return nullptr;
  }
  if (code == " 40") {
    return &e.v40;
  }
  if (code == " 50" && kind != EntityKind::Circle) {
    return &e.v50;
  }
  if (code == " 51" && kind == EntityKind::Arc) {
    return &e.v51;
  }
  return nullptr;
}

// Reads the codes of one entity up to and including the line "  0" (or the end
// of the file). False when a number read is not usable or may have been cut.
bool readEntity(LineReader& file, EntityKind kind, Entity& e) {
  bool usable = true;
  while (const std::optional<std::string> line = file.next()) {
    if (*line == kEntityEnd) {
      break;
    }
    if (kind == EntityKind::Text && *line == "  1") {
      if (const std::optional<std::string> value = file.next()) {
        e.text = *value;
      }
      continue;
    }
    if (double* target = codeTarget(kind, *line, e)) {
      if (const std::optional<std::string> value = file.next()) {
        std::size_t used = 0;
        *target = parseDouble(*value, &used);
        usable = usable && usableNumber(*target) && !numberMayBeCut(*value, used, file.truncated());
      }
    }
  }
  return usable;
}

void setLabel(TextLabel& label, std::string_view text, const Entity& e) {
  setLabelText(label, text);
  label.x = e.x10;
  label.y = e.y20;
  label.angle = e.v50;
  label.height = e.v40;
}

}  // namespace

bool checkPointChain(const PointChain& chain) {
  constexpr int kMinChainPoints = 4;
  if (chain.count() < kMinChainPoints) {
    notifyWarning(text::kChainTooShort);
    return false;
  }
  if (!within(chain.front(), chain.back(), kChainJoinRadius)) {
    notifyWarning(text::kChainNotClosed);
    return false;
  }
  return true;
}

bool assembleLoops(SegmentList& segments, RegionList& regions) {
  constexpr int kMinSegments = 3;
  if (segments.count() < kMinSegments) {
    return false;
  }
  while (segments.count() >= kMinSegments) {
    PointChain chain;
    chainSegments(segments, chain);
    if (!checkPointChain(chain)) {
      return false;
    }
    // The last point of the walk repeats the first.
    std::vector<Point> points(chain.begin(), chain.end());
    points.pop_back();
    Region region;
    setPoints(region, points);
    regions.insert(region);
  }
  return !regions.empty();
}

bool pickOuterLoop(Part& part, const RegionList& regions) {
  const Region* outer = nullptr;
  double largest = 0.0;
  for (const Region& region : regions) {
    if (region.area > largest) {
      largest = region.area;
      outer = &region;
    }
  }
  if (outer == nullptr) {
    return false;
  }
  part.outer = *outer;
  for (const Region& region : regions) {
    if (&region != outer) {
      part.holes.insert(region);
    }
  }
  return true;
}

bool readDxfPart(Part& part, const std::filesystem::path& path) {
  // A pipe or a device named *.dxf would block the open or never end.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return false;
  }
  LineReader file(in, kDxfLineBytes, path.string());
  SegmentList lines;
  CircleList circles;
  ArcList arcs;
  while (const std::optional<std::string> line = file.next()) {
    const std::optional<EntityKind> kind = entityKind(*line);
    if (!kind) {
      continue;
    }
    Entity e;
    if (!readEntity(file, *kind, e)) {
      return false;
    }
    switch (*kind) {
      case EntityKind::Line:
        lines.insert(makeSegment(Point{e.x10, e.y20}, Point{e.x11, e.y21}));
        break;
      case EntityKind::Circle:
        circles.insert(Circle{Point{e.x10, e.y20}, e.v40});
        break;
      case EntityKind::Arc:
        arcs.insert(setArc(Point{e.x10, e.y20}, e.v40, e.v50, e.v51));
        break;
      case EntityKind::Text:
        if (e.text.starts_with(kNamePrefix)) {
          setLabel(part.nameLabel, std::string_view(e.text).substr(kNamePrefix.size()), e);
        } else if (e.text.starts_with(kThickPrefix)) {
          setLabel(part.thickLabel, std::string_view(e.text).substr(kThickPrefix.size()), e);
        }
        break;
    }
  }
  in.close();

  // The copy walks the lines in file order; the discretisers insert at the
  // front, so chaining meets arc pieces first, then circle pieces, then lines.
  SegmentList segments(lines);
  circlesByChord(circles, part.chordTol, segments);
  arcsByChord(arcs, part.chordTol, segments);
  RegionList regions;
  if (!assembleLoops(segments, regions) || !pickOuterLoop(part, regions)) {
    return false;
  }
  // Overlapping "holes" can eat the whole outline; such a part has no centroid.
  if (!(computeNetArea(part) > 0.0)) {
    return false;
  }
  computePartCentroid(part);
  computePartBBox(part);
  computeFillRatio(part);
  computeAspectRatio(part);
  part.refPoint = vertex(part.outer, 0);
  part.rotation = 0.0;
  return true;
}

}  // namespace tarn
