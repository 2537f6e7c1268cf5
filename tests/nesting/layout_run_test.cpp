// Runs (with their index and memories) must lay out as the literal walks and as
// the routines called one by one outside any run, bit for bit.
#include "nesting/layout_run.h"

#include <gtest/gtest.h>

#include <cstdint>
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

// Ids in list order.
std::vector<Part> numbered(std::vector<Part> parts) {
  for (std::size_t k = 0; k < parts.size(); ++k) {
    parts[k].id = static_cast<int>(k);
  }
  return parts;
}

// `copies` copies of each part, equal bit for bit (so that they share the run's memories).
std::vector<Part> copies(std::initializer_list<std::pair<Part, int>> parts) {
  std::vector<Part> result;
  for (const auto& [part, count] : parts) {
    result.insert(result.end(), static_cast<std::size_t>(count), part);
  }
  return numbered(result);
}

// Seeded shapes of about `size` mm in one to four copies: boxes, L-shapes,
// gussets, rings that smaller parts fit in, small squares, one part too large.
std::vector<Part> generatedParts(std::uint32_t seed, int shapes, double size) {
  std::mt19937 random(seed);
  const auto uniform = [&random](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(random);
  };
  std::vector<Part> parts;
  for (int n = 0; n < shapes; ++n) {
    const double w = uniform(0.3, 1.0) * size;
    const double h = uniform(0.2, 0.8) * size;
    const Outline outlines[] = {
        rectangle(0, 0, w, h),
        {{0, 0}, {w, 0}, {w, h / 2}, {w / 3, h / 2}, {w / 3, h}, {0, h}},
        {{0, 0}, {w, 0}, {w * 0.15, h}, {0, h}},
        rectangle(0, 0, size, size * 0.7),
        rectangle(0, 0, w / 4, w / 4),
        n == 5 ? rectangle(0, 0, size * 40, size) : rectangle(0, 0, h, h / 3),
    };
    const Part part =
        n % 6 == 3
            ? waiting(outlines[3], {rectangle(size * 0.1, size * 0.1, size * 0.8, size * 0.5)})
            : waiting(outlines[n % 6]);
    parts.insert(parts.end(), 1 + static_cast<std::size_t>(uniform(0, 4)), part);
  }
  return numbered(parts);
}

const Outline kGusset = {{0, 0}, {500, 0}, {0, 400}};
const Outline kU = {{0, 0},     {500, 0},   {500, 350}, {380, 350},
                    {380, 120}, {120, 120}, {120, 350}, {0, 350}};

// Gussets laid out apart, right to left in list order, and equal ones waiting.
std::vector<Part> spreadPartners() {
  std::vector<Part> parts(15, waiting(kGusset));
  for (int k = 0; k < 5; ++k) {
    translate(parts[k], (k == 4 ? 100.0 : 3200.0 - 800 * k) - parts[k].bbox.xmin,
              100.0 - parts[k].bbox.ymin);
  }
  return numbered(parts);
}

// Large panels with a cut corner, more than the plate holds: the first passes
// place them beside laid-out parts, again and again.
std::vector<Part> panels() {
  std::vector<Part> parts;
  for (int k = 0; k < 18; ++k) {
    const double w = 1000 + 150 * (k % 3);
    const double h = 1000 + 100 * (k % 2);
    parts.push_back(waiting({{0, 0}, {w, 0}, {w, h * 0.9}, {w * 0.9, h}, {0, h}}));
  }
  return numbered(parts);
}

// Two laid-out panels, the upper first, and equal ones waiting: the spots right
// of the two lie equally far left, so the lower one wins by the tie band.
std::vector<Part> stackedPartners() {
  const Outline panel = {{0, 0}, {1000, 0}, {1000, 900}, {900, 1000}, {0, 1000}};
  std::vector<Part> parts = {makePart(panel), makePart(panel)};
  translate(parts[0], 0, 1000);
  parts.insert(parts.end(), 4, waiting(panel));
  return numbered(parts);
}

