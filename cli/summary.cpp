#include "cli/summary.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <optional>

#include "cli/options.h"
#include "cli/text_encoding.h"
#include "geometry/predicates.h"
#include "job/placed_part.h"
#include "output/dxf_writer.h"

namespace tarn::cli {

std::string utilisationText(const LayoutSummary& summary) {
  if (!summary.utilisation) {
    return "unknown";
  }
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f %%", *summary.utilisation * 100.0);
  return buffer;
}

std::string summaryLine(const PackingJob& job, const LayoutSummary& summary,
                        const RunFacts& facts) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.2f s", facts.layoutSeconds);
  std::string line = std::to_string(job.workingParts.count()) + " parts loaded, " +
                     std::to_string(summary.packedCount) + " packed, packed length " +
                     formatNumber(summary.packedLength) + " mm, utilisation " +
                     utilisationText(summary) + ", layout time " + seconds;
  if (facts.search && facts.search->plates.size() == 1) {
    // What the search gained over the layout it started from.
    const LayoutFigures& greedy = facts.search->plates.front().first;
    std::snprintf(seconds, sizeof seconds, "%.2f s", facts.search->seconds);
    line += ", search " + std::string(seconds) + " from packed length " +
            formatNumber(greedy.packedLength) + " mm";
  }
  return line;
}

namespace {

nlohmann::ordered_json orNull(const std::optional<double>& value) {
  return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

// One part as it lies in its job; with a set, the plate it lies on (from 1,
// null while it waits) follows "packed".
nlohmann::ordered_json partJson(const PackingJob& job, const PartLookup& lookup, const Part& part,
                                std::optional<int> setPlate = std::nullopt, bool inSet = false) {
  const bool packed = withinRect(part, job.plateExtents);
  nlohmann::ordered_json entry = {
      {"id", part.id},
      {"name", toUtf8(part.nameLabel.text)},
      {"packed", packed},
  };
  if (inSet) {
    entry["plate"] =
        packed && setPlate ? nlohmann::ordered_json(*setPlate) : nlohmann::ordered_json(nullptr);
  }
  entry["refPoint"] = {part.refPoint.x, part.refPoint.y};
  entry["rotation"] = part.rotation;
  entry["turnedOver"] = part.turnedOver;
  entry["bbox"] = {part.bbox.xmin, part.bbox.xmax, part.bbox.ymin, part.bbox.ymax};
  entry["area"] = orNull(TrueNetArea(lookup, part.id));
  const auto drawing = job.partDrawings.find(part.id);
  entry["drawing"] = drawing != job.partDrawings.end()
                         ? nlohmann::ordered_json(toUtf8(drawing->second.string()))
                         : nlohmann::ordered_json(nullptr);
  return entry;
}

// By id, which is file order: the lists themselves are sorted by area.
template <class Entry>
void sortById(std::vector<Entry>& entries) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.part->id < b.part->id; });
}

nlohmann::ordered_json warningsJson(const RunFacts& facts) {
  nlohmann::ordered_json warnings = nlohmann::ordered_json::array();
  for (const std::string& warning : facts.warnings) {
    warnings.push_back(toUtf8(warning));
  }
  return warnings;
}

// The keys every document starts with: the run and the job's settings.
nlohmann::ordered_json headJson(const PackingJob& job, const RunFacts& facts) {
  return {
      {"library", facts.fromDrawings ? nlohmann::ordered_json(nullptr)
                                     : nlohmann::ordered_json(toUtf8(facts.library))},
      {"format", facts.fromDrawings ? std::string("drawings") : formatName(facts.format)},
      {"plate", {{"length", job.params.plateLength}, {"width", job.params.plateWidth}}},
      {"partGap", job.params.partGap},
      {"rotationNumber", job.params.rotationNumber},
      {"packingPointDistance", job.params.packingPointDistance},
      {"allowTurnover", job.params.allowTurnover},
  };
}

nlohmann::ordered_json figuresJson(const LayoutFigures& figures) {
  return {
      {"packedLength", figures.packedLength},
      {"utilisation", figures.packedLength > 0.0 ? nlohmann::ordered_json(figures.utilisation)
                                                 : nlohmann::ordered_json(nullptr)},
  };
}

