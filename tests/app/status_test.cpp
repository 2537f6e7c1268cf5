#include "app/status.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

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
