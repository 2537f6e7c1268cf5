// The scaled strip job: the parts of shirts.txt repeated k times (unique
// names) on a plate k times as long, laid out by LayoutAll and by select-all
// plus LayoutMultipleSteps. Each run goes in a child process of its own, so
// the peak memory reported is that run's alone. Prints per run: parts, parts
// placed, CPU and wall seconds of the layout, fit tests, peak resident memory
// and a digest of every pose, checked against the digest the engine gave
// before it was reworked (the poses must not change).
//
//   cmake --preset bench && cmake --build --preset bench --target scaled_layout_bench
//   build-bench/bench/scaled_layout_bench [--shirts PATH] [--k 1,4,16]
//       [--driver all|multi|both|relayout] [--repeat N] [--dump DIR]
//
// relayout is LayoutAll, then Layout of every third part (laid-out parts move).
// PATH defaults to $TARN_SHIRTS, else shirts.txt of $TARN_ESICUP_DIR or of
// bench/esicup/ in the shared folder beside the repository.
// --dump writes every pose dump (<driver>_<k>.txt) for a diff.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "geometry/core_error.h"
#include "geometry/predicates.h"
#include "job/job_operations.h"
#include "job/packing_job.h"
#include "library/library_loader.h"
#include "nesting/layout.h"

namespace tarn {
namespace {

constexpr std::size_t kPlateLengthLabel = 13;  // "PlateLength =" of the text library header

// Digests of the pose dumps the engine gave these jobs before its rework, for
// the shirts.txt whose bytes have this digest (another library: not recorded).
constexpr std::uint64_t kShirtsDigest = 0x9a8b516c6bc03895ull;
struct RecordedDigest {
  const char* driver;
  int k;
  std::uint64_t digest;
};
constexpr RecordedDigest kRecorded[] = {
    {"all", 1, 0xf0a5ec92ac768990ull},       {"multi", 1, 0xa0145da0113bd8a8ull},
    {"all", 4, 0x0b3bde4c556be640ull},       {"multi", 4, 0x2875fb748380f814ull},
    {"all", 16, 0xb315519b5785e362ull},      {"multi", 16, 0x45a786a9da07c218ull},
    {"relayout", 1, 0xe79fb0c9a35db278ull},  {"relayout", 4, 0x6c8c25dcc8d61490ull},
    {"relayout", 16, 0x7b23ee6a091eb49cull},
};

struct Options {
  std::filesystem::path shirts;
  std::vector<int> ks{1, 4, 16};
  std::vector<std::string> drivers{"all", "multi"};
  int repeat = 1;
  std::filesystem::path dumpFolder;
};

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "scaled_layout_bench: cannot read %s\n", path.c_str());
    std::exit(1);
  }
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The header with the plate length times k, then the parts block k times; the
// copies after the first get "_r<n>" after their names. Comment lines go.
std::string scaledLibrary(const std::string& source, int k) {
  std::istringstream in(source);
  std::vector<std::string> header;
  std::vector<std::string> parts;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (line.starts_with("#end")) {
      break;
    }
    if (header.size() < 3) {
      header.push_back(line);
    } else if (!line.starts_with("#")) {
      parts.push_back(line);
    }
  }
  if (header.size() < 3 || header[0].size() < kPlateLengthLabel) {
    std::fprintf(stderr, "scaled_layout_bench: not a text part library\n");
    std::exit(1);
  }
  const double length = std::atof(header[0].c_str() + kPlateLengthLabel);
  char lengthText[64];
  std::snprintf(lengthText, sizeof lengthText, " %.17g", length * k);
  std::string text = header[0].substr(0, kPlateLengthLabel) + lengthText + "\n";
  text += header[1] + "\n" + header[2] + "\n";
  for (int copy = 0; copy < k; ++copy) {
    for (const std::string& line : parts) {
      text += line;
      if (copy > 0 && line.starts_with("NAME ")) {
        text += "_r" + std::to_string(copy);
      }
      text += "\n";
    }
  }
  return text + "#end\n";
}

std::string dumpPoses(const PackingJob& job) {
  std::string dump;
  char line[160];
  for (const Part& part : job.workingParts) {
    std::snprintf(line, sizeof line, "%d %.17g %.17g %.17g %d\n", part.id, part.refPoint.x,
                  part.refPoint.y, part.rotation, part.turnedOver ? 1 : 0);
    dump += line;
  }
  return dump;
}