// The search's figures: one greedy and final pair for a single plate, a list
// of them, plate by plate, for a set.
void addSearch(nlohmann::ordered_json& document, const RunFacts& facts, bool set) {
  if (!facts.search) {
    return;
  }
  const SearchFacts& search = *facts.search;
  nlohmann::ordered_json entry = {
      {"seconds", search.seconds},
      {"evaluations", search.evaluations},
      {"seed", search.seed},
      {"threads", search.threads},
  };
  if (set) {
    nlohmann::ordered_json plates = nlohmann::ordered_json::array();
    for (std::size_t k = 0; k < search.plates.size(); ++k) {
      plates.push_back({{"plate", k + 1},
                        {"greedy", figuresJson(search.plates[k].first)},
                        {"final", figuresJson(search.plates[k].second)}});
    }
    entry["plates"] = std::move(plates);
  } else if (!search.plates.empty()) {
    entry["greedy"] = figuresJson(search.plates.front().first);
    entry["final"] = figuresJson(search.plates.front().second);
  }
  document["optimise"] = std::move(entry);
}

struct PartOnPlate {
  const Part* part = nullptr;
  const PackingJob* job = nullptr;
  int plate = 0;  // from 1
};

}  // namespace

nlohmann::ordered_json summaryJson(const PackingJob& job, const LayoutSummary& summary,
                                   const RunFacts& facts) {
  std::vector<PartOnPlate> parts;
  for (const Part& part : job.workingParts) {
    parts.push_back({&part, &job, 1});
  }
  sortById(parts);
  nlohmann::ordered_json partArray = nlohmann::ordered_json::array();
  const PartLookup lookup(job);
  for (const PartOnPlate& entry : parts) {
    partArray.push_back(partJson(job, lookup, *entry.part));
  }

  nlohmann::ordered_json document = headJson(job, facts);
  document["parts"] = std::move(partArray);
  document["packedCount"] = summary.packedCount;
  document["packedLength"] = summary.packedLength;
  document["packedArea"] = summary.packedArea;
  document["utilisation"] = orNull(summary.utilisation);
  document["layoutSeconds"] = facts.layoutSeconds;
  addSearch(document, facts, false);
  document["warnings"] = warningsJson(facts);
  return document;
}

std::string plateSetLine(const PlateSetSummary& summary, const RunFacts& facts) {
  std::string counts;
  for (const LayoutSummary& plate : summary.plates) {
    counts += (counts.empty() ? "" : ", ") + std::to_string(plate.packedCount);
  }
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.2f s", facts.layoutSeconds);
  LayoutSummary whole;
  whole.utilisation = summary.utilisation;
  const std::size_t plates = summary.plates.size();
  return std::to_string(summary.partCount) + " parts loaded, " +
         std::to_string(summary.packedCount) + " packed on " + std::to_string(plates) +
         (plates == 1 ? " plate (" : " plates (") + counts + "), utilisation " +
         utilisationText(whole) + ", remnant " + formatNumber(summary.remnant.length) + " x " +
         formatNumber(summary.remnant.width) + " mm, layout time " + seconds;
}

nlohmann::ordered_json plateSetJson(const PlateSet& set, const PlateSetSummary& summary,
                                    const RunFacts& facts) {
  std::vector<PartOnPlate> parts;
  for (std::size_t k = 0; k < set.plates.size(); ++k) {
    for (const Part& part : set.plates[k].workingParts) {
      parts.push_back({&part, &set.plates[k], static_cast<int>(k) + 1});
    }
  }
  sortById(parts);
  std::vector<PartLookup> lookups;
  for (const PackingJob& plate : set.plates) {
    lookups.emplace_back(plate);
  }
  nlohmann::ordered_json partArray = nlohmann::ordered_json::array();
  for (const PartOnPlate& entry : parts) {
    partArray.push_back(partJson(*entry.job, lookups[static_cast<std::size_t>(entry.plate - 1)],
                                 *entry.part, entry.plate, true));
  }

  nlohmann::ordered_json plateArray = nlohmann::ordered_json::array();
  for (std::size_t k = 0; k < summary.plates.size(); ++k) {
    const LayoutSummary& plate = summary.plates[k];
    plateArray.push_back({
        {"plate", k + 1},
        {"packedCount", plate.packedCount},
        {"packedLength", plate.packedLength},
        {"packedArea", plate.packedArea},
        {"utilisation", orNull(plate.utilisation)},
    });
  }

  assert(!set.plates.empty());  // a set starts with the loaded job
  nlohmann::ordered_json document = headJson(set.plates.front(), facts);
  document["parts"] = std::move(partArray);
  document["plates"] = std::move(plateArray);
  document["packedCount"] = summary.packedCount;
  document["packedLength"] = summary.plates.back().packedLength;
  document["packedArea"] = summary.packedArea;
  document["utilisation"] = orNull(summary.utilisation);
  document["remnant"] = {
      {"plate", summary.remnant.plate},
      {"x", summary.remnant.x},
      {"length", summary.remnant.length},
      {"width", summary.remnant.width},
  };
  document["layoutSeconds"] = facts.layoutSeconds;
  addSearch(document, facts, true);
  document["warnings"] = warningsJson(facts);
  return document;
}

}  // namespace tarn::cli
