// Greedy layout against the strip-length search on text libraries (by default
// the strip-packing instances of the shared benchmark folder): for each library
// LayoutAll, then one search per thread (seeds seed, seed + 1, ...) from the
// greedy layout for the given time, the shortest result kept. The result is
// written back to the job's parts and checked with PartFits.
//
//   cmake --preset bench && cmake --build --preset bench --target optimise_bench
//   build-bench/bench/optimise_bench --seconds 60
//
// Options: --seconds T (10), --seed S (1), --threads N (2), --evaluations E (no
// bound), --trace (each improvement on stderr), --stop-check (how long a
// requested stop takes, instead of the table), --set name=value (a field of
// SeparatorSettings), then library files (their format detected as tarnpack
// detects it). LayoutAll writes its timing file into the system's
// temporary folder.

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_support.h"
#include "geometry/predicates.h"
#include "job/job_operations.h"
#include "job/packing_job.h"
#include "library/library_loader.h"
#include "nesting/layout.h"
#include "optimise/part_poses.h"
#include "optimise/strip_separator.h"

namespace {

using namespace tarn;

struct Options {
  double seconds = 10.0;
  std::uint64_t seed = 1;
  int threads = 2;
  std::uint64_t evaluations = std::numeric_limits<std::uint64_t>::max();
  bool trace = false;      // print every improvement of every thread
  bool stopCheck = false;  // time how long a requested stop takes instead
  SeparatorSettings settings;
  std::vector<std::filesystem::path> files;
};

// name=value for one field of the search's settings.
void set(SeparatorSettings& s, const std::string& assignment) {
  const std::size_t eq = assignment.find('=');
  const std::string name = assignment.substr(0, eq);
  const double v = eq == std::string::npos ? 0.0 : std::atof(assignment.c_str() + eq + 1);
  const struct {
    const char* name;
    double* real;
    int* whole;
    bool* flag;
  } fields[] = {
      {"exploreShare", &s.exploreShare, nullptr, nullptr},
      {"exploreStepFirst", &s.exploreStepFirst, nullptr, nullptr},
      {"exploreStepMin", &s.exploreStepMin, nullptr, nullptr},
      {"exploreStepGrowth", &s.exploreStepGrowth, nullptr, nullptr},
      {"compressStepFirst", &s.compressStepFirst, nullptr, nullptr},
      {"compressStepLast", &s.compressStepLast, nullptr, nullptr},
      {"exploreStrikes", nullptr, &s.exploreStrikes, nullptr},
      {"exploreIterations", nullptr, &s.exploreIterations, nullptr},
      {"compressStrikes", nullptr, &s.compressStrikes, nullptr},
      {"compressIterations", nullptr, &s.compressIterations, nullptr},
      {"focusedSamples", nullptr, &s.focusedSamples, nullptr},
      {"stripSamples", nullptr, &s.stripSamples, nullptr},
      {"refinedSamples", nullptr, &s.refinedSamples, nullptr},
      {"clearanceShare", &s.clearanceShare, nullptr, nullptr},
      {"exploreDisrupt", nullptr, nullptr, &s.exploreDisrupt},
  };
  for (const auto& f : fields) {
    if (name == f.name) {
      if (f.real) {
        *f.real = v;
      } else if (f.flag) {
        *f.flag = v != 0.0;
      } else {
        *f.whole = static_cast<int>(v);
      }
      return;
    }
  }
  std::fprintf(stderr, "unknown setting %s\n", name.c_str());
  std::exit(2);
}

Options parse(int argc, char** argv) {
  Options o;
  std::vector<std::string> assignments;
  CLI::App app{"Greedy layout against the strip-length search"};
  app.add_option("--seconds", o.seconds, "Time per search")->check(CLI::PositiveNumber);
  app.add_option("--seed", o.seed, "Seed of the first thread's search");
  app.add_option("--threads", o.threads, "Searches, one per thread")->check(CLI::Range(1, 256));
  app.add_option("--evaluations", o.evaluations, "Evaluations per search");
  app.add_option("--set", assignments, "name=value of a search setting");
  app.add_flag("--stop-check", o.stopCheck, "Time how long a requested stop takes");
  app.add_flag("--trace", o.trace, "Every improvement on stderr");
  app.add_option("files", o.files, "Libraries (default: the strip-packing instances)");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    std::exit(app.exit(e));
  }
  for (const std::string& assignment : assignments) {
    set(o.settings, assignment);
  }
  if (o.files.empty()) {
    o.files = bench::esicupInstances();
  }
  return o;
}

bool laidOut(const PackingJob& job, const Part& part) {
  return withinRect(part, job.plateExtents);
}

double netArea(const PackingJob& job) {
  double area = 0.0;
  for (const Part& part : job.workingParts) {
    if (!laidOut(job, part)) {
      continue;
    }
    for (const Part& t : job.trueParts) {
      if (t.id == part.id) {
        area += t.area;
        break;
      }
    }
  }
  return area;
}

