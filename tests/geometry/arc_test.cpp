#include "geometry/arc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "geometry/core_error.h"
#include "geometry/texts.h"
#include "tests/geometry/shapes.h"
#include "tests/support/test_support.h"

namespace tarn {
namespace {

using test::pt;

const double kPi = std::acos(-1.0);
const double kSin30 = 5.0;
const double kCos30 = 8.660254037844386;  // 10 * cos(30 degrees)
const double kCos45 = 7.0710678118654755;

std::vector<std::string> messages(std::initializer_list<std::string_view> texts) {
  std::vector<std::string> out;
  for (std::string_view t : texts) {
    out.emplace_back(t);
  }
  return out;
}

void expectSegment(const Segment& s, double x0, double y0, double x1, double y1,
                   double tol = 1e-9) {
  test::expectPoint(s.start, x0, y0, tol);
  test::expectPoint(s.end, x1, y1, tol);
}

TEST(SetArc, AddsTurnsUntilTheEndIsNotBeforeTheStart) {
  struct Row {
    double start, end, expectedEnd;
  };
  const Row rows[] = {
      {350, 10, 370}, {10, 350, 350}, {0, -720, 0}, {90, 90, 90}, {-90, -100, 260},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.start << " to " << row.end);
    const Arc arc = setArc(pt(1, 2), 3, row.start, row.end);
    EXPECT_EQ(arc.startAngle, row.start);
    EXPECT_EQ(arc.endAngle, row.expectedEnd);
    EXPECT_EQ(arc.radius, 3);
  }
}

TEST(SetArc, EndsOnAbsurdAngles) {
  const Arc huge = setArc(Point{}, 1, 1e30, 0);
  EXPECT_GE(huge.endAngle, huge.startAngle);
  EXPECT_LT(huge.endAngle - huge.startAngle, 1e16);
  const Arc many = setArc(Point{}, 1, 3.6e6 + 10, 5);
  EXPECT_GE(many.endAngle, many.startAngle);
  EXPECT_LT(many.endAngle - many.startAngle, 360);
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(setArc(Point{}, 1, 0, -inf).endAngle, -inf);
  EXPECT_TRUE(std::isnan(setArc(Point{}, 1, std::nan(""), 0).startAngle));
}

TEST(ArcByStep, PiecesAreTheTruncatedQuotientAndTheWalkMeetsTheLastFirst) {
  const Arc quarter = setArc(Point{}, 10, 0, 90);
  test::NoticeRecorder notices;
  {
    SegmentList out;
    arcByStep(quarter, 30, out);
    ASSERT_EQ(out.count(), 3);
    auto it = out.begin();
    expectSegment(*it++, kSin30, kCos30, 0, 10);
    expectSegment(*it++, kCos30, kSin30, kSin30, kCos30);
    expectSegment(*it++, 10, 0, kCos30, kSin30);
  }
  {
    SegmentList out;
    arcByStep(quarter, 40, out);  // 90 / 40 = 2.25: two pieces of 45
    ASSERT_EQ(out.count(), 2);
    expectSegment(out.front(), kCos45, kCos45, 0, 10);
    expectSegment(out.back(), 10, 0, kCos45, kCos45);
  }
  {
    SegmentList out;
    arcByStep(quarter, 100, out);
    ASSERT_EQ(out.count(), 1);
    expectSegment(out.front(), 10, 0, 0, 10);
  }
  {
    SegmentList out;
    arcByStep(setArc(Point{}, 10, 350, 10), 30, out);  // sweep 20
    ASSERT_EQ(out.count(), 1);
    expectSegment(out.front(), 9.84807753012208, -1.7364817766693, 9.84807753012208,
                  1.7364817766693);
  }
  EXPECT_TRUE(notices.texts().empty());
}

TEST(ArcByStep, RefusesAStepThatIsNotPositiveAndASweepThatIsNotANumber) {
  test::NoticeRecorder notices;
  SegmentList out;
  const Arc quarter = setArc(Point{}, 10, 0, 90);
  arcByStep(quarter, 0, out);
  arcByStep(quarter, -5, out);
  arcByStep(quarter, std::nan(""), out);
  Arc endless = quarter;
  endless.endAngle = std::numeric_limits<double>::infinity();
  arcByStep(endless, 10, out);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(notices.texts(), messages({text::kArcStepError, text::kArcStepError,
                                       text::kArcStepError, text::kArcStepError}));
}

TEST(ArcByChord, StepFollowsTheChordHeight) {
  test::NoticeRecorder notices;
  SegmentList out;
  // h = 1 on r = 10: a step of about 51.68 degrees, so a quarter is one piece
  // and a half circle is three.
  arcByChord(setArc(Point{}, 10, 0, 90), 1, out);
  EXPECT_EQ(out.count(), 1);
  arcByChord(setArc(Point{}, 10, 0, 180), 1, out);
  EXPECT_EQ(out.count(), 4);
  arcByChord(setArc(Point{}, 10, 0, 90), 10, out);  // h = r: a step of 180
  EXPECT_EQ(out.count(), 5);
  EXPECT_TRUE(notices.texts().empty());

  arcByChord(setArc(Point{}, 10, 0, 90), 10.5, out);
  arcByChord(setArc(Point{}, 10, 0, 90), -0.1, out);
  arcByChord(setArc(Point{}, 10, 0, 90), std::nan(""), out);
  arcByChord(setArc(Point{}, 10, 0, 90), 0, out);  // step 0
  EXPECT_EQ(out.count(), 5);
  EXPECT_EQ(notices.texts(), messages({text::kChordHeightError, text::kChordHeightError,
                                       text::kChordHeightError, text::kArcStepError}));
}

TEST(CircleByChord, ClosesTheRingExactlyAtTheFirstPoint) {
  test::NoticeRecorder notices;
  SegmentList out;
  circleByChord(Circle{pt(100, 50), 10}, 1, out);
  ASSERT_EQ(out.count(), 7);
  // Six steps of 2 * acos(0.9) radians, about 310.1 degrees.
  const double last = 12 * std::acos(0.9);
  EXPECT_NEAR(last / kPi * 180, 310.1, 0.01);
  expectSegment(out.front(), 100 + 10 * std::cos(last), 50 + 10 * std::sin(last), 110, 50);
  EXPECT_EQ(out.front().end.x, 110);
  EXPECT_EQ(out.front().end.y, 50);
  EXPECT_EQ(out.back().start.x, 110);
  EXPECT_EQ(out.back().start.y, 50);
  // Consecutive pieces share their points exactly.
  for (auto it = out.begin(); std::next(it) != out.end(); ++it) {
    EXPECT_EQ(std::next(it)->end.x, it->start.x);
    EXPECT_EQ(std::next(it)->end.y, it->start.y);
  }
  EXPECT_TRUE(notices.texts().empty());
}

TEST(CircleByStep, AcceptsUpTo120Degrees) {
  test::NoticeRecorder notices;
  SegmentList out;
  circleByStep(Circle{Point{}, 10}, 120, out);
  ASSERT_EQ(out.count(), 4);
  EXPECT_LT(distance(out.front().start, out.front().end), 1e-12);  // the closing piece
  circleByStep(Circle{Point{}, 10}, 120.0001, out);
  circleByStep(Circle{Point{}, 10}, 0, out);
  circleByStep(Circle{Point{}, 10}, -30, out);
  circleByStep(Circle{Point{}, 10}, std::nan(""), out);
  EXPECT_EQ(out.count(), 4);
  EXPECT_EQ(notices.texts(), messages({text::kCircleStepTooLarge, text::kCircleStepError,
                                       text::kCircleStepError, text::kCircleStepError}));
  circleByChord(Circle{Point{}, 10}, 10, out);  // h = r: a step of 180
  circleByChord(Circle{Point{}, 10}, 11, out);
  EXPECT_EQ(notices.texts().size(), 6u);
  EXPECT_EQ(notices.texts()[4], text::kCircleStepTooLarge);
  EXPECT_EQ(notices.texts()[5], text::kChordHeightError);
}

TEST(Discretisers, CapThePieceCountOfAbsurdSteps) {
  test::NoticeRecorder notices;
  SegmentList arc;
  arcByStep(setArc(Point{}, 10, 0, 90), 1e-9, arc);
  EXPECT_EQ(arc.count(), 100000);
  expectSegment(arc.front(), 10 * std::cos(kPi / 2 - kPi / 2 / 100000),
                10 * std::sin(kPi / 2 - kPi / 2 / 100000), 0, 10);
  SegmentList circle;
  circleByStep(Circle{Point{}, 10}, 1e-9, circle);
  EXPECT_EQ(circle.count(), 100001);
  SegmentList huge;
  circleByChord(Circle{Point{}, 1e15}, 1, huge);
  EXPECT_EQ(huge.count(), 100001);
  EXPECT_TRUE(notices.texts().empty());
}

TEST(Discretisers, ListsAreWorkedInWalkOrder) {
  ArcList arcs;
  arcs.insert(setArc(pt(0, 0), 10, 0, 90));
  arcs.insert(setArc(pt(100, 0), 10, 0, 90));  // walks first
  SegmentList out;
  arcsByChord(arcs, 1, out);
  ASSERT_EQ(out.count(), 2);
  EXPECT_NEAR(out.front().start.x, 10, 1e-9);
  EXPECT_NEAR(out.back().start.x, 110, 1e-9);

  CircleList circles;
  circles.insert(Circle{pt(0, 0), 10});
  circles.insert(Circle{pt(100, 0), 10});
  SegmentList rings;
  circlesByChord(circles, 1, rings);
  ASSERT_EQ(rings.count(), 14);
  EXPECT_EQ(rings.front().end.x, 10);
  EXPECT_EQ(rings.back().start.x, 110);
}

TEST(IntersectCircles, CrossingTouchingAndApart) {
  const auto both = intersectCircles(Circle{pt(0, 0), 5}, Circle{pt(8, 0), 5});
  ASSERT_TRUE(both);
  test::expectPoint(both->first, 4, 3, 1e-12);
  test::expectPoint(both->second, 4, -3, 1e-12);
  const auto touch = intersectCircles(Circle{pt(0, 0), 5}, Circle{pt(10, 0), 5});
  ASSERT_TRUE(touch);
  test::expectPoint(touch->first, 5, 0, 0);
  test::expectPoint(touch->second, 5, 0, 0);
  EXPECT_FALSE(intersectCircles(Circle{pt(0, 0), 5}, Circle{pt(10.001, 0), 5}));
  // No crossing points: the same centre, or one circle inside the other.
  EXPECT_FALSE(intersectCircles(Circle{pt(0, 0), 5}, Circle{pt(0, 0), 5}));
  EXPECT_FALSE(intersectCircles(Circle{pt(0, 0), 10}, Circle{pt(1, 0), 2}));

  EXPECT_TRUE(circlesMeet(Circle{pt(0, 0), 5}, Circle{pt(10, 0), 5}));
  EXPECT_FALSE(circlesMeet(Circle{pt(0, 0), 5}, Circle{pt(10.001, 0), 5}));
  EXPECT_TRUE(arcPossible(pt(0, 0), pt(10, 0), 5));
  EXPECT_TRUE(arcPossible(pt(0, 0), pt(10, 0), -5));
  EXPECT_FALSE(arcPossible(pt(0, 0), pt(10, 0), 4.999));
}

TEST(ArcFromChord, TheSignOfTheRadiusPicksTheCentre) {
  struct Row {
    const char* label;
    Point s, e;
    double r;
    double cx, cy, start, end;
  };
  const Row rows[] = {
      {"half circle, positive", pt(0, 0), pt(10, 0), 5, 5, 0, 180, 360},
      {"half circle, negative", pt(0, 0), pt(10, 0), -5, 5, 0, 0, 180},
      {"quarter, positive", pt(10, 0), pt(0, 10), 10, 0, 0, 0, 90},
      {"quarter, negative", pt(10, 0), pt(0, 10), -10, 10, 10, 180, 270},
      {"sixth, positive", pt(0, 0), pt(10, 0), 10, 5, kCos30, -120, -60},
      {"sixth, negative", pt(0, 0), pt(10, 0), -10, 5, -kCos30, 60, 120},
  };
  test::NoticeRecorder notices;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const std::optional<Arc> arc = arcFromChord(row.s, row.e, row.r);
    ASSERT_TRUE(arc);
    test::expectPoint(arc->centre, row.cx, row.cy, 1e-9);
    EXPECT_EQ(arc->radius, std::fabs(row.r));
    EXPECT_NEAR(arc->startAngle, row.start, 1e-9);
    EXPECT_NEAR(arc->endAngle, row.end, 1e-9);
  }
  EXPECT_TRUE(notices.texts().empty());
}

