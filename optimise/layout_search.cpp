#include "optimise/layout_search.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstddef>
#include <limits>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

#include "geometry/notify.h"
#include "geometry/part_source.h"
#include "geometry/predicates.h"
#include "job/fit_index.h"
#include "job/job_operations.h"
#include "job/placed_part.h"
#include "nesting/layout.h"
#include "nesting/packing_points.h"
#include "optimise/part_poses.h"
#include "optimise/random_stream.h"
#include "optimise/strip_separator.h"
#include "output/layout_summary.h"

namespace tarn {
namespace {

using Clock = std::chrono::steady_clock;
using strip::RandomStream;

constexpr int kMaxSearchThreads = 256;
// Longer budgets would overflow the clock; nobody waits 30 years.
constexpr double kMaxSearchSeconds = 1e9;
// Plain progress (no new best) is reported at most this often.
constexpr auto kProgressInterval = std::chrono::milliseconds(100);
// How often the supervising thread looks at the deadline: well inside the 0.2 s
// a stop may take.
constexpr auto kWatchInterval = std::chrono::milliseconds(20);
// Share of a thread's budget the order search may spend when the greedy layout
// leaves parts off the plate; the strip-length search has the rest.
constexpr double kSequenceShare = 0.3;
// Chance that an order candidate is laid out by the multi-step walk rather
// than LayoutAll's.
constexpr double kStepsWalkChance = 0.25;
// The order search gives up after this many candidates in a row without a
// layout at least as good, when it has no time or evaluation bound of its own.
constexpr int kSequenceStaleLimit = 400;
// Rounds of strip search and refilling while parts stay off the plate; without
// an evaluation bound a round that is not the last has this many.
constexpr int kRefillRounds = 4;
constexpr std::uint64_t kRefillRoundEvaluations = 2'000'000;

bool onPlate(const PackingJob& job, const Part& part) {
  return withinRect(part, job.plateExtents);
}

// The box of the true outline where its working copy lies, as the layout
// drawing measures it (arcs discretised from the source).
std::optional<BBox> placedBox(const PartLookup& parts, const Part& workingCopy) {
  if (const PartSource* source = parts.source(workingCopy.id)) {
    Part built;
    buildPart(placedSource(*source, workingCopy), built);
    return built.bbox;
  }
  if (const Part* truePart = parts.truePart(workingCopy.id)) {
    Part placed = placedPart(*truePart, workingCopy);
    return computeBBox(placed.outer);
  }
  return std::nullopt;
}

// Puts the parts on the plate of `job` (as they lay when the strip problem was
// made of them, in list order) into `poses`.
void applyPoses(PackingJob& job, const std::vector<Part>& startParts,
                const std::vector<ItemPose>& poses) {
  std::size_t i = 0;
  for (Part& part : job.workingParts) {
    if (i < startParts.size() && part.id == startParts[i].id && onPlate(job, part)) {
      part = startParts[i];
      ApplyItemPose(part, job.params.rotationNumber, job.params.allowTurnover, poses[i]);
      ++i;
    }
  }
}

// Every part on the plate passes the fit test against the others.
bool LayoutValid(const PackingJob& job) {
  const FitIndex index(job.plateExtents, job.workingParts);
  for (const Part& part : job.workingParts) {
    if (onPlate(job, part) && !index.fits(part, &part)) {
      return false;
    }
  }
  return true;
}

void checkSettings(const SearchSettings& settings) {
  if (settings.threads < 0 || settings.threads > kMaxSearchThreads) {
    throw std::invalid_argument(
        "the number of search threads must be from 1 to 256 (0: one per core)");
  }
  if (settings.budget.seconds &&
      !(*settings.budget.seconds > 0.0 && *settings.budget.seconds <= kMaxSearchSeconds)) {
    throw std::invalid_argument("the search time must be a positive number of seconds");
  }
  if (settings.budget.evaluations && *settings.budget.evaluations == 0) {
    throw std::invalid_argument("the number of evaluations must be positive");
  }
}

int threadCount(const SearchSettings& settings) {
  if (settings.threads > 0) {
    return settings.threads;
  }
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

// A thread's own stream: the seed and the thread's index mixed, so that no two
// threads (nor two seeds) share a stream.
std::uint64_t threadSeed(std::uint64_t seed, int index) {
  return seed * 0x9e3779b97f4a7c15ULL + static_cast<std::uint64_t>(index) * 0xd1b54a32d192ed03ULL +
         1;
}

// Rebuilds `job.workingParts` in `order` (pointers into it), keeping every part.
void reorder(PackingJob& job, const std::vector<int>& order) {
  std::vector<Part> parts;
  parts.reserve(order.size());
  std::vector<Part*> byIndex;
  for (Part& part : job.workingParts) {
    byIndex.push_back(&part);
  }
  for (int index : order) {
    parts.push_back(*byIndex[static_cast<std::size_t>(index)]);
  }
  job.workingParts.clear();
  // Front insertion: the last part goes in first.
  for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
    job.workingParts.insert(std::move(*it));
  }
}

// What the threads share: the best figures reported so far and the hook.
struct SharedState {
  const SearchProgressHook& hook;
  Clock::time_point start;
  std::mutex mutex;
  LayoutFigures best;
  std::vector<std::atomic<std::uint64_t>> evaluations;
  Clock::time_point lastReport;

