#include "library/dxf_shapes.h"

#include <algorithm>
#include <cmath>

#include "library/line_reader.h"

namespace tarn::dxf {
namespace {

constexpr double kSimilaritySlack = 1e-9;  // relative, between the two column lengths
constexpr double kFlatBulge = 1e-9;        // a bulge this small is a straight edge
constexpr int kMinClosedEllipsePieces = 8;
constexpr double kFullTurnSlack = 1e-12;  // radians short of a turn still a whole ellipse
constexpr int kMaxSplineDegree = 15;
constexpr int kMaxSplineDepth = 16;  // halvings of one knot span
// arcByStep cuts an arc into at most this many pieces; the budget counts the same.
constexpr double kMaxArcPieces = 100000.0;

double pi() {
  return std::acos(-1.0);
}

// Largest singular value of [[p, q], [r, s]].
double spectralNorm(double p, double q, double r, double s) {
  const double t = p * p + q * q + r * r + s * s;
  const double det = p * s - q * r;
  return std::sqrt(0.5 * (t + std::sqrt(std::fmax(0.0, t * t - 4.0 * det * det))));
}

// Pieces of a flattened curve whose deviation is at most `stretch` times that
// of a unit circle cut into steps of the returned angle, for chord height h.
double flatStepRad(double stretch, double h) {
  const double step = 2.0 * std::acos(1.0 - h / stretch);
  // So flat that the step rounds to nothing: one piece is within h.
  if (!(stretch > h) || !(step > 0.0)) {
    return 2.0 * pi();
  }
  return step;
}

double distanceToChord(const Point& p, const Point& a, const Point& b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double length = std::sqrt(dx * dx + dy * dy);
  if (!(length > 0.0)) {
    return distance(p, a);
  }
  return std::fabs(dx * (p.y - a.y) - dy * (p.x - a.x)) / length;
}

Point at(const Point& centre, double radius, double angleRad) {
  return Point{centre.x + radius * std::cos(angleRad), centre.y + radius * std::sin(angleRad)};
}

// A B-spline in the plane, evaluated by de Boor's algorithm in homogeneous form.
class BSpline {
 public:
  BSpline(int degree, const std::vector<Point>& control, const std::vector<double>& weights,
          const std::vector<double>& knots)
      : p_(degree), control_(control), weights_(weights), knots_(knots) {
    if (weights_.empty()) {
      weights_.assign(control_.size(), 1.0);
    }
  }

  bool valid() const {
    const std::size_t n = control_.size();
    if (p_ < 1 || p_ > kMaxSplineDegree || n < static_cast<std::size_t>(p_) + 1 ||
        knots_.size() != n + static_cast<std::size_t>(p_) + 1 || weights_.size() != n) {
      return false;
    }
    for (std::size_t i = 0; i < knots_.size(); ++i) {
      if (!std::isfinite(knots_[i]) || (i > 0 && knots_[i] < knots_[i - 1])) {
        return false;
      }
    }
    for (const double w : weights_) {
      if (!(w > 0.0) || !std::isfinite(w)) {
        return false;
      }
    }
    return knots_[static_cast<std::size_t>(p_)] < knots_[n];
  }

  double first() const { return knots_[static_cast<std::size_t>(p_)]; }
  double last() const { return knots_[control_.size()]; }
  std::size_t spans() const { return control_.size(); }  // span indices p..n-1
  double knot(std::size_t i) const { return knots_[i]; }
  int degree() const { return p_; }

