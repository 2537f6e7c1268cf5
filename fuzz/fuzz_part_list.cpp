// readPartListFile on any bytes. Its folder "d" beside the list holds two
// drawings, so a list naming it reads them.
#include <cstring>
#include <sstream>

#include "job/packing_job.h"
#include "fuzz/fuzz_support.h"
#include "geometry/core_error.h"
#include "library/part_list.h"

namespace {

const char kSquare[] =
    "  0\nSECTION\n  2\nENTITIES\n"
    "  0\nLINE\n 10\n0\n 20\n0\n 11\n50\n 21\n0\n  0\nLINE\n 10\n50\n 20\n0\n 11\n50\n 21\n50\n"
    "  0\nLINE\n 10\n50\n 20\n50\n 11\n0\n 21\n50\n  0\nLINE\n 10\n0\n 20\n50\n 11\n0\n 21\n0\n"
    "  0\nTEXT\n 10\n5\n 20\n5\n  1\nname:SQ\n  0\nENDSEC\n  0\nEOF\n";
const char kOpen[] = "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n0\n20\n0\n11\n5\n21\n0\n0\nENDSEC\n";

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const auto bytes = [](const char* text) { return reinterpret_cast<const std::uint8_t*>(text); };
  const auto list = tarn::fuzz::writeInput(bytes(""), 0, "parts.lst");
  std::filesystem::create_directories(list.parent_path() / "d");
  tarn::fuzz::writeInput(bytes(kSquare), std::strlen(kSquare), "d/square.dxf");
  tarn::fuzz::writeInput(bytes(kOpen), std::strlen(kOpen), "d/open.dxf");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::ostringstream report;
  tarn::PackingJob job(report);
  try {
    tarn::readPartListFile(job, tarn::fuzz::writeInput(data, size, "parts.lst"));
  } catch (const tarn::CoreError&) {
  }
  return 0;
}
