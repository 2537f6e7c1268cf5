#include "nesting/layout.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "geometry/core_error.h"
#include "geometry/notify.h"
#include "geometry/predicates.h"
#include "geometry/texts.h"
#include "job/job_operations.h"
#include "nesting/packing_points.h"
#include "nesting/partner.h"
#include "nesting/placement.h"

namespace tarn {
namespace {

constexpr double kMillisecondLimit = 1.0;  // s: runs up to this long are told in milliseconds
constexpr std::size_t kTimingTextBytes = 100;

// Thresholds of the multi-step passes (outer areas in mm²).
constexpr double kHugeArea = 1'000'000.0;
constexpr double kHugeFill = 0.8;
constexpr double kLargeArea = 500'000.0;
constexpr double kLargeFill = 0.9;
constexpr double kMediumArea = 200'000.0;
constexpr double kSmallArea = 50'000.0;
constexpr double kSquarishAspect = 1.2;

ProgressHook& progressHook() {
  static ProgressHook hook;
  return hook;
}

std::string formatTiming(std::string_view milliseconds, std::string_view seconds, double value) {
  const bool shortRun = value <= kMillisecondLimit;
  const std::string pattern(shortRun ? milliseconds : seconds);
  char buffer[kTimingTextBytes];
  std::snprintf(buffer, sizeof buffer, pattern.c_str(), shortRun ? value * 1000.0 : value);
  return buffer;
}

bool waiting(const PackingJob& job, const Part& part) {
  return !withinRect(part, job.plateExtents);
}

// The timed frame of a run: the clock starts and the timing file is opened
// before anything else; finish() tells and writes the time.
class TimedRun {
 public:
  explicit TimedRun(const PackingJob& job) : start_(std::chrono::steady_clock::now()) {
    file_.open(job.outputFile(text::kTimingFileName), std::ios::binary | std::ios::trunc);
    if (!file_) {
      throw CoreError(text::kTimingFileWriteFailed);
    }
  }

  double elapsedSeconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }

  double finish(bool announceRun) {
    const double seconds = elapsedSeconds();
    if (announceRun) {
      announce(TimingNoticeText(seconds));
    }
    file_ << TimingFileText(seconds) << text::kLineEnd;
    // A failing close leaves only the stream's fail state; the layout stands.
    file_.close();
    return seconds;
  }

  void reportProgress(int tried, int stillToTry) const {
    if (const ProgressHook& hook = progressHook()) {
      hook(LayoutProgress{tried, stillToTry, elapsedSeconds()});
    }
  }

 private:
  std::chrono::steady_clock::time_point start_;
  std::ofstream file_;
};

void buildGridIfPending(PackingJob& job) {
  if (job.gridPending) {
    RebuildPackingPoints(job);
    job.gridPending = false;
  }
}

// PlaceOne on every part `chosen` picks, in list order. Only the part placed
// moves, so the parts still to come are those counted at the start.
template <class Chosen>
void placeEach(PackingJob& job, const TimedRun& run, Chosen&& chosen) {
  int total = 0;
  for (const Part& part : job.workingParts) {
    total += chosen(part) ? 1 : 0;
  }
  int tried = 0;
  for (Part& part : job.workingParts) {
    if (chosen(part)) {
      PlaceOne(job, part);
      ++tried;
      run.reportProgress(tried, total - tried);
    }
  }
}

// Selected parts still waiting: each meets at least one more pass.
int selectedWaiting(const PackingJob& job) {
  int count = 0;
  for (const Part& part : job.workingParts) {
    if (part.selected && waiting(job, part)) {
      ++count;
    }
  }
  return count;
}

}  // namespace

std::string TimingNoticeText(double seconds) {
  return formatTiming(text::kTimingMilliseconds, text::kTimingSeconds, seconds);
}

std::string TimingFileText(double seconds) {
  return formatTiming(text::kGbkTimingMilliseconds, text::kGbkTimingSeconds, seconds);
}

ProgressHook setProgressHook(ProgressHook hook) {
  return std::exchange(progressHook(), std::move(hook));
}

double Layout(PackingJob& job, bool announce) {
  TimedRun run(job);
  buildGridIfPending(job);
  placeEach(job, run, [](const Part& part) { return part.selected; });
  return run.finish(announce);
}

double LayoutAll(PackingJob& job, bool announce) {
  TimedRun run(job);
  SelectNone(job);
  buildGridIfPending(job);
  placeEach(job, run, [&job](const Part& part) { return waiting(job, part); });
  return run.finish(announce);
}

double LayoutMultipleSteps(PackingJob& job, bool announce) {
  TimedRun run(job);
  buildGridIfPending(job);
  int tried = 0;
  const auto tell = [&]() {
    ++tried;
    if (progressHook()) {
      run.reportProgress(tried, selectedWaiting(job));
    }
  };
  const auto considered = [&job](const Part& part) { return part.selected && waiting(job, part); };

  for (Part& part : job.workingParts) {
    if (considered(part) && part.outer.area >= kHugeArea && part.fillRatio >= kHugeFill) {
      PlaceNextToLaidOut(job, part);
      tell();
    }
  }
  for (Part& part : job.workingParts) {
    if (considered(part) && part.outer.area >= kLargeArea && part.fillRatio >= kLargeFill) {
      PlaceNextToLaidOut(job, part);
      tell();
    }
  }
  for (Part& part : job.workingParts) {
    if (considered(part) && part.outer.area >= kLargeArea) {
      if (!PlaceBySimilarPair(job, part, kPairingThreshold)) {
        PlaceNextToLaidOut(job, part);
      }
      tell();
    }
  }
  for (Part& part : job.workingParts) {
    if (considered(part) && part.outer.area >= kMediumArea) {
      PlaceMediumStrict(job, part, kPairingThreshold);
      tell();
    }
  }
  for (Part& part : job.workingParts) {
    if (!considered(part)) {
      continue;
    }
    if (part.outer.area > kSmallArea || part.aspectRatio > kSquarishAspect) {
      PlaceMedium(job, part, kPairingThreshold);
    } else {
      PlaceByGrid(job, part);
    }
    tell();
  }
  return run.finish(announce);
}

namespace {

// The step both medium placements share; nullopt when no similar part exists.
std::optional<bool> placeBesideSimilar(PackingJob& job, Part& part, double threshold) {
  const bool laidOutSimilar = SimilarLaidOutExists(job, part);
  const bool waitingSimilar = SimilarWaitingExists(job, part);
  if (laidOutSimilar && waitingSimilar) {
    return PlaceBySimilarPair(job, part, threshold) || PlaceByBoundingRectangle(job, part);
  }
  if (laidOutSimilar) {
    return PlaceBySimilarPair(job, part, threshold);
  }
  if (waitingSimilar) {
    return PlaceByBoundingRectangle(job, part);
  }
  return std::nullopt;
}

}  // namespace

bool PlaceMedium(PackingJob& job, Part& part, double threshold) {
  if (placeBesideSimilar(job, part, threshold).value_or(false)) {
    return true;
  }
  return PlaceOne(job, part);
}

bool PlaceMediumStrict(PackingJob& job, Part& part, double threshold) {
  return placeBesideSimilar(job, part, threshold).value_or(false);
}

}  // namespace tarn
