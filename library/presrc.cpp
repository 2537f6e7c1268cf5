#include "library/presrc.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <fstream>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>
#include <variant>

#include "geometry/arc.h"
#include "geometry/core_error.h"
#include "geometry/region.h"
#include "geometry/text_label.h"
#include "geometry/texts.h"
#include "job/nest_params.h"
#include "library/arc_checks.h"

namespace tarn {
namespace {

constexpr std::string_view kSectionEnd = "_end_";
constexpr std::size_t kKeyFieldWidth = 16;

// Narrowing that saturates to infinity instead of leaving the float range.
float toFloat(double value) {
  if (value > FLT_MAX) {
    return std::numeric_limits<float>::infinity();
  }
  if (value < -FLT_MAX) {
    return -std::numeric_limits<float>::infinity();
  }
  return static_cast<float>(value);
}

struct ConfigKey {
  std::string_view name;
  std::variant<int ConfigInfo::*, bool ConfigInfo::*, float ConfigInfo::*> field;
  bool reachesJob = false;  // an unusable or cut value would corrupt the plate or the parts
};

// Tested in this order; the first key found on a line takes it.
const ConfigKey kConfigKeys[] = {
    {"nestType", &ConfigInfo::nestType},
    {"bMirror", &ConfigInfo::bMirror},
    {"partToPartGap", &ConfigInfo::partToPartGap, true},
    {"partToMplateGap", &ConfigInfo::partToMplateGap},
    {"bPartTurnover", &ConfigInfo::bPartTurnover, true},
    {"bHolePart", &ConfigInfo::bHolePart},
    {"maxNestPartNum", &ConfigInfo::maxNestPartNum},
    {"minPartGap", &ConfigInfo::minPartGap},
    {"maxPartGap", &ConfigInfo::maxPartGap},
    {"minMplateGap", &ConfigInfo::minMplateGap},
    {"maxMplateGap", &ConfigInfo::maxMplateGap},
    {"precision_length", &ConfigInfo::precision_length},
    {"precision_ang", &ConfigInfo::precision_ang},
    {"mplateType", &ConfigInfo::mplateType},
    {"feetLength_0", &ConfigInfo::feetLength_0},
    {"feetLength_1", &ConfigInfo::feetLength_1},
    {"staPlate_0", &ConfigInfo::staPlate_0, true},
    {"staPlate_1", &ConfigInfo::staPlate_1, true},
    {"minPlate_0", &ConfigInfo::minPlate_0},
    {"minPlate_1", &ConfigInfo::minPlate_1},
    {"maxPlate_0", &ConfigInfo::maxPlate_0},
    {"maxPlate_1", &ConfigInfo::maxPlate_1},
    {"bAutoResize", &ConfigInfo::bAutoResize},
};

// A key counts only as its whole field: the name padded with blanks to 16.
std::string keyField(std::string_view name) {
  std::string field(name);
  field.resize(std::max(kKeyFieldWidth, field.size()), ' ');
  return field;
}

// The text after the first "=", or nothing when the line has none.
std::optional<std::string_view> afterEquals(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    return std::nullopt;
  }
  return line.substr(equals + 1);
}

// A point line of index `index`: the fields follow the index, each after the
// next comma; a field whose comma is missing keeps its reset value. On a line
// cut to its limit, a used number that is missing or may have lost digits is
// NaN, so that its loop is reported.
std::optional<PartInfoPoint> parsePointLine(std::string_view line, int index, bool truncated) {
  const std::size_t found = line.find(std::to_string(index));
  if (found == std::string_view::npos) {
    return std::nullopt;
  }
  std::size_t cursor = found + 1;
  const auto nextField = [&]() -> std::optional<std::string_view> {
    const std::size_t comma = line.find(',', cursor);
    if (comma == std::string_view::npos) {
      return std::nullopt;
    }
    cursor = comma + 1;
    return line.substr(cursor);
  };
  const auto usedNumber = [&](double& target) {
    const std::optional<std::string_view> field = nextField();
    std::size_t used = 0;
    if (field) {
      target = parseDouble(*field, &used);
    }
    if (numberMayBeCut(field.value_or(std::string_view()), used, truncated)) {
      target = std::numeric_limits<double>::quiet_NaN();
    }
  };
  PartInfoPoint point;
  if (const auto field = nextField()) {
    point.code = parseInt(*field);
  }
  if (const auto field = nextField()) {
    point.note = std::string(field->substr(0, field->find(',')));
  }
  if (const auto field = nextField()) {
    point.aux0 = toFloat(parseDouble(*field));
  }
  if (const auto field = nextField()) {
    point.aux1 = toFloat(parseDouble(*field));
  }
  usedNumber(point.value);
  usedNumber(point.x);
  usedNumber(point.y);
  return point;
}

enum class LoopFault { None, BadCount, BadNumber };

// One loop of the point records, starting at record `start`.
struct LoopRecords {
  LoopFault fault = LoopFault::None;
  RadiusPolyline polyline;
  std::optional<std::size_t> next;  // where the next loop starts; none ends the walk
};

// Record `start` holds the line count and vertex 0; the following records the
// radius of the edge ending at each vertex and, but for the last, the vertex.
// One record between two loops is not used.
LoopRecords readLoopRecords(const std::vector<PartInfoPoint>& points, std::size_t start) {
  LoopRecords loop;
  const double vertexCount = std::trunc(points[start].value - 1.0);
  const double last = static_cast<double>(points.size() - 1);
  if (!std::isfinite(vertexCount)) {
    loop.fault = LoopFault::BadCount;
    return loop;
  }
  if (vertexCount < 1.0) {
    loop.fault = LoopFault::BadCount;
    // A count that does not move the walk forward ends it.
    if (vertexCount + 2.0 > 0.0) {
      loop.next = start + static_cast<std::size_t>(vertexCount + 2.0);
    }
    return loop;
  }
  // The loop would run past the last record.
  if (static_cast<double>(start) + vertexCount > last) {
    loop.fault = LoopFault::BadCount;
    return loop;
  }
  const auto k = static_cast<std::size_t>(vertexCount);
  std::vector<Point> vertices;
  std::vector<double> radii;
  bool usable = true;
  for (std::size_t i = 0; i <= k; ++i) {
    const PartInfoPoint& record = points[start + i];
    if (i > 0) {
      radii.push_back(record.value);
      usable = usable && usableNumber(record.value);
    }
    if (i < k) {
      Point p;
      p.x = record.x;
      p.y = record.y;
      usable = usable && usableNumber(p.x) && usableNumber(p.y);
      vertices.push_back(p);
    }
  }
  setPolyline(loop.polyline, vertices, radii);
  loop.fault = usable ? LoopFault::None : LoopFault::BadNumber;
  loop.next = start + k + 2;
  return loop;
}

void writeLoopFault(std::ostream& report, LoopFault fault) {
  writeReportLine(report,
                  fault == LoopFault::BadCount ? text::kGbkBadVertexCount : text::kGbkBadNumber);
}

// The loops of the part in file order, each faulty loop reported when
// `report` is given. The walk stops at the first fault when `stopAtFault` is
// set, else at a count that does not move it forward.
struct PartLoops {
  std::vector<RadiusPolyline> polylines;
  bool faulty = false;
};

PartLoops readPartLoops(const PartInfo& partInfo, std::ostream* report, bool stopAtFault) {
  PartLoops loops;
  std::size_t start = 1;
  while (start < partInfo.points.size()) {
    LoopRecords loop = readLoopRecords(partInfo.points, start);
    if (loop.fault != LoopFault::None) {
      loops.faulty = true;
      if (report != nullptr) {
        writeLoopFault(*report, loop.fault);
      }
      if (stopAtFault) {
        break;
      }
    } else {
      loops.polylines.push_back(std::move(loop.polyline));
    }
    if (!loop.next) {
      break;
    }
    start = *loop.next;
  }
  return loops;
}

// The direct build from loops in file order: the largest discretised area,
// the last of equal ones, is the outer outline.
void buildSource(std::vector<RadiusPolyline> loops, const std::string& nameId, PartSource& source) {
  RadiusPolylineList list;
  for (RadiusPolyline& loop : loops) {
    list.insert(std::move(loop));
  }
  auto outer = list.begin();
  double largest = polylineToRegion(*outer, kDefaultChordTol).area;
  for (auto loop = std::next(list.begin()); loop != list.end(); ++loop) {
    const double area = polylineToRegion(*loop, kDefaultChordTol).area;
    if (area > largest) {
      largest = area;
      outer = loop;
    }
  }
  RadiusPolylineList holes;
  for (auto loop = list.begin(); loop != list.end(); ++loop) {
    if (loop != outer) {
      holes.insert(*loop);
    }
  }
  initSource(source, *outer, holes);
  setLabelText(source.nameLabel, nameId);
}

// Hands `take` every line of a section up to the line with "_end_" that holds
// an "=", with the text after its first "="; a false from `take` ends the
// section there.
template <class Take>
void readSectionValues(LineReader& file, Take take) {
  while (const std::optional<std::string> line = file.next()) {
    if (contains(*line, kSectionEnd)) {
      break;
    }
    const std::optional<std::string_view> value = afterEquals(*line);
    if (value && !take(std::string_view(*line), *value)) {
      break;
    }
  }
}

std::ofstream openPreSrcReport(const std::filesystem::path& path) {
  std::ofstream report(path, std::ios::binary | std::ios::app);
  if (!report) {
    throw CoreError(text::kErrorReportWriteFailed);
  }
  return report;
}

bool checkPart(const PartInfo& partInfo, std::ostream& report) {
  const PartLoops loops = readPartLoops(partInfo, &report, false);
  bool failed = loops.faulty;
  if (!failed) {
    for (const RadiusPolyline& loop : loops.polylines) {
      if (!checkArcsBuildable(loop, report)) {
        failed = true;
        break;
      }
    }
  }
  if (failed) {
    writePartTrailer(report, partInfo.nameId);
  }
  return !failed;
}

bool repairPart(const PartInfo& partInfo, PartSource& source, std::ostream& report) {
  PartLoops loops = readPartLoops(partInfo, &report, true);
  if (loops.faulty || loops.polylines.empty()) {
    return false;
  }
  for (RadiusPolyline& loop : loops.polylines) {
    if (!repairArcs(loop, report)) {
      return false;
    }
  }
  buildSource(std::move(loops.polylines), partInfo.nameId, source);
  return true;
}

}  // namespace

