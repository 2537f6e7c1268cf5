#include "library/dxf_import.h"

#include <dl_creationadapter.h>
#include <dl_dxf.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <system_error>
#include <variant>

#include "geometry/part.h"
#include "geometry/texts.h"
#include "library/dxf_contours.h"
#include "library/dxf_guard.h"
#include "library/dxf_shapes.h"
#include "library/line_reader.h"

namespace tarn {
namespace {

using dxf::Affine;
using dxf::Path;
using dxf::PathMaker;
using dxf::WorkBudget;

constexpr std::string_view kNamePrefix = "name:";
constexpr std::string_view kThickPrefix = "thick=";
constexpr std::string_view kParagraph = "\\P";  // an MTEXT line break
constexpr int kMaxBlockDepth = 32;
constexpr std::size_t kMaxOpenReports = 10;
constexpr std::size_t kMaxListed = 10;  // kinds or block names named in one message
constexpr double kPlanarSlack = 1e-9;   // relative tilt of a normal still taken as Z

// $INSUNITS: millimetres per drawing unit; 0 for codes not read.
double millimetresPerUnit(int code) {
  constexpr double kPerUnit[] = {
      1.0,                       // 0 unitless: millimetres, as the part libraries are
      25.4,                      // 1 inch
      304.8,                     // 2 foot
      1609344.0,                 // 3 mile
      1.0,                       // 4 millimetre
      10.0,                      // 5 centimetre
      1000.0,                    // 6 metre
      1e6,                       // 7 kilometre
      25.4e-6,                   // 8 microinch
      0.0254,                    // 9 mil
      914.4,                     // 10 yard
      1e-7,                      // 11 angstrom
      1e-6,                      // 12 nanometre
      1e-3,                      // 13 micrometre
      100.0,                     // 14 decimetre
      1e4,                       // 15 decametre
      1e5,                       // 16 hectometre
      0.0,                       // 17 gigametre
      0.0,                       // 18 astronomical unit
      0.0,                       // 19 light year
      0.0,                       // 20 parsec
      1200.0 / 3937.0 * 1000.0,  // 21 US survey foot
  };
  constexpr int kUnits = static_cast<int>(sizeof kPerUnit / sizeof kPerUnit[0]);
  return code >= 0 && code < kUnits ? kPerUnit[code] : 0.0;
}

// ---- What the drawing holds, in each entity's own coordinates ----

struct LineShape {
  Point p, q;
};
struct ArcShape {
  Point centre;
  double radius = 0.0;
  double startDeg = 0.0, endDeg = 0.0;
  bool full = false;
};
struct EllipseShape {
  Point centre, major;
  double ratio = 1.0, t0 = 0.0, t1 = 0.0;
};
struct PolyShape {
  std::vector<Point> points;
  std::vector<double> bulges;
  bool closed = false;
};
struct SplineShape {
  int degree = 3;
  std::vector<Point> control;
  std::vector<double> weights;
  std::vector<double> knots;
  std::vector<Point> fit;
};
struct InsertShape {
  std::string block;
  Point at;
  double sx = 1.0, sy = 1.0, angleDeg = 0.0;
  int cols = 1, rows = 1;
  double colSpacing = 0.0, rowSpacing = 0.0;
};
struct TextShape {
  std::string text;
  Point at;
  double height = 0.0, angleRad = 0.0;
};

struct Entity {
  std::variant<LineShape, ArcShape, EllipseShape, PolyShape, SplineShape, InsertShape, TextShape>
      shape;
  int normal = 1;   // the drawing plane's normal: +1 up, -1 down, 0 tilted
  bool ocs = true;  // coordinates in the entity's plane (false: world coordinates)
};

struct Block {
  Point base;
  std::vector<Entity> entities;
};

// Block names compare without letter case, as CAD programs treat them.
std::string blockKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return key;
}

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Receives libdxflib's entities and files them under model space or their block.
class Collector : public DL_CreationAdapter {
 public:
  std::vector<Entity> model;
  std::map<std::string, Block> blocks;
  int meshes = 0;

