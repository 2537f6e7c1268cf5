#include "output/dxf_writer.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "geometry/texts.h"

namespace tarn {

namespace {

constexpr std::string_view kCodeType = "  0";
constexpr std::string_view kCodeText = "  1";
constexpr std::string_view kCodeName = "  2";
constexpr std::string_view kCodeLayer = "  8";
constexpr std::string_view kCodeX = " 10";
constexpr std::string_view kCodeY = " 20";
constexpr std::string_view kCodeZ = " 30";
constexpr std::string_view kCodeX2 = " 11";
constexpr std::string_view kCodeY2 = " 21";
constexpr std::string_view kCodeZ2 = " 31";
constexpr std::string_view kCodeSize = " 40";   // radius or text height
constexpr std::string_view kCodeAngle = " 50";  // start angle or text rotation
constexpr std::string_view kCodeEndAngle = " 51";
constexpr std::string_view kCodeColour = " 62";
// LINE, ARC and POINT carry a literal z; TEXT carries the integer 0.
constexpr std::string_view kFlatZ = "0.0";
constexpr int kTextZ = 0;

bool finiteArc(const Arc& arc) {
  return std::isfinite(arc.centre.x) && std::isfinite(arc.centre.y) && std::isfinite(arc.radius) &&
         std::isfinite(arc.startAngle) && std::isfinite(arc.endAngle);
}

// The arc of an edge with a radius; nothing for a straight edge or an arc that
// cannot be built (its warning has been shown), which are written as their chord.
std::optional<Arc> edgeArc(const Point& start, const Point& end, double radius) {
  if (radius == 0.0) {
    return std::nullopt;
  }
  if (std::optional<Arc> arc = arcFromChord(start, end, radius); arc && finiteArc(*arc)) {
    return arc;
  }
  return std::nullopt;
}

}  // namespace

std::string formatNumber(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

void DxfWriter::put(std::string_view line) {
  out_ << line << text::kLineEnd;
}

void DxfWriter::put(int value) {
  put(std::to_string(value));
}

void DxfWriter::put(double value) {
  put(formatNumber(value));
}

void DxfWriter::beginEntities() {
  put(kCodeType);
  put("SECTION");
  put(kCodeName);
  put("ENTITIES");
  put(kCodeType);
}

void DxfWriter::endFile() {
  put("ENDSEC");
  put(kCodeType);
  put("EOF");
}

void DxfWriter::line(int layer, const Point& from, const Point& to) {
  lineEntity(layer, std::nullopt, from, to);
}

void DxfWriter::colouredLine(int layer, int colour, const Point& from, const Point& to) {
  lineEntity(layer, colour, from, to);
}

void DxfWriter::lineEntity(int layer, std::optional<int> colour, const Point& from,
                           const Point& to) {
  put("LINE");
  put(kCodeLayer);
  put(layer);
  if (colour) {
    put(kCodeColour);
    put(*colour);
  }
  put(kCodeX);
  put(from.x);
  put(kCodeY);
  put(from.y);
  put(kCodeZ);
  put(kFlatZ);
  put(kCodeX2);
  put(to.x);
  put(kCodeY2);
  put(to.y);
  put(kCodeZ2);
  put(kFlatZ);
  put(kCodeType);
}

void DxfWriter::arc(int layer, int colour, const Arc& arc) {
  put("ARC");
  put(kCodeLayer);
  put(layer);
  put(kCodeColour);
  put(colour);
  put(kCodeX);
  put(arc.centre.x);
  put(kCodeY);
  put(arc.centre.y);
  put(kCodeZ);
  put(kFlatZ);
  put(kCodeSize);
  put(arc.radius);
  put(kCodeAngle);
  put(arc.startAngle);
  put(kCodeEndAngle);
  put(arc.endAngle);
  put(kCodeType);
}

void DxfWriter::text(int layer, const TextLabel& label) {
  put("TEXT");
  put(kCodeLayer);
  put(layer);
  put(kCodeX);
  put(label.x);
  put(kCodeY);
  put(label.y);
  put(kCodeZ);
  put(kTextZ);
  put(kCodeSize);
  put(label.height);
  put(kCodeText);
  put(std::string_view(label.text));
  put(kCodeAngle);
  put(label.angle);
  put(kCodeType);
}

void DxfWriter::point(int layer, const Point& p) {
  put("POINT");
  put(kCodeLayer);
  put(layer);
  put(kCodeX);
  put(p.x);
  put(kCodeY);
  put(p.y);
  put(kCodeZ);
  put(kFlatZ);
  put(kCodeType);
}

void writeClosedOutline(DxfWriter& dxf, int layer, const Region& region) {
  const std::size_t n = region.points.size();
  for (std::size_t i = 0; i < n; ++i) {
    dxf.line(layer, region.points[i], region.points[(i + 1) % n]);
  }
}

void writeColouredOutline(DxfWriter& dxf, int layer, int colour, const Region& region) {
  const std::size_t n = region.points.size();
  for (std::size_t i = 0; i < n; ++i) {
    dxf.colouredLine(layer, colour, region.points[i], region.points[(i + 1) % n]);
  }
}

void writeColouredOutline(DxfWriter& dxf, int layer, int colour, const RadiusPolyline& outline) {
  const std::size_t n = outline.points.size();
  for (std::size_t i = 0; i < n; ++i) {
    const Point& start = outline.points[i];
    const Point& end = outline.points[(i + 1) % n];
    const double radius = i < outline.radii.size() ? outline.radii[i] : 0.0;
    if (const std::optional<Arc> arc = edgeArc(start, end, radius)) {
      dxf.arc(layer, colour, *arc);
    } else {
      dxf.colouredLine(layer, colour, start, end);
    }
  }
}

}  // namespace tarn