std::uint64_t fnv1a(const std::string& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double wallSeconds() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct RunFigures {
  int parts = 0;
  int placed = 0;
  double cpu = 0.0;
  double wall = 0.0;
  unsigned long long fitTests = 0;
  unsigned long long digest = 0;
};

// Loads the library into a fresh job and lays it out; the figures go to `out`
// as one line, for the parent to read.
void runOnce(const std::filesystem::path& library, const std::filesystem::path& folder,
             const std::string& driver, const Options& options, int k, FILE* out) {
  std::ostringstream errors;
  PackingJob job(errors, folder);
  openLibrary(job, library, LibraryFormat::TextLibrary);
  RunContext run;
  RunFigures figures;
  const double cpu0 = cpuSeconds();
  const double wall0 = wallSeconds();
  if (driver == "multi") {
    SelectAll(job);
    LayoutMultipleSteps(job, false, run);
  } else if (driver == "relayout") {
    // Laid-out parts move: every third part is laid out again among the rest.
    LayoutAll(job, false, run);
    int index = 0;
    for (Part& part : job.workingParts) {
      part.selected = index++ % 3 == 0;
    }
    Layout(job, false, run);
  } else {
    LayoutAll(job, false, run);
  }
  figures.cpu = cpuSeconds() - cpu0;
  figures.wall = wallSeconds() - wall0;
  figures.fitTests = run.counters.fitTests;
  figures.parts = job.workingParts.count();
  for (const Part& part : job.workingParts) {
    figures.placed += withinRect(part, job.plateExtents) ? 1 : 0;
  }
  const std::string dump = dumpPoses(job);
  figures.digest = fnv1a(dump);
  if (!options.dumpFolder.empty()) {
    std::ofstream(options.dumpFolder / (driver + "_" + std::to_string(k) + ".txt"),
                  std::ios::binary)
        << dump;
  }
  std::fprintf(out, "%d %d %.17g %.17g %llu %llu\n", figures.parts, figures.placed, figures.cpu,
               figures.wall, figures.fitTests, figures.digest);
  std::fflush(out);
}

const char* digestVerdict(const std::string& source, const std::string& driver, int k,
                          std::uint64_t digest) {
  if (fnv1a(source) != kShirtsDigest) {
    return "not recorded";
  }
  for (const RecordedDigest& recorded : kRecorded) {
    if (driver == recorded.driver && k == recorded.k) {
      if (recorded.digest == 0) {
        return "not recorded";
      }
      return recorded.digest == digest ? "same" : "CHANGED";
    }
  }
  return "not recorded";
}

std::vector<int> parseList(const char* text) {
  std::vector<int> values;
  std::istringstream in(text);
  for (std::string item; std::getline(in, item, ',');) {
    values.push_back(std::atoi(item.c_str()));
  }
  return values;
}

Options parseOptions(int argc, char** argv) {
  Options options;
  const char* env = std::getenv("TARN_SHIRTS");
  options.shirts = env != nullptr && *env != '\0' ? std::filesystem::path(env)
                                                  : bench::esicupFolder() / "shirts.txt";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (value == nullptr) {
      std::fprintf(stderr, "scaled_layout_bench: %s needs a value\n", arg.c_str());
      std::exit(2);
    }
    ++i;
    if (arg == "--shirts") {
      options.shirts = value;
    } else if (arg == "--k") {
      options.ks = parseList(value);
    } else if (arg == "--driver") {
      const std::string driver = value;
      options.drivers = driver == "both" ? std::vector<std::string>{"all", "multi"}
                                         : std::vector<std::string>{driver};
    } else if (arg == "--repeat") {
      options.repeat = std::max(1, std::atoi(value));
    } else if (arg == "--dump") {
      options.dumpFolder = value;
      std::filesystem::create_directories(options.dumpFolder);
    } else {
      std::fprintf(stderr, "scaled_layout_bench: unknown option %s\n", arg.c_str());
      std::exit(2);
    }
  }
  return options;
}

int run(int argc, char** argv) {
  const Options options = parseOptions(argc, argv);
  const std::string source = readFile(options.shirts);
  const auto folder = std::filesystem::temp_directory_path() /
                      ("tarn-scaled-bench-" + std::to_string(static_cast<long>(getpid())));
  std::filesystem::create_directories(folder);
  std::printf("%-6s %5s %6s %9s %9s %12s %8s  %-16s %s\n", "driver", "k", "parts", "cpu_s",
              "wall_s", "fit_tests", "peak_MB", "pose_digest", "poses");
  int status = 0;
  for (const int k : options.ks) {
    const std::filesystem::path library = folder / ("shirts_x" + std::to_string(k) + ".txt");
    std::ofstream(library, std::ios::binary) << scaledLibrary(source, k);
    for (const std::string& driver : options.drivers) {
      for (int r = 0; r < options.repeat; ++r) {
        int channel[2];
        if (pipe(channel) != 0) {
          std::perror("pipe");
          return 1;
        }
        std::fflush(stdout);
        const pid_t child = fork();
        if (child == 0) {
          close(channel[0]);
          FILE* out = fdopen(channel[1], "w");
          try {
            runOnce(library, folder, driver, options, k, out);
          } catch (const CoreError& e) {
            std::fprintf(stderr, "scaled_layout_bench: %s\n", e.what());
            _exit(1);
          }
          _exit(0);
        }
        close(channel[1]);
        FILE* in = fdopen(channel[0], "r");
        RunFigures f;
        const int read = std::fscanf(in, "%d %d %lg %lg %llu %llu", &f.parts, &f.placed, &f.cpu,
                                     &f.wall, &f.fitTests, &f.digest);
        std::fclose(in);
        int childStatus = 0;
        rusage usage{};
        wait4(child, &childStatus, 0, &usage);
        if (read != 6 || !WIFEXITED(childStatus) || WEXITSTATUS(childStatus) != 0) {
          std::fprintf(stderr, "scaled_layout_bench: the run of %s at k = %d failed\n",
                       driver.c_str(), k);
          status = 1;
          continue;
        }
        const char* verdict = digestVerdict(source, driver, k, f.digest);
        if (std::strcmp(verdict, "CHANGED") == 0) {
          status = 1;
        }
        // ru_maxrss is in kilobytes on Linux.
        std::printf("%-6s %5d %6d %9.3f %9.3f %12llu %8.1f  %016llx %s (%d placed)\n",
                    driver.c_str(), k, f.parts, f.cpu, f.wall, f.fitTests,
                    static_cast<double>(usage.ru_maxrss) / 1024.0, f.digest, verdict, f.placed);
      }
    }
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return status;
}

}  // namespace
}  // namespace tarn

int main(int argc, char** argv) {
  return tarn::run(argc, argv);
}