// The same job twice: one for the engine, one for the literal walks.
struct Twins {
  Twins(const std::vector<Part>& parts, double length, double width, double distance,
        const Settings& settings = kSettings[0])
      : engine(length, width, distance), other(length, width, distance) {
    for (TestJob* t : {&engine, &other}) {
      t->job.params.rotationNumber = settings.rotationNumber;
      t->job.params.allowTurnover = settings.turnover;
      t->add(parts);
    }
  }
  template <class F>
  void both(F f) {
    f(engine.job);
    f(other.job);
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

void expectSameLayout(const Twins& twins) {
  EXPECT_EQ(firstDifference(dumpPoses(twins.other.job), dumpPoses(twins.engine.job)), "");
  EXPECT_EQ(marks(twins.engine.job), marks(twins.other.job));
}

TEST(LayoutRun, LaysOutAsTheLiteralWalksThenAgainWhenLaidOutPartsMove) {
  for (const Settings& settings : kSettings) {
    for (const std::uint32_t seed : {1u, 2u, 3u}) {
      SCOPED_TRACE(std::string(settings.label) + ", seed " + std::to_string(seed));
      Twins twins(generatedParts(seed, 12, 160), 900, 450, 30, settings);
      RunContext run;
      PlaceWaiting(twins.engine.job, run);
      literal::placeWaiting(twins.other.job);
      expectSameLayout(twins);
      // Laid-out parts leave their places (every third), then every part goes
      // again: what those places decided must be forgotten.
      for (const int every : {3, 1}) {
        twins.both([every](PackingJob& job) {
          int k = 0;
          for (Part& part : job.workingParts) {
            part.selected = k++ % every == 0;
          }
        });
        PlaceSelected(twins.engine.job, run);
        literal::placeSelected(twins.other.job);
        expectSameLayout(twins);
      }
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
    Twins twins(row.parts, 900, 450, 30);
    twins.both([](PackingJob& job) {
      int k = 0;
      for (Part& part : job.workingParts) {
        part.selected = k++ < 4;
      }
    });
    RunContext run;
    PlaceSelected(twins.engine.job, run);
    literal::placeSelected(twins.other.job);
    EXPECT_GE(twins.other.part(1).bbox.xmin, row.barEnd);  // X moved past the bar
    EXPECT_NEAR(twins.other.part(2).bbox.xmin, row.secondW, 0.01);
    EXPECT_NEAR(twins.other.part(2).bbox.ymin, 0.0, 0.01);
    expectSameLayout(twins);
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
  Twins twins(std::vector<Part>(8, parked(rectangle(0, 0, 200, 200))), 900, 450, 30);
  // During the run, between two parts (the progress hook is the only way in).
  int step = 0;
  int otherStep = 0;
  RunContext run;
  run.progress = [&](const LayoutProgress&) {
    if (++step == 3) {
      disturb(twins.engine.job);
    }
  };
  PlaceWaiting(twins.engine.job, run);
  literal::placeWaiting(twins.other.job, [&] {
    if (++otherStep == 3) {
      disturb(twins.other.job);
    }
  });
  EXPECT_LT(twins.other.part(3).bbox.xmin, 0.01);  // in the corner the first square left
  expectSameLayout(twins);
  // Between runs: a laid-out part moved by hand and another removed.
  twins.both([](PackingJob& job) {
    disturb(job);
    translate(*std::next(job.workingParts.begin()), 5000, 0);
  });
  RunContext again;
  PlaceWaiting(twins.engine.job, again);
  literal::placeWaiting(twins.other.job);
  expectSameLayout(twins);
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
      // L-shapes pair in the fourth pass, gussets and U-shapes in the fifth.
      {"pairs",
       copies({{waiting({{0, 0}, {600, 0}, {600, 300}, {300, 300}, {300, 600}, {0, 600}}), 8},
               {waiting(kGusset), 8},
               {waiting(kU), 6}})},
      {"partners laid out", spreadPartners()},
      {"panels", panels()},
      {"stacked partners", stackedPartners()},
  };
  for (const Settings& settings : kSettings) {
    for (const auto& job : jobs) {
      SCOPED_TRACE(std::string(settings.label) + ", " + job.label);
      Twins twins(job.parts, 4000, 2000, 60, settings);
      twins.both(SelectAll);
      RunContext run;
      PlaceSelectedInSteps(twins.engine.job, run);
      const std::uint64_t freshTests = stepsOutsideARun(twins.other.job);
      expectSameLayout(twins);
      // The run's memories were at work: it tested less.
      EXPECT_LT(run.counters.fitTests, freshTests);
    }
  }
}

}  // namespace
}  // namespace tarn::test
