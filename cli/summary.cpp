#include "cli/summary.h"

#include <algorithm>
#include <cstdio>

#include "cli/options.h"
#include "cli/text_encoding.h"
#include "geometry/predicates.h"
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
  return std::to_string(job.workingParts.count()) + " parts loaded, " +
         std::to_string(summary.packedCount) + " packed, packed length " +
         formatNumber(summary.packedLength) + " mm, utilisation " + utilisationText(summary) +
         ", layout time " + seconds;
}

nlohmann::ordered_json summaryJson(const PackingJob& job, const LayoutSummary& summary,
                                   const RunFacts& facts) {
  std::vector<const Part*> parts;
  for (const Part& part : job.workingParts) {
    parts.push_back(&part);
  }
  // By id, which is file order: the list itself is sorted by area.
  std::stable_sort(parts.begin(), parts.end(),
                   [](const Part* a, const Part* b) { return a->id < b->id; });

  nlohmann::ordered_json partArray = nlohmann::ordered_json::array();
  for (const Part* part : parts) {
    const std::optional<double> area = TrueNetArea(job, part->id);
    const auto drawing = job.partDrawings.find(part->id);
    partArray.push_back({
        {"id", part->id},
        {"name", toUtf8(part->nameLabel.text)},
        {"packed", withinRect(*part, job.plateExtents)},
        {"refPoint", {part->refPoint.x, part->refPoint.y}},
        {"rotation", part->rotation},
        {"turnedOver", part->turnedOver},
        {"bbox", {part->bbox.xmin, part->bbox.xmax, part->bbox.ymin, part->bbox.ymax}},
        {"area", area ? nlohmann::ordered_json(*area) : nlohmann::ordered_json(nullptr)},
        {"drawing", drawing != job.partDrawings.end()
                        ? nlohmann::ordered_json(toUtf8(drawing->second.string()))
                        : nlohmann::ordered_json(nullptr)},
    });
  }

  nlohmann::ordered_json warnings = nlohmann::ordered_json::array();
  for (const std::string& warning : facts.warnings) {
    warnings.push_back(toUtf8(warning));
  }

  return {
      {"library", facts.fromDrawings ? nlohmann::ordered_json(nullptr)
                                     : nlohmann::ordered_json(toUtf8(facts.library))},
      {"format", facts.fromDrawings ? std::string("drawings") : formatName(facts.format)},
      {"plate", {{"length", job.params.plateLength}, {"width", job.params.plateWidth}}},
      {"partGap", job.params.partGap},
      {"rotationNumber", job.params.rotationNumber},
      {"packingPointDistance", job.params.packingPointDistance},
      {"allowTurnover", job.params.allowTurnover},
      {"parts", std::move(partArray)},
      {"packedCount", summary.packedCount},
      {"packedLength", summary.packedLength},
      {"packedArea", summary.packedArea},
      {"utilisation", summary.utilisation ? nlohmann::ordered_json(*summary.utilisation)
                                          : nlohmann::ordered_json(nullptr)},
      {"layoutSeconds", facts.layoutSeconds},
      {"warnings", std::move(warnings)},
  };
}

}  // namespace tarn::cli
