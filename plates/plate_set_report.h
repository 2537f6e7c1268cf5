#pragma once

#include <filesystem>
#include <ostream>
#include <string_view>
#include <vector>

#include "plates/plate_set.h"
#include "plates/unplaced_parts.h"

namespace tarn {

// The reason as the set's report writes it (GBK).
std::string_view UnplacedReasonText(UnplacedReason reason);

// The summary report of a set, in the style of the packing report (numbers
// with 6 significant digits, CR LF): the plate count and size; one line per
// plate with its packed length, density, packed area and count; the set's
// density, packed area and count; the remnant of the last plate; then the
// parts left off every plate, one "name:reason" a line, in the order given.
void WritePlateSetReport(const PlateSet& set, const PlateSetSummary& summary,
                         const std::vector<UnplacedPart>& unplaced, std::ostream& out);
// Written whole or not at all; an unwritable path throws CoreError
// "report file open error!".
void WritePlateSetReport(const PlateSet& set, const PlateSetSummary& summary,
                         const std::vector<UnplacedPart>& unplaced,
                         const std::filesystem::path& path);

}  // namespace tarn
