#pragma once

#include <unordered_map>

#include "geometry/part.h"
#include "geometry/part_source.h"
#include "job/packing_job.h"

namespace tarn {

// The one placement rule of drawing, report and output: a true part (or a
// source) is shown where its working copy lies by turning it over about its
// own refPoint when the copy is turned over, translating the refPoints
// together and rotating about the copy's refPoint by the copy's rotation.

// The first working part, source and true part of every id, found in one walk
// of each list: what a loop over all the parts (drawing, report, painting)
// asks instead of searching a list per part. It keeps pointers into the job,
// whose lists must not change while it is used.
class PartLookup {
 public:
  explicit PartLookup(const PackingJob& job);
  // As findWorkingCopy, findSource and findTruePart below.
  const Part* workingCopy(int id) const { return find(working_, id); }
  const PartSource* source(int id) const { return find(sources_, id); }
  const Part* truePart(int id) const { return find(trueParts_, id); }

 private:
  template <class T>
  static const T* find(const std::unordered_map<int, const T*>& map, int id) {
    const auto found = map.find(id);
    return found == map.end() ? nullptr : found->second;
  }

  std::unordered_map<int, const Part*> working_;
  std::unordered_map<int, const PartSource*> sources_;
  std::unordered_map<int, const Part*> trueParts_;
};

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
