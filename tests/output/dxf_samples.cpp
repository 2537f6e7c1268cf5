// Loads a part library, lays it out, turns one packed part over, writes the
// layout drawing and the part export into a folder, and states in
// expected.json what a DXF reader must find there: entities counted by type,
// layer and colour, worked out from the job rather than from the files.
// Usage: output_dxf_samples <library> <format 1|2|3> <folder>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "app/packing_job.h"
#include "geometry/notify.h"
#include "geometry/predicates.h"
#include "library/library_loader.h"
#include "nesting/layout.h"
#include "output/dxf_writer.h"
#include "output/layout_dxf.h"
#include "output/part_export.h"
#include "output/placement.h"

namespace {

using namespace tarn;
using Counts = std::map<std::string, int>;

std::string key(const char* type, int layer, int colour = -1) {
  return std::string(type) + " " + std::to_string(layer) + " " +
         (colour < 0 ? std::string("-") : std::to_string(colour));
}

bool hasSource(const PackingJob& job, int id) {
  for (const PartSource& source : job.sources) {
    if (source.id == id) {
      return true;
    }
  }
  return false;
}

Counts expectedLayout(const PackingJob& job) {
  Counts counts{
      {key("LINE", kPlateLayer), 4}, {key("LINE", kInfoLayer), 1}, {key("TEXT", kInfoLayer), 3}};
  auto countEdges = [&](const RadiusPolyline& outline, int colour) {
    for (const double radius : outline.radii) {
      ++counts[radius == 0.0 ? key("LINE", kOutlineLayer, colour)
                             : key("ARC", kOutlineLayer, colour)];
    }
  };
  for (const PartSource& source : job.sources) {
    if (const Part* working = findWorkingCopy(job, source.id)) {
      const int colour = working->turnedOver ? kTurnedOverColour : kUprightColour;
      countEdges(source.outer, colour);
      for (const RadiusPolyline& hole : source.holes) {
        countEdges(hole, colour);
      }
      ++counts[key("TEXT", kNameLayer)];
    }
  }
  for (const Part& truePart : job.trueParts) {
    const Part* working = findWorkingCopy(job, truePart.id);
    if (working == nullptr || hasSource(job, truePart.id)) {
      continue;
    }
    const int colour = working->turnedOver ? kTurnedOverColour : kUprightColour;
    int edges = truePart.outer.count();
    for (const Region& hole : truePart.holes) {
      edges += hole.count();
    }
    counts[key("LINE", kOutlineLayer, colour)] += edges;
    ++counts[key("TEXT", kNameLayer)];
  }
  return counts;
}

// File name to counts; a later part of the same name replaces the earlier.
nlohmann::json expectedExport(const PackingJob& job) {
  nlohmann::json files = nlohmann::json::object();
  for (const Part& part : job.trueParts) {
    if (!isSafePartFileName(part.nameLabel.text)) {
      continue;
    }
    int edges = part.outer.count();
    for (const Region& hole : part.holes) {
      edges += hole.count();
    }
    // JSON wants UTF-8: the name's bytes are carried as \u00XX escapes.
    std::string name;
    for (const unsigned char c : part.nameLabel.text + ".dxf") {
      name += c < 0x80 ? std::string(1, static_cast<char>(c))
                       : std::string{static_cast<char>(0xc0 | (c >> 6)),
                                     static_cast<char>(0x80 | (c & 0x3f))};
    }
    files[name] = Counts{{key("LINE", kPlateLayer), edges},
                         {key("TEXT", kNameLayer), 1},
                         {key("POINT", kPlateLayer), 1}};
  }
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s <library> <format 1|2|3> <folder>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path library = std::filesystem::absolute(argv[1]);
  const auto format = static_cast<LibraryFormat>(std::atoi(argv[2]));
  const std::filesystem::path folder = std::filesystem::absolute(argv[3]);
  std::vector<std::string> notices;
  setNoticeHook([&](const Notice& notice) { notices.push_back(notice.text); });
  try {
    std::filesystem::create_directories(folder / "parts");
    std::filesystem::current_path(folder);  // the timing file of the layout lands here
    std::ostringstream errors;
    PackingJob job(errors);
    openLibrary(job, library, nullptr, format);
    LayoutAll(job, false);
    for (Part& part : job.workingParts) {
      if (withinRect(part, job.plateExtents)) {
        const Point centre = part.centroid;
        turnOver(part, centre);
        break;
      }
    }
    // Only what the writers raise counts: loading and layout may have warned already.
    notices.clear();
    WriteLayoutDxf(job, folder / "layout.dxf");
    ExportParts(job, folder / "parts");

    nlohmann::json expected;
    expected["layout"] = expectedLayout(job);
    expected["parts"] = expectedExport(job);
    expected["notices"] = notices;
    std::ofstream(folder / "expected.json") << expected.dump(2) << '\n';
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[1], e.what());
    return 1;
  }
  return 0;
}
