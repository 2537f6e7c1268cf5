#pragma once

// What the benchmark programs share: where the strip-packing instances lie and
// how a library is loaded for a measurement.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "job/packing_job.h"
#include "library/library_loader.h"

namespace tarn::bench {

// $TARN_ESICUP_DIR, else bench/esicup/ in the shared folder beside the repository.
inline std::filesystem::path esicupFolder() {
  if (const char* dir = std::getenv("TARN_ESICUP_DIR"); dir != nullptr && *dir != '\0') {
    return dir;
  }
  return std::filesystem::path(TARN_SOURCE_DIR) / ".." / "shared" / "bench" / "esicup";
}

// The four instances the search is measured on.
inline std::vector<std::filesystem::path> esicupInstances() {
  std::vector<std::filesystem::path> files;
  for (const char* name : {"albano.txt", "dagli.txt", "mao.txt", "shirts.txt"}) {
    files.push_back(esicupFolder() / name);
  }
  return files;
}

// A job loaded from `file` in the format tarnpack would detect; its files go
// to the system's temporary folder and the load's report to `errors`.
inline std::unique_ptr<PackingJob> loadLibrary(const std::filesystem::path& file,
                                               std::ostream& errors) {
  auto job = std::make_unique<PackingJob>(errors, std::filesystem::temp_directory_path());
  openLibrary(*job, file, detectLibraryFormat(file));
  return job;
}

// The process's peak resident memory so far, kB (-1 where /proc does not say).
inline long peakKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) {
      return std::atol(line.c_str() + 6);
    }
  }
  return -1;
}

}  // namespace tarn::bench
