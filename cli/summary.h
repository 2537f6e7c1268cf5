#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "job/packing_job.h"
#include "library/library_loader.h"
#include "output/layout_summary.h"

namespace tarn::cli {

// What a run knows beside the job.
struct RunFacts {
  std::string library;  // as given on the command line
  LibraryFormat format = LibraryFormat::TextLibrary;
  bool fromDrawings = false;          // tarnpack --plate: no library, the format "drawings"
  double layoutSeconds = 0.0;         // 0 without a layout
  std::vector<std::string> warnings;  // the core's notices, in order, UTF-8
};

// "71.35 %", or "unknown" without a packed length.
std::string utilisationText(const LayoutSummary& summary);

// "46 parts loaded, 46 packed, packed length 1532.4 mm, utilisation 71.35 %,
// layout time 2.84 s"
std::string summaryLine(const PackingJob& job, const LayoutSummary& summary, const RunFacts& facts);

// The --json document; its keys are documented in the README and kept stable.
nlohmann::ordered_json summaryJson(const PackingJob& job, const LayoutSummary& summary,
                                   const RunFacts& facts);

}  // namespace tarn::cli
