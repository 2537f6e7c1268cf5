#include "job/packing_job.h"

#include <cstdlib>
#include <ctime>
#include <locale>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>

#include "geometry/core_error.h"
#include "geometry/texts.h"

namespace tarn {

PackingJob::PackingJob(const std::filesystem::path& errorReportPath,
                       std::filesystem::path folder)
    : outputFolder(std::move(folder)) {
  errorFile_ = std::make_unique<std::ofstream>(errorReportPath, std::ios::binary | std::ios::app);
  if (!*errorFile_) {
    throw CoreError(text::kErrorReportWriteFailed);
  }
  errorReport_ = errorFile_.get();
  initialise();
}

PackingJob::PackingJob(std::ostream& errorReportStream, std::filesystem::path folder)
    : outputFolder(std::move(folder)), errorReport_(&errorReportStream) {
  initialise();
}

std::filesystem::path PackingJob::outputFile(std::string_view name) const {
  return outputFolder / std::filesystem::path(std::string(name));
}

void PackingJob::initialise() {
  params.plateLength = 6000.0;
  params.plateWidth = 4000.0;
  setPlateSize(*this, params.plateLength, params.plateWidth);
  resetPlateExtents(*this);
  WriteTimestamp(*errorReport_);
  errorReport_->flush();
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