  void addBlock(const DL_BlockData& d) override {
    finish();
    const std::string key = blockKey(d.name);
    // A second definition of a name is ignored, as the first is the one used.
    if (blocks.count(key) != 0) {
      target_ = &discarded_;
      return;
    }
    Block& block = blocks[key];
    block.base = Point{d.bpx, d.bpy};
    target_ = &block.entities;
  }
  void endBlock() override {
    finish();
    target_ = &model;
  }

  void addLine(const DL_LineData& d) override {
    finish();
    add(LineShape{Point{d.x1, d.y1}, Point{d.x2, d.y2}}, false);
  }
  void addArc(const DL_ArcData& d) override {
    finish();
    add(ArcShape{Point{d.cx, d.cy}, d.radius, d.angle1, d.angle2, false}, true);
  }
  void addCircle(const DL_CircleData& d) override {
    finish();
    add(ArcShape{Point{d.cx, d.cy}, d.radius, 0.0, 360.0, true}, true);
  }
  void addEllipse(const DL_EllipseData& d) override {
    finish();
    add(EllipseShape{Point{d.cx, d.cy}, Point{d.mx, d.my}, d.ratio, d.angle1, d.angle2}, false);
  }

  void addPolyline(const DL_PolylineData& d) override {
    finish();
    constexpr int kClosed = 1;
    constexpr int k3d = 8;
    constexpr int kMeshes = 16 | 64;
    if ((d.flags & kMeshes) != 0) {
      ++meshes;
      return;
    }
    polyline_ = PolyShape{};
    polyline_->closed = (d.flags & kClosed) != 0;
    polylineOcs_ = (d.flags & k3d) == 0;
    polylineNormal_ = normal();
  }
  void addVertex(const DL_VertexData& d) override {
    if (polyline_) {
      polyline_->points.push_back(Point{d.x, d.y});
      polyline_->bulges.push_back(d.bulge);
    }
  }

  void addSpline(const DL_SplineData& d) override {
    finish();
    spline_ = SplineShape{};
    spline_->degree = static_cast<int>(d.degree);
  }
  void addControlPoint(const DL_ControlPointData& d) override {
    if (spline_) {
      spline_->control.push_back(Point{d.x, d.y});
      spline_->weights.push_back(d.w);
    }
  }
  void addFitPoint(const DL_FitPointData& d) override {
    if (spline_) {
      spline_->fit.push_back(Point{d.x, d.y});
    }
  }
  void addKnot(const DL_KnotData& d) override {
    if (spline_) {
      spline_->knots.push_back(d.k);
    }
  }

  void addInsert(const DL_InsertData& d) override {
    finish();
    add(InsertShape{d.name, Point{d.ipx, d.ipy}, d.sx, d.sy, d.angle, d.cols, d.rows, d.colSp,
                    d.rowSp},
        true);
  }

  void addText(const DL_TextData& d) override {
    finish();
    if (startsWith(d.text, kNamePrefix) || startsWith(d.text, kThickPrefix)) {
      add(TextShape{d.text, Point{d.ipx, d.ipy}, d.height, d.angle}, true);
    }
  }
  void addMTextChunk(const std::string& chunk) override {
    if (mtext_.size() < kMaxValueBytes) {
      mtext_ += chunk;
    }
  }
  void addMText(const DL_MTextData& d) override {
    finish();
    std::string content = mtext_ + d.text;
    mtext_.clear();
    content = content.substr(0, content.find(kParagraph));
    if (startsWith(content, kNamePrefix) || startsWith(content, kThickPrefix)) {
      add(TextShape{content, Point{d.ipx, d.ipy}, d.height, d.angle}, false);
    }
  }

  void endEntity() override { finish(); }
  void endSequence() override { finish(); }

  // Files a polyline or spline still being collected.
  void finish() {
    if (polyline_) {
      Entity e{std::move(*polyline_), polylineNormal_, polylineOcs_};
      polyline_.reset();
      target_->push_back(std::move(e));
    }
    if (spline_) {
      Entity e{std::move(*spline_), normal(), false};
      spline_.reset();
      target_->push_back(std::move(e));
    }
  }

 private:
  static constexpr std::size_t kMaxValueBytes = dxf::kMaxValueBytes;

