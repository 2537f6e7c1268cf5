#include "output/part_export.h"

#include <sstream>
#include <string>

#include "geometry/notify.h"
#include "geometry/text_label.h"
#include "geometry/texts.h"
#include "output/dxf_writer.h"
#include "output/file_output.h"

namespace tarn {

namespace {

constexpr std::string_view kPartFileExtension = ".dxf";

bool isControl(unsigned char c) {
  return c < 0x20 || c == 0x7f;
}

bool isGbkLead(unsigned char c) {
  return c >= 0x81 && c <= 0xfe;
}

// '/' and control bytes are never GBK trail bytes, whatever byte leads them.
bool isGbkTrail(unsigned char c) {
  return c >= 0x40 && c <= 0xfe && c != 0x7f;
}

void writePartDxf(std::ostream& out, const Part& part) {
  DxfWriter dxf(out);
  dxf.beginEntities();
  writeClosedOutline(dxf, kPlateLayer, part.outer);
  for (const Region& hole : part.holes) {
    writeClosedOutline(dxf, kPlateLayer, hole);
  }
  dxf.text(kNameLayer, part.nameLabel);
  if (!part.outer.points.empty()) {
    dxf.point(kPlateLayer, part.outer.points.front());
  }
  dxf.endFile();
}

}  // namespace

bool isSafePartFileName(std::string_view name) {
  if (name.empty() || name.front() == '-' || name.find("..") != std::string_view::npos) {
    return false;
  }
  // In a GBK name a trail byte may equal '\\' without being one.
  const bool gbk = !isUtf8(name);
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (gbk && isGbkLead(c) && i + 1 < name.size() &&
        isGbkTrail(static_cast<unsigned char>(name[i + 1]))) {
      ++i;
      continue;
    }
    if (isControl(c) || c == '/' || c == '\\') {
      return false;
    }
  }
  return true;
}

void ExportParts(PackingJob& job, const std::filesystem::path& folder) {
  for (const Part& part : job.trueParts) {
    const std::string& name = part.nameLabel.text;
    if (!isSafePartFileName(name)) {
      notifyWarning(std::string(text::kLayoutFileWriteFailed) + " \"" + printableText(name) + "\"");
      continue;
    }
    std::ostringstream out;
    writePartDxf(out, part);
    writeWholeFile(folder / (name + std::string(kPartFileExtension)), out.str(),
                   text::kLayoutFileWriteFailed);
  }
}

void ExportParts(PackingJob& job) {
  ExportParts(job, job.outputFolder);
}

}  // namespace tarn
