#pragma once

#include <string>
#include <vector>

#include "geometry/part.h"
#include "geometry/region.h"
#include "job/packing_job.h"

namespace tarn {

// Why a part stayed off every plate.
enum class UnplacedReason {
  LargerThanPlate,     // its working outline's box exceeds the plate in every orientation tried
  NoRoom,              // its plate had no place left for it (a single plate, or a set cut short)
  NoRoomOnEmptyPlate,  // a fresh plate took none of the parts that were left
  PlateLimit,          // the set reached its largest number of plates
  Stopped,             // a stop request ended the run
};

struct UnplacedPart {
  int id = 0;
  std::string name;  // the name label's bytes, as loaded
  int plate = 0;     // index of the plate whose job holds it, waiting
  UnplacedReason reason = UnplacedReason::NoRoom;
  double boxLength = 0.0;  // mm, its working outline's box as it waits (grown by half the gap)
  double boxWidth = 0.0;
};

// Whether no orientation the layout drivers try gives the part's working
// outline a box within the plate: the rotation number's angles and the
// quarter turns (turning over never changes the box). Such a part can never be
// laid out on this plate size. A box that exceeds the plate by less than a
// micrometre is not called larger.
bool LargerThanPlate(const PackingJob& job, const Part& part);

// The waiting parts of the job, in list order: each LargerThanPlate, or with
// the reason `otherwise`; `plate` is set to `plateIndex`.
std::vector<UnplacedPart> FindUnplacedParts(const PackingJob& job, UnplacedReason otherwise,
                                            int plateIndex = 0);

}  // namespace tarn
