#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/commands.h"
#include "job/run_context.h"
#include "optimise/layout_search.h"

namespace tarn {

// "Layout > Optimise…": the layout search (optimise/layout_search.h) run on a
// worker over a snapshot of the job on show, as the other long commands are
// (prepare, work, finish). Each new best layout is shown as a preview
// (AppState::preview), never as an undo step; the end replaces the working
// parts by the best layout as one step "Optimise".
//
// The search starts from the greedy layout of the parts waiting beside the
// plate, so Optimise on a job that was never laid out lays it out: at worst
// exactly as Layout All would, in one step that Undo takes back whole.

// What the search has told so far. Written on the search's threads, read on
// the front end's; it holds only the newest figures and the newest best.
class SearchWatch {
 public:
  struct Seen {
    bool reported = false;  // any report yet
    LayoutFigures best;
    std::uint64_t evaluations = 0;
    double elapsedSeconds = 0.0;
    // A best layout not taken before: a snapshot of the job holding it.
    std::shared_ptr<const PackingJob> newBest;
  };

  // On a search thread; a new best is copied with snapshotOf.
  void report(const SearchProgress& progress);
  // On the front end's thread: the newest figures; newBest only once.
  Seen take();

 private:
  std::mutex mutex_;
  Seen latest_;
};

struct OptimiseOutcome {
  const PackingJob* target = nullptr;  // the job searched: the finish applies only to it
  std::optional<SearchResult> result;  // none when the best failed the check below
  std::string refusal;                 // why the job was kept (UTF-8)
};

using OptimiseWork = std::function<OptimiseOutcome(RunContext&)>;

// On the front end's thread: the work, owning a snapshot of the job on show
// (nothing to do without a job). It runs OptimiseLayout with the run's stop
// token, reports to `watch`, and checks the best layout before handing it back:
// its parts are put back in the job's list order (the search may reorder them;
// the job keeps its order, so Layout Next, the parts list and the outputs list
// the parts as before), it must hold exactly the job's parts, and every part
// on the plate must pass PartFits; otherwise the job is kept and the refusal
// says why. The work throws as OptimiseLayout does: CoreError for a refused
// grid, std::invalid_argument for settings out of range.
OptimiseWork prepareOptimise(const AppState& state, const SearchSettings& settings,
                             std::shared_ptr<SearchWatch> watch);

// On the front end's thread once the work has returned: drops the preview and
// puts the best layout in place as the step "Optimise" (no step when it is the
// layout the job had). The search's notices are left in the outcome's result
// for the front end to raise after it has repainted (raiseSearchNotices).
Effects finishOptimise(AppState& state, OptimiseOutcome& outcome);

// The search's notices through the notice hook, in order, as warnings.
void raiseSearchNotices(const OptimiseOutcome& outcome);

}  // namespace tarn