  SharedState(const SearchProgressHook& h, Clock::time_point s, const LayoutFigures& greedy,
              int threads)
      : hook(h),
        start(s),
        best(greedy),
        evaluations(static_cast<std::size_t>(threads)),
        lastReport(s) {}

  std::uint64_t totalEvaluations() const {
    std::uint64_t sum = 0;
    for (const auto& e : evaluations) {
      sum += e.load(std::memory_order_relaxed);
    }
    return sum;
  }

  double elapsed() const { return std::chrono::duration<double>(Clock::now() - start).count(); }

  // A thread's new best: reported with its layout when it beats every report so far.
  void offer(const LayoutFigures& figures, const PackingJob& layout) {
    if (!hook) {
      return;
    }
    const std::lock_guard lock(mutex);
    if (!BetterLayout(figures, best)) {
      return;
    }
    best = figures;
    lastReport = Clock::now();
    hook(SearchProgress{best, totalEvaluations(), elapsed(), &layout});
  }

  // Whether a search thread should show its latest layout now: there is a
  // hook and nothing was reported for kProgressInterval. A yes takes the turn.
  bool showDue() {
    if (!hook) {
      return false;
    }
    const std::lock_guard lock(mutex);
    const auto now = Clock::now();
    if (now - lastReport < kProgressInterval) {
      return false;
    }
    lastReport = now;
    return true;
  }

  // A plain report, at most every kProgressInterval.
  void tick() {
    if (!hook) {
      return;
    }
    const std::lock_guard lock(mutex);
    const auto now = Clock::now();
    if (now - lastReport < kProgressInterval) {
      return;
    }
    lastReport = now;
    hook(SearchProgress{best, totalEvaluations(), elapsed(), nullptr});
  }
};

// One search thread: its own snapshots, stream and budget.
class SearchThread {
 public:
  SearchThread(const PackingJob& unplaced, const PackingJob& greedy, const LayoutFigures& figures,
               int index, std::uint64_t seed, const SearchBudget& budget,
               std::optional<Clock::time_point> deadline, std::stop_token stop, SharedState& shared)
      : unplaced_(unplaced),
        best_(snapshotOf(greedy)),
        bestFigures_(figures),
        index_(index),
        random_(seed),
        budget_(budget),
        deadline_(deadline),
        stop_(std::move(stop)),
        shared_(shared),
        start_(Clock::now()) {}

