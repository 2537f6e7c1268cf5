// The MIME types of dist/ as Qt's MIME database sees them beside the system's,
// in the layout that TARN_MIME_LAYOUT names:
//   system    the prefix /usr: our files and the system's types compiled into
//             one cache, the weak claim on *.txt included;
//   separate  any other prefix (~/.local, /usr/local): our types in a folder
//             searched before the system's, without the claim on *.txt.
// Each library format is recognised by its name or its contents, plain text
// stays plain text, and the desktop entry offers only types that exist.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QMimeDatabase>
#include <QMimeType>
#include <QString>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTextLibrary = "application/x-tarnpacking-text-library";
constexpr const char* kPreSrc = "application/x-tarnpacking-presrc";
constexpr const char* kPartList = "application/x-tarnpacking-part-list";
constexpr const char* kDxf = "image/vnd.dxf";
constexpr const char* kPlainText = "text/plain";
const fs::path kSystemTypes = "/usr/share/mime/packages/freedesktop.org.xml";

bool systemLayout() {
  const char* layout = std::getenv("TARN_MIME_LAYOUT");
  return layout == nullptr || std::string(layout) != "separate";
}

bool compile(const fs::path& mimeDir) {
  const std::string command =
      "PKGSYSTEM_ENABLE_FSYNC=0 update-mime-database '" + mimeDir.string() + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

// Lays the database out once, before the first QMimeDatabase of the process
// reads the search path; false when shared-mime-info is missing. The scratch
// folder is also the working directory of the tests.
bool databaseReady() {
  static std::unique_ptr<test::ScratchDir> scratch;
  static bool ready = false;
  if (scratch != nullptr) {
    return ready;
  }
  scratch = std::make_unique<test::ScratchDir>();
  if (!fs::exists(kSystemTypes)) {
    return ready;
  }
  const fs::path dist = test::sourcePath("dist");
  // The user's own MIME types must not answer for ours.
  const fs::path home = scratch->path() / "home";
  if (systemLayout()) {
    const fs::path share = scratch->path() / "share";
    fs::create_directories(share / "mime/packages");
    fs::create_directories(home);
    for (const fs::path& file :
         {kSystemTypes, dist / "tarnpacking.xml", dist / "tarnpacking-txt.xml"}) {
      fs::copy_file(file, share / "mime/packages" / file.filename());
    }
    ready = compile(share / "mime");
    setenv("XDG_DATA_DIRS", share.c_str(), 1);
  } else {
    fs::create_directories(home / "mime/packages");
    fs::copy_file(dist / "tarnpacking.xml", home / "mime/packages/tarnpacking.xml");
    ready = compile(home / "mime");
    setenv("XDG_DATA_DIRS", "/usr/share", 1);
  }
  setenv("XDG_DATA_HOME", home.c_str(), 1);
  return ready;
}

std::string mimeTypeOf(const fs::path& path) {
  return QMimeDatabase()
      .mimeTypeForFile(QString::fromStdString(path.string()))
      .name()
      .toStdString();
}

class MimeTypes : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!databaseReady()) {
      GTEST_SKIP() << "shared-mime-info (update-mime-database, " << kSystemTypes << ") is missing";
    }
  }
};

TEST_F(MimeTypes, FilesAreRecognisedByNameOrContents) {
  const std::string brackets = test::readBytes(test::sourcePath("examples/brackets.txt"));
  const std::string header = "Plate length:6000\r\nPlate width:2000\r\nPart distance:10\r\n";
  const char* txtLibrary = systemLayout() ? kTextLibrary : kPlainText;
  struct Row {
    const char* label;
    const char* fileName;
    std::string bytes;
    const char* expected;
  };
  const std::vector<Row> rows = {
      {"a text library", "brackets.txt", brackets, txtLibrary},
      {"CR LF lines and a capital extension", "PARTS.TXT", header + "NAME P1\r\n3 0 0\r\n",
       txtLibrary},
      {"a text library without extension", "brackets", brackets, kTextLibrary},
      {"NAME without its blank, as in a manual page", "manual",
       "LS(1)\n\nNAME\n       ls - list directory contents\n", kPlainText},
      {"NAME inside a line", "note", "Write your NAME here\n", kPlainText},
      {"other text called .txt", "shopping.txt", "milk\nbread\n", kPlainText},
      {"a library without parts", "empty.txt", header + "#end\r\n", kPlainText},
      {"a preSrc file", "flanges.preSrc",
       test::readBytes(test::sourcePath("examples/flanges.preSrc")), kPreSrc},
      {"a preSrc file in capitals", "FLANGES.PRESRC", "[CONFIGINFO]\r\n", kPreSrc},
      {"a part list", "panels.lst", test::readBytes(test::sourcePath("examples/panels.lst")),
       kPartList},
      {"a drawing", "angle.dxf",
       test::readBytes(test::sourcePath("examples/panels/angle-500x400-1.dxf")), kDxf},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const fs::path path = fs::current_path() / row.fileName;
    test::writeBytes(path, row.bytes);
    EXPECT_EQ(mimeTypeOf(path), row.expected);
    fs::remove(path);
  }
}

TEST_F(MimeTypes, DesktopEntryOffersKnownTypesThatTextEditorsOpenToo) {
  std::istringstream entry(test::readBytes(test::sourcePath("dist/tarnpacking.desktop")));
  std::vector<std::string> offered;
  for (std::string line; std::getline(entry, line);) {
    if (line.starts_with("MimeType=")) {
      std::istringstream list(line.substr(line.find('=') + 1));
      for (std::string name; std::getline(list, name, ';');) {
        offered.push_back(name);
      }
    }
  }
  EXPECT_EQ(offered, (std::vector<std::string>{kTextLibrary, kPreSrc, kPartList, kDxf}));
  const QMimeDatabase database;
  for (const std::string& name : offered) {
    SCOPED_TRACE(name);
    const QMimeType type = database.mimeTypeForName(QString::fromStdString(name));
    ASSERT_TRUE(type.isValid());
    if (name != kDxf) {
      EXPECT_TRUE(type.inherits(kPlainText));
    }
  }
}

}  // namespace
}  // namespace tarn
