#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/core_error.h"
#include "geometry/part_source.h"
#include "geometry/texts.h"
#include "output/dxf_writer.h"
#include "output/file_output.h"
#include "output/layout_dxf.h"
#include "output/packing_report.h"
#include "output/part_export.h"
#include "support/test_support.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

// Jobs with the default plate; their error reports are not looked at.
const fs::path kNoReport = "/dev/null";

// A source with a signed radius per edge, its true part and working copy, front-inserted.
Part& addSource(PackingJob& job, const std::vector<Point>& points,
                const std::vector<double>& radii = {}) {
  RadiusPolyline outer;
  setPolyline(outer, points, radii);
  PartSource source;
  initSource(source, outer, RadiusPolylineList{});
  source.nameLabel.text = "SQ";
  job.sources.insert(source);
  Part part;
  buildPart(source, part);
  job.trueParts.insert(part);
  job.workingParts.insert(part);
  return job.workingParts.front();
}

// A straight-edged part named at vertex 0.
Part makePart(int id, const std::string& name, const std::vector<Point>& points) {
  Region outer;
  setPoints(outer, points);
  Part part;
  setGeometry(part, outer, RegionList{});
  part.nameLabel = TextLabel{name, points.front().x, points.front().y};
  part.id = id;
  return part;
}

// A square inserted as true part and working copy (a part list job).
Part& addSquare(PackingJob& job, int id, const std::string& name, double x, double y) {
  const Part part = makePart(id, name, {{x, y}, {x + 10, y}, {x + 10, y + 10}, {x, y + 10}});
  job.trueParts.insert(part);
  job.workingParts.insert(part);
  return job.workingParts.front();
}

std::set<std::string> filesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

template <void (*Write)(PackingJob&, std::ostream&)>
std::string bytesOf(PackingJob& job) {
  std::ostringstream out;
  Write(job, out);
  return out.str();
}
const auto layoutOf = bytesOf<WriteLayoutDxf>;
const auto reportOf = bytesOf<WritePackingReport>;

std::string golden(const std::string& name) {
  return test::readBytes(test::dataPath("output/" + name));
}

