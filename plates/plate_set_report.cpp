#include "plates/plate_set_report.h"

#include <sstream>

#include "geometry/texts.h"
#include "output/dxf_writer.h"
#include "output/file_output.h"

namespace tarn {
namespace {

// "Packing density:84.5%", or "Packing density:Unknown" without a measure.
void writeDensity(std::ostream& out, const std::optional<double>& utilisation) {
  out << text::kReportDensity;
  if (utilisation) {
    out << formatNumber(*utilisation * 100.0) << '%';
  } else {
    out << text::kReportDensityUnknown;
  }
}

}  // namespace

std::string_view UnplacedReasonText(UnplacedReason reason) {
  switch (reason) {
    case UnplacedReason::LargerThanPlate:
      return text::kGbkLargerThanPlate;
    case UnplacedReason::NoRoom:
      return text::kGbkNoRoomOnPlate;
    case UnplacedReason::NoRoomOnEmptyPlate:
      return text::kGbkNoRoomOnEmptyPlate;
    case UnplacedReason::PlateLimit:
      return text::kGbkPlateLimitReached;
    case UnplacedReason::Stopped:
      return text::kGbkLayoutStopped;
  }
  return text::kGbkNoRoomOnPlate;
}

void WritePlateSetReport(const PlateSet& set, const PlateSetSummary& summary,
                         const std::vector<UnplacedPart>& unplaced, std::ostream& out) {
  const std::string_view end = text::kLineEnd;
  out << text::kSetReportPlates << set.plates.size() << end;
  if (!set.plates.empty()) {
    const NestParams& params = set.plates.front().params;
    out << text::kSetReportPlateSize << formatNumber(params.plateLength) << 'x'
        << formatNumber(params.plateWidth) << end;
  }
  for (std::size_t k = 0; k < summary.plates.size(); ++k) {
    const LayoutSummary& plate = summary.plates[k];
    out << text::kSetReportPlate << k + 1 << ':' << text::kReportPackedLength
        << formatNumber(plate.packedLength) << ',';
    writeDensity(out, plate.utilisation);
    out << ',' << text::kReportPackedArea << formatNumber(plate.packedArea) << ','
        << text::kGbkPackedCount << plate.packedCount << end;
  }
  writeDensity(out, summary.utilisation);
  out << end;
  out << text::kReportPackedArea << formatNumber(summary.packedArea) << end;
  out << text::kGbkPackedCount << summary.packedCount << end;
  out << text::kSetReportRemnant << formatNumber(summary.remnant.length) << 'x'
      << formatNumber(summary.remnant.width) << end;
  out << text::kGbkUnplacedCount << unplaced.size() << end;
  out << text::kGbkUnplacedNames << end;
  for (const UnplacedPart& part : unplaced) {
    out << part.name << ':' << UnplacedReasonText(part.reason) << end;
  }
}

void WritePlateSetReport(const PlateSet& set, const PlateSetSummary& summary,
                         const std::vector<UnplacedPart>& unplaced,
                         const std::filesystem::path& path) {
  std::ostringstream out;
  WritePlateSetReport(set, summary, unplaced, out);
  writeWholeFile(path, out.str(), text::kReportFileOpenError);
}

}  // namespace tarn
