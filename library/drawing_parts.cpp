#include "library/drawing_parts.h"

#include <fstream>
#include <string>
#include <system_error>

#include "geometry/notify.h"
#include "geometry/text_label.h"
#include "geometry/texts.h"
#include "library/dxf_classic.h"
#include "library/dxf_import.h"
#include "library/dxf_reader.h"

namespace tarn {

DrawingParts readDrawingParts(const std::filesystem::path& path) {
  DrawingParts result;
  std::error_code error;
  const bool regular = std::filesystem::is_regular_file(path, error);
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  std::string bytes;
  bool read = false;
  if (regular && !error && size <= kDxfMaxBytes) {
    std::ifstream in(path, std::ios::binary);
    bytes.resize(static_cast<std::size_t>(size));
    read = static_cast<bool>(in.read(bytes.data(), static_cast<std::streamsize>(size)));
  }
  const ClassicCheck classic = read ? checkClassic(bytes) : ClassicCheck{};
  if (classic.complete) {
    Part part;
    // The check has read the same bytes: readDxfPart succeeds unless the file
    // changed in between, and then the import reads what is there now.
    if (readDxfPart(part, path)) {
      if (!classic.named) {
        setLabelText(part.nameLabel, path.stem().string());
      }
      result.parts.push_back(std::move(part));
      result.classic = true;
      return result;
    }
  }
  // A file that could not be read is read again for the import's own message.
  DxfImport imported = read ? importDxfBytes(bytes, path) : importDxf(path);
  result.problems = std::move(imported.problems);
  for (ImportedPart& p : imported.parts) {
    Part part;
    buildPart(p.source, part);
    if (p.thickLabel) {
      part.thickLabel = *p.thickLabel;
    }
    result.parts.push_back(std::move(part));
    result.sources.push_back(std::move(p.source));
  }
  return result;
}

void reportDrawingProblems(const DrawingParts& drawing, const std::filesystem::path& path) {
  for (const DxfProblem& problem : drawing.problems) {
    notifyWarning(problem.message);
  }
  if (drawing.parts.empty()) {
    std::string message(text::kDrawingReadFailedPrefix);
    message += printableText(path.string());
    message += text::kDrawingReadFailedSuffix;
    notifyWarning(message);
  }
}

void addDrawingParts(PackingJob& job, const DrawingParts& drawing,
                     const std::filesystem::path& path, int& nextId) {
  for (std::size_t i = 0; i < drawing.parts.size(); ++i) {
    Part part = sameOrderCopy(drawing.parts[i]);
    part.id = nextId++;
    job.workingParts.insert(part);
    if (i < drawing.sources.size()) {
      PartSource source(drawing.sources[i]);
      source.id = part.id;
      job.sources.insert(source);
    }
    job.partDrawings[part.id] = path;
  }
}

}  // namespace tarn
