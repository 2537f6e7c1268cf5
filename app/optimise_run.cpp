#include "app/optimise_run.h"

#include <deque>
#include <iterator>
#include <map>
#include <utility>

#include "app/app_texts.h"
#include "app/edit_history.h"
#include "geometry/notify.h"
#include "geometry/predicates.h"
#include "job/job_operations.h"

namespace tarn {
namespace {

// Puts the laid-out parts back in the job's list order (the search may reorder
// them), matching parts by id, and the same id by order of appearance. False
// when the two lists do not hold the same parts.
bool restoreJobOrder(PackingJob& laidOut, const PackingJob& job) {
  if (laidOut.workingParts.count() != job.workingParts.count()) {
    return false;
  }
  std::map<int, std::deque<PartList::iterator>> byId;
  for (auto node = laidOut.workingParts.begin(); node != laidOut.workingParts.end(); ++node) {
    byId[node->id].push_back(node);
  }
  // Each part in turn goes to the end, so the list ends in the job's order.
  for (const Part& part : job.workingParts) {
    auto bucket = byId.find(part.id);
    if (bucket == byId.end() || bucket->second.empty()) {
      return false;
    }
    laidOut.workingParts.moveAfter(bucket->second.front(), std::prev(laidOut.workingParts.end()));
    bucket->second.pop_front();
  }
  return true;
}

// The job is replaced only by a complete layout that keeps the rules.
bool validLayout(const PackingJob& laidOut, RunContext& ctx) {
  for (const Part& part : laidOut.workingParts) {
    if (overlapsRect(part, laidOut.plateExtents) && !PartFits(laidOut, part, ctx)) {
      return false;
    }
  }
  return true;
}

}  // namespace

void SearchWatch::report(const SearchProgress& progress) {
  // Copied before the lock: the snapshot may take a while on a large job.
  std::shared_ptr<const PackingJob> best;
  if (progress.bestLayout != nullptr) {
    best = std::make_shared<const PackingJob>(snapshotOf(*progress.bestLayout));
  }
  const std::lock_guard lock(mutex_);
  latest_.reported = true;
  latest_.best = progress.best;
  latest_.evaluations = progress.evaluations;
  latest_.elapsedSeconds = progress.elapsedSeconds;
  if (best) {
    latest_.newBest = std::move(best);
  }
}

SearchWatch::Seen SearchWatch::take() {
  const std::lock_guard lock(mutex_);
  Seen seen = latest_;
  latest_.newBest.reset();
  return seen;
}

OptimiseWork prepareOptimise(const AppState& state, const SearchSettings& settings,
                             std::shared_ptr<SearchWatch> watch) {
  if (!state.job) {
    return [](RunContext&) { return OptimiseOutcome{}; };
  }
  auto snapshot = std::make_shared<PackingJob>(snapshotOf(*state.job));
  return [snapshot, settings, watch = std::move(watch), target = state.job.get()](RunContext& ctx) {
    OptimiseOutcome outcome;
    outcome.target = target;
    SearchResult result =
        OptimiseLayout(*snapshot, settings, ctx.stop, [&watch](const SearchProgress& progress) {
          if (watch) {
            watch->report(progress);
          }
        });
    if (restoreJobOrder(result.best, *snapshot) && validLayout(result.best, ctx)) {
      outcome.result.emplace(std::move(result));
    } else {
      outcome.refusal = std::string(app_text::kOptimiseInvalid);
    }
    return outcome;
  };
}

Effects finishOptimise(AppState& state, OptimiseOutcome& outcome) {
  Effects effects;
  state.preview.reset();
  effects.repaint = true;
  if (!state.job || state.job.get() != outcome.target) {
    return effects;
  }
  if (!outcome.result) {
    effects.warning = outcome.refusal;
    return effects;
  }
  state.history.replaceWorkingLayout(*state.job, takeWorkingLayout(outcome.result->best),
                                     app_text::kStepOptimise);
  return effects;
}

void raiseSearchNotices(const OptimiseOutcome& outcome) {
  if (!outcome.result) {
    return;
  }
  for (const std::string& text : outcome.result->notices) {
    notifyWarning(text);
  }
}

}  // namespace tarn