  void run() {
    const std::uint64_t all =
        budget_.evaluations.value_or(std::numeric_limits<std::uint64_t>::max());
    std::uint64_t sequenceBudget = 0;
    std::optional<Clock::time_point> sequenceDeadline;
    if (partsLeftOff()) {
      if (budget_.evaluations) {
        sequenceBudget = static_cast<std::uint64_t>(static_cast<double>(all) * kSequenceShare);
      } else {
        sequenceBudget = std::numeric_limits<std::uint64_t>::max();
      }
      if (deadline_) {
        sequenceDeadline = start_ + std::chrono::duration_cast<Clock::duration>(
                                        (*deadline_ - start_) * kSequenceShare);
      }
      searchOrders(sequenceBudget, sequenceDeadline);
    }
    // While parts stay off, the strip search runs in rounds, each followed by
    // LayoutAll's walk on the shortened layout: the room it freed may take them.
    for (int round = 0; !stop_.stop_requested(); ++round) {
      const std::uint64_t left = all > evaluations_ ? all - evaluations_ : 0;
      const bool last = !partsLeftOff() || round + 1 >= kRefillRounds;
      std::optional<Clock::time_point> roundDeadline = deadline_;
      std::uint64_t roundBudget = left;
      if (!last) {
        roundBudget = budget_.evaluations ? left / 2 : kRefillRoundEvaluations;
        if (deadline_) {
          const auto now = Clock::now();
          roundDeadline = now + (*deadline_ - now) / 2;
        }
      }
      shortenStrip(roundBudget, roundDeadline);
      if (last) {
        break;
      }
      refill();
    }
  }

  // On the supervising thread: shows this thread's latest shorter layout, if
  // one was noted since the last look.
  void showLatest() {
    std::shared_ptr<const ShownBase> base;
    std::vector<ItemPose> poses;
    {
      const std::lock_guard lock(shownMutex_);
      if (!shownPoses_ || !shownBase_) {
        return;
      }
      base = shownBase_;
      poses = std::move(*shownPoses_);
      shownPoses_.reset();
    }
    PackingJob shown = snapshotOf(base->job);
    applyPoses(shown, base->startParts, poses);
    if (LayoutValid(shown)) {
      shared_.offer(FiguresOf(shown), shown);
    }
  }

  PackingJob& best() { return best_; }
  const LayoutFigures& bestFigures() const { return bestFigures_; }
  std::uint64_t evaluations() const { return evaluations_; }
  std::vector<std::string>& notices() { return notices_; }

 private:
  bool partsLeftOff() const {
    return std::any_of(best_.workingParts.begin(), best_.workingParts.end(),
                       [this](const Part& part) { return !onPlate(best_, part); });
  }

  void count(std::uint64_t n) {
    evaluations_ += n;
    shared_.evaluations[static_cast<std::size_t>(index_)].store(evaluations_,
                                                                std::memory_order_relaxed);
  }

  bool timeUp(std::optional<Clock::time_point> deadline) const {
    return stop_.stop_requested() || (deadline && Clock::now() >= *deadline);
  }

  // A sequence local search over the order the walks place the parts in, and
  // which walk places them: a candidate swaps two parts of the best order, or
  // moves a part that stayed off the plate ahead; it replaces the best when it
  // is no worse (so the search drifts over plateaus).
  void searchOrders(std::uint64_t budget, std::optional<Clock::time_point> deadline) {
    const int n = unplaced_.workingParts.count();
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
      order[static_cast<std::size_t>(i)] = i;
    }
    bool bestInSteps = false;
    // The multi-step walk tries quarter turns of every part; it may only place
    // the parts when the job's rotation set holds them.
    const bool stepsAllowed = unplaced_.params.rotationNumber % 4 == 0;
    int stale = 0;
    const bool bounded = budget_.evaluations || deadline;
    while (evaluations_ < budget && !timeUp(deadline) && n > 1) {
      if (!bounded && stale >= kSequenceStaleLimit) {
        break;
      }
      std::vector<int> candidate = order;
      mutate(candidate);
      const bool inSteps =
          stepsAllowed && (random_.uniform() < kStepsWalkChance ? !bestInSteps : bestInSteps);
      PackingJob trial = snapshotOf(unplaced_);
      reorder(trial, candidate);
      RunContext ctx;
      ctx.stop = stop_;
      ctx.notices = [this](const Notice& notice) { keep(notice.text); };
      PlacingOutcome outcome;
      if (inSteps) {
        for (Part& part : trial.workingParts) {
          part.selected = !onPlate(trial, part);
        }
        outcome = PlaceSelectedInSteps(trial, ctx);
      } else {
        outcome = PlaceWaiting(trial, ctx);
      }
      count(std::max<std::uint64_t>(1, ctx.counters.fitTests));
      if (outcome.stopped) {
        break;
      }
      SelectNone(trial);
      const LayoutFigures figures = FiguresOf(trial);
      if (BetterLayout(bestFigures_, figures)) {
        ++stale;
        shared_.tick();
        continue;
      }
      stale = BetterLayout(figures, bestFigures_) ? 0 : stale + 1;
      const bool improved = BetterLayout(figures, bestFigures_);
      order = std::move(candidate);
      bestInSteps = inSteps;
      best_ = std::move(trial);
      bestFigures_ = figures;
      if (improved) {
        shared_.offer(bestFigures_, best_);
      } else {
        shared_.tick();
      }
    }
  }

