#pragma once

#include <ostream>
#include <string_view>

#include "geometry/arc.h"
#include "geometry/part_source.h"

namespace tarn {

// The checks below write their error report lines (GBK, "\r\n") to `stream`;
// numbers come out in the default format of 6 significant digits.

// Every arc edge can be built (chord at most 2 * |R|); the first that cannot
// is reported ("圆弧无法生成!") and gives false. Straight edges are never tested.
bool checkArcsBuildable(const RadiusPolyline& polyline, std::ostream& stream);
// Every arc edge can be built and has |R| above the chord height h; the first
// failing edge is reported and gives false.
bool checkArcsAgainstChord(const RadiusPolyline& polyline, double h, std::ostream& stream);
// Moves the radius of every arc edge that cannot be built 0.1 mm away from
// zero, reporting each attempt. At the first edge this does not fix, the radius
// is put back and the result is false; enlargements made before stay.
bool repairArcs(RadiusPolyline& polyline, std::ostream& stream);
// The load check of a source: checkArcsAgainstChord with the source's chordTol
// on the outer outline, then on each hole, stopping at the first failure,
// which is followed by the part's trailer line.
bool checkSourceArcs(const PartSource& source, std::ostream& stream);
// A source whose outlines enclose no net area cannot be nested (its centroid is
// undefined): reported with the part's trailer line.
bool checkSourceArea(const PartSource& source, std::ostream& stream);

// One whole report line: `text`, then the line end.
void writeReportLine(std::ostream& stream, std::string_view text);
// "以上错误发生于零件:<name>"
void writePartTrailer(std::ostream& stream, std::string_view name);

}  // namespace tarn
