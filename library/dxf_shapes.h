#pragma once

// The curves of a drawing as chains of edges in millimetres: straight edges,
// circular arcs in the RadiusPolyline convention, and ellipses, splines and
// arcs under a non-uniform scale flattened into straight edges.

#include <cstddef>
#include <vector>

#include "geometry/point.h"

namespace tarn::dxf {

// The longest arc edge written: a half turn would leave its side to rounding.
inline constexpr double kMaxArcEdgeDeg = 179.0;

// x' = a*x + b*y + c, y' = d*x + e*y + f.
struct Affine {
  double a = 1.0, b = 0.0, c = 0.0;
  double d = 0.0, e = 1.0, f = 0.0;
};

// outer after inner.
Affine compose(const Affine& outer, const Affine& inner);
Point apply(const Affine& m, const Point& p);
Affine translation(double dx, double dy);
Affine rotationDeg(double angleDeg);
Affine scaling(double sx, double sy);
// The largest factor by which the map stretches a length.
double maxStretch(const Affine& m);

// An open chain (points.size() == radii.size() + 1) or a closed loop (one
// radius per point, the last edge returning to point 0). radii[i] is the
// signed radius of the edge leaving point i: 0 straight, positive turning
// counter-clockwise, negative clockwise, always less than a half turn.
struct Path {
  std::vector<Point> points;
  std::vector<double> radii;
  bool closed = false;
};

// Work counted while a drawing is read: edges (arcs by the pieces they will be
// cut into), block copies and outline tests. Once over the limit every
// producer stops and the drawing is refused.
class WorkBudget {
 public:
  explicit WorkBudget(std::size_t limit) : limit_(limit) {}
  // False (and from then on exceeded()) when the work no longer fits.
  bool spend(std::size_t units);
  bool exceeded() const { return exceeded_; }

 private:
  std::size_t limit_;
  std::size_t used_ = 0;
  bool exceeded_ = false;
};

// Builds paths in world millimetres through a map `m` from the entity's own
// coordinates. Arcs of radius at most `chordTol` become their chords; arcs of
// larger radius are cut into pieces of at most kMaxArcEdgeDeg, or flattened
// within chordTol when `m` is not a similarity.
class PathMaker {
 public:
  PathMaker(const Affine& m, double chordTol, WorkBudget& budget);

  // Starts a chain at p (entity coordinates).
  void start(Path& path, const Point& p) const;
  void lineTo(Path& path, const Point& p) const;
  // Counter-clockwise for sweepDeg > 0, about `centre`, from the chain's
  // current end, which must lie on the circle, to `end`.
  void arcTo(Path& path, const Point& centre, double radius, double startDeg, double sweepDeg,
             const Point& end) const;
  // An edge with a DXF bulge (tan of a quarter of the included angle,
  // positive counter-clockwise) from the chain's current end to `end`.
  void bulgeTo(Path& path, const Point& from, double bulge, const Point& end) const;
  // Closes a chain whose last point coincides with its first: the last point
  // goes, its edge returns to point 0.
  static void close(Path& path);

  // A full circle as a closed path.
  Path circle(const Point& centre, double radius) const;
  // centre + cos(t) * major + sin(t) * minor for t from t0 to t1 (radians,
  // t1 > t0), flattened within chordTol; closed for a full turn.
  Path ellipse(const Point& centre, const Point& major, const Point& minor, double t0,
               double t1) const;
  // A B-spline (rational when weights differ from 1) flattened within
  // chordTol; empty when the degree, knots and points disagree.
  Path spline(int degree, const std::vector<Point>& control, const std::vector<double>& weights,
              const std::vector<double>& knots) const;

  const Affine& map() const { return m_; }

 private:
  void flattenedArcTo(Path& path, const Point& centre, double radius, double startRad,
                      double sweepRad, const Point& end) const;

  Affine m_;
  double chordTol_;
  WorkBudget& budget_;
  bool similarity_ = true;
  bool mirrored_ = false;
  double scale_ = 1.0;
};

// Finite and within kMaxInputMagnitude, every point and radius.
bool usablePath(const Path& path);

// Consecutive points closer than this are one point (mm).
inline constexpr double kSamePoint = 1e-9;

// Drops zero-length edges (the later point goes); a closed path loses a last
// point that repeats its first.
void dropZeroEdges(Path& path);

// The pieces arcByStep would cut an arc edge into with chord height h.
double arcPiecesFor(double radius, double sweepDeg, double h);

}  // namespace tarn::dxf
