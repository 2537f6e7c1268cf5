#include "nesting/layout.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "geometry/core_error.h"
#include "geometry/notify.h"
#include "geometry/predicates.h"
#include "geometry/texts.h"
#include "job/job_operations.h"
#include "nesting/layout_run.h"
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

using Clock = std::chrono::steady_clock;

std::string formatTiming(std::string_view milliseconds, std::string_view seconds, double value) {
  const bool shortRun = value <= kMillisecondLimit;
  const std::string pattern(shortRun ? milliseconds : seconds);
  char buffer[kTimingTextBytes];
  std::snprintf(buffer, sizeof buffer, pattern.c_str(), shortRun ? value * 1000.0 : value);
  return buffer;
}

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

bool waiting(const PackingJob& job, const Part& part) {
  return !withinRect(part, job.plateExtents);
}

// A job without parts has nothing to place and needs no grid: its distance is
// still the default one, which a large plate would refuse.
void buildGridIfPending(PackingJob& job) {
  if (job.gridPending && !job.workingParts.empty()) {
    RebuildPackingPoints(job);
    job.gridPending = false;
  }
}

void reportProgress(const RunContext& ctx, Clock::time_point start, int tried, int stillToTry) {
  if (ctx.progress) {
    ctx.progress(LayoutProgress{tried, stillToTry, secondsSince(start)});
  }
}

// PlaceOne on every part `chosen` picks, in list order, until a stop is
// requested. Only the part placed moves, so the parts still to come are those
// counted at the start.
template <class Chosen>
PlacingOutcome placeEach(PackingJob& job, RunContext& ctx, Clock::time_point start,
                         Chosen&& chosen) {
  buildGridIfPending(job);
  int total = 0;
  for (const Part& part : job.workingParts) {
    total += chosen(part) ? 1 : 0;
  }
  LayoutRun run(job, ctx);
  PlacingOutcome outcome;
  for (Part& part : job.workingParts) {
    if (!chosen(part)) {
      continue;
    }
    if (ctx.stop.stop_requested()) {
      outcome.stopped = true;
      break;
    }
    run.trying(part);
    PlaceOne(job, part, ctx);
    run.tried(part);
    ++outcome.tried;
    reportProgress(ctx, start, outcome.tried, total - outcome.tried);
  }
  return outcome;
}

PlacingOutcome placeSelected(PackingJob& job, RunContext& ctx, Clock::time_point start) {
  return placeEach(job, ctx, start, [](const Part& part) { return part.selected; });
}

PlacingOutcome placeWaiting(PackingJob& job, RunContext& ctx, Clock::time_point start) {
  SelectNone(job);
  return placeEach(job, ctx, start, [&job](const Part& part) { return waiting(job, part); });
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

PlacingOutcome placeInSteps(PackingJob& job, RunContext& ctx, Clock::time_point start) {
  buildGridIfPending(job);
  LayoutRun run(job, ctx);
  PlacingOutcome outcome;
  // Asked before each part is handed to a routine.
  const auto goOn = [&](const Part& part) {
    outcome.stopped = ctx.stop.stop_requested();
    if (!outcome.stopped) {
      run.trying(part);
    }
    return !outcome.stopped;
  };
  const auto tell = [&](const Part& part) {
    run.tried(part);
    ++outcome.tried;
    if (ctx.progress) {
      reportProgress(ctx, start, outcome.tried, selectedWaiting(job));
    }
  };
  const auto considered = [&job](const Part& part) { return part.selected && waiting(job, part); };

  for (Part& part : job.workingParts) {
    if (considered(part) && part.outer.area >= kHugeArea && part.fillRatio >= kHugeFill) {
      if (!goOn(part)) {
        return outcome;
      }
      PlaceNextToLaidOut(job, part, ctx);
      tell(part);
    }
  }
  for (Part& part : job.workingParts) {
    if (considered(part) && part.outer.area >= kLargeArea && part.fillRatio >= kLargeFill) {
      if (!goOn(part)) {
        return outcome;
      }
      PlaceNextToLaidOut(job, part, ctx);
      tell(part);
    }
  }
  for (Part& part : job.workingParts) {
    if (considered(part) && part.outer.area >= kLargeArea) {
      if (!goOn(part)) {
        return outcome;
      }
      if (!PlaceBySimilarPair(job, part, kPairingThreshold, ctx)) {
        PlaceNextToLaidOut(job, part, ctx);
      }
      tell(part);
    }
  }
  for (Part& part : job.workingParts) {
    if (considered(part) && part.outer.area >= kMediumArea) {
      if (!goOn(part)) {
        return outcome;
      }
      PlaceMediumStrict(job, part, kPairingThreshold, ctx);
      tell(part);
    }
  }
  for (Part& part : job.workingParts) {
    if (!considered(part)) {
      continue;
    }
    if (!goOn(part)) {
      return outcome;
    }
    if (part.outer.area > kSmallArea || part.aspectRatio > kSquarishAspect) {
      PlaceMedium(job, part, kPairingThreshold, ctx);
    } else {
      PlaceByGrid(job, part, ctx);
    }
    tell(part);
  }
  return outcome;
}

// The timed frame of a run: the clock starts and the timing file is opened
// before anything else; then the walk, then the notice and the file's line.
template <class Walk>
double timedRun(const PackingJob& job, bool announceRun, const RunContext& ctx, Walk&& walk) {
  const ContextNoticeRoute route(ctx);
  const Clock::time_point start = Clock::now();
  std::ofstream file(job.outputFile(text::kTimingFileName), std::ios::binary | std::ios::trunc);
  if (!file) {
    throw CoreError(text::kTimingFileWriteFailed);
  }
  walk(start);
  const double seconds = secondsSince(start);
  if (announceRun) {
    announce(TimingNoticeText(seconds));
  }
  file << TimingFileText(seconds) << text::kLineEnd;
  // A failing close leaves only the stream's fail state; the layout stands.
  file.close();
  return seconds;
}

}  // namespace

