#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "geometry/arc.h"
#include "geometry/point.h"
#include "geometry/region.h"
#include "geometry/text_label.h"

namespace tarn {

// Layers of the drawings we write, numbers written as text.
inline constexpr int kPlateLayer = 0;
inline constexpr int kOutlineLayer = 1;
inline constexpr int kNameLayer = 2;
inline constexpr int kInfoLayer = 3;
// Colour numbers (group 62) of part outlines.
inline constexpr int kTurnedOverColour = 2;  // yellow
inline constexpr int kUprightColour = 3;     // green

// printf "%g": six significant digits, no trailing zeros. Every double we
// write into a file goes through here, so the bytes match on every platform
// that shares the C library's exponent form (glibc: at least two digits).
std::string formatNumber(double value);

// The group-code writer of our ASCII DXF files: a code line, then a value
// line, every line ended by CR LF. Each entity writes its type name first and
// the "  0" that opens the next item last.
class DxfWriter {
 public:
  explicit DxfWriter(std::ostream& out) : out_(out) {}

  // "  0" SECTION "  2" ENTITIES "  0": the only section there is.
  void beginEntities();
  // ENDSEC "  0" EOF.
  void endFile();

  void line(int layer, const Point& from, const Point& to);
  void colouredLine(int layer, int colour, const Point& from, const Point& to);
  void arc(int layer, int colour, const Arc& arc);
  // The text is written byte for byte; angle in degrees.
  void text(int layer, const TextLabel& label);
  void point(int layer, const Point& p);

 private:
  // LINE, with group 62 only when there is a colour.
  void lineEntity(int layer, std::optional<int> colour, const Point& from, const Point& to);
  void put(std::string_view line);
  void put(int value);
  void put(double value);

  std::ostream& out_;
};

// The edges of a closed outline in vertex order, the last back to vertex 0.
void writeClosedOutline(DxfWriter& dxf, int layer, const Region& region);
void writeColouredOutline(DxfWriter& dxf, int layer, int colour, const Region& region);
// Straight edges as LINE, every edge with a radius as one ARC, however small.
void writeColouredOutline(DxfWriter& dxf, int layer, int colour, const RadiusPolyline& outline);

}  // namespace tarn
