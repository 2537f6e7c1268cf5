#include "output/packing_report.h"

#include <sstream>

#include "geometry/notify.h"
#include "geometry/predicates.h"
#include "geometry/texts.h"
#include "job/job_operations.h"
#include "job/placed_part.h"
#include "output/dxf_writer.h"
#include "output/file_output.h"

namespace tarn {

namespace {

constexpr int kNamesPerLine = 10;

// Marks the parts in conflict; they stay selected for the window to show.
void markConflicts(PackingJob& job) {
  SelectNone(job);
  if (!FindUnfitParts(job)) {
    notifyWarning(text::kPartsConflictInPlate);
  }
  if (SelectStraddlingParts(job)) {
    notifyWarning(text::kWaitingPartsCrossPlate);
  }
}

// The true outlines of the packed parts at their places, each inserted at the
// front: the reverse of the trueParts order.
PartList placedPackedParts(const PackingJob& job) {
  PartList placed;
  const PartLookup parts(job);
  for (const Part& truePart : job.trueParts) {
    const Part* workingCopy = parts.workingCopy(truePart.id);
    if (workingCopy != nullptr && withinRect(*workingCopy, job.plateExtents)) {
      placed.insert(placedPart(truePart, *workingCopy));
    }
  }
  return placed;
}

}  // namespace

void WritePackingReport(PackingJob& job, std::ostream& out) {
  markConflicts(job);
  PartList placed = placedPackedParts(job);

  double area = 0.0;
  double length = 0.0;
  for (Part& part : placed) {
    area += part.area;
    const double xmax = computeBBox(part.outer).xmax;
    if (xmax > length) {
      length = xmax;
    }
  }

  const std::string_view end = text::kLineEnd;
  out << text::kReportPackedLength << formatNumber(length) << end;
  out << text::kReportDensity;
  // No packed part (or none reaching past x = 0) leaves no length to measure against.
  if (length != 0.0) {
    out << formatNumber(area / (length * job.params.plateWidth) * 100.0) << '%';
  } else {
    out << text::kReportDensityUnknown;
  }
  out << end;
  out << text::kReportPackedArea << formatNumber(area) << end;
  out << text::kGbkPackedCount << placed.count() << end;
  out << text::kGbkPackedNames << end;

  int written = 0;
  for (const Part& part : placed) {
    out << part.nameLabel.text;
    ++written;
    if (written % kNamesPerLine == 0 || written == placed.count()) {
      out << end;
    } else {
      out << ',';
    }
  }
}

void WritePackingReport(PackingJob& job, const std::filesystem::path& path) {
  std::ostringstream out;
  WritePackingReport(job, out);
  writeWholeFile(path, out.str(), text::kReportFileOpenError);
}

}  // namespace tarn
