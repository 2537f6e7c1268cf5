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
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const double kCos30 = 8.660254037844386;  // 10 * cos(30 degrees)
const double kCos45 = 7.0710678118654755;

std::vector<std::string> texts(std::initializer_list<std::string_view> list) {
  return std::vector<std::string>(list.begin(), list.end());
}

void expectSegment(const Segment& s, double x0, double y0, double x1, double y1) {
  test::expectPoint(s.start, x0, y0);
  test::expectPoint(s.end, x1, y1);
}

TEST(SetArc, AddsTurnsUntilTheEndIsNotBeforeTheStart) {
  struct Row {
    double start, end, expectedEnd;
  };
  const Row rows[] = {{350, 10, 370}, {10, 350, 350}, {0, -720, 0}, {-90, -100, 260}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.start);
    const Arc arc = setArc(pt(1, 2), 3, row.start, row.end);
    EXPECT_EQ(arc.startAngle, row.start);
    EXPECT_EQ(arc.endAngle, row.expectedEnd);
  }
  // Absurd angles end too.
  const Arc many = setArc(Point{}, 1, 3.6e6 + 10, 5);
  EXPECT_EQ(many.endAngle - many.startAngle, 355);
  const Arc huge = setArc(Point{}, 1, 1e30, 0);
  EXPECT_GE(huge.endAngle, huge.startAngle);
  EXPECT_EQ(setArc(Point{}, 1, 0, -kInf).endAngle, -kInf);
}

TEST(ArcByStep, PiecesAreTheTruncatedQuotientAndTheWalkMeetsTheLastFirst) {
  const Arc quarter = setArc(Point{}, 10, 0, 90);
  test::NoticeRecorder notices;
  SegmentList thirty;
  arcByStep(quarter, 30, thirty);
  ASSERT_EQ(thirty.count(), 3);
  auto it = thirty.begin();
  expectSegment(*it++, 5, kCos30, 0, 10);
  expectSegment(*it++, kCos30, 5, 5, kCos30);
  expectSegment(*it++, 10, 0, kCos30, 5);

  SegmentList forty;
  arcByStep(quarter, 40, forty);  // 90 / 40 = 2.25: two pieces of 45
  ASSERT_EQ(forty.count(), 2);
  expectSegment(forty.back(), 10, 0, kCos45, kCos45);

  SegmentList hundred;
  arcByStep(quarter, 100, hundred);
  ASSERT_EQ(hundred.count(), 1);
  expectSegment(hundred.front(), 10, 0, 0, 10);
  EXPECT_TRUE(notices.texts().empty());
}

TEST(Discretisers, RefuseBadStepsAndChordHeightsWithTheirMessages) {
  test::NoticeRecorder notices;
  SegmentList out;
  const Arc quarter = setArc(Point{}, 10, 0, 90);
  arcByStep(quarter, 0, out);
  arcByStep(quarter, kNaN, out);
  Arc endless = quarter;
  endless.endAngle = kInf;
  arcByStep(endless, 10, out);
  arcByChord(quarter, 10.5, out);
  arcByChord(quarter, -0.1, out);
  arcByChord(quarter, 0, out);  // a step of 0
  circleByStep(Circle{Point{}, 10}, 120.0001, out);
  circleByStep(Circle{Point{}, 10}, 0, out);
  circleByStep(Circle{Point{}, 10}, kNaN, out);
  circleByChord(Circle{Point{}, 10}, 10, out);  // h = r: a step of 180
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(
      notices.texts(),
      texts({text::kArcStepError, text::kArcStepError, text::kArcStepError, text::kChordHeightError,
             text::kChordHeightError, text::kArcStepError, text::kCircleStepTooLarge,
             text::kCircleStepError, text::kCircleStepError, text::kCircleStepTooLarge}));
}

