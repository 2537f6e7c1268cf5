#pragma once

#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/part.h"
#include "geometry/predicates.h"
#include "geometry/region.h"
#include "job/nest_params.h"
#include "job/packing_job.h"

namespace tarn::test {

using Outline = std::vector<Point>;

inline Region regionOf(const Outline& outline) {
  Region result;
  setPoints(result, outline);
  return result;
}

inline Part makePart(const Outline& outer, std::initializer_list<Outline> holes = {}) {
  RegionList holeList;
  for (const Outline& hole : holes) {
    holeList.insert(regionOf(hole));
  }
  Part part;
  setGeometry(part, regionOf(outer), holeList);
  return part;
}

inline Outline rectangle(double x, double y, double w, double h) {
  return {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
}

inline Part rectanglePart(double x, double y, double w, double h) {
  return makePart(rectangle(x, y, w, h));
}

// The region between the corners (x0, y0) and (x1, y1).
inline Region box(double x0, double y0, double x1, double y1) {
  return regionOf({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

// Waiting: the box's top left corner at (x, 0), right of the plate.
inline Part waiting(const Outline& outer, std::initializer_list<Outline> holes = {},
                    double x = 10000) {
  Part part = makePart(outer, holes);
  translate(part, x - part.bbox.xmin, -part.bbox.ymax);
  return part;
}

// Waiting and selected.
inline Part parked(const Outline& outline, double x = 10000) {
  Part part = waiting(outline, {}, x);
  part.selected = true;
  return part;
}

// Legs below a bar: area 50,000 in a 300 x 250 box; the anchor (50, 125) lies on
// the box's middle line, 31.25 below the centroid.
inline Outline archShape(double notchLeft = 50, double notchRight = 250, double width = 300) {
  return {{0, 0},          {notchLeft, 0}, {notchLeft, 125}, {notchRight, 125},
          {notchRight, 0}, {width, 0},     {width, 250},     {0, 250}};
}

// A text library's block of a `w` x `h` rectangle named `name`.
inline std::string rectangleText(const std::string& name, double w, double h) {
  std::ostringstream text;
  text << "NAME " << name << "\n5 0 0\n0 " << w << " 0\n0 " << w << ' ' << h << "\n0 0 " << h
       << "\n0\n";
  return text.str();
}

// A job on a plate of the given size with its own error stream.
struct TestJob {
  explicit TestJob(double length = 6000.0, double width = 4000.0, double distance = 30.0) {
    job.params = {.plateLength = length, .plateWidth = width, .packingPointDistance = distance};
    setPlateSize(job, length, width);
    resetPlateExtents(job);
  }

  // The parts are walked in the order given.
  void add(const std::vector<Part>& parts) {
    for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
      job.workingParts.insert(*it);
    }
  }

  Part& part(int index) { return *std::next(job.workingParts.begin(), index); }
  bool laidOut(const Part& p) const { return withinRect(p, job.plateExtents); }

  std::ostringstream report;
  PackingJob job{report};
};

}  // namespace tarn::test
