#pragma once

#include <string>

#include "job/packing_job.h"
#include "output/layout_summary.h"

namespace tarn::cli {

// A picture of the job as the main window shows it: the plate, every true
// outline at its working copy's place (arcs kept as arcs where the job has
// part sources), the window's colours on a dark background, the packed-length
// line, the part names and a caption. y points up on the plate, as on screen.
std::string LayoutSvg(const PackingJob& job, const LayoutSummary& summary);

// Text made safe for XML character data and attribute values (UTF-8 in and out).
std::string xmlEscape(std::string_view text);

}  // namespace tarn::cli