TEST(CircleByChord, ClosesTheRingExactlyAtTheFirstPoint) {
  test::NoticeRecorder notices;
  SegmentList out;
  circleByChord(Circle{pt(100, 50), 10}, 1, out);
  ASSERT_EQ(out.count(), 7);
  // Six steps of 2 * acos(0.9) radians, about 310.1 degrees, then back.
  const double last = 12 * std::acos(0.9);
  EXPECT_NEAR(last / kPi * 180, 310.1, 0.01);
  expectSegment(out.front(), 100 + 10 * std::cos(last), 50 + 10 * std::sin(last), 110, 50);
  EXPECT_EQ(out.front().end.x, 110);
  EXPECT_EQ(out.back().start.x, 110);
  EXPECT_EQ(out.back().start.y, 50);
  for (auto it = out.begin(); std::next(it) != out.end(); ++it) {
    EXPECT_EQ(std::next(it)->end.x, it->start.x);
    EXPECT_EQ(std::next(it)->end.y, it->start.y);
  }
  // A step of exactly 120 gives four pieces, the last of almost no length.
  SegmentList thirds;
  circleByStep(Circle{Point{}, 10}, 120, thirds);
  ASSERT_EQ(thirds.count(), 4);
  EXPECT_LT(distance(thirds.front().start, thirds.front().end), 1e-12);
  EXPECT_TRUE(notices.texts().empty());
}

TEST(Discretisers, CapThePieceCountAndWorkListsInWalkOrder) {
  SegmentList arc;
  arcByStep(setArc(Point{}, 10, 0, 90), 1e-9, arc);
  EXPECT_EQ(arc.count(), 100000);
  test::expectPoint(arc.front().end, 0, 10);
  SegmentList huge;
  circleByChord(Circle{Point{}, 1e15}, 1, huge);
  EXPECT_EQ(huge.count(), 100001);

  ArcList arcs;
  arcs.insert(setArc(pt(0, 0), 10, 0, 90));
  arcs.insert(setArc(pt(100, 0), 10, 0, 90));  // walks first
  SegmentList out;
  arcsByChord(arcs, 1, out);
  ASSERT_EQ(out.count(), 2);
  EXPECT_NEAR(out.front().start.x, 10, 1e-9);
  EXPECT_NEAR(out.back().start.x, 110, 1e-9);
}

TEST(IntersectCircles, CrossingTouchingAndApart) {
  const auto both = intersectCircles(Circle{pt(0, 0), 5}, Circle{pt(8, 0), 5});
  ASSERT_TRUE(both);
  test::expectPoint(both->first, 4, 3, 1e-12);
  test::expectPoint(both->second, 4, -3, 1e-12);
  const auto touch = intersectCircles(Circle{pt(0, 0), 5}, Circle{pt(10, 0), 5});
  ASSERT_TRUE(touch);
  test::expectPoint(touch->first, 5, 0, 0);
  EXPECT_FALSE(intersectCircles(Circle{pt(0, 0), 5}, Circle{pt(10.001, 0), 5}));
  EXPECT_FALSE(intersectCircles(Circle{pt(0, 0), 5}, Circle{pt(0, 0), 5}));
  EXPECT_FALSE(intersectCircles(Circle{pt(0, 0), 10}, Circle{pt(1, 0), 2}));
  EXPECT_TRUE(circlesMeet(Circle{pt(0, 0), 5}, Circle{pt(10, 0), 5}));
  EXPECT_TRUE(arcPossible(pt(0, 0), pt(10, 0), -5));
  EXPECT_FALSE(arcPossible(pt(0, 0), pt(10, 0), 4.999));
}

TEST(ArcFromChord, TheSignOfTheRadiusPicksTheCentre) {
  struct Row {
    const char* label;
    Point s, e;
    double r, cx, cy, start, end;
  };
  const Row rows[] = {
      {"half, positive", pt(0, 0), pt(10, 0), 5, 5, 0, 180, 360},
      {"half, negative", pt(0, 0), pt(10, 0), -5, 5, 0, 0, 180},
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
    test::expectPoint(arc->centre, row.cx, row.cy);
    EXPECT_EQ(arc->radius, std::fabs(row.r));
    EXPECT_NEAR(arc->startAngle, row.start, 1e-9);
    EXPECT_NEAR(arc->endAngle, row.end, 1e-9);
  }
  EXPECT_FALSE(arcFromChord(pt(0, 0), pt(30, 0), 10));
  EXPECT_FALSE(arcFromChord(pt(3, 3), pt(3, 3), 10));  // no chord at all
  EXPECT_EQ(notices.texts(), texts({text::kCirclesDoNotMeet, text::kCirclesDoNotMeet}));
}

