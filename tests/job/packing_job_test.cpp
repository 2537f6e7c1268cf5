#include "job/packing_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

#include "geometry/texts.h"
#include "library/library_test_util.h"

namespace tarn {
namespace {

TEST(WriteTimestamp, WritesPlainNumbersAndGbkUnits) {
  std::tm local{};
  local.tm_year = 2024 - 1900;
  local.tm_mon = 2;
  local.tm_mday = 7;
  local.tm_hour = 9;
  local.tm_min = 5;
  local.tm_sec = 3;
  std::ostringstream out;
  WriteTimestamp(out, local);
  EXPECT_EQ(out.str(), test::gbkLines("2024年3月7日, 9时5分3秒\n"));
}

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
