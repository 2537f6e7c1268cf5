#include "app/status.h"

#include <algorithm>
#include <cstdio>

#include "app/app_texts.h"
#include "app/open_drawings.h"
#include "app/plate_tabs.h"
#include "geometry/predicates.h"
#include "output/dxf_writer.h"
#include "output/layout_summary.h"

namespace tarn {

StatusFigures statusFigures(const PackingJob& job) {
  const LayoutSummary summary = SummariseLayout(job);
  StatusFigures figures;
  figures.loaded = job.workingParts.count();
  figures.packed = summary.packedCount;
  figures.waiting = figures.loaded - figures.packed;
  figures.packedLength = summary.packedLength;
  figures.utilisation = summary.utilisation;
  figures.rotationNumber = job.params.rotationNumber;
  figures.packingPointDistance = job.params.packingPointDistance;
  return figures;
}

StatusTexts statusTexts(const AppState& state) {
  StatusTexts texts;
  if (!state.job) {
    texts.parts = app_text::kStatusNoJob;
    return texts;
  }
  const StatusFigures figures = statusFigures(*state.job);
  texts.parts =
      app_text::printed(app_text::kStatusParts, figures.loaded, figures.packed, figures.waiting);
  // The command line's summary prints the length with %g and the utilisation with %.2f.
  texts.length =
      app_text::printed(app_text::kStatusLength, formatNumber(figures.packedLength).c_str());
  texts.utilisation = figures.utilisation ? app_text::printed(app_text::kStatusUtilisation,
                                                              *figures.utilisation * 100.0)
                                          : std::string(app_text::kStatusUtilisationUnknown);
  texts.rotationNumber = app_text::printed(app_text::kStatusRotationNumber, figures.rotationNumber);
  texts.packingPointDistance = app_text::printed(
      app_text::kStatusDistance, formatNumber(figures.packingPointDistance).c_str());
  return texts;
}

std::string cursorText(const AppState& state) {
  if (!state.job) {
    return std::string(app_text::kStatusNoCursor);
  }
  const Point at = state.viewport.view.screenToWorld(state.gesture.currentMouse);
  return app_text::printed(app_text::kStatusCursor, at.x, at.y);
}

std::string modeText(const AppState& state) {
  const auto index = static_cast<std::size_t>(state.gesture.mode);
  const std::string_view name =
      index < std::size(app_text::kModeNames) ? app_text::kModeNames[index] : std::string_view();
  return app_text::printed(app_text::kStatusMode, std::string(name).c_str());
}

std::string windowTitle(const AppState& state) {
  const std::string program(app_text::kProgramName);
  if (!state.job || state.libraryPath.empty()) {
    return program;
  }
  std::string name = drawingsName(state.libraryPath, state.moreDrawings);
  if (const std::size_t plates = plateCount(state); plates > 1) {
    name = app_text::printed(app_text::kTitlePlate, name.c_str(),
                             static_cast<int>(currentPlate(state) + 1), static_cast<int>(plates));
  }
  return name + " - " + program;
}

std::vector<PartRow> partRows(const PackingJob& job) {
  std::vector<PartRow> rows;
  rows.reserve(static_cast<std::size_t>(job.workingParts.count()));
  for (const Part& part : job.workingParts) {
    rows.push_back({part.id, part.nameLabel.text, withinRect(part, job.plateExtents),
                    part.turnedOver, part.selected});
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const PartRow& a, const PartRow& b) { return a.id < b.id; });
  return rows;
}

void rememberLibrary(std::vector<RecentLibrary>& recent, const RecentLibrary& library) {
  std::erase_if(recent,
                [&library](const RecentLibrary& entry) { return entry.path == library.path; });
  recent.insert(recent.begin(), library);
  if (recent.size() > kRecentLibraryCount) {
    recent.resize(kRecentLibraryCount);
  }
}

}  // namespace tarn
