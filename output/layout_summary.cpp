#include "output/layout_summary.h"

#include "geometry/part_source.h"
#include "geometry/predicates.h"
#include "job/placed_part.h"

namespace tarn {

namespace {

// The largest x of the true outline at the working copy's place; arcs are
// discretised as the layout drawing measures them.
std::optional<double> placedXmax(const PartLookup& parts, const Part& workingCopy) {
  if (const PartSource* source = parts.source(workingCopy.id)) {
    Part built;
    buildPart(placedSource(*source, workingCopy), built);
    return built.bbox.xmax;
  }
  if (const Part* truePart = parts.truePart(workingCopy.id)) {
    Part placed = placedPart(*truePart, workingCopy);
    return computeBBox(placed.outer).xmax;
  }
  return std::nullopt;
}

}  // namespace

std::optional<double> TrueNetArea(const PackingJob& job, int id) {
  return TrueNetArea(PartLookup(job), id);
}

std::optional<double> TrueNetArea(const PartLookup& parts, int id) {
  if (const PartSource* source = parts.source(id)) {
    return source->area;
  }
  if (const Part* truePart = parts.truePart(id)) {
    return truePart->area;
  }
  return std::nullopt;
}

LayoutSummary SummariseLayout(const PackingJob& job) {
  LayoutSummary summary;
  const PartLookup parts(job);
  for (const Part& workingPart : job.workingParts) {
    if (!withinRect(workingPart, job.plateExtents)) {
      continue;
    }
    ++summary.packedCount;
    const std::optional<double> area = TrueNetArea(parts, workingPart.id);
    const std::optional<double> xmax = placedXmax(parts, workingPart);
    if (!area || !xmax) {
      continue;
    }
    summary.packedArea += *area;
    // Replaced only by a strictly larger value, as the drawing does.
    if (*xmax > summary.packedLength) {
      summary.packedLength = *xmax;
    }
  }
  if (summary.packedLength != 0.0) {
    summary.utilisation = summary.packedArea / (summary.packedLength * job.params.plateWidth);
  }
  return summary;
}

}  // namespace tarn
