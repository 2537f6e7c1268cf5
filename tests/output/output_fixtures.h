#pragma once

#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "app/packing_job.h"
#include "geometry/part.h"
#include "geometry/part_source.h"

namespace tarn::test {

// A job with the default plate whose error report goes to a string.
struct TestJob {
  std::ostringstream errors;
  PackingJob job{errors};
};

// An arc-preserving outline: vertices and the radius of the edge after each.
RadiusPolyline outline(std::initializer_list<Point> points, std::initializer_list<double> radii);
PartSource makeSource(int id, const std::string& name, const RadiusPolyline& outer);

// A straight-edged part with its vertices in the given order; refPoint is vertex 0.
Part makePart(int id, const std::string& name, const std::vector<Point>& outer);
Part squarePart(int id, const std::string& name, double x, double y, double size);

// Inserts the source and two built copies (true and working) at the front of
// the job's lists, as loading does.
void addSourcePart(PackingJob& job, const PartSource& source);
// Inserts the true part and a copy as its working part (a part list job).
void addPart(PackingJob& job, const Part& part);

// Each group holds lines separated by '|'; every line comes out ended by CR LF.
std::string crlfLines(std::initializer_list<std::string> groups);

}  // namespace tarn::test
