#pragma once

#include <functional>
#include <string>

#include "geometry/part.h"
#include "job/packing_job.h"

namespace tarn {

inline constexpr double kPairingThreshold = 0.25;

// Reported by the drivers after each part they tried; changes no result.
struct LayoutProgress {
  int tried = 0;    // parts tried so far in this run
  int waiting = 0;  // parts this run still has to try
  double elapsedSeconds = 0.0;
};
using ProgressHook = std::function<void(const LayoutProgress&)>;
// Installs the hook and returns the previous one.
ProgressHook setProgressHook(ProgressHook hook);

// The drivers write "排样计算时间.txt" in the job's output folder and, when
// `announce` is set, raise the timing notice. They return the measured time in
// seconds. An unwritable timing file throws CoreError before any part moves.
double Layout(PackingJob& job, bool announce);
double LayoutAll(PackingJob& job, bool announce);
double LayoutMultipleSteps(PackingJob& job, bool announce);

// The text telling how long a run took: milliseconds up to 1 s, seconds
// beyond. UTF-8 for the notice, GBK (without a line end) for the timing file.
std::string TimingNoticeText(double seconds);
std::string TimingFileText(double seconds);

bool PlaceMedium(PackingJob& job, Part& part, double threshold);
bool PlaceMediumStrict(PackingJob& job, Part& part, double threshold);

}  // namespace tarn
