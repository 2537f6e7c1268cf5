// Greedy layout against the job-level layout search (OptimiseLayout) on text
// libraries, by default the strip-packing instances of the shared benchmark
// folder: one table row per library and time budget.
//
//   cmake --preset bench && cmake --build --preset bench --target layout_search_bench
//   build-bench/bench/layout_search_bench --seconds 10 --seconds 60
//
// Options: --seconds T (repeatable; default 10), --seed S (1), --threads N (2),
// --evaluations E (per thread, no bound by default), --stop-check (how long a
// requested stop takes, instead of the table), then library files (.lst part
// lists, .preSrc files, else text libraries). Nothing is written to disk.

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

#include "geometry/predicates.h"
#include "job/job_operations.h"
#include "job/packing_job.h"
#include "library/library_loader.h"
#include "optimise/layout_search.h"

namespace {

using namespace tarn;

constexpr const char* kDefaultFolder = "/work/shared/bench/esicup";
constexpr const char* kDefaultInstances[] = {"albano.txt", "dagli.txt", "mao.txt", "shirts.txt"};

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
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&]() -> const char* {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "%s needs a value\n", arg.c_str());
        std::exit(2);
      }
      return argv[++i];
    };
    if (arg == "--seconds") {
      o.seconds.push_back(std::atof(value()));
    } else if (arg == "--seed") {
      o.seed = std::strtoull(value(), nullptr, 10);
    } else if (arg == "--threads") {
      o.threads = std::atoi(value());
    } else if (arg == "--evaluations") {
      o.evaluations = std::strtoull(value(), nullptr, 10);
    } else if (arg == "--stop-check") {
      o.stopCheck = true;
    } else {
      o.files.emplace_back(arg);
    }
  }
  if (o.seconds.empty()) {
    o.seconds.push_back(10.0);
  }
  if (o.files.empty()) {
    for (const char* name : kDefaultInstances) {
      o.files.push_back(std::filesystem::path(kDefaultFolder) / name);
    }
  }
  return o;
}

std::unique_ptr<PackingJob> load(const std::filesystem::path& file, std::ostream& errors) {
  auto job = std::make_unique<PackingJob>(errors, std::filesystem::temp_directory_path());
  const std::string extension = file.extension().string();
  const LibraryFormat format = extension == ".lst"      ? LibraryFormat::PartListFile
                               : extension == ".preSrc" ? LibraryFormat::PreSrcFile
                                                        : LibraryFormat::TextLibrary;
  openLibrary(*job, file, format);
  return job;
}

bool allFit(const PackingJob& job) {
  for (const Part& part : job.workingParts) {
    if (withinRect(part, job.plateExtents) && !PartFits(job, part)) {
      return false;
    }
  }
  return true;
}

long peakKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) {
      return std::atol(line.c_str() + 6);
    }
  }
  return -1;
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
      const std::unique_ptr<PackingJob> job = load(file, errors);
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
  std::printf("peak memory %ld kB\n", peakKilobytes());
  return 0;
}
