// The layout walks keep an index and memories of failed tests for the length
// of a run (nesting/layout_run.h). Laid side by side with the walks as written
// down (literal_engine.h) and with the routines called one by one outside any
// run, on seeded generated jobs, they must give the same poses bit for bit.
#include "nesting/layout_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "job/job_operations.h"
#include "nesting/layout.h"
#include "nesting/literal_engine.h"
#include "nesting/nesting_fixtures.h"
#include "nesting/packing_points.h"
#include "nesting/partner.h"
#include "support/pose_dump.h"

namespace tarn::test {
namespace {

struct Settings {
  const char* label;
  int rotationNumber;
  bool turnover;
};
constexpr Settings kSettings[] = {{"RN 4 with turnover", 4, true}, {"RN 3 plain", 3, false}};

// Waiting right of the plate, not selected.
Part partOf(const Outline& outer, std::initializer_list<Outline> holes) {
  Part part = makePart(outer, holes);
  translate(part, 10000 - part.bbox.xmin, -part.bbox.ymax);
  return part;
}

// Seeded shapes of about `size` mm, each in one to four copies equal bit for
// bit (so that they share the run's memories): boxes, L-shapes, gussets,
// rings with a hole that smaller parts fit in, small squares, and one part
// too large for any plate here.
std::vector<Part> generatedParts(std::uint32_t seed, int shapes, double size) {
  std::mt19937 random(seed);
  const auto uniform = [&random](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(random);
  };
  std::vector<Part> parts;
  for (int n = 0; n < shapes; ++n) {
    const double w = uniform(0.3, 1.0) * size;
    const double h = uniform(0.2, 0.8) * size;
    Part part;
    switch (n % 6) {
      case 0:
        part = partOf(rectangle(0, 0, w, h), {});
        break;
      case 1:
        part = partOf({{0, 0}, {w, 0}, {w, h / 2}, {w / 3, h / 2}, {w / 3, h}, {0, h}}, {});
        break;
      case 2:
        part = partOf({{0, 0}, {w, 0}, {w * 0.15, h}, {0, h}}, {});
        break;
      case 3:
        part = partOf(rectangle(0, 0, size, size * 0.7),
                      {rectangle(size * 0.1, size * 0.1, size * 0.8, size * 0.5)});
        break;
      case 4:
        part = partOf(rectangle(0, 0, w / 4, w / 4), {});
        break;
      default:
        part = partOf(n == 5 ? rectangle(0, 0, size * 40, size) : rectangle(0, 0, h, h / 3), {});
        break;
    }
    const int copies = 1 + static_cast<int>(uniform(0, 4));
    for (int c = 0; c < copies; ++c) {
      parts.push_back(part);
      parts.back().id = static_cast<int>(parts.size());
    }
  }
  return parts;
}

// Shapes that pair up in many equal copies: L-shapes (for the fourth pass),
// gussets and U-shapes (for the fifth).
std::vector<Part> pairingParts() {
  const Part l = partOf({{0, 0}, {600, 0}, {600, 300}, {300, 300}, {300, 600}, {0, 600}}, {});
  const Part gusset = partOf({{0, 0}, {500, 0}, {0, 400}}, {});
  const Part u = partOf(
      {{0, 0}, {500, 0}, {500, 350}, {380, 350}, {380, 120}, {120, 120}, {120, 350}, {0, 350}}, {});
  std::vector<Part> parts;
  for (const auto& [part, copies] : {std::pair{l, 8}, std::pair{gusset, 8}, std::pair{u, 6}}) {
    for (int c = 0; c < copies; ++c) {
      parts.push_back(part);
      parts.back().id = static_cast<int>(parts.size());
    }
  }
  return parts;
}

// Gussets laid out apart, right to left in list order, and equal gussets
// waiting: every waiting one has several partners to pair with.
std::vector<Part> spreadPartners() {
  const Outline gusset = {{0, 0}, {500, 0}, {0, 400}};
  std::vector<Part> parts;
  for (const double x : {3200.0, 2400.0, 1600.0, 800.0, 100.0}) {
    parts.push_back(partOf(gusset, {}));
    translate(parts.back(), x - parts.back().bbox.xmin, 100.0 - parts.back().bbox.ymin);
  }
  for (int c = 0; c < 10; ++c) {
    parts.push_back(partOf(gusset, {}));
  }
  for (std::size_t k = 0; k < parts.size(); ++k) {
    parts[k].id = static_cast<int>(k);
  }
  return parts;
}

// Large panels with a cut corner in a few sizes, more than the plate holds:
// the first passes place them beside laid-out parts, again and again.
std::vector<Part> panels() {
  std::vector<Part> parts;
  for (int k = 0; k < 18; ++k) {
    const double w = 1000 + 150 * (k % 3);
    const double h = 1000 + 100 * (k % 2);
    parts.push_back(partOf({{0, 0}, {w, 0}, {w, h * 0.9}, {w * 0.9, h}, {0, h}}, {}));
    parts.back().id = k;
  }
  return parts;
}

// Two laid-out panels one above the other, the upper first in the list, and
// equal panels waiting: the spots right of the two lie equally far left, so
// the lower one wins by the tie band.
std::vector<Part> stackedPartners() {
  const Outline panel = {{0, 0}, {1000, 0}, {1000, 900}, {900, 1000}, {0, 1000}};
  std::vector<Part> parts = {makePart(panel), makePart(panel)};
  translate(parts[0], 0, 1000);
  for (int k = 0; k < 4; ++k) {
    parts.push_back(partOf(panel, {}));
  }
  for (std::size_t k = 0; k < parts.size(); ++k) {
    parts[k].id = static_cast<int>(k);
  }
  return parts;
}

struct Twins {
  Twins(const Settings& settings, const std::vector<Part>& parts, double length, double width,
        double distance)
      : engine(length, width, distance), other(length, width, distance) {
    for (TestJob* t : {&engine, &other}) {
      t->job.params.rotationNumber = settings.rotationNumber;
      t->job.params.allowTurnover = settings.turnover;
      t->add(parts);
    }
  }
  TestJob engine;
  TestJob other;
};

std::string marks(const PackingJob& job) {
  std::string text;
  for (const PackingPoint& point : job.packingPoints) {
    text += point.occupied ? '1' : '0';
  }
  return text;
}

void expectSameLayout(const PackingJob& engine, const PackingJob& other) {
  EXPECT_EQ(firstDifference(dumpPoses(other), dumpPoses(engine)), "");
  EXPECT_EQ(marks(engine), marks(other));
}

void selectEveryThird(PackingJob& job) {
  int k = 0;
  for (Part& part : job.workingParts) {
    part.selected = k++ % 3 == 0;
  }
}

TEST(LayoutRun, LaysOutAsTheLiteralWalksThenAgainWhenLaidOutPartsMove) {
  for (const Settings& settings : kSettings) {
    for (const std::uint32_t seed : {1u, 2u, 3u}) {
      SCOPED_TRACE(std::string(settings.label) + ", seed " + std::to_string(seed));
      Twins twins(settings, generatedParts(seed, 12, 160), 900, 450, 30);
      RunContext run;
      PlaceWaiting(twins.engine.job, run);
      literal::placeWaiting(twins.other.job);
      expectSameLayout(twins.engine.job, twins.other.job);
      // Laid-out parts leave their places: what those decided must be forgotten.
      selectEveryThird(twins.engine.job);
      selectEveryThird(twins.other.job);
      PlaceSelected(twins.engine.job, run);
      literal::placeSelected(twins.other.job);
      expectSameLayout(twins.engine.job, twins.other.job);
      // Every part again: each leaves a place the next one of its shape can take.
      SelectAll(twins.engine.job);
      SelectAll(twins.other.job);
      PlaceSelected(twins.engine.job, run);
      literal::placeSelected(twins.other.job);
      expectSameLayout(twins.engine.job, twins.other.job);
    }
  }
}

// Equal waiting squares W with a laid-out square X between them in the list,
// laid out with bars that never move: the first W goes beside X, X then moves
// past a bar for good, and the next W takes room that X left, before the place
// where the first W found room.
TEST(LayoutRun, ForgetsWhatAPlaceDecidedOnceItsPartLeftIt) {
  const Part w = parked(rectangle(0, 0, 200, 200));
  const struct {
    const char* label;
    std::vector<Part> parts;  // W, X, W, W, then the bars
    double barEnd;            // X ends right of it
    double secondW;           // where the second W's box begins
  } rows[] = {
      // X leaves the corner; the second W's candidates start at its left edge.
      {"corner",
       {w, rectanglePart(0, 0, 200, 200), w, w, rectanglePart(200.5, 0, 30, 450)},
       230.5,
       0.0},
      // X leaves a place right of a bar; the second W's candidate starts left of
      // that place and reaches into it.
      {"beside a bar",
       {w, rectanglePart(100.5, 0, 200, 200), w, w, rectanglePart(0, 0, 89, 450),
        rectanglePart(310, 0, 5, 450)},
       315.0,
       89.0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestJob engine(900, 450, 30);
    TestJob other(900, 450, 30);
    for (TestJob* t : {&engine, &other}) {
      t->add(row.parts);
      for (int k = 0; k < 4; ++k) {
        t->part(k).selected = true;
      }
    }
    RunContext run;
    PlaceSelected(engine.job, run);
    literal::placeSelected(other.job);
    EXPECT_GE(other.part(1).bbox.xmin, row.barEnd);  // X moved past the bar
    EXPECT_NEAR(other.part(2).bbox.xmin, row.secondW, 0.01);
    EXPECT_NEAR(other.part(2).bbox.ymin, 0.0, 0.01);
    expectSameLayout(engine.job, other.job);
  }
}

// Moves the first laid-out part off the plate and removes the last part.
void disturb(PackingJob& job) {
  for (Part& part : job.workingParts) {
    if (withinRect(part, job.plateExtents)) {
      translate(part, 5000, 0);
      break;
    }
  }
  job.workingParts.remove(std::prev(job.workingParts.end()));
}

// Eight equal squares: after three are laid out the first leaves its corner,
// which the fourth takes, although the run saw the squares fail everywhere
// before the third's place.
TEST(LayoutRun, NeverAnswersForAJobChangedBehindItsBackOrBetweenRuns) {
  TestJob engine(900, 450, 30);
  TestJob other(900, 450, 30);
  for (TestJob* t : {&engine, &other}) {
    t->add(std::vector<Part>(8, parked(rectangle(0, 0, 200, 200))));
  }
  // During the run, between two parts (the progress hook is the only way in).
  int step = 0;
  RunContext run;
  run.progress = [&](const LayoutProgress&) {
    if (++step == 3) {
      disturb(engine.job);
    }
  };
  int otherStep = 0;
  PlaceWaiting(engine.job, run);
  literal::placeWaiting(other.job, [&] {
    if (++otherStep == 3) {
      disturb(other.job);
    }
  });
  EXPECT_EQ(engine.part(3).bbox.xmin, other.part(3).bbox.xmin);
  EXPECT_LT(other.part(3).bbox.xmin, 0.01);  // in the corner the first square left
  expectSameLayout(engine.job, other.job);
  // Between runs: a laid-out part moved by hand and another removed.
  for (TestJob* t : {&engine, &other}) {
    disturb(t->job);
    translate(t->part(1), 5000, 0);
  }
  RunContext again;
  PlaceWaiting(engine.job, again);
  literal::placeWaiting(other.job);
  expectSameLayout(engine.job, other.job);
}

// LayoutMultipleSteps's passes with every routine called outside a run, so
// that each searches afresh.
std::uint64_t stepsOutsideARun(PackingJob& job) {
  literal::buildGrid(job);
  RunContext fresh;
  const auto considered = [&job](const Part& part) {
    return part.selected && !withinRect(part, job.plateExtents);
  };
  for (Part& part : job.workingParts) {
    if (considered(part) && part.outer.area >= 1e6 && part.fillRatio >= 0.8) {
      PlaceNextToLaidOut(job, part, fresh);
    }
  }
  for (Part& part : job.workingParts) {
    if (considered(part) && part.outer.area >= 5e5 && part.fillRatio >= 0.9) {
      PlaceNextToLaidOut(job, part, fresh);
    }
  }
  for (Part& part : job.workingParts) {
    if (considered(part) && part.outer.area >= 5e5) {
      if (!PlaceBySimilarPair(job, part, kPairingThreshold, fresh)) {
        PlaceNextToLaidOut(job, part, fresh);
      }
    }
  }
  for (Part& part : job.workingParts) {
    if (considered(part) && part.outer.area >= 2e5) {
      PlaceMediumStrict(job, part, kPairingThreshold, fresh);
    }
  }
  for (Part& part : job.workingParts) {
    if (!considered(part)) {
      continue;
    }
    if (part.outer.area > 5e4 || part.aspectRatio > 1.2) {
      PlaceMedium(job, part, kPairingThreshold, fresh);
    } else {
      PlaceByGrid(job, part, fresh);
    }
  }
  return fresh.counters.fitTests;
}

TEST(LayoutRun, LaysOutInStepsAsTheRoutinesDoOutsideARun) {
  const struct {
    const char* label;
    std::vector<Part> parts;
  } jobs[] = {
      {"seed 5", generatedParts(5, 14, 1100)},
      {"seed 6", generatedParts(6, 14, 1100)},
      {"pairs", pairingParts()},
      {"partners laid out", spreadPartners()},
      {"panels", panels()},
      {"stacked partners", stackedPartners()},
  };
  for (const Settings& settings : kSettings) {
    for (const auto& job : jobs) {
      SCOPED_TRACE(std::string(settings.label) + ", " + job.label);
      Twins twins(settings, job.parts, 4000, 2000, 60);
      SelectAll(twins.engine.job);
      SelectAll(twins.other.job);
      RunContext run;
      PlaceSelectedInSteps(twins.engine.job, run);
      const std::uint64_t freshTests = stepsOutsideARun(twins.other.job);
      expectSameLayout(twins.engine.job, twins.other.job);
      // The run's memories were at work: it tested less.
      EXPECT_LT(run.counters.fitTests, freshTests);
    }
  }
}

TEST(LayoutRun, TellsShapesApartBitForBit) {
  TestJob t;
  const Part base = partOf({{0, 0}, {100, 0}, {100, 40}, {30, 40}, {30, 90}, {0, 90}}, {});
  Part nudged = base;
  nudged.centroid.x = std::nextafter(nudged.centroid.x, 1e9);
  Part signedZero = partOf(rectangle(0, 0, 50, 50), {});
  Part otherZero = signedZero;
  ASSERT_EQ(signedZero.outer.points[2].y, 0.0);  // the top right corner, waiting
  otherZero.outer.points[2].y = -0.0;
  t.add({base, base, nudged, signedZero, otherZero});
  RunContext ctx;
  LayoutRun run(t.job, ctx);
  EXPECT_EQ(run.shapeOf(t.part(0)), run.shapeOf(t.part(1)));
  EXPECT_NE(run.shapeOf(t.part(0)), run.shapeOf(t.part(2)));
  EXPECT_NE(run.shapeOf(t.part(3)), run.shapeOf(t.part(4)));  // 0.0 and -0.0
  EXPECT_EQ(LayoutRun::of(t.job, ctx), &run);
  TestJob another;
  EXPECT_EQ(LayoutRun::of(another.job, ctx), nullptr);
}

}  // namespace
}  // namespace tarn::test
