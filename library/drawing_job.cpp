#include "library/drawing_job.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <system_error>

#include "geometry/core_error.h"
#include "geometry/texts.h"
#include "job/nest_params.h"
#include "library/drawing_parts.h"
#include "library/line_reader.h"
#include "library/part_list.h"

namespace tarn {
namespace {

struct ReadDrawing {
  std::filesystem::path path;
  DrawingParts parts;
  int count = 1;
};

bool isFolder(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

bool existsAsIs(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

// A whole text that is one number, no blanks around it.
std::optional<double> wholeNumber(std::string_view text) {
  if (text.empty() || text.front() == ' ' || text.front() == '\t') {
    return std::nullopt;
  }
  const std::string copy(text);
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size()) {
    return std::nullopt;
  }
  return value;
}

bool usablePlateSide(double value) {
  return value > 0.0 && usableNumber(value);
}

}  // namespace

std::optional<PlateSize> parsePlateSize(std::string_view text) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos) {
    return std::nullopt;
  }
  const std::optional<double> length = wholeNumber(text.substr(0, x));
  const std::optional<double> width = wholeNumber(text.substr(x + 1));
  if (!length || !width || !usablePlateSide(*length) || !usablePlateSide(*width)) {
    return std::nullopt;
  }
  return PlateSize{*length, *width};
}

std::optional<DrawingOrder> parseDrawingOrder(std::string_view text) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos || existsAsIs(std::filesystem::path(text))) {
    return DrawingOrder{std::filesystem::path(text), 1};
  }
  const std::string_view digits = text.substr(colon + 1);
  // Ten digits or more are beyond any count, and beyond an int.
  constexpr std::size_t kMaxDigits = 9;
  if (colon == 0 || digits.empty() || digits.size() > kMaxDigits ||
      digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  const int count = std::atoi(std::string(digits).c_str());
  if (count < 1 || count > kMaxDrawingJobParts) {
    return std::nullopt;
  }
  return DrawingOrder{std::filesystem::path(text.substr(0, colon)), count};
}

void readDrawingJob(PackingJob& job, const DrawingJobRequest& request) {
  if (!usablePlateSide(request.plateLength) || !usablePlateSide(request.plateWidth)) {
    throw CoreError(text::kDrawingJobBadPlate);
  }
  if (!(request.partGap >= 0.0) || !usableNumber(request.partGap)) {
    throw CoreError(text::kDrawingJobBadGap);
  }
  for (const DrawingOrder& order : request.drawings) {
    if (order.count < 1 || order.count > kMaxDrawingJobParts) {
      throw CoreError(text::kDrawingJobBadCount);
    }
  }
  job.params.plateLength = request.plateLength;
  job.params.plateWidth = request.plateWidth;
  job.params.partGap = request.partGap;
  setPlateSize(job, request.plateLength, request.plateWidth);
  resetPlateExtents(job);

  // Every drawing is read before a copy is made, so that the total is known.
  std::vector<ReadDrawing> drawings;
  std::int64_t total = 0;
  const auto read = [&](const std::filesystem::path& path, int count) {
    ReadDrawing& drawing = drawings.emplace_back(ReadDrawing{path, readDrawingParts(path), count});
    reportDrawingProblems(drawing.parts, path);
    total += static_cast<std::int64_t>(drawing.parts.parts.size()) * count;
  };
  for (const DrawingOrder& order : request.drawings) {
    if (isFolder(order.path)) {
      for (const std::filesystem::path& path : findDrawings(order.path)) {
        read(path, order.count);
      }
    } else {
      read(order.path, order.count);
    }
  }
  if (total > kMaxDrawingJobParts) {
    throw CoreError(text::kDrawingJobTooManyParts);
  }

  int nextId = 0;
  for (const ReadDrawing& drawing : drawings) {
    for (int copy = 0; copy < drawing.count; ++copy) {
      addDrawingParts(job, drawing.parts, drawing.path, nextId);
    }
  }
}

}  // namespace tarn
