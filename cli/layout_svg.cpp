#include "cli/layout_svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string_view>

#include "cli/summary.h"
#include "cli/text_encoding.h"
#include "geometry/part_source.h"
#include "job/placed_part.h"
#include "output/dxf_writer.h"

namespace tarn::cli {

namespace {

// The main window's palette.
constexpr std::string_view kBackground = "#000000";
constexpr std::string_view kPlateColour = "#0000ff";
constexpr std::string_view kPlateFill = "#0b0b26";
constexpr std::string_view kSelectedColour = "#ff0000";
constexpr std::string_view kTurnedOverColour = "#ffff00";
constexpr std::string_view kUprightColour = "#00ff00";
constexpr std::string_view kLengthLineColour = "#ffffff";
constexpr std::string_view kNameColour = "#d8d8d8";

constexpr double kPictureWidthPx = 1200.0;
constexpr double kMarginRatio = 0.03;         // of the larger extent side
constexpr double kCaptionHeightRatio = 0.03;  // of the plate width, and at least...
constexpr double kMinCaptionHeightPx = 14.0;  // ...this many pixels of the picture
constexpr double kNameWidthPerChar = 0.75;    // of the font size, a sans-serif face with room
constexpr double kMinNamePx = 4.0;            // smaller names are left out

std::string number(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3f", value);
  std::string text = buffer;
  text.erase(text.find_last_not_of('0') + 1);
  if (!text.empty() && text.back() == '.') {
    text.pop_back();
  }
  return text == "-0" ? "0" : text;
}

// World millimetres to picture coordinates: y flips so the plate stands as on screen.
std::string pointText(const Point& p) {
  return number(p.x) + "," + number(-p.y);
}

void appendOutline(std::ostringstream& path, const RadiusPolyline& outline) {
  const int count = outline.count();
  if (count == 0) {
    return;
  }
  path << 'M' << pointText(outline.points[0]);
  for (int i = 0; i < count; ++i) {
    const Point& to = outline.points[static_cast<std::size_t>((i + 1) % count)];
    const double radius = outline.radii[static_cast<std::size_t>(i)];
    if (radius == 0.0) {
      path << " L" << pointText(to);
      continue;
    }
    // The shorter arc; a positive radius turns counter-clockwise on the plate,
    // which the flipped y shows as SVG's negative sweep direction.
    const std::string r = number(std::abs(radius));
    path << " A" << r << ',' << r << " 0 0 " << (radius > 0.0 ? 0 : 1) << ' ' << pointText(to);
  }
  path << " Z ";
}

void appendOutline(std::ostringstream& path, const Region& region) {
  if (region.points.empty()) {
    return;
  }
  path << 'M' << pointText(region.points.front());
  for (std::size_t i = 1; i < region.points.size(); ++i) {
    path << " L" << pointText(region.points[i]);
  }
  path << " Z ";
}

std::string_view outlineColour(const Part& workingCopy) {
  if (workingCopy.selected) {
    return kSelectedColour;
  }
  return workingCopy.turnedOver ? kTurnedOverColour : kUprightColour;
}

struct Extent {
  double xmin = 0.0;
  double xmax = 0.0;
  double ymin = 0.0;
  double ymax = 0.0;

