#include "library/dxf_problem.h"

#include <cstdio>

#include "geometry/text_label.h"
#include "geometry/texts.h"

namespace tarn {

bool isFatal(DxfProblemKind kind) {
  return kind == DxfProblemKind::Unreadable || kind == DxfProblemKind::NotAsciiDxf ||
         kind == DxfProblemKind::TooComplex || kind == DxfProblemKind::NoOutline;
}

std::string drawingMessage(std::string_view what, const std::filesystem::path& file,
                           std::optional<int> line, std::string_view detail) {
  std::string message(what);
  message += text::kWhereFile;
  message += printableText(file.string());
  if (line) {
    message += text::kWhereLine;  // closes the quote
    message += std::to_string(*line);
  } else {
    message += text::kWhereEnd;
  }
  message += detail;
  return message;
}

std::string placeText(const Point& p) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "(%g, %g)", p.x, p.y);
  return buffer;
}

}  // namespace tarn