  int normal() {
    const DL_Extrusion* plane = getExtrusion();
    if (plane == nullptr) {
      return 1;
    }
    const double* n = plane->getDirection();
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > 0.0) || std::fabs(n[0]) > kPlanarSlack * length ||
        std::fabs(n[1]) > kPlanarSlack * length) {
      return 0;
    }
    return n[2] > 0.0 ? 1 : -1;
  }

  template <class Shape>
  void add(Shape&& shape, bool ocs) {
    target_->push_back(Entity{std::forward<Shape>(shape), normal(), ocs});
  }

  std::vector<Entity>* target_ = &model;
  std::vector<Entity> discarded_;
  std::optional<PolyShape> polyline_;
  int polylineNormal_ = 1;
  bool polylineOcs_ = true;
  std::optional<SplineShape> spline_;
  std::string mtext_;
};

// ---- The drawing in world millimetres ----

struct WorldText {
  bool name = false;  // else a thickness
  std::string value;  // after the prefix
  TextLabel label;    // value, place, angle and height in the world
};

struct Tally {
  int unusable = 0;
  int notPlanar = 0;
  int badSplines = 0;
  int fitOnlySplines = 0;
  int tooDeep = 0;
  std::vector<std::string> missingBlocks;
  std::vector<std::string> selfInserts;
};

void note(std::vector<std::string>& names, const std::string& name) {
  if (names.size() < kMaxListed && std::find(names.begin(), names.end(), name) == names.end()) {
    names.push_back(name);
  }
}

bool usablePoint(const Point& p) {
  return usableNumber(p.x) && usableNumber(p.y);
}

class Expander {
 public:
  Expander(const Collector& drawing, double chordTol, WorkBudget& budget, Tally& tally)
      : drawing_(drawing), chordTol_(chordTol), budget_(budget), tally_(tally) {}

  std::vector<Path> paths;
  std::vector<WorldText> texts;

  void run(const Affine& units) { expand(drawing_.model, units, 0); }

 private:
  void expand(const std::vector<Entity>& entities, const Affine& m, int depth) {
    for (const Entity& e : entities) {
      if (budget_.exceeded()) {
        return;
      }
      if (e.normal == 0 && (e.ocs || std::holds_alternative<EllipseShape>(e.shape))) {
        ++tally_.notPlanar;
        continue;
      }
      // A plane seen from below: its x axis points the other way.
      const Affine local = e.ocs && e.normal < 0 ? compose(m, dxf::scaling(-1.0, 1.0)) : m;
      std::visit([&](const auto& shape) { draw(shape, e, local, depth); }, e.shape);
    }
  }

  // Points mapped into the world and lengths stretched by the map stay usable.
  bool fits(const Affine& m, std::initializer_list<Point> points, double length = 0.0) {
    for (const Point& p : points) {
      if (!usablePoint(dxf::apply(m, p))) {
        return false;
      }
    }
    return usableNumber(length * dxf::maxStretch(m));
  }

  void keep(Path&& path) {
    if (budget_.exceeded()) {
      return;
    }
    if (!dxf::usablePath(path)) {
      ++tally_.unusable;
      return;
    }
    paths.push_back(std::move(path));
  }

  void draw(const LineShape& s, const Entity&, const Affine& m, int) {
    if (!fits(m, {s.p, s.q})) {
      ++tally_.unusable;
      return;
    }
    const PathMaker maker(m, chordTol_, budget_);
    Path path;
    maker.start(path, s.p);
    maker.lineTo(path, s.q);
    keep(std::move(path));
  }

  void draw(const ArcShape& s, const Entity&, const Affine& m, int) {
    if (!(s.radius > 0.0)) {
      return;
    }
    if (!fits(m, {s.centre}, s.radius)) {
      ++tally_.unusable;
      return;
    }
    const PathMaker maker(m, chordTol_, budget_);
    if (s.full) {
      keep(maker.circle(s.centre, s.radius));
      return;
    }
    double sweep = std::fmod(s.endDeg - s.startDeg, 360.0);
    if (sweep < 0.0) {
      sweep += 360.0;
    }
    // Start and end at the same angle: nothing is drawn.
    if (!(sweep > 0.0)) {
      return;
    }
    const double pi = std::acos(-1.0);
    auto at = [&](double deg) {
      return Point{s.centre.x + s.radius * std::cos(deg / 180.0 * pi),
                   s.centre.y + s.radius * std::sin(deg / 180.0 * pi)};
    };
    const double startDeg = std::fmod(s.startDeg, 360.0);
    Path path;
    maker.start(path, at(startDeg));
    maker.arcTo(path, s.centre, s.radius, startDeg, sweep, at(startDeg + sweep));
    keep(std::move(path));
  }

