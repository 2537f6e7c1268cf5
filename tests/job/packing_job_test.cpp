#include "job/packing_job.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "geometry/texts.h"
#include "library/library_test_util.h"

namespace tarn {
namespace {

TEST(PackingJob, AppendsOneStampPerJobAndFailsWhenTheReportCannotBeOpened) {
  test::ScratchDir scratch;
  test::writeBytes("PackError.txt", "kept\r\n");
  { const PackingJob first("PackError.txt"); }
  { const PackingJob second("PackError.txt"); }
  const std::string bytes = test::readBytes("PackError.txt");
  EXPECT_EQ(bytes.substr(0, 6), "kept\r\n");
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 3);
  EXPECT_EQ(
      test::errorOf([&] { const PackingJob job(scratch.path() / "missing" / "PackError.txt"); }),
      text::kErrorReportWriteFailed);
}

}  // namespace
}  // namespace tarn
