// The DXF import on any bytes; a drawing the classic check keeps must be read
// by readDxfPart, and every part must be whole and pass the load checks.
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "library/arc_checks.h"
#include "library/dxf_classic.h"
#include "library/dxf_import.h"
#include "library/dxf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tarn;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const DxfImport result = importDxfBytes(bytes, "fuzz.dxf");
  // Every part passes the load checks a library's parts pass: its arcs can be
  // built above the chord tolerance and it encloses a net area.
  std::ostringstream report;
  for (const ImportedPart& part : result.parts) {
    if (part.source.outer.points.empty() || !std::isfinite(part.source.area) ||
        !checkSourceArcs(part.source, report) || !checkSourceArea(part.source, report)) {
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
