#pragma once

#include <filesystem>

#include "geometry/part.h"
#include "geometry/point.h"
#include "geometry/region.h"
#include "geometry/segment.h"

namespace tarn {

// Fills a new, empty part from the LINE, CIRCLE, ARC and TEXT entities of an
// ASCII drawing: arcs and circles are discretised with the part's chordTol,
// all segments are chained into closed loops, the largest loop is the outer
// boundary and the others are holes; "name:" and "thick=" texts set the labels.
// False (after the chain's own warning, if any) when the file is not a regular
// file or cannot be read, holds an unusable number, yields no closed loop, an
// open or too short chain, or loops that enclose no area.
bool readDxfPart(Part& part, const std::filesystem::path& path);

// Chains `segments` (consumed) into regions, newest first, while 3 or more
// segments are left; fewer left over are ignored. False at the first chain
// that fails checkPointChain, or when no region was made.
bool assembleLoops(SegmentList& segments, RegionList& regions);

// At least 4 points, first and last within 0.5 of each other; each failure
// warns ("点链表数目至少为4!", "点链表首尾不等，无法构成多边形面域!").
bool checkPointChain(const PointChain& chain);

// The first region of largest area becomes the outer boundary and every other
// region a hole. False (the part unchanged) when no region has an area above 0.
bool pickOuterLoop(Part& part, const RegionList& regions);

}  // namespace tarn
