#include "geometry/segment.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>

#include "tests/geometry/shapes.h"

namespace tarn {
namespace {

using test::pt;

TEST(IntersectLines, CrossingParallelAndTouchingLines) {
  struct Row {
    const char* label;
    Segment s1, s2;
    std::optional<Point> expected;
  };
  const Segment base = makeSegment(pt(0, 0), pt(10, 0));
  const Row rows[] = {
      {"crossing", base, makeSegment(pt(5, -5), pt(5, 5)), pt(5, 0)},
      {"outside the second", makeSegment(pt(0, 0), pt(1, 1)), makeSegment(pt(5, 0), pt(6, 0)),
       pt(0, 0)},
      {"beyond, slanted", makeSegment(pt(1, 2), pt(4, 6)), makeSegment(pt(0, 10), pt(1, 10)),
       pt(7, 10)},
      {"parallel apart", base, makeSegment(pt(20, 1), pt(30, 1)), std::nullopt},
      {"collinear apart", base, makeSegment(pt(20, 0), pt(30, 0)), std::nullopt},
      {"end meets start", base, makeSegment(pt(10, 0), pt(20, 0)), pt(10, 0)},
      {"start meets end", base, makeSegment(pt(-10, 0), pt(0, 0)), pt(0, 0)},
      {"both shared: the end first", base, makeSegment(pt(10, 0), pt(0, 0)), pt(10, 0)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const std::optional<Point> p = intersectLines(row.s1, row.s2);
    ASSERT_EQ(p.has_value(), row.expected.has_value());
    if (p) {
      test::expectPoint(*p, row.expected->x, row.expected->y, 1e-12);
    }
  }
}

// The list walks in the order given.
SegmentList segmentsOf(std::initializer_list<Segment> segments) {
  SegmentList reversed;
  for (const Segment& s : segments) {
    reversed.insert(s);
  }
  return SegmentList(reversed);
}

void expectChain(const PointChain& chain, std::initializer_list<test::XY> xy) {
  ASSERT_EQ(static_cast<std::size_t>(chain.count()), xy.size());
  auto it = chain.begin();
  for (const test::XY& c : xy) {
    test::expectPoint(*it++, c.x, c.y, 0);
  }
}

TEST(ChainSegments, WalksFromTheLastPointFoundBackToTheFirstStart) {
  SegmentList segments =
      segmentsOf({makeSegment(pt(0, 0), pt(10, 0)), makeSegment(pt(10, 10), pt(10.3, 0.2)),
                  makeSegment(pt(0, 0.4), pt(10, 10))});
  PointChain chain;
  chainSegments(segments, chain);
  expectChain(chain, {{0, 0.4}, {10, 10}, {10, 0}, {0, 0}});
  EXPECT_TRUE(segments.empty());

  PointChain untouched;
  chainSegments(segments, untouched);  // nothing left to chain
  EXPECT_TRUE(untouched.empty());
}

TEST(ChainSegments, TakesTheFirstMatchStartBeforeEnd) {
  // Both later pieces start near (10,0); the first in list order wins, and
  // once the chain has moved on the nearer one never connects.
  SegmentList segments =
      segmentsOf({makeSegment(pt(0, 0), pt(10, 0)), makeSegment(pt(10.4, 0), pt(20, 0)),
                  makeSegment(pt(10.01, 0), pt(30, 0))});
  PointChain chain;
  chainSegments(segments, chain);
  expectChain(chain, {{20, 0}, {10, 0}, {0, 0}});
  EXPECT_EQ(segments.count(), 1);

  // Both ends of the short piece are near (10,0): its start is taken. The last
  // piece starts exactly 0.5 away, which is not within.
  SegmentList ends =
      segmentsOf({makeSegment(pt(0, 0), pt(10, 0)), makeSegment(pt(10.125, 0), pt(10.25, 0)),
                  makeSegment(pt(10.75, 0), pt(12, 0))});
  PointChain shortChain;
  chainSegments(ends, shortChain);
  expectChain(shortChain, {{10.25, 0}, {10, 0}, {0, 0}});
  EXPECT_EQ(ends.count(), 1);
}

TEST(ChainSegments, JoinsReversedPiecesAndLeavesLooseOnes) {
  SegmentList segments = segmentsOf(
      {makeSegment(pt(0, 0), pt(10, 0)), makeSegment(pt(5, 5), pt(8, 5)),
       makeSegment(pt(10, 0), pt(10, 10)), makeSegment(pt(0, 10), pt(10, 10)),  // reversed piece
       makeSegment(pt(0, 10), pt(0, 0))});
  PointChain chain;
  chainSegments(segments, chain);
  expectChain(chain, {{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}});
  ASSERT_EQ(segments.count(), 1);
  EXPECT_EQ(segments.front().start.x, 5);
}

}  // namespace
}  // namespace tarn