  void draw(const EllipseShape& s, const Entity& e, const Affine& m, int) {
    const double length = std::hypot(s.major.x, s.major.y);
    if (!(s.ratio > 0.0) || !(length > 0.0)) {
      return;
    }
    if (!fits(m, {s.centre}, length * std::max(1.0, s.ratio))) {
      ++tally_.unusable;
      return;
    }
    // The minor axis is the major one turned a quarter about the normal.
    const double turn = e.normal < 0 ? -1.0 : 1.0;
    const Point minor{-turn * s.ratio * s.major.y, turn * s.ratio * s.major.x};
    // Parameters a turn or more apart draw the whole ellipse; others run
    // counter-clockwise from the start parameter to the end one.
    const double twoPi = 2.0 * std::acos(-1.0);
    double sweep = s.t1 - s.t0;
    if (!(sweep >= twoPi)) {
      sweep = std::fmod(sweep, twoPi);
      if (sweep < 0.0) {
        sweep += twoPi;
      }
      if (!(sweep > 0.0)) {
        return;
      }
    }
    // Reduced to one turn, a start far from zero keeps its precision.
    const double t0 = std::fmod(s.t0, twoPi);
    const PathMaker maker(m, chordTol_, budget_);
    keep(maker.ellipse(s.centre, s.major, minor, t0, t0 + std::min(sweep, twoPi)));
  }

  void draw(const PolyShape& s, const Entity&, const Affine& m, int) {
    const std::size_t n = s.points.size();
    if (n < 2) {
      return;
    }
    for (const Point& p : s.points) {
      if (!fits(m, {p})) {
        ++tally_.unusable;
        return;
      }
    }
    const PathMaker maker(m, chordTol_, budget_);
    Path path;
    maker.start(path, s.points[0]);
    for (std::size_t i = 0; i + 1 < n; ++i) {
      maker.bulgeTo(path, s.points[i], s.bulges[i], s.points[i + 1]);
    }
    if (s.closed) {
      maker.bulgeTo(path, s.points[n - 1], s.bulges[n - 1], s.points[0]);
      PathMaker::close(path);
    }
    keep(std::move(path));
  }

  void draw(const SplineShape& s, const Entity&, const Affine& m, int) {
    const PathMaker maker(m, chordTol_, budget_);
    for (const Point& p : s.control.empty() ? s.fit : s.control) {
      if (!fits(m, {p})) {
        ++tally_.unusable;
        return;
      }
    }
    if (s.control.empty()) {
      if (s.fit.size() < 2) {
        ++tally_.badSplines;
        return;
      }
      ++tally_.fitOnlySplines;
      Path path;
      maker.start(path, s.fit[0]);
      for (std::size_t i = 1; i < s.fit.size(); ++i) {
        maker.lineTo(path, s.fit[i]);
      }
      keep(std::move(path));
      return;
    }
    Path path = maker.spline(s.degree, s.control, s.weights, s.knots);
    if (path.points.empty()) {
      if (!budget_.exceeded()) {
        ++tally_.badSplines;
      }
      return;
    }
    keep(std::move(path));
  }

