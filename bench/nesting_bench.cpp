// Lays out the bundled example libraries and a generated library of 300 mixed
// parts (arcs and holes, seeded): the time of LayoutAll and of select-all plus
// LayoutMultipleSteps, with the fit tests made and the parts placed as counters.
//
//   cmake --preset bench && cmake --build --preset bench --target nesting_bench
//   build-bench/bench/nesting_bench

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/predicates.h"
#include "job/fit_tester.h"
#include "job/job_operations.h"
#include "job/packing_job.h"
#include "library/library_loader.h"
#include "nesting/layout.h"

namespace tarn {
namespace {

constexpr int kGeneratedParts = 300;
constexpr unsigned kSeed = 20240611;

struct Library {
  std::string name;
  std::filesystem::path path;
  LibraryFormat format;
};

// Loops of the text library: the first line carries the line count and the
// first vertex, then one line per further vertex with the radius of the edge
// that ends there, then the radius of the closing edge.
class LibraryWriter {
 public:
  void part(const std::string& name) { out_ << "NAME " << name << "\n"; }

  // Straight edges, vertices in order.
  void polygon(const std::vector<std::pair<double, double>>& points) {
    std::vector<double> radii(points.size(), 0.0);
    loop(points, radii);
  }

  // Counter-clockwise for an outline (positive radii), clockwise for a hole.
  void circle(double cx, double cy, double r, bool hole) {
    if (hole) {
      loop({{cx + r, cy}, {cx, cy - r}, {cx - r, cy}, {cx, cy + r}}, {-r, -r, -r, -r});
    } else {
      loop({{cx + r, cy}, {cx, cy + r}, {cx - r, cy}, {cx, cy - r}}, {r, r, r, r});
    }
  }

  void roundedRectangle(double x, double y, double w, double h, double r) {
    loop({{x + r, y},
          {x + w - r, y},
          {x + w, y + r},
          {x + w, y + h - r},
          {x + w - r, y + h},
          {x + r, y + h},
          {x, y + h - r},
          {x, y + r}},
         {0, r, 0, r, 0, r, 0, r});
  }

  std::string text() const { return out_.str() + "#end\n"; }

 private:
  void loop(const std::vector<std::pair<double, double>>& points,
            const std::vector<double>& radii) {
    char line[100];
    std::snprintf(line, sizeof line, "%zu %.3f %.3f\n", points.size() + 1, points[0].first,
                  points[0].second);
    out_ << line;
    for (std::size_t i = 1; i < points.size(); ++i) {
      std::snprintf(line, sizeof line, "%.3f %.3f %.3f\n", radii[i - 1], points[i].first,
                    points[i].second);
      out_ << line;
    }
    std::snprintf(line, sizeof line, "%.3f\n", radii.back());
    out_ << line;
  }

