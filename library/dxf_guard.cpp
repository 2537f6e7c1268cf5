#include "library/dxf_guard.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <set>
#include <string>

#include "geometry/texts.h"
#include "library/line_reader.h"

namespace tarn::dxf {
namespace {

constexpr std::string_view kBinarySentinel = "AutoCAD Binary DXF";
constexpr std::string_view kUtf8Bom = "\xef\xbb\xbf";
constexpr int kMinCode = -10;
constexpr int kMaxCode = 9999;

// The groups libdxflib is given of each kind: what the import reads, so that
// layers, handles, widths, elevations and extended data cost nothing.
// 210, 220 and 230 (the plane's normal) are kept for every kind.
const std::map<std::string_view, std::set<int>, std::less<>> kReadCodes = {
    {"LINE", {10, 20, 11, 21}},
    {"ARC", {10, 20, 40, 50, 51}},
    {"CIRCLE", {10, 20, 40}},
    {"ELLIPSE", {10, 20, 11, 21, 40, 41, 42}},
    {"LWPOLYLINE", {70, 90, 10, 20, 42}},
    {"POLYLINE", {70}},
    {"VERTEX", {10, 20, 42, 70}},
    {"SEQEND", {}},
    {"SPLINE", {70, 71, 72, 73, 74, 40, 10, 20, 41, 11, 21}},
    {"INSERT", {2, 10, 20, 41, 42, 50, 70, 71, 44, 45}},
    {"TEXT", {1, 10, 20, 40, 50}},
    {"MTEXT", {1, 3, 10, 20, 11, 21, 40, 50}},
    {"BLOCK", {2, 10, 20, 70}},
    {"ENDBLK", {}}};

bool normalCode(int code) {
  return code == 210 || code == 220 || code == 230;
}

// Annotation and construction kinds, left out without a word.
const std::set<std::string_view, std::less<>> kQuietKinds = {"DIMENSION",
                                                             "ARC_DIMENSION",
                                                             "LARGE_RADIAL_DIMENSION",
                                                             "HATCH",
                                                             "MPOLYGON",
                                                             "POINT",
                                                             "LEADER",
                                                             "MLEADER",
                                                             "MULTILEADER",
                                                             "ATTDEF",
                                                             "ATTRIB",
                                                             "VIEWPORT",
                                                             "IMAGE",
                                                             "WIPEOUT",
                                                             "TOLERANCE",
                                                             "ACAD_TABLE",
                                                             "TABLE",
                                                             "OLE2FRAME",
                                                             "OLEFRAME",
                                                             "ARCALIGNEDTEXT",
                                                             "RTEXT",
                                                             "XLINE",
                                                             "RAY",
                                                             "SHAPE",
                                                             "LIGHT",
                                                             "SUN",
                                                             "PDFUNDERLAY",
                                                             "DWFUNDERLAY",
                                                             "DGNUNDERLAY",
                                                             "UNDERLAY",
                                                             "CAMERA",
                                                             "GEOPOSITIONMARKER",
                                                             "SECTIONOBJECT"};

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

std::optional<int> parseCode(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && isBlank(text[first])) {
    ++first;
  }
  while (last > first && isBlank(text[last - 1])) {
    --last;
  }
  const std::string_view digits = text.substr(first, last - first);
  int code = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), code);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
      code < kMinCode || code > kMaxCode) {
    return std::nullopt;
  }
  return code;
}

double parseReal(std::string_view value) {
  // Some writers put a decimal comma; libdxflib reads it as a point, so do we.
  if (value.find(',') == std::string_view::npos) {
    return parseDouble(value);
  }
  std::string copy(value);
  std::replace(copy.begin(), copy.end(), ',', '.');
  return parseDouble(copy);
}

void appendGroup(std::string& out, int code, std::string_view value) {
  out += std::to_string(code);
  out += '\n';
  out += value;
  out += '\n';
}

std::string realText(double v) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  return std::string(buffer, result.ptr);
}

enum class Section { Outside, Starting, Header, Blocks, Entities, Other };
enum class BlockState { Outside, Keeping, Dropping };

class Guard {
 public:
  explicit Guard(GuardedDrawing& result) : result_(result) {}