  void draw(const InsertShape& s, const Entity&, const Affine& m, int depth) {
    const auto found = drawing_.blocks.find(blockKey(s.block));
    if (found == drawing_.blocks.end()) {
      note(tally_.missingBlocks, s.block);
      return;
    }
    if (std::find(stack_.begin(), stack_.end(), &found->second) != stack_.end()) {
      note(tally_.selfInserts, s.block);
      return;
    }
    if (depth >= kMaxBlockDepth) {
      ++tally_.tooDeep;
      return;
    }
    const Block& block = found->second;
    const std::size_t cols = static_cast<std::size_t>(std::max(1, s.cols));
    const std::size_t rows = static_cast<std::size_t>(std::max(1, s.rows));
    if (!budget_.spend(cols * rows)) {
      return;
    }
    stack_.push_back(&block);
    const Affine placed =
        compose(m, compose(dxf::translation(s.at.x, s.at.y), dxf::rotationDeg(s.angleDeg)));
    const Affine shaped =
        compose(dxf::scaling(s.sx, s.sy), dxf::translation(-block.base.x, -block.base.y));
    for (std::size_t r = 0; r < rows && !budget_.exceeded(); ++r) {
      for (std::size_t c = 0; c < cols && !budget_.exceeded(); ++c) {
        const Affine cell = dxf::translation(static_cast<double>(c) * s.colSpacing,
                                             static_cast<double>(r) * s.rowSpacing);
        expand(block.entities, compose(placed, compose(cell, shaped)), depth + 1);
      }
    }
    stack_.pop_back();
  }

  void draw(const TextShape& s, const Entity&, const Affine& m, int) {
    if (!budget_.spend(1)) {
      return;
    }
    const Point at = dxf::apply(m, s.at);
    const Point origin = dxf::apply(m, Point{});
    const Point towards = dxf::apply(m, Point{std::cos(s.angleRad), std::sin(s.angleRad)});
    const double determinant = std::fabs(m.a * m.e - m.b * m.d);
    WorldText text;
    text.name = startsWith(s.text, kNamePrefix);
    text.value = s.text.substr(text.name ? kNamePrefix.size() : kThickPrefix.size());
    text.label.x = at.x;
    text.label.y = at.y;
    text.label.angle =
        std::atan2(towards.y - origin.y, towards.x - origin.x) / std::acos(-1.0) * 180.0;
    text.label.height = s.height * std::sqrt(determinant);
    setLabelText(text.label, text.value);
    if (!usablePoint(at) || !usableNumber(text.label.angle) || !usableNumber(text.label.height) ||
        text.value.empty()) {
      return;
    }
    texts.push_back(std::move(text));
  }

  const Collector& drawing_;
  double chordTol_;
  WorkBudget& budget_;
  Tally& tally_;
  std::vector<const Block*> stack_;
};

// ---- Reading, problems and names ----

class Report {
 public:
  Report(const std::filesystem::path& path, std::vector<DxfProblem>& problems)
      : path_(path), problems_(problems) {}

  void add(DxfProblemKind kind, std::string_view what, std::optional<int> line = std::nullopt,
           std::string_view detail = {}) {
    problems_.push_back(DxfProblem{kind, drawingMessage(what, path_, line, detail)});
  }

 private:
  const std::filesystem::path& path_;
  std::vector<DxfProblem>& problems_;
};

std::string countText(int count) {
  return " (" + std::to_string(count) + ")";
}

std::string listText(const std::vector<std::string>& names) {
  std::string listed;
  for (const std::string& name : names) {
    listed += listed.empty() ? ": " : ", ";
    listed += printableText(name);
  }
  return listed;
}

void reportTally(const Tally& tally, int meshes, Report& report) {
  if (tally.unusable > 0) {
    report.add(DxfProblemKind::BadEntity, text::kDxfUnusableNumber, std::nullopt,
               countText(tally.unusable));
  }
  if (tally.notPlanar + meshes > 0) {
    report.add(DxfProblemKind::BadEntity, text::kDxfNotPlanar, std::nullopt,
               countText(tally.notPlanar + meshes));
  }
  if (tally.badSplines > 0) {
    report.add(DxfProblemKind::BadEntity, text::kDxfBadSpline, std::nullopt,
               countText(tally.badSplines));
  }
  if (tally.fitOnlySplines > 0) {
    report.add(DxfProblemKind::Approximated, text::kDxfFitPointSpline, std::nullopt,
               countText(tally.fitOnlySplines));
  }
  if (!tally.missingBlocks.empty()) {
    report.add(DxfProblemKind::BlockProblem, text::kDxfBlockMissing, std::nullopt,
               listText(tally.missingBlocks));
  }
  if (!tally.selfInserts.empty()) {
    report.add(DxfProblemKind::BlockProblem, text::kDxfBlockCycle, std::nullopt,
               listText(tally.selfInserts));
  }
  if (tally.tooDeep > 0) {
    report.add(DxfProblemKind::BlockProblem, text::kDxfBlockTooDeep, std::nullopt,
               countText(tally.tooDeep));
  }
}

