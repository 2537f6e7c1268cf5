#include "library/text_library.h"

#include <cmath>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "geometry/core_error.h"
#include "geometry/text_label.h"
#include "geometry/texts.h"
#include "job/nest_params.h"
#include "library/arc_checks.h"

namespace tarn {
namespace {

constexpr std::string_view kPartStart = "NAME";
constexpr std::string_view kLibraryEnd = "#end";
constexpr std::size_t kNameOffset = 5;  // "NAME" and one separator

bool endsPart(std::string_view line) {
  return line.starts_with(kPartStart) || line.starts_with(kLibraryEnd);
}

// The numbers of one line, read one after another as strtod's end pointer
// moves on. A line whose number may have lost digits to its cut is not trusted.
struct LineNumbers {
  LineNumbers(std::string_view line, bool lineTruncated) : rest(line), truncated(lineTruncated) {}

  double take() {
    std::size_t used = 0;
    const double value = parseDouble(rest, &used);
    cut = cut || numberMayBeCut(rest, used, truncated);
    rest.remove_prefix(used);
    return value;
  }

  std::string_view rest;
  bool truncated = false;
  bool cut = false;
};

}  // namespace

void readPlateHeader(PackingJob& job, LineReader& file) {
  constexpr std::size_t kPlateLengthOffset = 13;
  constexpr std::size_t kPlateWidthOffset = 12;
  constexpr std::size_t kPartGapOffset = 14;
  const double length = readHeaderValue(file, kPlateLengthOffset);
  const double width = readHeaderValue(file, kPlateWidthOffset);
  const double gap = readHeaderValue(file, kPartGapOffset);
  job.params.plateLength = length;
  job.params.plateWidth = width;
  job.params.partGap = gap;
  setPlateSize(job, length, width);
  resetPlateExtents(job);
}

bool readLoop(LineReader& file, RadiusPolyline& polyline, bool& done, std::string_view partName) {
  const std::optional<std::string> first = file.next();
  if (!first || endsPart(*first)) {
    if (first) {
      file.putBack();
    }
    done = true;
    return true;
  }
  const int countLine = file.lineNumber();
  LineNumbers countNumbers(*first, file.truncated());
  const double lineCount = std::trunc(countNumbers.take());
  if (!(lineCount >= 2.0)) {
    throw CoreError(fileLineMessage(text::kLoopCountError, file.fileName(), countLine, partName));
  }
  // No more lines can follow than the file holds, so the vectors grow as read.
  const double vertexCount = lineCount - 1.0;
  std::vector<Point> points;
  std::vector<double> radii;
  Point vertex0;
  vertex0.x = countNumbers.take();
  vertex0.y = countNumbers.take();
  points.push_back(vertex0);
  bool usable = usableNumber(vertex0.x) && usableNumber(vertex0.y) && !countNumbers.cut;
  for (double i = 1.0; i <= vertexCount; i += 1.0) {
    const std::optional<std::string> line = file.next();
    if (!line || endsPart(*line)) {
      throw CoreError(fileLineMessage(text::kLoopCutShort, file.fileName(), countLine, partName));
    }
    LineNumbers numbers(*line, file.truncated());
    const double radius = numbers.take();
    radii.push_back(radius);
    usable = usable && usableNumber(radius);
    if (i < vertexCount) {
      Point p;
      p.x = numbers.take();
      p.y = numbers.take();
      usable = usable && usableNumber(p.x) && usableNumber(p.y);
      points.push_back(p);
    }
    usable = usable && !numbers.cut;
  }
  setPolyline(polyline, points, radii);
  return usable;
}

PartBody readPartBody(LineReader& file, PartSource& source) {
  std::vector<RadiusPolyline> loops;
  bool usable = true;
  for (;;) {
    RadiusPolyline loop;
    bool done = false;
    const bool loopUsable = readLoop(file, loop, done, source.nameLabel.text);
    if (done) {
      break;
    }
    usable = usable && loopUsable;
    loops.push_back(std::move(loop));
  }
  if (loops.empty()) {
    return PartBody::NoLoop;
  }
  if (!usable) {
    return PartBody::BadNumber;
  }
  RadiusPolylineList holes;
  for (std::size_t i = 1; i < loops.size(); ++i) {
    holes.insert(loops[i]);
  }
  initSource(source, loops.front(), holes);
  return PartBody::Read;
}

void readTextLibrary(PackingJob& job, const std::filesystem::path& path) {
  std::ifstream in = openInput(path, text::kPartFileReadFailed);
  LineReader file(in, kTextLibraryLineBytes, path.string());
  readPlateHeader(job, file);

  int counter = 0;
  while (const std::optional<std::string> line = file.next()) {
    if (line->starts_with(kPartStart)) {
      PartSource source;
      setLabelText(source.nameLabel, line->size() > kNameOffset
                                         ? std::string_view(*line).substr(kNameOffset)
                                         : std::string_view());
      const PartBody body = readPartBody(file, source);
      source.id = counter++;
      if (body == PartBody::Read) {
        job.sources.insert(source);
      } else {
        writeReportLine(job.errorReport(), body == PartBody::NoLoop ? text::kGbkPartWithoutOutline
                                                                    : text::kGbkBadNumber);
        writePartTrailer(job.errorReport(), source.nameLabel.text);
      }
    }
    if (line->starts_with(kLibraryEnd)) {
      break;
    }
  }
}

}  // namespace tarn