  void run(std::string_view bytes) {
    GroupReader reader(bytes);
    bool sawSection = false;
    bool sawEof = false;
    int lastLine = 0;
    while (const std::optional<Group> g = reader.next()) {
      lastLine = g->line;
      if (g->code == 999) {
        continue;
      }
      if (g->code == 0 && g->value == "EOF") {
        closeSection();
        sawEof = true;
        break;
      }
      switch (section_) {
        case Section::Outside:
          if (g->code == 0 && g->value == "SECTION") {
            section_ = Section::Starting;
            sawSection = true;
          }
          break;
        case Section::Starting:
          openSection(*g);
          break;
        case Section::Header:
          if (g->code == 0 && g->value == "ENDSEC") {
            section_ = Section::Outside;
          } else if (g->code == 9) {
            variable_ = g->value;
          } else if (g->code == 70 && variable_ == "$INSUNITS") {
            result_.insUnits = parseInt(g->value);
          }
          break;
        case Section::Blocks:
        case Section::Entities:
          if (g->code == 0) {
            flushEntity();
            if (g->value == "ENDSEC") {
              closeSection();
            } else {
              kind_ = g->value;
              inEntity_ = true;
            }
          } else if (inEntity_) {
            groups_.push_back(*g);
          }
          break;
        case Section::Other:
          if (g->code == 0 && g->value == "ENDSEC") {
            section_ = Section::Outside;
          }
          break;
      }
    }
    if (!reader.failure().empty()) {
      fail(reader.failure(), reader.failureLine());
      return;
    }
    if (!sawSection) {
      fail(text::kDxfNotText, std::nullopt);
      return;
    }
    if (!sawEof && section_ != Section::Outside) {
      fail(text::kDxfTruncated, lastLine);
      return;
    }
    result_.text += "0\nEOF\n";
    result_.usable = true;
  }

 private:
  void fail(std::string_view what, std::optional<int> line) {
    const DxfProblemKind kind = DxfProblemKind::NotAsciiDxf;
    result_.issues.push_back(GuardIssue{kind, what, line, {}});
    result_.usable = false;
    result_.text.clear();
  }

  void openSection(const Group& g) {
    section_ = Section::Other;
    if (g.code != 2) {
      return;
    }
    if (g.value == "HEADER") {
      section_ = Section::Header;
    } else if (g.value == "BLOCKS" || g.value == "ENTITIES") {
      section_ = g.value == "BLOCKS" ? Section::Blocks : Section::Entities;
      appendGroup(result_.text, 0, "SECTION");
      appendGroup(result_.text, 2, g.value);
    }
  }

  void closeSection() {
    if (section_ == Section::Blocks || section_ == Section::Entities) {
      flushEntity();
      appendGroup(result_.text, 0, "ENDSEC");
    }
    section_ = Section::Outside;
    blocks_ = BlockState::Outside;
  }

  int intValue(int code, int fallback) const {
    for (const Group& g : groups_) {
      if (g.code == code) {
        return parseInt(g.value);
      }
    }
    return fallback;
  }

  bool hasName() const {
    for (const Group& g : groups_) {
      if (g.code == 2) {
        return !g.value.empty();
      }
    }
    return false;
  }

  void skip(std::string_view kind) {
    for (auto& [name, count] : result_.skipped) {
      if (name == kind) {
        ++count;
        return;
      }
    }
    if (result_.skipped.size() == kMaxSkippedKinds) {
      ++result_.skippedOthers;
      return;
    }
    result_.skipped.emplace_back(std::string(kind.substr(0, kMaxValueBytes)), 1);
  }

  void flushEntity() {
    if (!inEntity_) {
      return;
    }
    inEntity_ = false;
    keepOrDrop(kind_);
    groups_.clear();
  }

  void keepOrDrop(std::string_view kind) {
    // Block definitions: only inside BLOCKS, and only with a name, or their
    // entities would land in model space.
    if (kind == "BLOCK" || kind == "ENDBLK") {
      if (section_ != Section::Blocks) {
        return;
      }
      if (kind == "BLOCK") {
        blocks_ = hasName() ? BlockState::Keeping : BlockState::Dropping;
        if (blocks_ == BlockState::Dropping) {
          return;
        }
      } else {
        const bool keeping = blocks_ == BlockState::Keeping;
        blocks_ = BlockState::Outside;
        if (!keeping) {
          return;
        }
      }
      emit(kind);
      return;
    }
    if (section_ == Section::Blocks && blocks_ != BlockState::Keeping) {
      return;
    }
    if (intValue(67, 0) == 1 || (kind == "VERTEX" && (intValue(70, 0) & 16) != 0)) {
      // Paper space is the sheet around the drawing; a VERTEX flagged 16 is a
      // spline frame's control point, not a point of the curve.
      return;
    }
    if (kReadCodes.count(kind) == 0) {
      if (kQuietKinds.count(kind) == 0) {
        skip(kind);
      }
      return;
    }
    emit(kind);
  }