void reportContours(const dxf::Contours& contours, Report& report) {
  for (std::size_t i = 0; i < contours.open.size() && i < kMaxOpenReports; ++i) {
    const dxf::OpenChain& chain = contours.open[i];
    report.add(DxfProblemKind::OpenContour, text::kDxfOpenContour, std::nullopt,
               std::string(text::kDxfGapFrom) + placeText(chain.first) +
                   std::string(text::kDxfGapTo) + placeText(chain.last));
  }
  if (contours.open.size() > kMaxOpenReports) {
    report.add(DxfProblemKind::OpenContour, text::kDxfMoreOpenContours, std::nullopt,
               countText(static_cast<int>(contours.open.size() - kMaxOpenReports)));
  }
  if (!contours.crowded.empty()) {
    std::string places;
    for (const Point& p : contours.crowded) {
      places += places.empty() ? std::string(text::kDxfWhereAt) : std::string(" ");
      places += placeText(p);
    }
    report.add(DxfProblemKind::CrowdedEnds, text::kDxfCrowdedEnds, std::nullopt, places);
  }
}

// The names of the parts, in their order: see DxfImport.
std::vector<std::string> partNames(const std::vector<dxf::Outline>& outlines,
                                   const std::vector<WorldText>& texts, const std::string& stem,
                                   WorkBudget& budget) {
  std::vector<std::string> base(outlines.size(), stem);
  std::vector<const WorldText*> names;
  for (const WorldText& t : texts) {
    if (t.name) {
      names.push_back(&t);
    }
  }
  if (names.size() == 1) {
    std::fill(base.begin(), base.end(), names.front()->value);
  } else if (names.size() > 1) {
    const dxf::OutlineLocator locator(outlines);
    for (const WorldText* t : names) {
      base[locator.locate(Point{t->label.x, t->label.y}, budget)] = t->value;
    }
  }
  std::vector<std::string> result;
  std::map<std::string, int> seen;
  for (const std::string& b : base) {
    const int count = ++seen[b];
    if (count == 1) {
      result.push_back(truncateText(b, kLabelTextBytes));
    } else {
      std::string suffix = "-";
      suffix += std::to_string(count);
      result.push_back(truncateText(b, kLabelTextBytes - suffix.size()) + suffix);
    }
  }
  return result;
}

// The thickness label of every part: one text for all, or each text for its part.
std::vector<std::optional<TextLabel>> thickLabels(const std::vector<dxf::Outline>& outlines,
                                                  const std::vector<WorldText>& texts,
                                                  WorkBudget& budget) {
  std::vector<std::optional<TextLabel>> labels(outlines.size());
  std::vector<const WorldText*> thick;
  for (const WorldText& t : texts) {
    if (!t.name) {
      thick.push_back(&t);
    }
  }
  if (thick.size() == 1) {
    std::fill(labels.begin(), labels.end(), thick.front()->label);
  } else if (thick.size() > 1) {
    const dxf::OutlineLocator locator(outlines);
    for (const WorldText* t : thick) {
      labels[locator.locate(Point{t->label.x, t->label.y}, budget)] = t->label;
    }
  }
  return labels;
}

