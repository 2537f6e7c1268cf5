#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "job/packing_job.h"
#include "library/library_loader.h"
#include "optimise/layout_search.h"
#include "output/layout_summary.h"
#include "plates/plate_set.h"

namespace tarn::cli {

// What a layout search did: the JSON's "optimise" object.
struct SearchFacts {
  double seconds = 0.0;  // spent, all plates together
  std::uint64_t evaluations = 0;
  std::uint64_t seed = 0;
  int threads = 0;
  // Greedy and final figures, one pair per plate searched (one without plates).
  std::vector<std::pair<LayoutFigures, LayoutFigures>> plates;
};

// What a run knows beside the job.
struct RunFacts {
  std::string library;  // as given on the command line
  LibraryFormat format = LibraryFormat::TextLibrary;
  bool fromDrawings = false;          // tarnpack --plate: no library, the format "drawings"
  double layoutSeconds = 0.0;         // 0 without a layout
  std::vector<std::string> warnings;  // the core's notices, in order, UTF-8
  std::optional<SearchFacts> search;  // with --optimise or --evaluations
};

// "71.35 %", or "unknown" without a packed length.
std::string utilisationText(const LayoutSummary& summary);

// "46 parts loaded, 46 packed, packed length 1532.4 mm, utilisation 71.35 %,
// layout time 2.84 s"
std::string summaryLine(const PackingJob& job, const LayoutSummary& summary, const RunFacts& facts);

// The --json document; its keys are documented in the README and kept stable.
nlohmann::ordered_json summaryJson(const PackingJob& job, const LayoutSummary& summary,
                                   const RunFacts& facts);

// "792 parts loaded, 792 packed on 3 plates (264, 270, 258), utilisation
// 84.12 %, remnant 9876.5 x 4000 mm, layout time 12.34 s"
std::string plateSetLine(const PlateSetSummary& summary, const RunFacts& facts);

// The --json document of a plate set: the single plate's keys (the figures
// of the set, packedLength the last plate's), each part's plate, the plates
// and the remnant.
nlohmann::ordered_json plateSetJson(const PlateSet& set, const PlateSetSummary& summary,
                                    const RunFacts& facts);

}  // namespace tarn::cli
