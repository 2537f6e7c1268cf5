#pragma once

#include "geometry/part.h"
#include "geometry/part_source.h"
#include "job/packing_job.h"

namespace tarn {

// The one placement rule of drawing, report and output: a true part (or a
// source) is shown where its working copy lies by turning it over about its
// own refPoint when the copy is turned over, translating the refPoints
// together and rotating about the copy's refPoint by the copy's rotation.

// The first working part with this id, or nullptr.
const Part* findWorkingCopy(const PackingJob& job, int id);
// The first source with this id, or nullptr (part list jobs keep no sources).
const PartSource* findSource(const PackingJob& job, int id);
// The first true part with this id, or nullptr.
const Part* findTruePart(const PackingJob& job, int id);
// A placed copy of the true part; it also takes the working copy's `selected`
// flag, so that a drawing shows the selection.
Part placedPart(const Part& truePart, const Part& workingCopy);
PartSource placedSource(const PartSource& source, const Part& workingCopy);

}  // namespace tarn
