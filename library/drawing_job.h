#pragma once

// Jobs straight from drawings: a plate, a gap and drawings with their counts,
// without a library file of our own.

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "job/packing_job.h"

namespace tarn {

// A job from drawings holds at most this many parts, copies counted: beyond
// it a layout would run for days, and memory would run out long before a
// count such as 1,000,000,000 was made.
inline constexpr int kMaxDrawingJobParts = 10000;

struct DrawingOrder {
  // A drawing, or a folder standing for every drawing directly in it (names
  // ending in ".dxf" in any case), sorted by name.
  std::filesystem::path path;
  int count = 1;  // copies of the drawing, 1 to kMaxDrawingJobParts
};

struct DrawingJobRequest {
  double plateLength = 0.0;  // mm
  double plateWidth = 0.0;   // mm
  double partGap = 0.0;      // mm
  std::vector<DrawingOrder> drawings;
};

// Sets the plate size and gap, then reads each drawing once, in the order
// given, as the part list reader reads its drawings (readDrawingParts; the
// problems told through the notice hook, a drawing without parts skipped with
// "零件"<path>"读取失败!"), and adds `count` copies of its parts: ids count
// every part of every copy in that order, and job.partDrawings names the
// drawing of each. Throws CoreError on a plate side that is not a positive
// usable number, a gap that is negative or unusable, a count out of range, or
// more than kMaxDrawingJobParts parts in all (checked before any copy is made).
void readDrawingJob(PackingJob& job, const DrawingJobRequest& request);

struct PlateSize {
  double length = 0.0;  // mm
  double width = 0.0;   // mm
};

// "LENGTHxWIDTH" ("x" or "X"), e.g. "3000x1500" or "2500.5X1250": two
// positive usable numbers written whole; nothing when the text is not that.
std::optional<PlateSize> parsePlateSize(std::string_view text);

// "DRAWING" or "DRAWING:COUNT". A text naming an existing file or folder as a
// whole is the drawing (a name may hold a colon); otherwise what follows the
// last colon must be a count of 1 to kMaxDrawingJobParts in decimal digits.
// Nothing when the count is not that; whether the drawing exists is not checked.
std::optional<DrawingOrder> parseDrawingOrder(std::string_view text);

}  // namespace tarn