  // LayoutAll's walk over the parts still off the plate, on the layout as the
  // strip search left it (the grid rebuilt to match); true when it placed more.
  bool refill() {
    PackingJob trial = snapshotOf(best_);
    RebuildPackingPoints(trial);
    trial.gridPending = false;
    RunContext ctx;
    ctx.stop = stop_;
    ctx.notices = [this](const Notice& notice) { keep(notice.text); };
    const PlacingOutcome outcome = PlaceWaiting(trial, ctx);
    count(std::max<std::uint64_t>(1, ctx.counters.fitTests));
    SelectNone(trial);
    const LayoutFigures figures = FiguresOf(trial);
    if (outcome.stopped || !BetterLayout(figures, bestFigures_) || !LayoutValid(trial)) {
      return false;
    }
    best_ = std::move(trial);
    bestFigures_ = figures;
    shared_.offer(bestFigures_, best_);
    return true;
  }

  void mutate(std::vector<int>& order) {
    const int n = static_cast<int>(order.size());
    const int a = random_.below(n);
    int b = random_.below(n - 1);
    b += b >= a ? 1 : 0;
    std::swap(order[static_cast<std::size_t>(a)], order[static_cast<std::size_t>(b)]);
  }

  void keep(const std::string& text) {
    if (std::find(notices_.begin(), notices_.end(), text) == notices_.end()) {
      notices_.push_back(text);
    }
  }

  // The strip-length search on the parts on the plate (their working outlines,
  // so that the gap is kept); each shorter layout it finds is written back to a
  // working snapshot, checked with the fit test and kept when it passes and
  // measures better on the true outlines.
  void shortenStrip(std::uint64_t budget, std::optional<Clock::time_point> deadline) {
    if (budget == 0) {
      return;
    }
    PackingJob work = snapshotOf(best_);
    const int rn = work.params.rotationNumber;
    const bool turnover = work.params.allowTurnover;
    StripProblem problem;
    problem.width = work.params.plateWidth;
    problem.maxLength = work.params.plateLength;
    std::vector<Part*> placed;
    std::vector<Part> startParts;
    for (Part& part : work.workingParts) {
      if (onPlate(work, part)) {
        placed.push_back(&part);
        startParts.push_back(part);
        problem.items.push_back(MakeStripItem(part, rn, turnover));
      }
    }
    if (placed.empty()) {
      return;
    }
    const auto writeBack = [&](const std::vector<ItemPose>& poses) {
      for (std::size_t i = 0; i < placed.size(); ++i) {
        *placed[i] = startParts[i];
        ApplyItemPose(*placed[i], rn, turnover, poses[i]);
      }
    };
    const std::uint64_t spentBefore = evaluations_;
    // Shorter layouts are only noted here; the supervising thread shows the
    // latest (written back, checked and measured) at most every
    // kProgressInterval: doing so for each would cost more than the search on
    // jobs of many parts. What the thread keeps depends only on the search's
    // final layout, never on when a layout was shown.
    if (shared_.hook) {
      const std::lock_guard lock(shownMutex_);
      shownBase_ = std::make_shared<const ShownBase>(ShownBase{snapshotOf(best_), startParts});
      shownPoses_.reset();
    }
    const SeparatorProgress onShorter = [&](const std::vector<ItemPose>& poses, double,
                                            std::uint64_t spent) {
      count(spentBefore + spent - evaluations_);
      if (shared_.hook) {
        const std::lock_guard lock(shownMutex_);
        shownPoses_ = poses;
      }
    };
    SeparatorBudget separatorBudget;
    separatorBudget.evaluations = budget;
    separatorBudget.deadline = deadline;
    const SeparatorResult result =
        MinimiseStripLength(problem, std::vector<ItemPose>(problem.items.size()), random_.next(),
                            separatorBudget, stop_, {}, onShorter);
    count(spentBefore + result.evaluations - evaluations_);
    {
      const std::lock_guard lock(shownMutex_);
      shownPoses_.reset();
    }
    if (!(result.length < result.startLength)) {
      return;
    }
    // Kept only when every part passes the fit test and the true outlines
    // measure better; otherwise the layout the round started from stays.
    writeBack(result.poses);
    if (!LayoutValid(work)) {
      return;
    }
    const LayoutFigures figures = FiguresOf(work);
    if (BetterLayout(figures, bestFigures_)) {
      best_ = std::move(work);
      bestFigures_ = figures;
      shared_.offer(bestFigures_, best_);
    }
  }