// Turning a half circle leaves its chord a rounding error off the diameter; it
// must still be built, bulging to the side its sign asks for.
TEST(ArcFromChord, KeepsATurnedHalfCircleOnItsSide) {
  test::NoticeRecorder notices;
  const double pi = std::acos(-1.0);
  for (int step = 0; step < 36; ++step) {
    SCOPED_TRACE(step);
    const double angle = step * pi / 18.0 + 0.1;
    Point s = pt(1234.5, 77.25);
    Point e = pt(1244.5, 77.25);
    rotateAbout(s, pt(13.7, -2.2), angle);
    rotateAbout(e, pt(13.7, -2.2), angle);
    for (const double r : {5.0, -5.0}) {
      const std::optional<Arc> arc = arcFromChord(s, e, r);
      ASSERT_TRUE(arc);
      EXPECT_NEAR(arc->endAngle - arc->startAngle, 180.0, 1e-3);
      // Unturned, the positive half runs through the bottom (270 degrees).
      const double middle = (arc->startAngle + arc->endAngle) * 0.5;
      const double expected = (r > 0 ? 270.0 : 90.0) + angle * 180.0 / pi;
      EXPECT_NEAR(std::remainder(middle - expected, 360.0), 0.0, 1e-3);
    }
  }
  EXPECT_TRUE(notices.texts().empty());
}

RadiusPolyline polyline(std::initializer_list<test::XY> xy, std::vector<double> radii) {
  RadiusPolyline poly;
  setPolyline(poly, test::pointsOf(xy), radii);
  return poly;
}

TEST(PolylineToRegion, StraightEdgesComeOutInTheOppositeTurningSense) {
  const std::vector<double> radii[] = {
      {0, 0, 0, 0},
      {3000, 0, 0, 0},    // 300 times the chord: straight
      {0.5, 0, -0.5, 0},  // below the chord height: straight
  };
  test::NoticeRecorder notices;
  for (const std::vector<double>& row : radii) {
    SCOPED_TRACE(row[0]);
    const Region r = polylineToRegion(polyline({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, row), 1);
    test::expectVertices(r, {{0, 0}, {0, 10}, {10, 10}, {10, 0}}, 0);
    EXPECT_EQ(r.area, 100);
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
  // A zero-length edge has no chord for its radius and stays straight.
  const Region dup = polylineToRegion(polyline({{0, 0}, {0, 0}, {10, 0}, {0, 10}}, {5}), 1);
  EXPECT_EQ(dup.area, 50);
  EXPECT_TRUE(notices.texts().empty());
}

TEST(PolylineToRegion, AnArcThatCannotBeBuiltKeepsItsChord) {
  test::NoticeRecorder notices;
  const Region r = polylineToRegion(polyline({{0, 0}, {30, 0}, {15, 10}}, {10, 0, 0}), 1);
  test::expectVertices(r, {{0, 0}, {15, 10}, {30, 0}}, 0);
  EXPECT_EQ(notices.texts(), texts({text::kCirclesDoNotMeet}));
  EXPECT_EQ(polylineToRegion(RadiusPolyline{}, 1).count(), 0);
}

TEST(RadiusPolyline, MirrorNegatesTheRadiiAndAssigningEmptyThrows) {
  RadiusPolyline poly = polyline({{0, 0}, {10, 0}, {10, 10}}, {2.5, -3});
  EXPECT_EQ(poly.radii, (std::vector<double>{2.5, -3, 0}));  // the missing one is straight
  rotate(poly, pt(0, 0), kPi / 2);
  translate(poly, 1, 2);
  mirror(poly, makeSegment(pt(0, 0), pt(0, 1)));
  test::expectPoint(poly.points[1], -1, 12, 1e-12);
  EXPECT_EQ(poly.radii, (std::vector<double>{-2.5, 3, 0}));
  RadiusPolyline target = poly;
  const RadiusPolyline empty;
  EXPECT_THROW(target = empty, CoreError);
  EXPECT_EQ(target.count(), 3);
}

}  // namespace
}  // namespace tarn
