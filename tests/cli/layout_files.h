#pragma once

#include <string>
#include <vector>

// Readers of what tarnpack writes, made apart from the core so that the tests
// check the files, not the code that wrote them.
namespace tarn::test {

struct XY {
  double x = 0.0;
  double y = 0.0;
};

using Polygon = std::vector<XY>;

// One part of the layout drawing: its outline entities (arcs sampled finely)
// chained into closed loops, the largest first, and the name written after them.
struct DrawnPart {
  std::string name;
  std::vector<Polygon> loops;
  double xmin = 0.0, xmax = 0.0, ymin = 0.0, ymax = 0.0;  // of the outer loop
};

struct LayoutDrawing {
  std::vector<DrawnPart> parts;
  std::vector<std::string> infoTexts;  // layer 3, in file order
  int plateLines = 0;                  // LINEs on layer 0
};

// Throws std::runtime_error when the drawing is not what the layout writer
// promises (pairs of lines, outlines that close, a name after every part).
LayoutDrawing readLayoutDrawing(const std::string& bytes);

struct ReportFigures {
  double packedLength = 0.0;
  std::string density;  // the text after "Packing density:"
  double packedArea = 0.0;
  int packedCount = -1;
  std::vector<std::string> names;  // as written (GBK bytes kept)
};

ReportFigures readReport(const std::string& bytes);

double polygonArea(const Polygon& polygon);  // absolute
// Outline minus holes.
double netArea(const DrawnPart& part);
// The material of the two parts shares an area: edges cross properly, or one
// part has a vertex inside the other's material. A part in a hole is apart.
bool partsOverlap(const DrawnPart& a, const DrawnPart& b);
// Smallest distance between the outlines of the two parts (all loops), or
// `limit` when they are at least that far apart.
double outlineDistance(const DrawnPart& a, const DrawnPart& b, double limit);

}  // namespace tarn::test
