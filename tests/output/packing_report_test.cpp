#include "output/packing_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "geometry/core_error.h"
#include "geometry/texts.h"
#include "output_fixtures.h"
#include "support/test_support.h"

namespace tarn {
namespace {

std::string reportOf(PackingJob& job) {
  std::ostringstream out;
  WritePackingReport(job, out);
  return out.str();
}

std::string headings(const char* length, const char* density, const char* area, const char* count) {
  return std::string("Packed length:") + length + "\r\nPacking density:" + density +
         "\r\nArea of all parts:" + area + "\r\n" + std::string(text::kGbkPackedCount) + count +
         "\r\n" + std::string(text::kGbkPackedNames) + "\r\n";
}

bool selectedById(const PackingJob& job, int id) {
  for (const Part& part : job.workingParts) {
    if (part.id == id) {
      return part.selected;
    }
  }
  ADD_FAILURE() << "no part " << id;
  return false;
}

TEST(WritePackingReport, WritesTenNamesALineInReverseListOrder) {
  struct Row {
    int parts;
    std::string expected;
  };
  // Squares of 10 every 20 mm: area 100 n, length 20 n - 10, density area / (length x 4000).
  const Row rows[] = {
      {0, headings("0", "Unknown", "0", "0")},
      {1, headings("10", "0.25%", "100", "1") + "P1\r\n"},
      {10, headings("190", "0.131579%", "1000", "10") + "P10,P9,P8,P7,P6,P5,P4,P3,P2,P1\r\n"},
      {11,
       headings("210", "0.130952%", "1100", "11") + "P11,P10,P9,P8,P7,P6,P5,P4,P3,P2\r\nP1\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.parts);
    test::TestJob job;
    // Inserted last to first, so the list runs P1 .. Pn.
    for (int i = row.parts; i >= 1; --i) {
      test::addPart(job.job, test::squarePart(i, "P" + std::to_string(i), 20.0 * (i - 1), 0, 10));
    }
    EXPECT_EQ(reportOf(job.job), row.expected);
  }
}

TEST(WritePackingReport, SelectsAndReportsConflictsAndCountsOnlyPartsInside) {
  test::TestJob job;
  test::addPart(job.job, test::squarePart(1, "A", 0, 0, 10));
  test::addPart(job.job, test::squarePart(2, "B", 5, 0, 10));  // overlaps A
  Part fine = test::squarePart(3, "C", 100, 0, 10);
  fine.selected = true;
  test::addPart(job.job, fine);
  test::addPart(job.job, test::squarePart(4, "D", 5995, 100, 10));  // half across the right edge

  test::NoticeRecorder notices;
  const std::string report = reportOf(job.job);

  EXPECT_EQ(notices.texts(),
            (std::vector<std::string>{std::string(text::kPartsConflictInPlate),
                                      std::string(text::kWaitingPartsCrossPlate)}));
  EXPECT_TRUE(selectedById(job.job, 1));
  EXPECT_TRUE(selectedById(job.job, 2));
  EXPECT_FALSE(selectedById(job.job, 3));
  EXPECT_TRUE(selectedById(job.job, 4));
  // A, B and C overlap or not, they are inside; D is not.
  EXPECT_EQ(report, headings("110", "0.0681818%", "300", "3") + "A,B,C\r\n");
}

TEST(WritePackingReport, UnwritablePathThrowsAndKeepsTheFolder) {
  test::TestJob job;
  test::ScratchDir scratch;
  std::filesystem::create_directory("Report.txt");
  try {
    WritePackingReport(job.job, std::filesystem::path("Report.txt"));
    ADD_FAILURE() << "no error";
  } catch (const CoreError& e) {
    EXPECT_EQ(e.what(), text::kReportFileOpenError);
  }
  EXPECT_TRUE(std::filesystem::is_directory("Report.txt"));
}

}  // namespace
}  // namespace tarn
