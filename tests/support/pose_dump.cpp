#include "support/pose_dump.h"

#include <cstdio>
#include <sstream>
#include <string>

namespace tarn::test {

std::string dumpPoses(const PackingJob& job) {
  std::string dump;
  char line[160];
  for (const Part& part : job.workingParts) {
    std::snprintf(line, sizeof line, "%d %.17g %.17g %.17g %d\n", part.id, part.refPoint.x,
                  part.refPoint.y, part.rotation, part.turnedOver ? 1 : 0);
    dump += line;
  }
  return dump;
}

namespace {

class Dump {
 public:
  Dump& operator<<(const char* text) {
    out_ += text;
    return *this;
  }
  Dump& operator<<(const std::string& text) {
    out_ += text;
    return *this;
  }
  Dump& operator<<(double value) {
    char number[32];
    std::snprintf(number, sizeof number, " %.17g", value);
    out_ += number;
    return *this;
  }
  Dump& operator<<(int value) {
    out_ += " " + std::to_string(value);
    return *this;
  }
  Dump& operator<<(bool value) { return *this << (value ? 1 : 0); }
  Dump& operator<<(const Point& p) { return *this << p.x << p.y << p.tol; }
  Dump& operator<<(const BBox& b) { return *this << b.xmin << b.xmax << b.ymin << b.ymax; }
  Dump& operator<<(const TextLabel& label) {
    return *this << (" [" + label.text + "]") << label.x << label.y << label.angle << label.height;
  }
  Dump& operator<<(const Region& region) {
    *this << "\n  region" << region.area << region.bbox;
    for (const Point& p : region.points) {
      *this << p;
    }
    return *this;
  }
  Dump& operator<<(const RadiusPolyline& polyline) {
    *this << "\n  polyline";
    for (const Point& p : polyline.points) {
      *this << p;
    }
    *this << " radii";
    for (const double r : polyline.radii) {
      *this << r;
    }
    return *this;
  }
  Dump& operator<<(const Part& part) {
    *this << "part" << part.id << part.nameLabel << part.thickLabel << part.area << part.bbox
          << part.centroid << part.chordTol << part.selected << part.turnedOver << part.refPoint
          << part.rotation << part.fillRatio << part.aspectRatio << part.outer;
    for (const Region& hole : part.holes) {
      *this << hole;
    }
    return *this << "\n";
  }
  Dump& operator<<(const PartSource& source) {
    *this << "source" << source.id << source.nameLabel << source.chordTol << source.turnedOver
          << source.refPoint << source.rotation << source.area << source.centroid << source.outer;
    for (const RadiusPolyline& hole : source.holes) {
      *this << hole;
    }
    return *this << "\n";
  }
  std::string text() const { return out_; }

 private:
  std::string out_;
};

}  // namespace

std::string dumpJob(const PackingJob& job) {
  Dump dump;
  const NestParams& p = job.params;
  dump << "params" << p.plateLength << p.plateWidth << p.partGap << p.rotationNumber
       << p.packingPointDistance << p.allowTurnover << "\nplate " << job.plate.name
       << job.plate.length << job.plate.width << job.plate.area << "\nextents" << job.plateExtents
       << "\noutput " << job.outputFolder.string() << "\ngrid" << job.gridCountX << job.gridCountY
       << job.gridPending << static_cast<int>(job.packingPoints.size()) << "\n";
  for (const PackingPoint& point : job.packingPoints) {
    dump << "point" << point.position << point.occupied << "\n";
  }
  dump << "sources\n";
  for (const PartSource& source : job.sources) {
    dump << source;
  }
  dump << "working\n";
  for (const Part& part : job.workingParts) {
    dump << part;
  }
  dump << "true\n";
  for (const Part& part : job.trueParts) {
    dump << part;
  }
  return dump.text();
}

std::string firstDifference(const std::string& expected, const std::string& actual) {
  if (expected == actual) {
    return {};
  }
  std::istringstream a(expected);
  std::istringstream b(actual);
  std::string lineA;
  std::string lineB;
  for (int number = 1;; ++number) {
    const bool moreA = static_cast<bool>(std::getline(a, lineA));
    const bool moreB = static_cast<bool>(std::getline(b, lineB));
    if (!moreA && !moreB) {
      return "the texts differ in their line ends";
    }
    if (!moreA || !moreB || lineA != lineB) {
      return "line " + std::to_string(number) + ": expected \"" + (moreA ? lineA : "<end>") +
             "\", got \"" + (moreB ? lineB : "<end>") + "\"";
    }
  }
}

}  // namespace tarn::test
