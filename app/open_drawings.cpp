#include "app/open_drawings.h"

#include <cstdint>
#include <cstdio>
#include <system_error>

#include "app/app_texts.h"
#include "geometry/core_error.h"
#include "geometry/texts.h"
#include "job/nest_params.h"
#include "library/line_reader.h"

namespace tarn {
namespace {

bool usableSize(double value) {
  return value >= 0.0 && value <= kMaxInputMagnitude;  // false for NaN
}

}  // namespace

DrawingJobRequest drawingJobDefaults(const AppState& state,
                                     const std::vector<std::filesystem::path>& drawings) {
  const NestParams params = state.job ? state.job->params : NestParams{};
  DrawingJobRequest request{params.plateLength, params.plateWidth, params.partGap, {}};
  for (const std::filesystem::path& drawing : drawings) {
    request.drawings.push_back({drawing, 1});
  }
  return request;
}

void checkDrawingJob(const DrawingJobRequest& request) {
  if (request.drawings.empty()) {
    throw CoreError(app_text::kNoDrawings);
  }
  if (!usableSize(request.plateLength) || !usableSize(request.plateWidth) ||
      request.plateLength == 0.0 || request.plateWidth == 0.0) {
    throw CoreError(text::kDrawingJobBadPlate);
  }
  if (!usableSize(request.partGap)) {
    throw CoreError(text::kDrawingJobBadGap);
  }
  std::int64_t copies = 0;
  for (const DrawingOrder& order : request.drawings) {
    if (order.count < 1 || order.count > kMaxDrawingJobParts) {
      throw CoreError(text::kDrawingJobBadCount);
    }
    copies += order.count;
  }
  // Every drawing holds at least one part, or it is skipped.
  if (copies > kMaxDrawingJobParts) {
    throw CoreError(text::kDrawingJobTooManyParts);
  }
  for (const DrawingOrder& order : request.drawings) {
    std::error_code error;
    if (!std::filesystem::exists(order.path, error)) {
      throw CoreError("'" + order.path.string() + "' " + std::string(app_text::kNoSuchDrawing));
    }
  }
}

Effects openDrawingJob(AppState& state, const DrawingJobRequest& request) {
  if (state.jobLocked) {
    return {};
  }
  checkDrawingJob(request);
  Effects effects;
  RunRequest run;
  run.kind = RunKind::OpenDrawings;
  run.path = request.drawings.front().path;
  run.drawings = request;
  effects.run = std::move(run);
  return effects;
}

std::string drawingsName(const std::filesystem::path& first, std::size_t more) {
  std::string name = first.filename().string();
  if (more > 0) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, std::string(app_text::kMoreDrawings).c_str(),
                  static_cast<unsigned long long>(more));
    name += buffer;
  }
  return name;
}

}  // namespace tarn
