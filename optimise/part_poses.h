#pragma once

#include "geometry/part.h"
#include "optimise/strip_layout.h"

namespace tarn {

// The poses a part may take under a job's rules, starting from the pose it has:
// for k = 0 ... rotationNumber - 1 the part turned about its refPoint by
// k * (2 * acos(-1) / rotationNumber) (k = 0 leaves it untouched), each followed,
// when turning over is allowed, by its twin turned over about the horizontal
// line through its refPoint. The orientation index is 2 * k + (0 plain, 1 turned)
// with turning over, k without: the placer's order. Since these rotations and
// turn-overs form a group, the set is the same whichever allowed pose the part
// starts from. No orientation for a rotationNumber below 1. Throws CoreError
// for a part without outline.
StripItem MakeStripItem(const Part& part, int rotationNumber, bool allowTurnover);

// Puts `part`, in the pose MakeStripItem saw it in, into `pose` by the same
// steps (rotate about refPoint, turn over about refPoint, translate), so that
// its outline matches PosedPart(MakeStripItem(part, ...), pose) to the bit;
// rotation, turnedOver, refPoint, centroid and the labels follow as for any
// move of a part. Does nothing for an orientation outside the set.
void ApplyItemPose(Part& part, int rotationNumber, bool allowTurnover, const ItemPose& pose);

}  // namespace tarn
