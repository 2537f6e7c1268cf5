// readDxfPart on any bytes.
#include "fuzz/fuzz_support.h"
#include "library/dxf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tarn::Part part;
  tarn::readDxfPart(part, tarn::fuzz::writeInput(data, size, "part.dxf"));
  return 0;
}
