// A large order over several plates: the shirts strip-packing instance
// repeated 8 times (792 parts), laid out with LayoutAll's walk as a plate set
// on plates of the instance's own length, and on one plate 8 times as long.
// Counters: plates used and the area lower bound (net area of all parts /
// plate area, rounded up), parts placed, utilisation in per cent (the set's:
// net area / (full plates + the last plate's packed length x width)).
//
//   cmake --preset bench && cmake --build --preset bench --target plates_bench
//   build-bench/bench/plates_bench
//
// The instance is read from $TARN_ESICUP_DIR/shirts.txt, by default from
// bench/esicup/ in the shared folder beside the repository.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "bench/bench_support.h"
#include "job/packing_job.h"
#include "library/library_loader.h"
#include "nesting/layout.h"
#include "output/layout_summary.h"
#include "plates/plate_set.h"

namespace tarn {
namespace {

constexpr int kCopies = 8;

std::filesystem::path instancePath() {
  return bench::esicupFolder() / "shirts.txt";
}

struct Instance {
  double plateLength = 0.0;
  std::string header23;  // the width and gap lines
  std::string parts;     // the part blocks, "NAME" to before "#end"
};

Instance readInstance() {
  std::ifstream in(instancePath(), std::ios::binary);
  if (!in) {
    std::cerr << "plates_bench: cannot read " << instancePath() << "\n";
    std::exit(1);
  }
  Instance instance;
  std::string line;
  std::getline(in, line);
  // "PlateLength = 16200": the value after the 13-character label.
  instance.plateLength = std::atof(line.c_str() + 13);
  for (int k = 0; k < 2 && std::getline(in, line); ++k) {
    instance.header23 += line + "\n";
  }
  while (std::getline(in, line) && !line.starts_with("#end")) {
    if (line.starts_with("NAME") || !instance.parts.empty()) {
      instance.parts += line + "\n";
    }
  }
  return instance;
}

// The parts kCopies times, each copy's names made unique, on a plate of `length`.
std::filesystem::path writeRepeated(const Instance& instance, double length,
                                    const std::string& file) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tarn-plates-bench";
  std::filesystem::create_directories(folder);
  std::ostringstream text;
  text << "PlateLength = " << length << "\n" << instance.header23;
  for (int copy = 0; copy < kCopies; ++copy) {
    std::istringstream parts(instance.parts);
    for (std::string line; std::getline(parts, line);) {
      text << line << (line.starts_with("NAME") ? "_r" + std::to_string(copy) : "") << "\n";
    }
  }
  text << "#end\n";
  std::ofstream(folder / file, std::ios::binary) << text.str();
  return folder / file;
}

struct Loaded {
  explicit Loaded(const std::filesystem::path& library)
      : job(std::make_unique<PackingJob>(errors, library.parent_path())) {
    openLibrary(*job, library, LibraryFormat::TextLibrary);
  }
  std::ostringstream errors;
  std::unique_ptr<PackingJob> job;
};

double netArea(const PackingJob& job) {
  double area = 0.0;
  for (const Part& part : job.workingParts) {
    area += TrueNetArea(job, part.id).value_or(0.0);
  }
  return area;
}

void BM_ShirtsTimes8_PlateSet(benchmark::State& state) {
  const Instance instance = readInstance();
  const std::filesystem::path library =
      writeRepeated(instance, instance.plateLength, "shirts8.txt");
  PlateSetSummary summary;
  double lowerBound = 0.0;
  for (auto _ : state) {
    state.PauseTiming();
    auto loaded = std::make_unique<Loaded>(library);
    const PackingJob& job = *loaded->job;
    lowerBound = std::ceil(netArea(job) / (job.params.plateLength * job.params.plateWidth));
    PlateSet set = MakePlateSet(std::move(*loaded->job), library.parent_path() / "set");
    PlateSetOptions options;
    options.maxPlates = kMaxPlateCount;
    RunContext ctx;
    state.ResumeTiming();
    LayOutPlateSet(set, options, ctx);
    state.PauseTiming();
    summary = SummarisePlateSet(set);
    state.ResumeTiming();
  }
  state.counters["plates"] = static_cast<double>(summary.plates.size());
  state.counters["lower_bound"] = lowerBound;
  state.counters["placed"] = summary.packedCount;
  state.counters["parts"] = summary.partCount;
  state.counters["utilisation_pct"] = summary.utilisation.value_or(0.0) * 100.0;
}

void BM_ShirtsTimes8_LongPlate(benchmark::State& state) {
  const Instance instance = readInstance();
  const std::filesystem::path library =
      writeRepeated(instance, instance.plateLength * kCopies, "shirts8-long.txt");
  LayoutSummary summary;
  int parts = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto loaded = std::make_unique<Loaded>(library);
    PackingJob& job = *loaded->job;
    RunContext ctx;
    state.ResumeTiming();
    PlaceWaiting(job, ctx);
    state.PauseTiming();
    summary = SummariseLayout(job);
    parts = job.workingParts.count();
    loaded.reset();
    state.ResumeTiming();
  }
  state.counters["plates"] = 1;
  state.counters["placed"] = summary.packedCount;
  state.counters["parts"] = parts;
  state.counters["utilisation_pct"] = summary.utilisation.value_or(0.0) * 100.0;
}

BENCHMARK(BM_ShirtsTimes8_PlateSet)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_ShirtsTimes8_LongPlate)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace tarn
