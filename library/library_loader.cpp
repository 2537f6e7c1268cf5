#include "library/library_loader.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "geometry/offset.h"
#include "geometry/part.h"
#include "geometry/part_source.h"
#include "job/packing_point.h"
#include "library/arc_checks.h"
#include "library/drawing_job.h"
#include "library/part_list.h"
#include "library/presrc.h"
#include "library/text_library.h"

namespace tarn {
namespace {

void readLibrary(PackingJob& job, const std::filesystem::path& path, LibraryFormat format) {
  switch (format) {
    case LibraryFormat::TextLibrary:
      readTextLibrary(job, path);
      break;
    case LibraryFormat::PartListFile:
      readPartListFile(job, path);
      break;
    case LibraryFormat::PreSrcFile:
      readPreSrcFile(job, path);
      break;
  }
}

// Largest net area first. This selection procedure fixes the order of equal
// areas: the nodes after B are final; the smallest node before B (the first
// of equal ones) moves directly after B.
void sortByNetArea(PartList& parts) {
  if (parts.count() < 2) {
    return;
  }
  auto b = std::prev(parts.end());
  while (b != parts.begin()) {
    auto smallest = b;
    for (auto node = parts.begin(); node != b; ++node) {
      if (node->area < smallest->area) {
        smallest = node;
      }
    }
    if (smallest != b) {
      parts.moveAfter(smallest, b);
    } else {
      b = std::prev(b);
    }
  }
}

bool endsWithPreSrc(const std::filesystem::path& path) {
  std::string name = path.filename().string();
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  constexpr std::string_view kSuffix = ".presrc";
  return name.size() >= kSuffix.size() &&
         std::string_view(name).substr(name.size() - kSuffix.size()) == kSuffix;
}

// Steps 2 and 3 of a load: the sources that pass the arc and area checks become parts.
void buildSources(PackingJob& job) {
  for (auto source = job.sources.begin(); source != job.sources.end();) {
    if (checkSourceArcs(*source, job.errorReport()) &&
        checkSourceArea(*source, job.errorReport())) {
      ++source;
    } else {
      source = job.sources.remove(source);
    }
  }

  // Sources are newest first, so the working parts come out in reading order.
  for (const PartSource& source : job.sources) {
    Part part;
    buildPart(source, part);
    job.workingParts.insert(part);
  }
}

// The steps after reading that every load shares: true copies, orientation, the
// sort, the packing point distance, the offset by half the gap, the plate
// extents (CoreError on a zero plate) and parking beside the plate.
void prepareParts(PackingJob& job) {
  job.trueParts.clear();
  for (const Part& part : job.workingParts) {
    job.trueParts.insert(part);
  }

  for (Part& part : job.workingParts) {
    autoOrient(part);
  }
  sortByNetArea(job.workingParts);

  // Measured before the offset; an empty library keeps the current distance.
  job.params.packingPointDistance = DefaultPackingPointDistance(job);

  if (job.params.partGap != 0.0) {
    for (Part& part : job.workingParts) {
      offsetPart(part, job.params.partGap * 0.5);
    }
  }

  resetPlateExtents(job);

  // Parked beside the plate: left edge on its right edge, top edge on y = 0.
  for (Part& part : job.workingParts) {
    translate(part, job.params.plateLength - part.bbox.xmin, 0.0 - part.bbox.ymax);
  }
  job.errorReport().flush();
}

}  // namespace

LibraryFormat detectLibraryFormat(const std::filesystem::path& path) {
  if (endsWithPreSrc(path)) {
    return LibraryFormat::PreSrcFile;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return LibraryFormat::TextLibrary;
  }
  std::string line;
  while (std::getline(in, line)) {
    if (line.starts_with("NAME") || line.starts_with("#end")) {
      return LibraryFormat::TextLibrary;
    }
  }
  return LibraryFormat::PartListFile;
}

void openLibrary(PackingJob& job, const std::filesystem::path& path, LibraryFormat format) {
  readLibrary(job, path, format);
  // The part list reader builds its parts itself; the sources it keeps (of the
  // drawings read by the import) only give the drawings their arcs.
  if (format != LibraryFormat::PartListFile) {
    buildSources(job);
  }
  prepareParts(job);
}

void openDrawings(PackingJob& job, const DrawingJobRequest& request) {
  readDrawingJob(job, request);
  prepareParts(job);
}

}  // namespace tarn