TEST(ArcFromChord, ReportsAChordLongerThanTheDiameter) {
  test::NoticeRecorder notices;
  EXPECT_FALSE(arcFromChord(pt(0, 0), pt(30, 0), 10));
  EXPECT_FALSE(arcFromChord(pt(3, 3), pt(3, 3), 10));  // no chord at all
  EXPECT_EQ(notices.texts(), messages({text::kCirclesDoNotMeet, text::kCirclesDoNotMeet}));
}

RadiusPolyline polyline(std::initializer_list<test::XY> xy, std::vector<double> radii) {
  RadiusPolyline poly;
  setPolyline(poly, test::pointsOf(xy), radii);
  return poly;
}

TEST(PolylineToRegion, StraightEdgesComeOutInTheOppositeTurningSense) {
  struct Row {
    const char* label;
    std::vector<double> radii;
  };
  const Row rows[] = {
      {"straight", {0, 0, 0, 0}},
      {"radius 300 times the chord", {3000, 0, 0, 0}},
      {"radius below the chord height", {0.5, 0, -0.5, 0}},
  };
  test::NoticeRecorder notices;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const Region r = polylineToRegion(polyline({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, row.radii), 1);
    test::expectVertices(r, {{0, 0}, {0, 10}, {10, 10}, {10, 0}}, 0);
    EXPECT_EQ(r.area, 100);
    test::expectBox(r.bbox, 0, 10, 0, 10, 0);
  }
  EXPECT_TRUE(notices.texts().empty());
}

