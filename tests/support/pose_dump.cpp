#include "support/pose_dump.h"

#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>

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
  Dump& operator<<(std::string_view text) {
    out_ += text;
    return *this;
  }
  Dump& operator<<(const char* text) { return *this << std::string_view(text); }
  Dump& operator<<(double value) {
    char number[32];
    std::snprintf(number, sizeof number, " %.17g", value);
    out_ += number;
    return *this;
  }
  Dump& operator<<(int value) { return *this << (" " + std::to_string(value)); }
  Dump& operator<<(bool value) { return *this << (value ? 1 : 0); }
  Dump& operator<<(const Point& p) { return *this << p.x << p.y << p.tol; }
  Dump& operator<<(const BBox& b) { return *this << b.xmin << b.xmax << b.ymin << b.ymax; }
  Dump& operator<<(const TextLabel& label) {
    return *this << (" [" + label.text + "]") << label.x << label.y << label.angle << label.height;
  }
  template <class Item>
  Dump& all(const Item& items) {
    for (const auto& item : items) {
      *this << item;
    }
    return *this;
  }
  Dump& operator<<(const Region& region) {
    return (*this << "\n  region" << region.area << region.bbox).all(region.points);
  }
  Dump& operator<<(const RadiusPolyline& polyline) {
    (*this << "\n  polyline").all(polyline.points) << " radii";
    return all(polyline.radii);
  }
  Dump& operator<<(const Part& part) {
    *this << "part" << part.id << part.nameLabel << part.thickLabel << part.area << part.bbox
          << part.centroid << part.chordTol << part.selected << part.turnedOver << part.refPoint
          << part.rotation << part.fillRatio << part.aspectRatio << part.outer;
    return all(part.holes) << "\n";
  }
  Dump& operator<<(const PartSource& source) {
    *this << "source" << source.id << source.nameLabel << source.chordTol << source.turnedOver
          << source.refPoint << source.rotation << source.area << source.centroid << source.outer;
    return all(source.holes) << "\n";
  }
  Dump& operator<<(const PackingPoint& point) {
    return *this << "point" << point.position << point.occupied << "\n";
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
  dump.all(job.packingPoints) << "sources\n";
  dump.all(job.sources) << "working\n";
  dump.all(job.workingParts) << "true\n";
  dump.all(job.trueParts);
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
