// readPreSrcFile on any bytes; refusals are CoreErrors.
#include <filesystem>
#include <sstream>

#include "job/packing_job.h"
#include "fuzz/fuzz_support.h"
#include "geometry/core_error.h"
#include "library/presrc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::ostringstream report;
  tarn::PackingJob job(report);
  try {
    tarn::readPreSrcFile(job, tarn::fuzz::writeInput(data, size, "parts.preSrc"));
  } catch (const tarn::CoreError&) {
  }
  // The reader appends to this report in the working directory; it would grow without end.
  std::error_code error;
  std::filesystem::remove(tarn::kPreSrcErrorReport, error);
  return 0;
}
