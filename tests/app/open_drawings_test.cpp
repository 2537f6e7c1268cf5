#include "app/open_drawings.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "app/job_runs.h"
#include "geometry/core_error.h"
#include "support/test_support.h"

namespace tarn {
namespace {

std::filesystem::path drawing(const char* name) {
  return test::dataPath(std::string("library/drawings/") + name);
}

DrawingJobRequest twoDrawings() {
  return {
      3000.0, 1500.0, 5.0, {{drawing("r12_classic.dxf"), 2}, {drawing("r2000_lwpolyline.dxf"), 3}}};
}

TEST(OpenDrawings, RefusesWhatTheCommandLineRefusesAndKeepsTheJob) {
  struct Row {
    const char* label;
    void (*spoil)(DrawingJobRequest&);
  } rows[] = {
      {"count 0", [](DrawingJobRequest& r) { r.drawings[1].count = 0; }},
      {"count above the limit", [](DrawingJobRequest& r) { r.drawings[0].count = 10001; }},
      {"copies above the limit", [](DrawingJobRequest& r) { r.drawings[0].count = 9999; }},
      {"no plate length", [](DrawingJobRequest& r) { r.plateLength = 0.0; }},
      {"plate width NaN",
       [](DrawingJobRequest& r) { r.plateWidth = std::numeric_limits<double>::quiet_NaN(); }},
      {"negative gap", [](DrawingJobRequest& r) { r.partGap = -1.0; }},
      {"gap beyond the usable range", [](DrawingJobRequest& r) { r.partGap = 1e308; }},
      {"no drawing", [](DrawingJobRequest& r) { r.drawings.clear(); }},
      {"missing drawing", [](DrawingJobRequest& r) { r.drawings[1].path = "no-such.dxf"; }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    AppState state;
    DrawingJobRequest request = twoDrawings();
    row.spoil(request);
    EXPECT_THROW(openDrawingJob(state, request), CoreError);
    EXPECT_EQ(state.job, nullptr);
  }
  // The core refuses a bad count of its own accord, before reading anything.
  DrawingJobRequest request = twoDrawings();
  request.drawings[0].count = -3;
  RunRequest run{RunKind::OpenDrawings, true, request.drawings[0].path, {}, request};
  AppState state;
  EXPECT_THROW(runNow(state, run), CoreError);
  EXPECT_EQ(state.job, nullptr);
}

}  // namespace
}  // namespace tarn
