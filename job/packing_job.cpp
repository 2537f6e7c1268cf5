#include "job/packing_job.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <locale>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "geometry/core_error.h"
#include "geometry/texts.h"

namespace tarn {

PackingJob::PackingJob(const std::filesystem::path& errorReportPath, std::filesystem::path folder)
    : outputFolder(std::move(folder)) {
  auto file = std::make_unique<std::ofstream>(errorReportPath, std::ios::binary | std::ios::app);
  if (!*file) {
    throw CoreError(text::kErrorReportWriteFailed);
  }
  ownedReport_ = std::move(file);
  initialise();
}

PackingJob::PackingJob(std::ostream& errorReportStream, std::filesystem::path folder)
    : outputFolder(std::move(folder)), borrowedReport_(&errorReportStream) {
  initialise();
}

PackingJob::PackingJob(InMemoryReport) : ownedReport_(std::make_unique<std::ostringstream>()) {}

std::filesystem::path PackingJob::outputFile(std::string_view name) const {
  return outputFolder / std::filesystem::path(std::string(name));
}

void PackingJob::initialise() {
  params.plateLength = 6000.0;
  params.plateWidth = 4000.0;
  setPlateSize(*this, params.plateLength, params.plateWidth);
  resetPlateExtents(*this);
  WriteTimestamp(errorReport());
  errorReport().flush();
}

namespace {

// A copy of a Part or PartSource that keeps everything: the copy constructor
// leaves chordTol at its default and reverses the holes, which go back in order.
template <class Record>
Record exactCopy(const Record& record) {
  Record copy(record);
  decltype(copy.holes) holes;
  for (auto& hole : copy.holes) {
    holes.insert(std::move(hole));
  }
  copy.holes = std::move(holes);
  copy.chordTol = record.chordTol;
  return copy;
}

// Front insertion: the last element goes in first, so the order is kept.
template <class Record>
SentinelList<Record> exactCopy(const SentinelList<Record>& list) {
  std::vector<const Record*> records;
  records.reserve(static_cast<std::size_t>(list.count()));
  for (const Record& record : list) {
    records.push_back(&record);
  }
  SentinelList<Record> copy;
  for (auto it = records.rbegin(); it != records.rend(); ++it) {
    copy.insert(exactCopy(**it));
  }
  return copy;
}

}  // namespace

PackingJob snapshotOf(const PackingJob& job) {
  PackingJob copy{PackingJob::InMemoryReport{}};
  copy.sources = exactCopy(job.sources);
  copy.workingParts = exactCopy(job.workingParts);
  copy.trueParts = exactCopy(job.trueParts);
  copy.plateExtents = job.plateExtents;
  copy.params = job.params;
  copy.plate = job.plate;
  copy.packingPoints = job.packingPoints;
  copy.gridCountY = job.gridCountY;
  copy.gridCountX = job.gridCountX;
  copy.gridPending = job.gridPending;
  copy.outputFolder = job.outputFolder;
  copy.partDrawings = job.partDrawings;
  return copy;
}

std::filesystem::path defaultErrorReportPath() {
  std::filesystem::path folder;
  if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && *state != '\0') {
    folder = std::filesystem::path(state) / "tarnpacking";
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    folder = std::filesystem::path(home) / ".local" / "state" / "tarnpacking";
  } else {
    folder = std::filesystem::path(".");
  }
  std::error_code ignored;  // an uncreatable folder shows up when the job opens the file
  std::filesystem::create_directories(folder, ignored);
  return folder / "PackError.txt";
}

void WriteTimestamp(std::ostream& out) {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  if (local == nullptr) {
    return;
  }
  WriteTimestamp(out, *local);
}

void WriteTimestamp(std::ostream& out, const std::tm& local) {
  std::ostringstream line;
  line.imbue(std::locale::classic());
  line << local.tm_year + 1900 << text::kGbkYear << local.tm_mon + 1 << text::kGbkMonth
       << local.tm_mday << text::kGbkDay << local.tm_hour << text::kGbkHour << local.tm_min
       << text::kGbkMinute << local.tm_sec << text::kGbkSecond << text::kLineEnd;
  out << line.str();
}

}  // namespace tarn
