#pragma once

#include <optional>

#include "job/packing_job.h"
#include "job/placed_part.h"

namespace tarn {

// The figures the layout drawing states, for front ends that show them
// elsewhere (the command line's summary, a status line): measured on the true
// outlines placed at their working copies, not on the grown working copies.
struct LayoutSummary {
  int packedCount = 0;        // working parts inside the plate (withinRect)
  double packedLength = 0.0;  // mm, largest x of a packed true outline; 0 when none
  double packedArea = 0.0;    // mm², net true area of the packed parts
  // packedArea / (packedLength × plate width); none while packedLength is 0.
  std::optional<double> utilisation;
};

LayoutSummary SummariseLayout(const PackingJob& job);

// The net area the layout drawing counts for the part with this id: its
// source's area, else its true part's (part list jobs keep no sources).
std::optional<double> TrueNetArea(const PackingJob& job, int id);
// The same through a lookup of the job's parts, for a loop over all of them.
std::optional<double> TrueNetArea(const PartLookup& parts, int id);

}  // namespace tarn