  std::ostringstream out_;
};

// Plates, rings, L-shapes, triangles and slotted bars of 30 to 900 mm.
std::string generatedLibraryText() {
  std::mt19937 random(kSeed);
  const auto uniform = [&random](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(random);
  };
  LibraryWriter w;
  for (int n = 0; n < kGeneratedParts; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "G-%03d", n);
    w.part(name);
    switch (n % 6) {
      case 0: {  // plate with rounded corners and a row of bolt holes
        const double width = uniform(150, 900);
        const double height = uniform(100, 500);
        const double r = uniform(5, height / 5);
        w.roundedRectangle(0, 0, width, height, r);
        const int holes = static_cast<int>(uniform(0, 4));
        const double hr = uniform(6, height / 8);
        for (int h = 0; h < holes; ++h) {
          w.circle(width * (h + 1) / (holes + 1), height / 2, hr, true);
        }
        break;
      }
      case 1: {  // ring
        const double r = uniform(40, 300);
        w.circle(0, 0, r, false);
        w.circle(0, 0, uniform(0.2, 0.6) * r, true);
        break;
      }
      case 2: {  // L-shape with one hole in its foot
        const double width = uniform(120, 700);
        const double height = uniform(120, 700);
        const double leg = uniform(0.25, 0.5);
        w.polygon({{0, 0},
                   {width, 0},
                   {width, height * leg},
                   {width * leg, height * leg},
                   {width * leg, height},
                   {0, height}});
        w.circle(width * leg / 2, height * leg / 2, std::min(width, height) * leg / 5, true);
        break;
      }
      case 3: {  // gusset
        const double width = uniform(80, 500);
        const double height = uniform(80, 500);
        w.polygon({{0, 0}, {width, 0}, {width * 0.15, height}, {0, height}});
        break;
      }
      case 4: {  // slotted bar
        const double width = uniform(200, 900);
        const double height = uniform(60, 200);
        w.roundedRectangle(0, 0, width, height, height / 4);
        w.polygon({{width * 0.2, height * 0.4},
                   {width * 0.2, height * 0.6},
                   {width * 0.8, height * 0.6},
                   {width * 0.8, height * 0.4}});
        break;
      }
      default:  // washer-sized disc
        w.circle(0, 0, uniform(15, 40), false);
        break;
    }
  }
  return "Plate length:6000\nPlate width:3000\nPart distance:4\n" + w.text();
}

// The jobs' output folder, for their timing files, which also holds the
// generated library.
const std::filesystem::path& workFolder() {
  static const std::filesystem::path folder = [] {
    const auto path = std::filesystem::temp_directory_path() / "tarn-nesting-bench";
    std::filesystem::create_directories(path);
    std::ofstream(path / "generated.txt", std::ios::binary) << generatedLibraryText();
    return path;
  }();
  return folder;
}

const std::vector<Library>& libraries() {
  static const std::vector<Library> all = {
      {"brackets", std::filesystem::path(TARN_SOURCE_DIR) / "examples/brackets.txt",
       LibraryFormat::TextLibrary},
      {"flanges", std::filesystem::path(TARN_SOURCE_DIR) / "examples/flanges.preSrc",
       LibraryFormat::PreSrcFile},
      {"panels", std::filesystem::path(TARN_SOURCE_DIR) / "examples/panels.lst",
       LibraryFormat::PartListFile},
      {"generated-300", workFolder() / "generated.txt", LibraryFormat::TextLibrary},
  };
  return all;
}

struct LoadedJob {
  // The timing files and preSrc reports go to the work folder.
  explicit LoadedJob(const Library& library)
      : job(std::make_unique<PackingJob>(errors, workFolder())) {
    openLibrary(*job, library.path, library.format);
  }
  std::ostringstream errors;
  std::unique_ptr<PackingJob> job;
};

void runLayout(benchmark::State& state, bool multipleSteps) {
  workFolder();
  const Library& library = libraries()[static_cast<std::size_t>(state.range(0))];
  std::uint64_t fitTests = 0;
  int placed = 0;
  int parts = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto loaded = std::make_unique<LoadedJob>(library);
    PackingJob& job = *loaded->job;
    RunContext run;
    state.ResumeTiming();
    if (multipleSteps) {
      SelectAll(job);
      LayoutMultipleSteps(job, false, run);
    } else {
      LayoutAll(job, false, run);
    }
    state.PauseTiming();
    fitTests = run.counters.fitTests;
    placed = 0;
    for (const Part& part : job.workingParts) {
      placed += withinRect(part, job.plateExtents) ? 1 : 0;
    }
    parts = job.workingParts.count();
    loaded.reset();
    state.ResumeTiming();
  }
  state.SetLabel(library.name);
  state.counters["fit_tests"] = static_cast<double>(fitTests);
  state.counters["placed"] = placed;
  state.counters["parts"] = parts;
}

void BM_LayoutAll(benchmark::State& state) {
  runLayout(state, false);
}
void BM_LayoutMultipleSteps(benchmark::State& state) {
  runLayout(state, true);
}

BENCHMARK(BM_LayoutAll)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LayoutMultipleSteps)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace tarn
