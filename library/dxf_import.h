#pragma once

// Parts from DXF drawings as CAD programs write them: LINE, ARC, CIRCLE,
// LWPOLYLINE and 2D POLYLINE (bulges, closed flag; widths ignored), ELLIPSE
// and elliptical arcs, SPLINE, INSERT of blocks (position, scale, rotation,
// mirroring, arrays, nested blocks), in the units of $INSUNITS. Dimensions,
// hatches, points, paper space and texts other than "name:" and "thick=" are
// ignored.

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "geometry/part_source.h"
#include "geometry/text_label.h"
#include "library/dxf_problem.h"

namespace tarn {

// End points of entities closer than this are one corner (mm). CAD programs
// leave gaps of a few hundredths of a millimetre where entities meet
// (coordinates rounded to three decimals of an inch lie up to 0.036 mm
// apart); 0.1 mm closes them with room to spare and stays below a cutting
// kerf. The closest ends are joined first, so ends that meet exactly are never
// parted by a nearer stranger. Wider gaps are reported, never jumped.
inline constexpr double kDxfJoinTolerance = 0.1;

// Bounded work per drawing: edges after blocks are expanded and curves
// flattened (arcs counted by the pieces the chord tolerance cuts them into),
// block copies and outline containment tests together.
inline constexpr std::size_t kDxfMaxWork = 5000000;
inline constexpr std::uintmax_t kDxfMaxBytes = 256u * 1024u * 1024u;

struct ImportedPart {
  // Outer outline counter-clockwise, holes clockwise, in millimetres; arcs of
  // radius above the chord tolerance kept as arcs where the kernel rebuilds
  // them faithfully. nameLabel.text is the part's name; id is 0.
  PartSource source;
  std::optional<TextLabel> thickLabel;  // from a "thick=" text
};

// One part per outer outline, each with the holes inside it; a part lying in
// another's hole is a part of its own. Parts come ordered by the left edge of
// their box, then its bottom edge.
//
// Names: a drawing with one "name:" text gives that name to every part; with
// several, each text names the part whose outer outline holds its insertion
// point (the innermost), or the part whose box is nearest, and the last text
// of a part wins; parts without a name take the file name without its
// extension. The second and later parts of the same name get "-2", "-3"...
//
// Problems name the file; after a fatal one (isFatal) there are no parts.
struct DxfImport {
  std::vector<ImportedPart> parts;
  std::vector<DxfProblem> problems;
};

DxfImport importDxf(const std::filesystem::path& path);
// The same from bytes in memory; `path` names the drawing in messages and by
// its stem gives the default part name.
DxfImport importDxfBytes(std::string_view bytes, const std::filesystem::path& path);

}  // namespace tarn
