#include "output_fixtures.h"

namespace tarn::test {

RadiusPolyline outline(std::initializer_list<Point> points, std::initializer_list<double> radii) {
  RadiusPolyline poly;
  setPolyline(poly, points, radii);
  return poly;
}

PartSource makeSource(int id, const std::string& name, const RadiusPolyline& outer) {
  PartSource source;
  initSource(source, outer, RadiusPolylineList{});
  setLabelText(source.nameLabel, name);
  source.id = id;
  return source;
}

Part makePart(int id, const std::string& name, const std::vector<Point>& outer) {
  Region region;
  setPoints(region, outer);
  Part part;
  setGeometry(part, region, RegionList{});
  setLabelText(part.nameLabel, name);
  part.nameLabel.x = outer.front().x;
  part.nameLabel.y = outer.front().y;
  part.id = id;
  return part;
}

Part squarePart(int id, const std::string& name, double x, double y, double size) {
  return makePart(id, name, {{x, y}, {x + size, y}, {x + size, y + size}, {x, y + size}});
}

void addSourcePart(PackingJob& job, const PartSource& source) {
  job.sources.insert(source);
  Part part;
  buildPart(source, part);
  job.trueParts.insert(part);
  job.workingParts.insert(part);
}

void addPart(PackingJob& job, const Part& part) {
  job.trueParts.insert(part);
  job.workingParts.insert(part);
}

std::string crlfLines(std::initializer_list<std::string> groups) {
  std::string joined;
  for (const std::string& group : groups) {
    std::size_t start = 0;
    for (std::size_t bar = group.find('|'); bar != std::string::npos;
         bar = group.find('|', start)) {
      joined.append(group, start, bar - start).append("\r\n");
      start = bar + 1;
    }
    joined.append(group, start, std::string::npos).append("\r\n");
  }
  return joined;
}

}  // namespace tarn::test