TEST(PolylineToRegion, ArcEdgesBulgeByTheSignOfTheirRadius) {
  test::NoticeRecorder notices;
  // h = 1 on r = 5 gives a step of about 73.7 degrees: a half circle in two.
  const Region below = polylineToRegion(polyline({{0, 0}, {10, 0}}, {5, 0}), 1);
  test::expectVertices(below, {{5, -5}, {0, 0}, {10, 0}});
  EXPECT_NEAR(below.area, 25, 1e-9);
  const Region above = polylineToRegion(polyline({{0, 0}, {10, 0}}, {-5, 0}), 1);
  test::expectVertices(above, {{5, 5}, {10, 0}, {0, 0}});
  // A zero-length edge is too short for its radius and stays straight.
  const Region dup =
      polylineToRegion(polyline({{0, 0}, {0, 0}, {10, 0}, {0, 10}}, {5, 0, 0, 0}), 1);
  EXPECT_EQ(dup.area, 50);
  EXPECT_TRUE(notices.texts().empty());
}

TEST(PolylineToRegion, AnArcThatCannotBeBuiltKeepsItsChord) {
  test::NoticeRecorder notices;
  const Region r = polylineToRegion(polyline({{0, 0}, {30, 0}, {15, 10}}, {10, 0, 0}), 1);
  test::expectVertices(r, {{0, 0}, {15, 10}, {30, 0}}, 0);
  EXPECT_EQ(r.area, 150);
  EXPECT_EQ(notices.texts(), messages({text::kCirclesDoNotMeet}));
  EXPECT_EQ(polylineToRegion(RadiusPolyline{}, 1).count(), 0);
}

TEST(RadiusPolyline, TransformsAndCopies) {
  RadiusPolyline poly = polyline({{0, 0}, {10, 0}, {10, 10}}, {2.5, -3});
  ASSERT_EQ(poly.radii.size(), 3u);  // the missing radius is straight
  EXPECT_EQ(poly.radii[2], 0);
  translate(poly, 1, 2);
  test::expectPoint(poly.points[1], 11, 2, 0);
  rotate(poly, pt(1, 2), kPi / 2);
  test::expectPoint(poly.points[1], 1, 12, 1e-12);
  mirror(poly, makeSegment(pt(0, 0), pt(0, 1)));
  test::expectPoint(poly.points[1], -1, 12, 1e-12);
  EXPECT_EQ(poly.radii, (std::vector<double>{-2.5, 3, -0}));

  RadiusPolyline target = poly;
  const RadiusPolyline empty;
  EXPECT_THROW(target = empty, CoreError);
  EXPECT_EQ(target.count(), 3);
  const RadiusPolyline emptyCopy(empty);
  EXPECT_EQ(emptyCopy.count(), 0);
}

}  // namespace
}  // namespace tarn
