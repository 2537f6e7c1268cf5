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

// Well-formed UTF-8 (no overlong forms or surrogates are checked for: the
// question is only whether the bytes should be read as GBK instead).
bool looksLikeUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    std::size_t more = 0;
    if (c < 0x80) {
      more = 0;
    } else if ((c & 0xe0) == 0xc0) {
      more = 1;
    } else if ((c & 0xf0) == 0xe0) {
      more = 2;
    } else if ((c & 0xf8) == 0xf0) {
      more = 3;
    } else {
      return false;
    }
    if (i + more >= bytes.size()) {
      return false;
    }
    for (std::size_t k = 1; k <= more; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xc0) != 0x80) {
        return false;
      }
    }
    i += more + 1;
  }
  return true;
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
  const bool gbk = !looksLikeUtf8(name);
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (gbk && isGbkLead(c) && i + 1 < name.size()) {
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

}  // namespace tarn
