#include "library/part_list.h"

#include <gtest/gtest.h>

#include <sstream>

#include "geometry/texts.h"
#include "job/placed_part.h"
#include "library/dxf_import.h"
#include "library/dxf_problem.h"
#include "library/dxf_reader.h"
#include "library/library_loader.h"
#include "library_test_util.h"
#include "output/layout_dxf.h"

namespace tarn {
namespace {

using test::libraryData;
using test::Texts;

TEST(ReadPartListFile, SkipsAnUnreadableDrawingAndCountsIdsOfTheReadOnes) {
  test::NoticeRecorder notices;
  test::MemoryJob m;
  readPartListFile(m.job, libraryData("partlist/three.lst"));
  EXPECT_EQ(m.job.plateExtents.ymax, 1000.0);
  // b.DXF unreadable, sub/ not searched, newest first; a part without a "name:" text is
  // named after its file. The skipped drawing's failure is in the drawing job suite.
  EXPECT_EQ(test::namesOf(m.job.workingParts), (Texts{"c#1", "a#0"}));
  EXPECT_TRUE(m.job.sources.empty());  // both read as they always were
  EXPECT_EQ(notices.texts().at(1),
            drawingMessage(text::kDxfNoOutline, libraryData("partlist/three") / "b.DXF"));
}

TEST(ReadPartListFile, ReadsDrawingsAsCadProgramsSaveThemPartByPart) {
  test::NoticeRecorder notices;
  test::MemoryJob m;
  readPartListFile(m.job, libraryData("partlist/drawings.lst"));
  // Ids count parts in the drawings' name order; the list is newest first.
  Texts names = test::namesOf(m.job.workingParts);
  ASSERT_EQ(names.size(), 20u);
  EXPECT_EQ(
      (Texts{names[19], names[18], names[17], names[12], names[0]}),
      (Texts{"PLATE#0", "r12_gaps#1", "SLOT-1#2", "r2000_part_in_hole-2#7", "r2018_spline-2#19"}));
  // Only the problems are told, and their drawings still give their parts.
  ASSERT_EQ(notices.texts().size(), 2u);
  EXPECT_TRUE(notices.texts()[0].starts_with(text::kDxfOpenContour));
  EXPECT_TRUE(notices.texts()[1].starts_with(text::kDxfBlockCycle));

  // The two classic drawings keep readDxfPart's geometry and have no source;
  // every imported part has one, under its own id, with its net area.
  Part classic;
  ASSERT_TRUE(readDxfPart(classic, libraryData("drawings/r12_classic.dxf")));
  const Part& plate = m.job.workingParts.back();
  EXPECT_EQ(test::coordinates(plate.outer.points), test::coordinates(classic.outer.points));
  EXPECT_EQ(test::namesOf(m.job.sources).size(), 18u);
  for (const Part& part : m.job.workingParts) {
    SCOPED_TRACE(part.nameLabel.text);
    const PartSource* source = findSource(m.job, part.id);
    ASSERT_EQ(source != nullptr, part.id >= 2);
    if (source != nullptr) {
      EXPECT_EQ(source->nameLabel.text, part.nameLabel.text);
      EXPECT_NEAR(source->area, part.area, 1e-9 * part.area);
    }
  }
  EXPECT_EQ(m.job.partDrawings.at(7), libraryData("partlist/../drawings/r2000_part_in_hole.dxf"));
}

TEST(OpenLibrary, APartListOfModernDrawingsLoadsEachPartOnceAndDrawsItsArcs) {
  test::NoticeRecorder notices;
  test::MemoryJob m;
  openLibrary(m.job, libraryData("partlist/drawings.lst"), LibraryFormat::PartListFile);
  ASSERT_EQ(m.job.trueParts.count(), 20);
  std::ostringstream drawing;
  WriteLayoutDxf(m.job, drawing);
  const std::string dxf = drawing.str();
  // Each part's name once on the names layer: none written twice, from its
  // source and again from its true outline.
  std::size_t names = 0;
  for (std::size_t at = dxf.find("TEXT\r\n  8\r\n2\r\n"); at != std::string::npos;
       at = dxf.find("TEXT\r\n  8\r\n2\r\n", at + 1)) {
    ++names;
  }
  EXPECT_EQ(names, 20u);
  // The slot's half circles and the bracket's corners stay arcs.
  EXPECT_NE(dxf.find("ARC\r\n  8\r\n1\r\n"), std::string::npos);
}

TEST(ReadPartListFile, LooksForARelativeFolderInTheJobsFolderThenBesideTheList) {
  test::ScratchDir scratch;
  // The working directory is never searched: its copy of the folder holds c.dxf alone.
  std::filesystem::create_directories("three");
  std::filesystem::copy_file(libraryData("partlist/three/c.dxf"), "three/c.dxf");
  std::filesystem::create_directories("out/three");
  std::filesystem::copy_file(libraryData("partlist/three/a.dxf"), "out/three/a.dxf");
  const struct {
    const char* folder;
    int parts;
  } rows[] = {{"out", 1}, {"elsewhere", 2}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.folder);
    test::NoticeRecorder notices;
    test::MemoryJob m;
    m.job.outputFolder = scratch.path() / row.folder;
    readPartListFile(m.job, libraryData("partlist/three.lst"));
    EXPECT_EQ(m.job.workingParts.count(), row.parts);
  }
}

}  // namespace
}  // namespace tarn