void readConfigInfo(LineReader& file, ConfigInfo& config) {
  config = ConfigInfo{};
  readSectionValues(file, [&](std::string_view line, std::string_view value) {
    for (const ConfigKey& key : kConfigKeys) {
      if (!contains(line, keyField(key.name))) {
        continue;
      }
      std::size_t used = 0;
      bool usable = true;
      if (const auto* integer = std::get_if<int ConfigInfo::*>(&key.field)) {
        config.** integer = parseInt(value, &used);
      } else if (const auto* flag = std::get_if<bool ConfigInfo::*>(&key.field)) {
        config.** flag = parseInt(value, &used) != 0;
      } else {
        const float number = toFloat(parseDouble(value, &used));
        usable = usableNumber(number);
        config.*std::get<float ConfigInfo::*>(key.field) = number;
      }
      const bool cut = numberMayBeCut(value, used, file.truncated());
      if (key.reachesJob && (cut || !usable)) {
        throw CoreError(fileLineMessage(cut ? text::kNumberCut : text::kNumberUnusable,
                                        file.fileName(), file.lineNumber()));
      }
      break;
    }
    return true;
  });
}

bool readPartInfo(LineReader& file, PartInfo& partInfo) {
  partInfo = PartInfo{};
  bool complete = true;
  readSectionValues(file, [&](std::string_view line, std::string_view value) {
    if (contains(line, "NameID")) {
      partInfo.nameId = std::string(value);
    } else if (contains(line, "partName")) {
      partInfo.partName = std::string(value);
    } else if (contains(line, "partinf")) {
      partInfo.partinf0 = parseInt(value);
      const std::size_t comma = value.find(',');
      if (comma != std::string_view::npos) {
        partInfo.partinf1 = parseInt(value.substr(comma + 1)) != 0;
        const std::size_t second = value.find(',', comma + 1);
        if (second != std::string_view::npos) {
          partInfo.partinf2 = toFloat(parseDouble(value.substr(second + 1)));
        }
      }
    } else if (contains(line, "pointNum")) {
      const int announced = parseInt(value);
      int read = 0;
      // The records grow only with the lines really present.
      for (int i = 0; i < announced; ++i) {
        const std::optional<std::string> pointLine = file.next();
        if (!pointLine || contains(*pointLine, kSectionEnd)) {
          break;
        }
        if (std::optional<PartInfoPoint> point = parsePointLine(*pointLine, i, file.truncated())) {
          partInfo.points.push_back(std::move(*point));
          ++read;
        }
      }
      complete = read == announced;
    }
    return complete;
  });
  constexpr std::size_t kMinPoints = 3;
  return complete && partInfo.points.size() >= kMinPoints;
}