TEST(WriteLayoutDxf, MatchesTheDrawingsWorkedOutByHandAndCountsPartsOnTheEdge) {
  PackingJob empty{kNoReport}, square{kNoReport}, list{kNoReport};
  // Area 10000 over 100 x 4000 is 2.5 %; the name is a tenth of the diagonal high.
  addSource(square, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  // A part list job keeps no arcs: the true outline is written where the grown
  // working copy lies, and measured ungrown: at (350, 200), 5000 / (450 x 4000).
  Part truePart = makePart(3, "L1", {{0, 0}, {100, 0}, {100, 50}, {0, 50}});
  truePart.nameLabel.height = 5;
  Part working = makePart(3, "L1", {{-5, -5}, {105, -5}, {105, 55}, {-5, 55}});
  working.refPoint = Point{0, 0};
  translate(working, 350, 200);
  list.trueParts.insert(truePart);
  list.workingParts.insert(working);
  EXPECT_EQ(layoutOf(empty), golden("empty_layout.dxf"));
  EXPECT_EQ(layoutOf(square), golden("square_layout.dxf"));
  EXPECT_EQ(layoutOf(list), golden("part_list_layout.dxf"));
  // A part whose box touches the plate edge within the tolerance is packed.
  for (const auto& [beyond, count] : {std::pair{0.0, "1"}, {5e-11, "1"}, {1e-9, "0"}}) {
    SCOPED_TRACE(beyond);
    PackingJob edge{kNoReport};
    translate(addSource(edge, {{5900, 0}, {6000, 0}, {6000, 100}, {5900, 100}}), beyond, 0);
    EXPECT_NE(layoutOf(edge).find(std::string("Packed Parts Number=") + count + ","),
              std::string::npos);
  }
}

TEST(WriteLayoutDxf, EveryRadiusIsOneArcPlacedAndBulgingToTheSideOfTheTurn) {
  // The half disc lies below its chord as read, above it once turned over; the
  // working copy is then moved to (100, 100) and turned a quarter about it.
  for (const bool turned : {false, true}) {
    SCOPED_TRACE(turned);
    PackingJob disc{kNoReport};
    Part& working = addSource(disc, {{0, 0}, {10, 0}}, {5});
    if (turned) {
      const Point pivot = working.refPoint;
      turnOver(working, pivot);
    }
    translate(working, 100, 100);
    rotate(working, working.refPoint, std::acos(-1.0) / 2);
    const std::string colour = turned ? "2" : "3";
    const std::string expected =
        "ARC\r\n  8\r\n1\r\n 62\r\n" + colour + "\r\n 10\r\n100\r\n 20\r\n105\r\n 30\r\n0.0\r\n" +
        " 40\r\n5\r\n 50\r\n" + (turned ? "90\r\n 51\r\n270" : "-90\r\n 51\r\n90") +
        "\r\n  0\r\nLINE\r\n  8\r\n1\r\n 62\r\n" + colour + "\r\n 10\r\n100\r\n 20\r\n110\r\n" +
        " 30\r\n0.0\r\n 11\r\n100\r\n 21\r\n100\r\n 31\r\n0.0\r\n  0\r\nTEXT\r\n  8\r\n2\r\n" +
        " 10\r\n100\r\n 20\r\n100\r\n 30\r\n0\r\n 40\r\n1\r\n  1\r\nSQ\r\n 50\r\n90\r\n  0\r\n";
    EXPECT_NE(layoutOf(disc).find(expected), std::string::npos);
  }
  // Far below the chord tolerance, or 300 times the chord: one arc all the same.
  for (const double radius : {0.06, 3000.0}) {
    SCOPED_TRACE(radius);
    RadiusPolyline poly;
    setPolyline(poly, {{0, 0}, {radius / 300, 0}, {0, 1}}, {radius});
    std::ostringstream out;
    DxfWriter dxf(out);
    writeColouredOutline(dxf, kOutlineLayer, kUprightColour, poly);
    EXPECT_EQ(out.str().rfind("ARC\r\n", 0), 0u);
    EXPECT_EQ(out.str().find("ARC\r\n", 1), std::string::npos);
  }
}

TEST(ExportParts, WritesEachPartAsLoadedTheLaterOfANameLastAndSkipsUnsafeNames) {
  // After a GBK lead byte, '/' and control bytes are still what they are.
  const char* unsafe[] = {"",   "a/b", "a\\b",      "\xb0/x", "\xb0\n",
                          "..", "-x",  "tab\tname", "del\x7f"};
  // GBK "P昞1": its trail byte is '\\' but belongs to the character.
  const char* safe[] = {"P\x95\\1", "\xe9\x9b\xb6\xe4\xbb\xb6-1", ".hidden"};
  std::set<std::string> expected = {"A.dxf", "SQ.dxf"};
  PackingJob job{kNoReport};
  Part& square = addSquare(job, 1, "SQ", 0, 0);
  job.trueParts.front().nameLabel = TextLabel{"SQ", 2, 3, 30, 1.5};
  // Moved and turned in the layout; the export does not follow.
  translate(square, 500, 500);
  rotate(square, Point{500, 500}, 1.0);
  addSquare(job, 2, "A", 70, 0);  // walked after the next
  addSquare(job, 3, "A", 40, 0);
  for (const char* name : safe) {
    addSquare(job, 0, name, 0, 0);
    expected.insert(std::string(name) + ".dxf");
  }
  for (const char* name : unsafe) {
    addSquare(job, 0, name, 0, 0);
  }
  test::ScratchDir scratch;
  test::NoticeRecorder notices;
  ExportParts(job);
  EXPECT_EQ(filesIn("."), expected);
  EXPECT_EQ(test::readBytes("SQ.dxf"), golden("square_export.dxf"));
  EXPECT_NE(test::readBytes("A.dxf").find("POINT\r\n  8\r\n0\r\n 10\r\n70\r\n"), std::string::npos);
  ASSERT_EQ(notices.texts().size(), std::size(unsafe));
  // Control characters are shown, not sent to the message box.
  EXPECT_EQ(notices.texts()[1], std::string(text::kLayoutFileWriteFailed) + " \"tab\\x09name\"");
  EXPECT_EQ(notices.texts()[0], std::string(text::kLayoutFileWriteFailed) + " \"del\\x7f\"");
}

TEST(WritePackingReport, WritesTenNamesALineInReverseListOrder) {
  // Squares of 10 every 20 mm: area 100 n, length 20 n - 10, density area / (length x 4000).
  for (const int parts : {0, 10, 11}) {
    SCOPED_TRACE(parts);
    PackingJob job{kNoReport};
    for (int i = parts; i >= 1; --i) {  // inserted last to first: the list runs P1 .. Pn
      addSquare(job, i, "P" + std::to_string(i), 20.0 * (i - 1), 0);
    }
    EXPECT_EQ(reportOf(job), golden("report_" + std::to_string(parts) + ".txt"));
  }
}

TEST(WritePackingReport, SelectsAndReportsConflictsAndCountsOnlyPartsInside) {
  PackingJob job{kNoReport};
  addSquare(job, 4, "D", 5995, 100);  // half across the right edge
  addSquare(job, 3, "C", 100, 0).selected = true;
  addSquare(job, 2, "B", 5, 0);  // overlaps A
  addSquare(job, 1, "A", 0, 0);
  test::NoticeRecorder notices;
  // A, B and C overlap or not, they are inside; D is not.
  EXPECT_EQ(reportOf(job), golden("report_conflicts.txt"));
  EXPECT_EQ(notices.texts(),
            (std::vector<std::string>{std::string(text::kPartsConflictInPlate),
                                      std::string(text::kWaitingPartsCrossPlate)}));
  auto part = job.workingParts.begin();  // A, B, C, D
  EXPECT_TRUE(part->selected && std::next(part)->selected && std::next(part, 3)->selected);
  EXPECT_FALSE(std::next(part, 2)->selected);
}

TEST(WriteWholeFile, ReplacesWholeThroughALinkOrThrowsTheWritersMessageKeepingWhatIsThere) {
  PackingJob job{kNoReport}, parts{kNoReport};
  for (const char* name : {"C", "B", "A"}) {
    addSquare(parts, 0, name, 0, 0);
  }
  test::ScratchDir scratch;
  test::writeBytes("out.txt", "an old and much longer content\r\n");
  fs::create_symlink("out.txt", "link.txt");
  writeWholeFile("link.txt", "new\r\n", "failed");
  EXPECT_TRUE(fs::is_symlink("link.txt"));
  fs::create_directory("folder.txt");
  for (const char* path : {"folder.txt", "missing/out.txt", "out.txt/out.txt"}) {
    EXPECT_EQ(test::errorOf([&] { writeWholeFile(path, "new", "the message"); }), "the message")
        << path;
  }
  EXPECT_EQ(test::errorOf([&] { WriteLayoutDxf(job, fs::path("folder.txt")); }),
            text::kLayoutFileWriteFailed);
  EXPECT_EQ(test::errorOf([&] { WritePackingReport(job, fs::path("folder.txt")); }),
            text::kReportFileOpenError);
  // The export stops at the part it cannot write; the files before it stay.
  fs::create_directory("B.dxf");
  EXPECT_EQ(test::errorOf([&] { ExportParts(parts); }), text::kLayoutFileWriteFailed);
  EXPECT_EQ(test::readBytes("out.txt"), "new\r\n");
  EXPECT_EQ(filesIn("."),
            (std::set<std::string>{"A.dxf", "B.dxf", "folder.txt", "link.txt", "out.txt"}));
}

// A disk that fills up half way: the write fails after the file was opened.
TEST(WriteWholeFile, AFailedWriteKeepsTheExistingFileAndLeavesNoTemporary) {
  test::ScratchDir scratch;
  const std::string old = "the layout that was there before\r\n";
  test::writeBytes("layout.dxf", old);
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    const std::string error =
        test::errorOf([] { writeWholeFile("layout.dxf", std::string(1 << 16, 'x'), "full"); });
    _exit(error == "full" ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the write did not throw";
  EXPECT_EQ(test::readBytes("layout.dxf"), old);
  EXPECT_EQ(filesIn("."), std::set<std::string>{"layout.dxf"});
}

}  // namespace
}  // namespace tarn
