#include "app/status.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/commands.h"
#include "app/job_runs.h"
#include "support/test_support.h"

namespace tarn {
namespace {

TEST(Status, CountsThePartsAndListsThemById) {
  test::ScratchDir scratch;
  ASSERT_EQ(setenv("XDG_STATE_HOME", scratch.path().c_str(), 1), 0);
  AppState state;
  EXPECT_EQ(statusTexts(state).parts, "No library loaded");
  state.outputFolder = scratch.path();
  openLibraryFile(state, test::dataPath("library/text/two_parts.txt"), LibraryFormat::TextLibrary);
  EXPECT_EQ(windowTitle(state), "two_parts.txt - TarnPacking");
  EXPECT_EQ(statusTexts(state).utilisation, "utilisation unknown");
  runNow(state, *pressPackingKitButton(state, kKitLayoutAll).run);
  EXPECT_EQ(statusTexts(state).parts, "2 parts loaded, 2 packed, 0 waiting");
  const std::vector<PartRow> rows = partRows(*state.job);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, "P-01");  // by id, not by the list's area order
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