double packedLength(const PackingJob& job) {
  double length = 0.0;
  for (const Part& part : job.workingParts) {
    if (laidOut(job, part)) {
      length = std::max(length, part.bbox.xmax);
    }
  }
  return length;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = parse(argc, argv);
  if (!options.stopCheck) {
    std::printf("%-10s %6s %9s %9s %12s %8s %s\n", "instance", "parts", "greedy%", "optim%",
                "evaluations", "seconds", "per-thread%");
  }
  double sumGreedy = 0.0;
  double sumOptimised = 0.0;
  for (const auto& file : options.files) {
    std::ostringstream errors;
    auto job = bench::loadLibrary(file, errors);
    LayoutAll(*job, false);
    const double width = job->params.plateWidth;
    const double area = netArea(*job);
    const double greedyLength = packedLength(*job);

    StripProblem problem;
    problem.width = width;
    problem.maxLength = job->params.plateLength;
    std::vector<Part*> placed;
    for (Part& part : job->workingParts) {
      if (laidOut(*job, part)) {
        placed.push_back(&part);
        problem.items.push_back(
            MakeStripItem(part, job->params.rotationNumber, job->params.allowTurnover));
      }
    }
    const std::vector<ItemPose> start(problem.items.size());

    if (options.stopCheck) {
      // Searches without a budget, stopped after a while: the longest wait for
      // the search to return after the request.
      double longest = 0.0;
      for (const double after : {0.05, 0.3, 1.1, 2.9}) {
        std::stop_source source;
        std::chrono::steady_clock::time_point requested;
        std::jthread worker([&] {
          MinimiseStripLength(problem, start, options.seed, {}, source.get_token(),
                              options.settings);
        });
        std::this_thread::sleep_for(std::chrono::duration<double>(after));
        requested = std::chrono::steady_clock::now();
        source.request_stop();
        worker.join();
        longest = std::max(
            longest,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - requested).count());
      }
      std::printf("%-10s stop honoured within %.4f s\n", file.stem().string().c_str(), longest);
      continue;
    }

    const auto began = std::chrono::steady_clock::now();
    SeparatorBudget budget;
    budget.evaluations = options.evaluations;
    budget.deadline = began + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                  std::chrono::duration<double>(options.seconds));
    std::vector<SeparatorResult> results(static_cast<std::size_t>(options.threads));
    {
      std::vector<std::jthread> workers;
      for (int t = 0; t < options.threads; ++t) {
        workers.emplace_back([&, t] {
          SeparatorProgress trace;
          if (options.trace) {
            trace = [&, t](const std::vector<ItemPose>&, double length, std::uint64_t count) {
              const double seconds =
                  std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
              std::fprintf(stderr, "  thread %d %7.2f s %10llu evaluations %6.2f %%\n", t, seconds,
                           static_cast<unsigned long long>(count), 100.0 * area / (length * width));
            };
          }
          results[static_cast<std::size_t>(t)] =
              MinimiseStripLength(problem, start, options.seed + static_cast<std::uint64_t>(t),
                                  budget, {}, options.settings, trace);
        });
      }
    }
    const double spent =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::size_t best = 0;
    std::uint64_t evaluations = 0;
    std::string perThread;
    for (std::size_t t = 0; t < results.size(); ++t) {
      evaluations += results[t].evaluations;
      if (results[t].length < results[best].length) {
        best = t;
      }
      char text[32];
      std::snprintf(text, sizeof text, " %.2f", 100.0 * area / (results[t].length * width));
      perThread += text;
    }
    const SeparatorResult& result = results[best];
    if (!LayoutFeasible(problem, result.poses) || result.length > greedyLength) {
      std::printf("%s: the search returned an invalid layout\n", file.string().c_str());
      return 1;
    }
    for (std::size_t i = 0; i < placed.size(); ++i) {
      ApplyItemPose(*placed[i], job->params.rotationNumber, job->params.allowTurnover,
                    result.poses[i]);
    }
    for (const Part* part : placed) {
      if (!PartFits(*job, *part)) {
        std::printf("%s: a part written back fails PartFits\n", file.string().c_str());
        return 1;
      }
    }
    const double optimisedLength = packedLength(*job);
    const double greedy = 100.0 * area / (greedyLength * width);
    const double optimised = 100.0 * area / (optimisedLength * width);
    sumGreedy += greedy;
    sumOptimised += optimised;
    std::printf("%-10s %6zu %9.2f %9.2f %12llu %8.1f%s\n", file.stem().string().c_str(),
                placed.size(), greedy, optimised, static_cast<unsigned long long>(evaluations),
                spent, perThread.c_str());
    std::fflush(stdout);
  }
  const double count = static_cast<double>(options.files.size());
  if (options.stopCheck) {
    return 0;
  }
  std::printf("%-10s %6s %9.2f %9.2f\n", "mean", "", sumGreedy / count, sumOptimised / count);
  std::printf("peak memory %ld kB\n", bench::peakKilobytes());
  return 0;
}
