// The DXF import on any bytes; a drawing the classic check keeps must be read
// by readDxfPart, and every part must be whole.
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "library/dxf_classic.h"
#include "library/dxf_import.h"
#include "library/dxf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tarn;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const DxfImport result = importDxfBytes(bytes, "fuzz.dxf");
  for (const ImportedPart& part : result.parts) {
    if (part.source.outer.points.empty() || !std::isfinite(part.source.area)) {
      std::abort();
    }
  }
  if (checkClassic(bytes).complete) {
    Part part;
    if (!readDxfPart(part, fuzz::writeInput(data, size, "classic.dxf"))) {
      std::abort();
    }
  }
  return 0;
}
