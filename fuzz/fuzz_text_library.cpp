// readTextLibrary on any bytes; refusals are CoreErrors.
#include <sstream>

#include "job/packing_job.h"
#include "fuzz/fuzz_support.h"
#include "geometry/core_error.h"
#include "library/text_library.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::ostringstream report;
  tarn::PackingJob job(report);
  try {
    tarn::readTextLibrary(job, tarn::fuzz::writeInput(data, size, "library.txt"));
  } catch (const tarn::CoreError&) {
  }
  return 0;
}
