#include "output/layout_summary.h"

#include "geometry/part_source.h"
#include "geometry/predicates.h"
#include "job/placed_part.h"

namespace tarn {

namespace {

// The largest x of the true outline at the working copy's place; arcs are
// discretised as the layout drawing measures them.
std::optional<double> placedXmax(const PackingJob& job, const Part& workingCopy) {
  if (const PartSource* source = findSource(job, workingCopy.id)) {
    Part built;
    buildPart(placedSource(*source, workingCopy), built);
    return built.bbox.xmax;
  }
  if (const Part* truePart = findTruePart(job, workingCopy.id)) {
    Part placed = placedPart(*truePart, workingCopy);
    return computeBBox(placed.outer).xmax;
  }
  return std::nullopt;
}

}  // namespace

std::optional<double> TrueNetArea(const PackingJob& job, int id) {
  if (const PartSource* source = findSource(job, id)) {
    return source->area;
  }
  if (const Part* truePart = findTruePart(job, id)) {
    return truePart->area;
  }
  return std::nullopt;
}

LayoutSummary SummariseLayout(const PackingJob& job) {
  LayoutSummary summary;
  for (const Part& workingPart : job.workingParts) {
    if (!withinRect(workingPart, job.plateExtents)) {
      continue;
    }
    ++summary.packedCount;
    const std::optional<double> area = TrueNetArea(job, workingPart.id);
    const std::optional<double> xmax = placedXmax(job, workingPart);
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