DxfImport importGuarded(std::string_view bytes, const std::filesystem::path& path) {
  DxfImport result;
  Report report(path, result.problems);
  const dxf::GuardedDrawing guarded = dxf::guardDrawing(bytes);
  for (const dxf::GuardIssue& issue : guarded.issues) {
    report.add(issue.kind, issue.what, issue.line, issue.detail);
  }
  if (!guarded.usable) {
    return result;
  }
  if (guarded.unusableEntities > 0) {
    report.add(DxfProblemKind::BadEntity, text::kDxfUnusableNumber, guarded.firstUnusableLine,
               countText(guarded.unusableEntities));
  }
  if (!guarded.skipped.empty()) {
    std::string kinds;
    for (const auto& [kind, count] : guarded.skipped) {
      kinds += kinds.empty() ? ": " : ", ";
      kinds += printableText(kind) + countText(count);
    }
    if (guarded.skippedOthers > 0) {
      kinds += ", ..." + countText(guarded.skippedOthers);
    }
    report.add(DxfProblemKind::SkippedEntity, text::kDxfSkippedEntities, std::nullopt, kinds);
  }
  double unit = 1.0;
  if (guarded.insUnits) {
    unit = millimetresPerUnit(*guarded.insUnits);
    if (unit == 0.0) {
      report.add(DxfProblemKind::UnknownUnit, text::kDxfUnknownUnit, std::nullopt,
                 countText(*guarded.insUnits));
      unit = 1.0;
    }
  }

  Collector drawing;
  try {
    std::istringstream in(guarded.text);
    DL_Dxf reader;
    reader.in(in, &drawing);
    drawing.finish();
  } catch (const std::exception&) {
    report.add(DxfProblemKind::NotAsciiDxf, text::kDxfNotText);
    return result;
  }

  WorkBudget budget(kDxfMaxWork);
  Tally tally;
  Expander expander(drawing, kDefaultChordTol, budget, tally);
  expander.run(dxf::scaling(unit, unit));
  reportTally(tally, drawing.meshes, report);
  dxf::Contours contours;
  if (!budget.exceeded()) {
    contours = dxf::buildContours(expander.paths, kDxfJoinTolerance, budget);
  }
  if (budget.exceeded()) {
    report.add(DxfProblemKind::TooComplex, text::kDxfTooComplex);
    return result;
  }
  reportContours(contours, report);
  if (contours.outlines.empty()) {
    report.add(DxfProblemKind::NoOutline, text::kDxfNoOutline);
    return result;
  }

  const std::vector<std::string> names =
      partNames(contours.outlines, expander.texts, path.stem().string(), budget);
  std::vector<std::optional<TextLabel>> thick =
      thickLabels(contours.outlines, expander.texts, budget);
  if (budget.exceeded()) {
    report.add(DxfProblemKind::TooComplex, text::kDxfTooComplex);
    return result;
  }
  double chainWork = dxf::kMaxChainWork;
  for (std::size_t i = 0; i < contours.outlines.size(); ++i) {
    dxf::Outline& outline = contours.outlines[i];
    dxf::keepArcsSafely(outline.outer, kDefaultChordTol, chainWork);
    RadiusPolylineList holes;
    for (RadiusPolyline& hole : outline.holes) {
      dxf::keepArcsSafely(hole, kDefaultChordTol, chainWork);
      holes.insert(std::move(hole));
    }
    ImportedPart part;
    initSource(part.source, outline.outer, holes);
    setLabelText(part.source.nameLabel, names[i]);
    // Net area as the part is nested, its arcs cut into chords: a sliver
    // smaller than the chord tolerance, or holes that overlap, leave none.
    if (!(part.source.area > 0.0 && std::isfinite(part.source.area))) {
      report.add(
          DxfProblemKind::NoNetArea, text::kDxfNoNetArea, std::nullopt,
          std::string(text::kWherePart) + printableText(names[i]) + std::string(text::kWhereEnd));
      continue;
    }
    part.thickLabel = std::move(thick[i]);
    result.parts.push_back(std::move(part));
  }
  return result;
}

}  // namespace

DxfImport importDxfBytes(std::string_view bytes, const std::filesystem::path& path) {
  return importGuarded(bytes, path);
}

DxfImport importDxf(const std::filesystem::path& path) {
  DxfImport result;
  Report report(path, result.problems);
  // A pipe or a device named *.dxf would block the read or never end.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    report.add(DxfProblemKind::Unreadable, text::kDxfUnreadable);
    return result;
  }
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > kDxfMaxBytes) {
    report.add(DxfProblemKind::Unreadable, error ? text::kDxfUnreadable : text::kDxfTooLarge);
    return result;
  }
  std::ifstream in(path, std::ios::binary);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(size))) {
    report.add(DxfProblemKind::Unreadable, text::kDxfUnreadable);
    return result;
  }
  return importGuarded(bytes, path);
}

}  // namespace tarn