std::string TimingNoticeText(double seconds) {
  return formatTiming(text::kTimingMilliseconds, text::kTimingSeconds, seconds);
}

std::string TimingFileText(double seconds) {
  return formatTiming(text::kGbkTimingMilliseconds, text::kGbkTimingSeconds, seconds);
}

PlacingOutcome PlaceSelected(PackingJob& job, RunContext& ctx) {
  const ContextNoticeRoute route(ctx);
  return placeSelected(job, ctx, Clock::now());
}

PlacingOutcome PlaceWaiting(PackingJob& job, RunContext& ctx) {
  const ContextNoticeRoute route(ctx);
  return placeWaiting(job, ctx, Clock::now());
}

PlacingOutcome PlaceSelectedInSteps(PackingJob& job, RunContext& ctx) {
  const ContextNoticeRoute route(ctx);
  return placeInSteps(job, ctx, Clock::now());
}

double Layout(PackingJob& job, bool announce) {
  return Layout(job, announce, defaultRunContext());
}

double Layout(PackingJob& job, bool announce, RunContext& ctx) {
  return timedRun(job, announce, ctx,
                  [&](Clock::time_point start) { placeSelected(job, ctx, start); });
}

double LayoutAll(PackingJob& job, bool announce) {
  return LayoutAll(job, announce, defaultRunContext());
}

double LayoutAll(PackingJob& job, bool announce, RunContext& ctx) {
  return timedRun(job, announce, ctx,
                  [&](Clock::time_point start) { placeWaiting(job, ctx, start); });
}

double LayoutMultipleSteps(PackingJob& job, bool announce) {
  return LayoutMultipleSteps(job, announce, defaultRunContext());
}

double LayoutMultipleSteps(PackingJob& job, bool announce, RunContext& ctx) {
  return timedRun(job, announce, ctx,
                  [&](Clock::time_point start) { placeInSteps(job, ctx, start); });
}

namespace {

// The step both medium placements share; nullopt when no similar part exists.
std::optional<bool> placeBesideSimilar(PackingJob& job, Part& part, double threshold,
                                       RunContext& ctx) {
  const bool laidOutSimilar = SimilarLaidOutExists(job, part);
  const bool waitingSimilar = SimilarWaitingExists(job, part);
  if (laidOutSimilar && waitingSimilar) {
    return PlaceBySimilarPair(job, part, threshold, ctx) ||
           PlaceByBoundingRectangle(job, part, ctx);
  }
  if (laidOutSimilar) {
    return PlaceBySimilarPair(job, part, threshold, ctx);
  }
  if (waitingSimilar) {
    return PlaceByBoundingRectangle(job, part, ctx);
  }
  return std::nullopt;
}

}  // namespace

bool PlaceMedium(PackingJob& job, Part& part, double threshold, RunContext& ctx) {
  if (placeBesideSimilar(job, part, threshold, ctx).value_or(false)) {
    return true;
  }
  return PlaceOne(job, part, ctx);
}

bool PlaceMediumStrict(PackingJob& job, Part& part, double threshold, RunContext& ctx) {
  return placeBesideSimilar(job, part, threshold, ctx).value_or(false);
}

}  // namespace tarn