  // Writes the entity in the checked form; an entity with a number that is not
  // finite is left out and reported.
  void emit(std::string_view kind) {
    std::string entity;
    appendGroup(entity, 0, kind);
    const bool lwPolyline = kind == "LWPOLYLINE";
    const bool spline = kind == "SPLINE";
    int vertices = 0;
    int knots = 0;
    int controls = 0;
    int fits = 0;
    for (const Group& g : groups_) {
      vertices += g.code == 10 ? 1 : 0;
      knots += g.code == 40 ? 1 : 0;
      controls += g.code == 10 ? 1 : 0;
      fits += g.code == 11 ? 1 : 0;
    }
    if (spline) {
      // Counts first: libdxflib allocates its arrays when it meets them.
      appendGroup(entity, 72, std::to_string(knots));
      appendGroup(entity, 73, std::to_string(controls));
      appendGroup(entity, 74, std::to_string(fits));
    }
    bool countWritten = false;
    const std::set<int>& read = kReadCodes.find(kind)->second;
    for (const Group& g : groups_) {
      const int code = g.code;
      if ((read.count(code) == 0 && !normalCode(code)) || (lwPolyline && code == 90) ||
          (spline && (code == 72 || code == 73 || code == 74))) {
        continue;
      }
      if (lwPolyline && code == 10 && !countWritten) {
        appendGroup(entity, 90, std::to_string(vertices));
        countWritten = true;
      }
      if (isRealCode(code)) {
        const double v = parseReal(g.value);
        if (!std::isfinite(v)) {
          if (result_.unusableEntities++ == 0) {
            result_.firstUnusableLine = g.line;
          }
          return;
        }
        appendGroup(entity, code, realText(v));
      } else if (isIntegerCode(code)) {
        appendGroup(entity, code, std::to_string(parseInt(g.value)));
      } else {
        appendGroup(entity, code, g.value.substr(0, kMaxValueBytes));
      }
    }
    if (lwPolyline && !countWritten) {
      appendGroup(entity, 90, std::to_string(vertices));
    }
    result_.text += entity;
  }

  GuardedDrawing& result_;
  Section section_ = Section::Outside;
  BlockState blocks_ = BlockState::Outside;
  std::string_view variable_;
  std::string_view kind_;
  bool inEntity_ = false;
  std::vector<Group> groups_;
};

}  // namespace

GroupReader::GroupReader(std::string_view bytes) : bytes_(bytes) {
  if (bytes_.substr(0, kBinarySentinel.size()) == kBinarySentinel) {
    failure_ = text::kDxfBinary;
    failureLine_ = 1;
  }
  if (bytes_.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    pos_ = kUtf8Bom.size();
  }
}

std::optional<std::string_view> GroupReader::line() {
  if (pos_ >= bytes_.size()) {
    return std::nullopt;
  }
  std::size_t end = bytes_.find('\n', pos_);
  if (end == std::string_view::npos) {
    end = bytes_.size();
  }
  std::string_view text = bytes_.substr(pos_, end - pos_);
  pos_ = end + 1;
  ++lineNumber_;
  if (!text.empty() && text.back() == '\r') {
    text.remove_suffix(1);
  }
  return text;
}

std::optional<Group> GroupReader::next() {
  if (!failure_.empty()) {
    return std::nullopt;
  }
  const std::optional<std::string_view> codeLine = line();
  if (!codeLine) {
    return std::nullopt;
  }
  const int at = lineNumber_;
  const std::optional<int> code = parseCode(*codeLine);
  // A NUL byte or a code that is no number: binary data, or not DXF at all.
  if (!code || codeLine->find('\0') != std::string_view::npos) {
    failure_ =
        codeLine->find('\0') != std::string_view::npos ? text::kDxfNotText : text::kDxfBadGroupCode;
    failureLine_ = at;
    return std::nullopt;
  }
  const std::optional<std::string_view> value = line();
  if (!value) {
    failure_ = text::kDxfTruncated;
    failureLine_ = at;
    return std::nullopt;
  }
  if (value->find('\0') != std::string_view::npos) {
    failure_ = text::kDxfNotText;
    failureLine_ = lineNumber_;
    return std::nullopt;
  }
  return Group{*code, *codeLine, *value, at};
}

GuardedDrawing guardDrawing(std::string_view bytes) {
  GuardedDrawing result;
  result.text.reserve(bytes.size());
  Guard(result).run(bytes);
  return result;
}

bool isRealCode(int code) {
  return (code >= 10 && code <= 59) || (code >= 110 && code <= 149) ||
         (code >= 210 && code <= 239) || (code >= 460 && code <= 469) ||
         (code >= 1010 && code <= 1059);
}

bool isIntegerCode(int code) {
  return (code >= 60 && code <= 99) || (code >= 160 && code <= 179) ||
         (code >= 270 && code <= 299) || (code >= 370 && code <= 389) ||
         (code >= 400 && code <= 409) || (code >= 420 && code <= 429) ||
         (code >= 440 && code <= 459) || (code >= 1060 && code <= 1071);
}

}  // namespace tarn::dxf
