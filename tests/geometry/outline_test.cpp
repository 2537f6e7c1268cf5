#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "geometry/arc.h"
#include "geometry/offset.h"
#include "geometry/texts.h"
#include "tests/geometry/shapes.h"
#include "tests/support/test_support.h"

namespace tarn {
namespace {

using test::polyline;
using test::regionOf;
using test::square;

const double kPi = std::acos(-1.0);
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const double kCos30 = 8.660254037844386;  // 10 * cos(30 degrees)

std::vector<std::string> texts(std::initializer_list<std::string_view> list) {
  return std::vector<std::string>(list.begin(), list.end());
}

void expectSegment(const Segment& s, double x0, double y0, double x1, double y1) {
  test::expectPoint(s.start, x0, y0);
  test::expectPoint(s.end, x1, y1);
}

TEST(Discretisers, CutInTruncatedQuotientsWalkLastFirstAndRefuseBadSteps) {
  EXPECT_EQ(setArc(Point{}, 1, 350, 10).endAngle, 370);
  EXPECT_GE(setArc(Point{}, 1, 1e30, 0).endAngle, 1e30);  // absurd angles end too
  EXPECT_EQ(setArc(Point{}, 1, 0, -kInf).endAngle, -kInf);
  test::NoticeRecorder notices;
  const Arc quarter = setArc(Point{}, 10, 0, 90);
  SegmentList thirty, twoAndAHalf, tiny, circle, thirds, huge;
  arcByStep(quarter, 30, thirty);
  ASSERT_EQ(thirty.count(), 3);
  expectSegment(thirty.front(), 5, kCos30, 0, 10);
  expectSegment(thirty.back(), 10, 0, kCos30, 5);
  arcByStep(quarter, 36, twoAndAHalf);  // 90 / 36 = 2.5: two pieces
  EXPECT_EQ(twoAndAHalf.count(), 2);
  // Six steps of 2 * acos(0.9) radians, about 310.1 degrees, then back exactly.
  circleByChord(Circle{Point{100, 50}, 10}, 1, circle);
  ASSERT_EQ(circle.count(), 7);
  const double last = 12 * std::acos(0.9);
  expectSegment(circle.front(), 100 + 10 * std::cos(last), 50 + 10 * std::sin(last), 110, 50);
  EXPECT_EQ(circle.back().start.x, 110);
  // A step of exactly 120 gives four pieces, the last of almost no length.
  circleByStep(Circle{Point{}, 10}, 120, thirds);
  ASSERT_EQ(thirds.count(), 4);
  EXPECT_LT(distance(thirds.front().start, thirds.front().end), 1e-12);
  // Steps too fine for any use are widened to at most 100000 pieces.
  arcByStep(quarter, 1e-9, tiny);
  EXPECT_EQ(tiny.count(), 100000);
  test::expectPoint(tiny.front().end, 0, 10);
  circleByChord(Circle{Point{}, 1e15}, 1, huge);
  EXPECT_EQ(huge.count(), 100001);
  EXPECT_TRUE(notices.texts().empty());
  // Bad steps and chord heights are refused with their messages.
  SegmentList out;
  arcByStep(quarter, kNaN, out);
  arcByStep(Arc{Point{}, 10, 0, kInf}, 10, out);
  arcByChord(quarter, 10.5, out);
  arcByChord(quarter, -0.1, out);
  arcByChord(quarter, 0, out);  // a step of 0
  circleByStep(Circle{Point{}, 10}, 120.0001, out);
  circleByStep(Circle{Point{}, 10}, 0, out);
  circleByChord(Circle{Point{}, 10}, 10, out);  // h = r: a step of 180
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(notices.texts(),
            texts({text::kArcStepError, text::kArcStepError, text::kChordHeightError,
                   text::kChordHeightError, text::kArcStepError, text::kCircleStepTooLarge,
                   text::kCircleStepError, text::kCircleStepTooLarge}));
}

TEST(ArcFromChord, AnExactHalfCircleBulgesToTheSideOfItsSignAndNoChordIsRefused) {
  test::NoticeRecorder notices;
  const std::optional<Arc> below = arcFromChord(Point{0, 0}, Point{10, 0}, 5);
  const std::optional<Arc> above = arcFromChord(Point{0, 0}, Point{10, 0}, -5);
  ASSERT_TRUE(below && above);
  EXPECT_EQ(
      std::vector<double>({below->startAngle, below->endAngle, above->startAngle, above->endAngle}),
      (std::vector<double>{180, 360, 0, 180}));
  EXPECT_FALSE(arcFromChord(Point{0, 0}, Point{30, 0}, 10));
  EXPECT_FALSE(arcFromChord(Point{3, 3}, Point{3, 3}, 10));
  EXPECT_EQ(notices.texts(), texts({text::kCirclesDoNotMeet, text::kCirclesDoNotMeet}));
}

// Turning a half circle leaves its chord a rounding error off the diameter; it
// must still be built, bulging to the side its sign asks for.
TEST(ArcFromChord, KeepsATurnedHalfCircleOnItsSide) {
  test::NoticeRecorder notices;
  for (int step = 0; step < 36; ++step) {
    SCOPED_TRACE(step);
    const double angle = step * kPi / 18.0 + 0.1;
    Point s = Point{1234.5, 77.25};
    Point e = Point{1244.5, 77.25};
    rotateAbout(s, Point{13.7, -2.2}, angle);
    rotateAbout(e, Point{13.7, -2.2}, angle);
    for (const double r : {5.0, -5.0}) {
      const std::optional<Arc> arc = arcFromChord(s, e, r);
      ASSERT_TRUE(arc);
      EXPECT_NEAR(arc->endAngle - arc->startAngle, 180.0, 1e-3);
      // Unturned, the positive half runs through the bottom (270 degrees).
      const double middle = (arc->startAngle + arc->endAngle) * 0.5;
      const double expected = (r > 0 ? 270.0 : 90.0) + angle * 180.0 / kPi;
      EXPECT_NEAR(std::remainder(middle - expected, 360.0), 0.0, 1e-3);
    }
  }
  EXPECT_TRUE(notices.texts().empty());
}

TEST(PolylineToRegion, ComesOutInTheOppositeTurningSense) {
  test::NoticeRecorder notices;
  // 300 times the chord, and below the chord height: both straight.
  for (const std::vector<double>& radii : {std::vector<double>{0}, {3000}, {0.5, 0, -0.5}}) {
    SCOPED_TRACE(radii[0]);
    const Region r = polylineToRegion(polyline({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, radii), 1);
    test::expectVertices(r, {{0, 0}, {0, 10}, {10, 10}, {10, 0}}, 0);
    EXPECT_EQ(r.area, 100);
  }
  // h = 1 on r = 5 gives a step of about 73.7 degrees: a half circle in two.
  const Region below = polylineToRegion(polyline({{0, 0}, {10, 0}}, {5}), 1);
  test::expectVertices(below, {{5, -5}, {0, 0}, {10, 0}});
  // The flatness limit is 200 times the chord: at 150 the edge is an arc.
  EXPECT_GT(polylineToRegion(polyline({{0, 0}, {10, 0}}, {1500}), 1e-4).count(), 2);
  // A zero-length edge has no chord for its radius and stays straight.
  EXPECT_EQ(polylineToRegion(polyline({{0, 0}, {0, 0}, {10, 0}, {0, 10}}, {5}), 1).area, 50);
  EXPECT_TRUE(notices.texts().empty());
  // An arc that cannot be built keeps its chord after its message.
  const Region chord = polylineToRegion(polyline({{0, 0}, {30, 0}, {15, 10}}, {10}), 1);
  test::expectVertices(chord, {{0, 0}, {15, 10}, {30, 0}}, 0);
  EXPECT_EQ(notices.texts(), texts({text::kCirclesDoNotMeet}));
  EXPECT_EQ(polylineToRegion(RadiusPolyline{}, 1).count(), 0);
}

TEST(OffsetRegion, MovesEveryEdgeOutwardsWhateverTheOrder) {
  struct Row {
    const char* label;
    Region region;
    double d;
    std::vector<Point> expected;
  };
  const Row rows[] = {
      // clang-format off
      {"clockwise", regionOf({{0, 0}, {0, 10}, {10, 10}, {10, 0}}), 1,
       {{-1, -1}, {-1, 11}, {11, 11}, {11, -1}}},
      // A collinear middle vertex moves straight out through the 0.1 rule.
      {"collinear", regionOf({{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}}), 1,
       {{-1, -1}, {5, -1}, {11, -1}, {11, 11}, {-1, 11}}},
      // A zero-length edge follows the edge before it.
      {"repeated vertex", regionOf({{0, 0}, {10, 0}, {10, 0}, {10, 10}, {0, 10}}), 1,
       {{-1, -1}, {10, -1}, {11, -1}, {11, 11}, {-1, 11}}},
      // A spike of no width out to (20,5) and back gets a square cap.
      {"spike", regionOf({{0, 0}, {10, 0}, {10, 5}, {20, 5}, {10, 5}, {10, 10}, {0, 10}}), 1,
       {{-1, -1}, {11, -1}, {11, 4}, {21, 4}, {21, 6}, {11, 6}, {11, 11}, {-1, 11}}},
      // A dot and a distance that is no number change nothing.
      {"a dot", regionOf({{3, 3}, {3, 3}, {3, 3}}), 1, {{3, 3}, {3, 3}, {3, 3}}},
      {"no distance", square(0, 0, 10, 10), kNaN, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Region r = row.region;
    offsetRegion(r, row.d);
    test::expectVertices(r, row.expected);
  }
}

}  // namespace
}  // namespace tarn