  void include(const BBox& box) {
    xmin = std::min(xmin, box.xmin);
    xmax = std::max(xmax, box.xmax);
    ymin = std::min(ymin, box.ymin);
    ymax = std::max(ymax, box.ymax);
  }
};

std::string captionText(const PackingJob& job, const LayoutSummary& summary) {
  std::ostringstream caption;
  caption << "Plate " << formatNumber(job.params.plateLength) << " x "
          << formatNumber(job.params.plateWidth) << " mm  |  Packed length "
          << formatNumber(summary.packedLength) << " mm  |  Utilisation "
          << utilisationText(summary) << "  |  " << summary.packedCount << " of "
          << job.workingParts.count() << " parts packed";
  return caption.str();
}

void writeName(std::ostringstream& svg, const Part& workingCopy, double strokeWidth) {
  const std::string name = toUtf8(workingCopy.nameLabel.text);
  if (name.empty()) {
    return;
  }
  const BBox& box = workingCopy.bbox;
  const double width = box.xmax - box.xmin;
  const double height = box.ymax - box.ymin;
  // Fits the name inside the part's box, never larger than the part's own label.
  const double fit = width / (kNameWidthPerChar * static_cast<double>(name.size()));
  const double size = std::min({workingCopy.nameLabel.height, fit, height * 0.4});
  if (!(size >= kMinNamePx * strokeWidth)) {
    return;
  }
  const Point centre{(box.xmin + box.xmax) / 2.0, (box.ymin + box.ymax) / 2.0};
  svg << "<text x=\"" << number(centre.x) << "\" y=\"" << number(-centre.y) << "\" font-size=\""
      << number(size) << "\">" << xmlEscape(name) << "</text>\n";
}

}  // namespace

std::string xmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        // XML 1.0 allows no control characters but tab, line feed and return.
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') {
          out += ' ';
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string LayoutSvg(const PackingJob& job, const LayoutSummary& summary) {
  const double length = job.params.plateLength;
  const double width = job.params.plateWidth;

  // A plate side below zero (loaded after a warning) still spans from 0 to it.
  const Extent plate{std::min(0.0, length), std::max(0.0, length), std::min(0.0, width),
                     std::max(0.0, width)};
  Extent extent = plate;
  for (const Part& part : job.workingParts) {
    extent.include(part.bbox);
  }
  const double side = std::max(extent.xmax - extent.xmin, extent.ymax - extent.ymin);
  const double margin = side * kMarginRatio;
  const double pixel = (extent.xmax - extent.xmin + 2.0 * margin) / kPictureWidthPx;
  const double captionSize = std::max(width * kCaptionHeightRatio, kMinCaptionHeightPx * pixel);
  // Room above the plate for the caption line.
  extent.ymax = std::max(extent.ymax, width + captionSize * 2.0);

  const double viewX = extent.xmin - margin;
  const double viewY = -(extent.ymax + margin);
  const double viewW = extent.xmax - extent.xmin + 2.0 * margin;
  const double viewH = extent.ymax - extent.ymin + 2.0 * margin;
  const double heightPx = std::round(kPictureWidthPx * viewH / viewW);

  std::ostringstream svg;
  svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << number(kPictureWidthPx)
      << "\" height=\"" << number(heightPx) << "\" viewBox=\"" << number(viewX) << ' '
      << number(viewY) << ' ' << number(viewW) << ' ' << number(viewH) << "\">\n";
  svg << "<title>TarnPacking layout</title>\n";
  svg << "<rect x=\"" << number(viewX) << "\" y=\"" << number(viewY) << "\" width=\""
      << number(viewW) << "\" height=\"" << number(viewH) << "\" fill=\"" << kBackground
      << "\"/>\n";
  svg << "<rect id=\"plate\" x=\"" << number(plate.xmin) << "\" y=\"" << number(-plate.ymax)
      << "\" width=\"" << number(plate.xmax - plate.xmin) << "\" height=\""
      << number(plate.ymax - plate.ymin) << "\" fill=\"" << kPlateFill << "\" stroke=\""
      << kPlateColour << "\" stroke-width=\"" << number(pixel * 2.0) << "\"/>\n";

  svg << "<g id=\"parts\" fill-rule=\"evenodd\" fill-opacity=\"0.18\" stroke-width=\""
      << number(pixel) << "\">\n";
  // The window's order: true parts as listed, each at its working copy.
  const PartLookup parts(job);
  for (const Part& truePart : job.trueParts) {
    const Part* workingCopy = parts.workingCopy(truePart.id);
    if (workingCopy == nullptr) {
      continue;
    }
    std::ostringstream path;
    if (const PartSource* source = parts.source(truePart.id)) {
      const PartSource placed = placedSource(*source, *workingCopy);
      appendOutline(path, placed.outer);
      for (const RadiusPolyline& hole : placed.holes) {
        appendOutline(path, hole);
      }
    } else {
      const Part placed = placedPart(truePart, *workingCopy);
      appendOutline(path, placed.outer);
      for (const Region& hole : placed.holes) {
        appendOutline(path, hole);
      }
    }
    const std::string_view colour = outlineColour(*workingCopy);
    svg << "<path data-id=\"" << truePart.id << "\" fill=\"" << colour << "\" stroke=\"" << colour
        << '"';
    if (workingCopy->selected) {
      svg << " stroke-width=\"" << number(pixel * 2.0) << '"';
    }
    svg << " d=\"" << path.str() << "\"/>\n";
  }
  svg << "</g>\n";

  if (summary.packedLength > 0.0) {
    svg << "<line id=\"packed-length\" x1=\"" << number(summary.packedLength) << "\" y1=\""
        << number(-width) << "\" x2=\"" << number(summary.packedLength) << "\" y2=\"0\" stroke=\""
        << kLengthLineColour << "\" stroke-width=\"" << number(pixel * 1.5)
        << "\" stroke-dasharray=\"" << number(pixel * 8.0) << ',' << number(pixel * 5.0)
        << "\"/>\n";
  }

  svg << "<g id=\"names\" font-family=\"sans-serif\" fill=\"" << kNameColour
      << "\" text-anchor=\"middle\" dominant-baseline=\"central\">\n";
  for (const Part& truePart : job.trueParts) {
    if (const Part* workingCopy = parts.workingCopy(truePart.id)) {
      writeName(svg, *workingCopy, pixel);
    }
  }
  svg << "</g>\n";

  svg << "<text id=\"caption\" x=\"0\" y=\"" << number(-(width + captionSize * 0.6))
      << "\" font-family=\"sans-serif\" font-size=\"" << number(captionSize) << "\" fill=\""
      << kLengthLineColour << "\">" << xmlEscape(captionText(job, summary)) << "</text>\n";
  svg << "</svg>\n";
  return svg.str();
}

}  // namespace tarn::cli