  const PackingJob& unplaced_;
  PackingJob best_;
  LayoutFigures bestFigures_;
  int index_ = 0;
  RandomStream random_;
  SearchBudget budget_;
  std::optional<Clock::time_point> deadline_;
  std::stop_token stop_;
  SharedState& shared_;
  Clock::time_point start_;
  std::uint64_t evaluations_ = 0;
  std::vector<std::string> notices_;
  // What the supervising thread needs to show a noted layout.
  struct ShownBase {
    PackingJob job;                // the layout the strip search started from
    std::vector<Part> startParts;  // its parts on the plate, in list order
  };
  std::mutex shownMutex_;
  std::shared_ptr<const ShownBase> shownBase_;
  std::optional<std::vector<ItemPose>> shownPoses_;
};

}  // namespace

bool BetterLayout(const LayoutFigures& a, const LayoutFigures& b) {
  if (a.placedArea != b.placedArea) {
    return a.placedArea > b.placedArea;
  }
  if (a.packedLength != b.packedLength) {
    return a.packedLength < b.packedLength;
  }
  return a.boundingArea < b.boundingArea;
}

LayoutFigures FiguresOf(const PackingJob& job) {
  LayoutFigures figures;
  const PartLookup parts(job);
  std::optional<BBox> box;
  for (const Part& part : job.workingParts) {
    if (!onPlate(job, part)) {
      continue;
    }
    ++figures.placedCount;
    const std::optional<double> area = TrueNetArea(parts, part.id);
    const std::optional<BBox> placed = placedBox(parts, part);
    if (!area || !placed) {
      continue;
    }
    figures.placedArea += *area;
    if (!box) {
      box = placed;
    } else {
      box->xmin = std::min(box->xmin, placed->xmin);
      box->xmax = std::max(box->xmax, placed->xmax);
      box->ymin = std::min(box->ymin, placed->ymin);
      box->ymax = std::max(box->ymax, placed->ymax);
    }
  }
  if (box) {
    // The length runs from the plate's start, as the layout drawing measures it.
    figures.packedLength = std::max(0.0, box->xmax);
    figures.boundingArea = (box->xmax - box->xmin) * (box->ymax - box->ymin);
  }
  if (figures.packedLength > 0.0 && job.params.plateWidth > 0.0) {
    figures.utilisation = figures.placedArea / (figures.packedLength * job.params.plateWidth);
  }
  return figures;
}