bool checkPreSrcPart(const PartInfo& partInfo, const std::filesystem::path& reportPath) {
  std::ofstream report = openPreSrcReport(reportPath);
  return checkPart(partInfo, report);
}

bool repairPreSrcPart(const PartInfo& partInfo, PartSource& source,
                      const std::filesystem::path& reportPath) {
  std::ofstream report = openPreSrcReport(reportPath);
  return repairPart(partInfo, source, report);
}

bool buildPreSrcSource(const PartInfo& partInfo, PartSource& source) {
  PartLoops loops = readPartLoops(partInfo, nullptr, true);
  if (loops.faulty || loops.polylines.empty()) {
    return false;
  }
  buildSource(std::move(loops.polylines), partInfo.nameId, source);
  return true;
}

void readPreSrcFile(PackingJob& job, const std::filesystem::path& path) {
  std::ifstream in = openInput(path, text::kPartFileReadFailed);
  LineReader file(in, kPreSrcLineBytes, path.string());
  ConfigInfo config;
  std::vector<PartInfo> records;
  while (const std::optional<std::string> line = file.next()) {
    if (contains(*line, "CONFIGINFO")) {
      readConfigInfo(file, config);
    }
    if (contains(*line, "PARTINFO") && !file.atEnd()) {
      PartInfo partInfo;
      if (readPartInfo(file, partInfo)) {
        records.push_back(std::move(partInfo));
      }
    }
  }
  in.close();

  job.params.plateLength = config.staPlate_0;
  job.params.plateWidth = config.staPlate_1;
  job.params.partGap = config.partToPartGap;
  job.params.allowTurnover = config.bPartTurnover;
  setPlateSize(job, job.params.plateLength, job.params.plateWidth);
  resetPlateExtents(job);

  const std::filesystem::path report = job.outputFile(kPreSrcErrorReport);
  int id = 0;
  for (const PartInfo& record : records) {
    PartSource source;
    const bool built = checkPreSrcPart(record, report) ? buildPreSrcSource(record, source)
                                                       : repairPreSrcPart(record, source, report);
    if (built) {
      source.id = id;
      job.sources.insert(source);
    }
    ++id;
  }
}

}  // namespace tarn
