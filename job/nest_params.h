#pragma once

#include <string>

namespace tarn {

struct PackingJob;

// One angle a degree at most: a larger rotation number would only make the
// next layout run for ever. The dialog and the command line refuse more.
inline constexpr int kMaxRotationNumber = 360;

// The numbers that govern a nesting run; every Open starts from these defaults.
struct NestParams {
  double plateLength = 6000.0;        // mm, along x
  double plateWidth = 4000.0;         // mm, along y
  double partGap = 0.0;               // working parts grow by half of it on load
  int rotationNumber = 4;             // angles tried per part
  double packingPointDistance = 0.5;  // replaced on every load
  bool allowTurnover = true;
};

struct Plate {
  std::string name = "Null";
  double length = 6000.0;
  double width = 4000.0;
  double area = 6000.0 * 4000.0;
};

// Stores the size in job.plate, recomputes its area and runs the plate check:
// a negative side or area shows "板数据错误!" and returns false (loading goes on).
bool setPlateSize(PackingJob& job, double length, double width);
// plateExtents = (0, plate length, 0, plate width) from job.params; throws
// CoreError "包围盒大小为零!" when either side is zero.
void resetPlateExtents(PackingJob& job);

}  // namespace tarn
