// Greedy layout against the job-level layout search (OptimiseLayout) on text
// libraries, by default the strip-packing instances of the shared benchmark
// folder: one table row per library and time budget.
//
//   cmake --preset bench && cmake --build --preset bench --target layout_search_bench
//   build-bench/bench/layout_search_bench --seconds 10 --seconds 60
//
// Options: --seconds T (repeatable; default 10), --seed S (1), --threads N (2),
// --evaluations E (per thread, no bound by default), --stop-check (how long a
// requested stop takes, instead of the table), then library files (their
// format detected as tarnpack detects it). Nothing is written to disk.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_support.h"
#include "geometry/predicates.h"
#include "job/job_operations.h"
#include "job/packing_job.h"
#include "library/library_loader.h"
#include "optimise/layout_search.h"

namespace {

using namespace tarn;

struct Options {
  std::vector<double> seconds;
  std::uint64_t seed = 1;
  int threads = 2;
  std::optional<std::uint64_t> evaluations;
  bool stopCheck = false;
  std::vector<std::filesystem::path> files;
};

Options parse(int argc, char** argv) {
  Options o;
  std::uint64_t evaluations = 0;
  CLI::App app{"Greedy layouts against the layout search"};
  app.add_option("--seconds", o.seconds, "Budget of a search; repeat for several columns")
      ->check(CLI::PositiveNumber);
  app.add_option("--seed", o.seed, "Seed of the search");
  app.add_option("--threads", o.threads, "Search threads")->check(CLI::Range(1, 256));
  auto* evaluationsOption = app.add_option("--evaluations", evaluations, "Evaluations per thread")
                                ->check(CLI::PositiveNumber);
  app.add_flag("--stop-check", o.stopCheck, "Time how long a requested stop takes");
  app.add_option("files", o.files, "Libraries (default: the strip-packing instances)");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    std::exit(app.exit(e));
  }
  if (evaluationsOption->count() > 0) {
    o.evaluations = evaluations;
  }
  if (o.seconds.empty()) {
    o.seconds.push_back(10.0);
  }
  if (o.files.empty()) {
    o.files = bench::esicupInstances();
  }
  return o;
}

bool allFit(const PackingJob& job) {
  for (const Part& part : job.workingParts) {
    if (withinRect(part, job.plateExtents) && !PartFits(job, part)) {
      return false;
    }
  }
  return true;
}

// Searches without a budget, stopped after a while: the longest wait from the
// request to the search's return.
void stopCheck(const PackingJob& job, const Options& options, const std::string& name) {
  double longest = 0.0;
  for (const double after : {0.05, 0.3, 1.1, 2.9}) {
    std::stop_source source;
    SearchSettings settings;
    settings.seed = options.seed;
    settings.threads = options.threads;
    std::jthread search([&] { OptimiseLayout(job, settings, source.get_token()); });
    std::this_thread::sleep_for(std::chrono::duration<double>(after));
    const auto requested = std::chrono::steady_clock::now();
    source.request_stop();
    search.join();
    longest = std::max(
        longest,
        std::chrono::duration<double>(std::chrono::steady_clock::now() - requested).count());
  }
  std::printf("%-10s stop honoured within %.4f s\n", name.c_str(), longest);
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = parse(argc, argv);
  for (const double seconds : options.seconds) {
    if (!options.stopCheck) {
      std::printf("%g s, %d threads, seed %llu\n", seconds, options.threads,
                  static_cast<unsigned long long>(options.seed));
      std::printf("%-10s %6s %9s %9s %12s %8s\n", "instance", "parts", "greedy%", "optim%",
                  "evaluations", "seconds");
    }
    double sumGreedy = 0.0;
    double sumFinal = 0.0;
    for (const auto& file : options.files) {
      std::ostringstream errors;
      const std::unique_ptr<PackingJob> job = bench::loadLibrary(file, errors);
      const std::string name = file.stem().string();
      if (options.stopCheck) {
        stopCheck(*job, options, name);
        continue;
      }
      SearchSettings settings;
      settings.seed = options.seed;
      settings.threads = options.threads;
      settings.budget.seconds = seconds;
      settings.budget.evaluations = options.evaluations;
      const SearchResult result = OptimiseLayout(*job, settings);
      if (!allFit(result.best) || BetterLayout(result.greedy, result.final)) {
        std::printf("%s: the search returned an invalid or worse layout\n", name.c_str());
        return 1;
      }
      sumGreedy += result.greedy.utilisation;
      sumFinal += result.final.utilisation;
      std::printf("%-10s %6d %9.2f %9.2f %12llu %8.1f\n", name.c_str(), result.final.placedCount,
                  100.0 * result.greedy.utilisation, 100.0 * result.final.utilisation,
                  static_cast<unsigned long long>(result.evaluations), result.seconds);
      std::fflush(stdout);
    }
    if (options.stopCheck) {
      break;
    }
    const double count = static_cast<double>(options.files.size());
    std::printf("%-10s %6s %9.2f %9.2f\n\n", "mean", "", 100.0 * sumGreedy / count,
                100.0 * sumFinal / count);
  }
  std::printf("peak memory %ld kB\n", bench::peakKilobytes());
  return 0;
}