SearchResult OptimiseLayout(const PackingJob& job, const SearchSettings& settings,
                            std::stop_token stop, const SearchProgressHook& progress) {
  checkSettings(settings);
  const auto start = Clock::now();
  SearchResult result{snapshotOf(job), {}, {}, 0, 0.0, 0, {}};
  if (job.workingParts.empty()) {
    result.greedy = result.final = FiguresOf(result.best);
    return result;
  }
  // The order search lays this out again and again: its grid is built once.
  PackingJob unplaced = snapshotOf(job);
  if (unplaced.gridPending) {
    RebuildPackingPoints(unplaced);
    unplaced.gridPending = false;
  }
  result.best = snapshotOf(unplaced);

  // The greedy start, on this thread, untimed; its notices are handed back.
  RunContext greedyRun;
  greedyRun.stop = stop;
  greedyRun.notices = [&](const Notice& notice) { result.notices.push_back(notice.text); };
  PlaceWaiting(result.best, greedyRun);
  SelectNone(result.best);
  result.greedy = result.final = FiguresOf(result.best);
  if (result.greedy.placedCount == 0 || stop.stop_requested()) {
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return result;
  }

  const int threads = threadCount(settings);
  std::optional<Clock::time_point> deadline;
  if (settings.budget.seconds) {
    deadline = start + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(*settings.budget.seconds));
  }
  // One stop for the threads: the caller's request or the deadline.
  std::stop_source halt;
  const std::stop_callback forward(stop, [&halt] { halt.request_stop(); });
  SharedState shared(progress, start, result.greedy, threads);

  std::vector<std::unique_ptr<SearchThread>> searches;
  for (int t = 0; t < threads; ++t) {
    searches.push_back(std::make_unique<SearchThread>(unplaced, result.best, result.greedy, t,
                                                      threadSeed(settings.seed, t), settings.budget,
                                                      deadline, halt.get_token(), shared));
  }
  std::mutex doneMutex;
  std::condition_variable doneSignal;
  int running = threads;
  {
    std::vector<std::jthread> workers;
    for (int t = 0; t < threads; ++t) {
      workers.emplace_back([&, t] {
        searches[static_cast<std::size_t>(t)]->run();
        const std::lock_guard lock(doneMutex);
        --running;
        doneSignal.notify_all();
      });
    }
    std::unique_lock lock(doneMutex);
    while (running > 0) {
      doneSignal.wait_for(lock, kWatchInterval);
      if (deadline && Clock::now() >= *deadline) {
        halt.request_stop();
      }
      if (running > 0) {
        lock.unlock();
        if (shared.showDue()) {
          for (const auto& search : searches) {
            search->showLatest();
          }
        }
        shared.tick();
        lock.lock();
      }
    }
  }

  // The best by the figures, ties to the lower thread: the same for the same
  // seed, thread count and evaluation budget, however the threads were timed.
  std::size_t bestThread = 0;
  for (std::size_t t = 0; t < searches.size(); ++t) {
    result.evaluations += searches[t]->evaluations();
    if (BetterLayout(searches[t]->bestFigures(), searches[bestThread]->bestFigures())) {
      bestThread = t;
    }
    for (const std::string& notice : searches[t]->notices()) {
      if (std::find(result.notices.begin(), result.notices.end(), notice) == result.notices.end()) {
        result.notices.push_back(notice);
      }
    }
  }
  SearchThread& winner = *searches[bestThread];
  if (BetterLayout(winner.bestFigures(), result.greedy)) {
    result.best = std::move(winner.best());
    // The grid's occupied points follow the parts as they now lie.
    RebuildPackingPoints(result.best);
    result.best.gridPending = false;
    result.final = FiguresOf(result.best);
  }
  result.threads = threads;
  result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return result;
}

std::function<void(PackingJob& job, RunContext& ctx)> OptimisingPlateDriver(
    const SearchSettings& settings, std::function<void(const SearchResult& result)> finished) {
  checkSettings(settings);
  return [settings, finished = std::move(finished)](PackingJob& job, RunContext& ctx) {
    const int parts = job.workingParts.count();
    SearchProgressHook hook;
    if (ctx.progress) {
      hook = [&ctx, parts](const SearchProgress& step) {
        ctx.progress(LayoutProgress{step.best.placedCount, parts - step.best.placedCount,
                                    step.elapsedSeconds});
      };
    }
    SearchResult result = OptimiseLayout(job, settings, ctx.stop, hook);
    AdoptLayout(job, result.best);
    {
      const ContextNoticeRoute route(ctx);
      for (const std::string& notice : result.notices) {
        notifyWarning(notice);
      }
    }
    if (finished) {
      finished(result);
    }
  };
}

void AdoptLayout(PackingJob& job, PackingJob& layout) {
  // The lists are swapped whole: a move keeps their order.
  std::swap(job.workingParts, layout.workingParts);
  std::swap(job.packingPoints, layout.packingPoints);
  std::swap(job.gridCountX, layout.gridCountX);
  std::swap(job.gridCountY, layout.gridCountY);
  std::swap(job.gridPending, layout.gridPending);
}

}  // namespace tarn
