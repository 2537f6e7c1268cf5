#include "output/layout_dxf.h"

#include <cstdio>
#include <sstream>
#include <string>

#include "geometry/texts.h"
#include "job/placed_part.h"
#include "output/dxf_writer.h"
#include "output/file_output.h"
#include "output/layout_summary.h"

namespace tarn {

namespace {

constexpr std::size_t kTextBuffer = 100;     // bytes, the terminating zero included
constexpr double kTextHeightDivisor = 50.0;  // text height = plate width / 50

// A placed Part or PartSource: its outlines in the working copy's colour, then its name.
template <class Shape>
void writePlaced(DxfWriter& dxf, const Shape& placed, const Part& workingCopy) {
  const int colour = workingCopy.turnedOver ? kTurnedOverColour : kUprightColour;
  writeColouredOutline(dxf, kOutlineLayer, colour, placed.outer);
  for (const auto& hole : placed.holes) {
    writeColouredOutline(dxf, kOutlineLayer, colour, hole);
  }
  dxf.text(kNameLayer, placed.nameLabel);
}

void writeSources(const PackingJob& job, const PartLookup& parts, DxfWriter& dxf) {
  for (const PartSource& source : job.sources) {
    if (const Part* workingCopy = parts.workingCopy(source.id)) {
      writePlaced(dxf, placedSource(source, *workingCopy), *workingCopy);
    }
  }
}

// A part list job keeps no arcs: its parts are written from their true
// outlines. Any other job has a source for every true part and writes none here.
void writeTruePartsWithoutSource(const PackingJob& job, const PartLookup& parts, DxfWriter& dxf) {
  for (const Part& truePart : job.trueParts) {
    if (parts.source(truePart.id) != nullptr) {
      continue;
    }
    if (const Part* workingCopy = parts.workingCopy(truePart.id)) {
      writePlaced(dxf, placedPart(truePart, *workingCopy), *workingCopy);
    }
  }
}

template <class... Args>
std::string formatText(std::string_view format, Args... args) {
  char buffer[kTextBuffer];
  std::snprintf(buffer, sizeof buffer, format.data(), args...);
  return buffer;
}

void writeInfoText(DxfWriter& dxf, double x, double y, double height, std::string text) {
  TextLabel label;
  label.text = std::move(text);
  label.x = x;
  label.y = y;
  label.angle = 0.0;
  label.height = height;
  dxf.text(kInfoLayer, label);
}

}  // namespace

void WriteLayoutDxf(PackingJob& job, std::ostream& out) {
  const double length = job.params.plateLength;
  const double width = job.params.plateWidth;
  DxfWriter dxf(out);
  dxf.beginEntities();

  dxf.line(kPlateLayer, Point{0.0, 0.0}, Point{length, 0.0});
  dxf.line(kPlateLayer, Point{length, 0.0}, Point{length, width});
  dxf.line(kPlateLayer, Point{length, width}, Point{0.0, width});
  dxf.line(kPlateLayer, Point{0.0, width}, Point{0.0, 0.0});

  const PartLookup parts(job);
  writeSources(job, parts, dxf);
  writeTruePartsWithoutSource(job, parts, dxf);

  // Measured on the true outlines at the working copies' places, not on the grown working copies.
  const LayoutSummary packed = SummariseLayout(job);
  dxf.line(kInfoLayer, Point{packed.packedLength, width}, Point{packed.packedLength, 0.0});

  const double height = width / kTextHeightDivisor;
  writeInfoText(dxf, length, width, height, formatText(text::kDxfPlateSize, length, width));
  const std::string utilisation =
      packed.utilisation
          ? formatText(text::kDxfUtilisation, packed.packedLength, *packed.utilisation * 100.0)
          : formatText(text::kDxfUtilisationUnknown, packed.packedLength);
  writeInfoText(dxf, packed.packedLength, width - 2.0 * height, height, utilisation);
  writeInfoText(dxf, packed.packedLength, width - 4.0 * height, height,
                formatText(text::kDxfPackedParts, packed.packedCount, packed.packedArea));

  dxf.endFile();
}

void WriteLayoutDxf(PackingJob& job, const std::filesystem::path& path) {
  std::ostringstream out;
  WriteLayoutDxf(job, out);
  writeWholeFile(path, out.str(), text::kLayoutFileWriteFailed);
}

}  // namespace tarn
