#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "geometry/point.h"

namespace tarn {

// What went wrong with a drawing. The first four leave no part; the others
// leave out some geometry and the rest of the drawing is still read.
enum class DxfProblemKind {
  Unreadable,     // not a regular file, cannot be read, larger than the size limit
  NotAsciiDxf,    // binary DXF, binary bytes, a group code that is no number, truncated
  TooComplex,     // beyond the bounded work per drawing (edges, block copies, outline tests)
  NoOutline,      // nothing closed that encloses an area
  OpenContour,    // a chain of entities whose ends do not meet; the message gives both ends
  CrowdedEnds,    // more entity ends within the joining tolerance than can be told apart
  SkippedEntity,  // kinds that are no part outlines (3D faces, solids, meshes, unknown kinds)
  BadEntity,      // an entity with unusable numbers, a broken spline, not in the XY plane
  Approximated,   // drawn less exactly than the chord tolerance (a spline by its fit points)
  BlockProblem,   // an INSERT of a missing block, of itself, or nested too deep
  UnknownUnit,    // $INSUNITS not known; lengths read as millimetres
  NoNetArea,  // a part left without area once its arcs are cut into chords, or whose holes overlap
};

struct DxfProblem {
  DxfProblemKind kind = DxfProblemKind::Unreadable;
  std::string message;  // UTF-8, names the drawing
};

// True for the kinds after which the drawing gives no part.
bool isFatal(DxfProblemKind kind);

// "<what>: 文件 (file) "<file>"[, 行 (line) <n>]<detail>", the file name made
// printable.
std::string drawingMessage(std::string_view what, const std::filesystem::path& file,
                           std::optional<int> line = std::nullopt, std::string_view detail = {});

// "(x, y)" in millimetres, six significant digits.
std::string placeText(const Point& p);

}  // namespace tarn
