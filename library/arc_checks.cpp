#include "library/arc_checks.h"

#include <algorithm>
#include <cmath>
#include <locale>
#include <optional>
#include <sstream>
#include <string>

#include "geometry/point.h"
#include "geometry/texts.h"

namespace tarn {
namespace {

constexpr double kRadiusRepairStep = 0.1;  // mm, tried once per arc

// The report is formatted aside in the classic locale, then written whole.
std::ostringstream reportLine() {
  std::ostringstream line;
  line.imbue(std::locale::classic());
  return line;
}

void writeArcAlarmPrefix(std::ostream& line, const Point& s, const Point& e) {
  line << text::kGbkArcAlarmStart << s.x << ',' << s.y << text::kGbkArcAlarmEnd << e.x << ',' << e.y
       << text::kGbkArcAlarmClose;
}

// Lines 2 and 3: the chord is longer than the diameter.
void writeUnbuildable(std::ostream& stream, const Point& s, const Point& e, double radius,
                      std::string_view ending) {
  std::ostringstream line = reportLine();
  writeArcAlarmPrefix(line, s, e);
  const double r = std::fabs(radius);
  line << text::kGbkDistanceDetail << distance(s, e) << text::kGbkTwiceRadius << r << '=' << 2.0 * r
       << ending << text::kLineEnd;
  stream << line.str();
}

void writeBelowChordTol(std::ostream& stream, const Point& s, const Point& e, double radius,
                        double h) {
  std::ostringstream line = reportLine();
  writeArcAlarmPrefix(line, s, e);
  line << text::kGbkRadiusDetail << std::fabs(radius) << text::kGbkBelowChordTol << h
       << text::kGbkRadiusTooSmall << text::kLineEnd;
  stream << line.str();
}

const Point& edgeEnd(const RadiusPolyline& polyline, std::size_t i) {
  return polyline.points[(i + 1) % polyline.points.size()];
}

// The first arc edge that cannot be built, or (with `h`) whose |R| is not above
// h, is reported and gives false.
bool checkArcs(const RadiusPolyline& polyline, std::string_view unbuildable,
               std::optional<double> h, std::ostream& stream) {
  const std::size_t n = std::min(polyline.points.size(), polyline.radii.size());
  for (std::size_t i = 0; i < n; ++i) {
    const double radius = polyline.radii[i];
    if (radius == 0.0) {
      continue;
    }
    const Point& s = polyline.points[i];
    const Point& e = edgeEnd(polyline, i);
    if (!arcPossible(s, e, radius)) {
      writeUnbuildable(stream, s, e, radius, unbuildable);
      return false;
    }
    if (h && !(std::fabs(radius) > *h)) {
      writeBelowChordTol(stream, s, e, radius, *h);
      return false;
    }
  }
  return true;
}

}  // namespace

void writeReportLine(std::ostream& stream, std::string_view text) {
  std::string line(text);
  line += text::kLineEnd;
  stream << line;
}

void writePartTrailer(std::ostream& stream, std::string_view name) {
  std::string line(text::kGbkErrorsInPart);
  line += name;
  writeReportLine(stream, line);
}

bool checkArcsBuildable(const RadiusPolyline& polyline, std::ostream& stream) {
  return checkArcs(polyline, text::kGbkArcNotBuilt, std::nullopt, stream);
}

bool checkArcsAgainstChord(const RadiusPolyline& polyline, double h, std::ostream& stream) {
  return checkArcs(polyline, text::kGbkArcBuildFailed, h, stream);
}

bool repairArcs(RadiusPolyline& polyline, std::ostream& stream) {
  const std::size_t n = std::min(polyline.points.size(), polyline.radii.size());
  for (std::size_t i = 0; i < n; ++i) {
    const double radius = polyline.radii[i];
    const Point& s = polyline.points[i];
    const Point& e = edgeEnd(polyline, i);
    if (radius == 0.0 || arcPossible(s, e, radius)) {
      continue;
    }
    writeReportLine(stream, text::kGbkRepairNeeded);
    const double enlarged = radius > 0.0 ? radius + kRadiusRepairStep : radius - kRadiusRepairStep;
    if (!arcPossible(s, e, enlarged)) {
      writeReportLine(stream, text::kGbkRepairFailed);
      return false;
    }
    polyline.radii[i] = enlarged;
    writeReportLine(stream, text::kGbkRepairDone);
  }
  return true;
}

bool checkSourceArcs(const PartSource& source, std::ostream& stream) {
  bool passed = checkArcsAgainstChord(source.outer, source.chordTol, stream);
  for (auto hole = source.holes.begin(); passed && hole != source.holes.end(); ++hole) {
    passed = checkArcsAgainstChord(*hole, source.chordTol, stream);
  }
  if (!passed) {
    writePartTrailer(stream, source.nameLabel.text);
  }
  return passed;
}

bool checkSourceArea(const PartSource& source, std::ostream& stream) {
  if (source.area > 0.0 && std::isfinite(source.area)) {
    return true;
  }
  writeReportLine(stream, text::kGbkNetAreaNotPositive);
  writePartTrailer(stream, source.nameLabel.text);
  return false;
}

}  // namespace tarn
