#include "support/pose_dump.h"

#include <cstdio>
#include <sstream>

namespace tarn::test {

std::string dumpPoses(const PackingJob& job) {
  std::string dump;
  char line[160];
  for (const Part& part : job.workingParts) {
    std::snprintf(line, sizeof line, "%d %.17g %.17g %.17g %d\n", part.id, part.refPoint.x,
                  part.refPoint.y, part.rotation, part.turnedOver ? 1 : 0);
    dump += line;
  }
  return dump;
}

std::string firstDifference(const std::string& expected, const std::string& actual) {
  if (expected == actual) {
    return {};
  }
  std::istringstream a(expected);
  std::istringstream b(actual);
  std::string lineA;
  std::string lineB;
  for (int number = 1;; ++number) {
    const bool moreA = static_cast<bool>(std::getline(a, lineA));
    const bool moreB = static_cast<bool>(std::getline(b, lineB));
    if (!moreA && !moreB) {
      return "the texts differ in their line ends";
    }
    if (!moreA || !moreB || lineA != lineB) {
      return "line " + std::to_string(number) + ": expected \"" + (moreA ? lineA : "<end>") +
             "\", got \"" + (moreB ? lineB : "<end>") + "\"";
    }
  }
}

}  // namespace tarn::test
