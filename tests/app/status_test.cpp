#include "app/status.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/commands.h"
#include "app/job_runs.h"
#include "support/test_support.h"

namespace tarn {
namespace {

// two_parts.txt: a 100 x 50 block and a 60 x 60 square with a 20 x 20 hole on a
// 6000 x 4000 plate, no gap: net area 5000 + 3200, so the utilisation shown is
// 8200 / (packed length x 4000).
TEST(Status, ShowsTheFiguresOfTheLayoutAsTheCommandLineCountsThem) {
  test::ScratchDir scratch;
  ASSERT_EQ(setenv("XDG_STATE_HOME", scratch.path().c_str(), 1), 0);
  AppState state;
  EXPECT_EQ(statusTexts(state).parts, "No library loaded");
  EXPECT_EQ(windowTitle(state), "TarnPacking");
  state.outputFolder = scratch.path();
  openLibraryFile(state, test::dataPath("library/text/two_parts.txt"), LibraryFormat::TextLibrary);
  EXPECT_EQ(windowTitle(state), "two_parts.txt - TarnPacking");
  StatusTexts texts = statusTexts(state);
  EXPECT_EQ(texts.parts, "2 parts loaded, 0 packed, 2 waiting");
  EXPECT_EQ(texts.utilisation, "utilisation unknown");
  EXPECT_EQ(texts.rotationNumber, "RN 4");

  runNow(state, *pressPackingKitButton(state, kKitLayoutAll).run);
  texts = statusTexts(state);
  EXPECT_EQ(texts.parts, "2 parts loaded, 2 packed, 0 waiting");
  const double length = std::strtod(texts.length.c_str() + std::strlen("packed length "), nullptr);
  ASSERT_GT(length, 59.0);
  char expected[64];
  std::snprintf(expected, sizeof expected, "utilisation %.2f %%", 8200.0 / (length * 4000.0) * 100);
  EXPECT_EQ(texts.utilisation, expected);

  const std::vector<PartRow> rows = partRows(*state.job);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, "P-01");  // by id, not by the list's area order
  EXPECT_TRUE(rows[0].placed && rows[1].placed);
  unsetenv("XDG_STATE_HOME");
}

TEST(RecentLibraries, NewestFirstWithoutRepeatsAndAtMostSix) {
  std::vector<RecentLibrary> recent;
  for (int i = 0; i < 8; ++i) {
    rememberLibrary(recent, {"/lib/" + std::to_string(i), LibraryFormat::TextLibrary});
  }
  rememberLibrary(recent, {"/lib/4", LibraryFormat::PartListFile});
  ASSERT_EQ(recent.size(), kRecentLibraryCount);
  EXPECT_EQ(recent[0], (RecentLibrary{"/lib/4", LibraryFormat::PartListFile}));
  EXPECT_EQ(recent[1].path, "/lib/7");
  EXPECT_EQ(recent.back().path, "/lib/2");
}

}  // namespace
}  // namespace tarn