  // u within the span [knot(k), knot(k + 1)].
  Point eval(std::size_t k, double u) const {
    const std::size_t p = static_cast<std::size_t>(p_);
    double hx[kMaxSplineDegree + 1];
    double hy[kMaxSplineDegree + 1];
    double hw[kMaxSplineDegree + 1];
    for (std::size_t j = 0; j <= p; ++j) {
      const std::size_t i = k - p + j;
      hw[j] = weights_[i];
      hx[j] = control_[i].x * weights_[i];
      hy[j] = control_[i].y * weights_[i];
    }
    for (std::size_t r = 1; r <= p; ++r) {
      for (std::size_t j = p; j >= r; --j) {
        const std::size_t i = k - p + j;
        const double span = knots_[i + p - r + 1] - knots_[i];
        const double alpha = span > 0.0 ? (u - knots_[i]) / span : 0.0;
        hx[j] = (1.0 - alpha) * hx[j - 1] + alpha * hx[j];
        hy[j] = (1.0 - alpha) * hy[j - 1] + alpha * hy[j];
        hw[j] = (1.0 - alpha) * hw[j - 1] + alpha * hw[j];
      }
    }
    return Point{hx[p] / hw[p], hy[p] / hw[p]};
  }

 private:
  int p_;
  std::vector<Point> control_;
  std::vector<double> weights_;
  std::vector<double> knots_;
};

// Appends the points after `a` up to and including `b`, halving the span
// while a quarter, middle or three-quarter point lies farther than h from the
// chord.
void flattenSpan(const BSpline& s, std::size_t k, double ua, const Point& a, double ub,
                 const Point& b, double h, int depth, WorkBudget& budget, Path& path) {
  if (!budget.spend(3)) {
    return;
  }
  const double um = 0.5 * (ua + ub);
  const Point m = s.eval(k, um);
  const double deviation =
      std::max({distanceToChord(m, a, b), distanceToChord(s.eval(k, 0.5 * (ua + um)), a, b),
                distanceToChord(s.eval(k, 0.5 * (um + ub)), a, b)});
  if (deviation <= h || depth >= kMaxSplineDepth || !std::isfinite(deviation)) {
    path.points.push_back(b);
    path.radii.push_back(0.0);
    return;
  }
  flattenSpan(s, k, ua, a, um, m, h, depth + 1, budget, path);
  flattenSpan(s, k, um, m, ub, b, h, depth + 1, budget, path);
}

}  // namespace

Affine compose(const Affine& o, const Affine& i) {
  Affine r;
  r.a = o.a * i.a + o.b * i.d;
  r.b = o.a * i.b + o.b * i.e;
  r.c = o.a * i.c + o.b * i.f + o.c;
  r.d = o.d * i.a + o.e * i.d;
  r.e = o.d * i.b + o.e * i.e;
  r.f = o.d * i.c + o.e * i.f + o.f;
  return r;
}

Point apply(const Affine& m, const Point& p) {
  return Point{m.a * p.x + m.b * p.y + m.c, m.d * p.x + m.e * p.y + m.f};
}

Affine translation(double dx, double dy) {
  Affine m;
  m.c = dx;
  m.f = dy;
  return m;
}

Affine rotationDeg(double angleDeg) {
  const double t = angleDeg / 180.0 * pi();
  Affine m;
  m.a = std::cos(t);
  m.b = -std::sin(t);
  m.d = std::sin(t);
  m.e = std::cos(t);
  return m;
}

Affine scaling(double sx, double sy) {
  Affine m;
  m.a = sx;
  m.e = sy;
  return m;
}

double maxStretch(const Affine& m) {
  return spectralNorm(m.a, m.b, m.d, m.e);
}

bool WorkBudget::spend(std::size_t units) {
  if (exceeded_ || units > limit_ - used_) {
    exceeded_ = true;
    return false;
  }
  used_ += units;
  return true;
}

double arcPiecesFor(double radius, double sweepDeg, double h) {
  if (!(radius > h)) {
    return 1.0;
  }
  const double stepDeg = 2.0 * std::acos(1.0 - h / radius) / pi() * 180.0;
  const double pieces = std::trunc(sweepDeg / stepDeg);
  if (!(pieces >= 1.0)) {
    return 1.0;
  }
  return std::min(pieces, kMaxArcPieces);
}

PathMaker::PathMaker(const Affine& m, double chordTol, WorkBudget& budget)
    : m_(m), chordTol_(chordTol), budget_(budget) {
  const double c1 = m.a * m.a + m.d * m.d;
  const double c2 = m.b * m.b + m.e * m.e;
  const double dot = m.a * m.b + m.d * m.e;
  const double larger = std::max(c1, c2);
  similarity_ = larger > 0.0 && std::fabs(c1 - c2) <= kSimilaritySlack * larger &&
                std::fabs(dot) <= kSimilaritySlack * larger;
  mirrored_ = m.a * m.e - m.b * m.d < 0.0;
  scale_ = std::sqrt(c1);
}

void PathMaker::start(Path& path, const Point& p) const {
  path.points.assign(1, apply(m_, p));
  path.radii.clear();
  path.closed = false;
}

void PathMaker::lineTo(Path& path, const Point& p) const {
  if (!budget_.spend(1)) {
    return;
  }
  path.points.push_back(apply(m_, p));
  path.radii.push_back(0.0);
}

void PathMaker::arcTo(Path& path, const Point& centre, double radius, double startDeg,
                      double sweepDeg, const Point& end) const {
  const double startRad = startDeg / 180.0 * pi();
  const double sweepRad = sweepDeg / 180.0 * pi();
  const double worldRadius = radius * scale_;
  // Beyond the input bound an arc is flatter than anything the nesting tells
  // apart from its chords; it is flattened like an arc under a skewed map.
  if (!similarity_ || !(worldRadius <= kMaxInputMagnitude)) {
    flattenedArcTo(path, centre, radius, startRad, sweepRad, end);
    return;
  }
  const double pieces = std::max(1.0, std::ceil(std::fabs(sweepDeg) / kMaxArcEdgeDeg));
  const double pieceDeg = std::fabs(sweepDeg) / pieces;
  const bool straight = worldRadius <= chordTol_;
  if (!budget_.spend(static_cast<std::size_t>(
          pieces * (straight ? 1.0 : arcPiecesFor(worldRadius, pieceDeg, chordTol_))))) {
    return;
  }
  const double sign = (sweepDeg > 0.0) != mirrored_ ? 1.0 : -1.0;
  const int n = static_cast<int>(pieces);
  for (int i = 1; i <= n; ++i) {
    const Point p = i == n ? end : at(centre, radius, startRad + sweepRad * i / n);
    path.points.push_back(apply(m_, p));
    path.radii.push_back(straight ? 0.0 : sign * worldRadius);
  }
}

void PathMaker::flattenedArcTo(Path& path, const Point& centre, double radius, double startRad,
                               double sweepRad, const Point& end) const {
  const double step = flatStepRad(maxStretch(m_) * radius, chordTol_);
  const double pieces = std::max(1.0, std::ceil(std::fabs(sweepRad) / step));
  if (!(pieces <= kMaxArcPieces) || !budget_.spend(static_cast<std::size_t>(pieces))) {
    budget_.spend(static_cast<std::size_t>(kMaxArcPieces));
    return;
  }
  const int n = static_cast<int>(pieces);
  for (int i = 1; i <= n; ++i) {
    const Point p = i == n ? end : at(centre, radius, startRad + sweepRad * i / n);
    path.points.push_back(apply(m_, p));
    path.radii.push_back(0.0);
  }
}

void PathMaker::bulgeTo(Path& path, const Point& from, double bulge, const Point& end) const {
  const double dx = end.x - from.x;
  const double dy = end.y - from.y;
  const double chord = std::sqrt(dx * dx + dy * dy);
  if (std::fabs(bulge) < kFlatBulge || !(chord > 0.0)) {
    lineTo(path, end);
    return;
  }
  // The centre lies off the chord's midpoint along its left normal by
  // chord * (1 - b^2) / (4 b); the included angle is 4 atan(b).
  const double offset = (1.0 - bulge * bulge) / (4.0 * bulge);
  const Point centre{0.5 * (from.x + end.x) - dy * offset, 0.5 * (from.y + end.y) + dx * offset};
  const double radius = chord * (1.0 + bulge * bulge) / (4.0 * std::fabs(bulge));
  const double startDeg = std::atan2(from.y - centre.y, from.x - centre.x) / pi() * 180.0;
  const double sweepDeg = 4.0 * std::atan(bulge) / pi() * 180.0;
  arcTo(path, centre, radius, startDeg, sweepDeg, end);
}

void PathMaker::close(Path& path) {
  if (path.points.size() >= 2) {
    path.points.pop_back();
  } else {
    path.radii.clear();
  }
  path.closed = true;
}

Path PathMaker::circle(const Point& centre, double radius) const {
  Path path;
  const Point first{centre.x + radius, centre.y};
  start(path, first);
  arcTo(path, centre, radius, 0.0, 360.0, first);
  close(path);
  return path;
}

Path PathMaker::ellipse(const Point& centre, const Point& major, const Point& minor, double t0,
                        double t1) const {
  const Affine axes{major.x, minor.x, centre.x, major.y, minor.y, centre.y};
  const Affine whole = compose(m_, axes);
  const double sweep = t1 - t0;
  const bool full = sweep >= 2.0 * pi() - kFullTurnSlack;
  double pieces = std::max(1.0, std::ceil(sweep / flatStepRad(maxStretch(whole), chordTol_)));
  if (full) {
    pieces = std::max(pieces, static_cast<double>(kMinClosedEllipsePieces));
  }
  Path path;
  if (!(pieces <= kMaxArcPieces) || !budget_.spend(static_cast<std::size_t>(pieces))) {
    budget_.spend(static_cast<std::size_t>(kMaxArcPieces));
    return path;
  }
  const int n = static_cast<int>(pieces);
  for (int i = 0; i <= n; ++i) {
    const double t = i == n ? t1 : t0 + sweep * i / n;
    path.points.push_back(apply(whole, Point{std::cos(t), std::sin(t)}));
  }
  path.radii.assign(static_cast<std::size_t>(n), 0.0);
  if (full) {
    close(path);
  }
  return path;
}

Path PathMaker::spline(int degree, const std::vector<Point>& control,
                       const std::vector<double>& weights, const std::vector<double>& knots) const {
  std::vector<Point> world;
  world.reserve(control.size());
  for (const Point& p : control) {
    world.push_back(apply(m_, p));
  }
  const BSpline s(degree, world, weights, knots);
  Path path;
  if (!s.valid() || !budget_.spend(control.size())) {
    return path;
  }
  const std::size_t p = static_cast<std::size_t>(s.degree());
  std::size_t firstSpan = p;
  while (!(s.knot(firstSpan) < s.knot(firstSpan + 1))) {
    ++firstSpan;
  }
  path.points.push_back(s.eval(firstSpan, s.first()));
  for (std::size_t k = firstSpan; k < s.spans(); ++k) {
    if (!(s.knot(k) < s.knot(k + 1))) {
      continue;
    }
    const double ua = s.knot(k);
    const double ub = s.knot(k + 1);
    const Point a = path.points.back();
    flattenSpan(s, k, ua, a, ub, s.eval(k, ub), chordTol_, 0, budget_, path);
    if (budget_.exceeded()) {
      return Path{};
    }
  }
  return path;
}

bool usablePath(const Path& path) {
  for (const Point& p : path.points) {
    if (!usableNumber(p.x) || !usableNumber(p.y)) {
      return false;
    }
  }
  for (const double r : path.radii) {
    if (!std::isfinite(r)) {
      return false;
    }
  }
  return true;
}

void dropZeroEdges(Path& path) {
  if (path.points.empty()) {
    return;
  }
  std::vector<Point> points{path.points.front()};
  std::vector<double> radii;
  const std::size_t n = path.points.size();
  const std::size_t edges = path.closed ? n : n - 1;
  for (std::size_t i = 0; i < edges && i < path.radii.size(); ++i) {
    const Point& q = path.points[i + 1 == n ? 0 : i + 1];
    if (distance(q, points.back()) > kSamePoint) {
      points.push_back(q);
      radii.push_back(path.radii[i]);
    }
  }
  if (path.closed) {
    // The last point ends the closing edge at point 0 (or within kSamePoint of it).
    points.pop_back();
    if (radii.size() > points.size()) {
      radii.resize(points.size());
    }
  }
  path.points = std::move(points);
  path.radii = std::move(radii);
}

}  // namespace tarn::dxf
