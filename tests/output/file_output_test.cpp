#include "output/file_output.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "geometry/core_error.h"
#include "support/test_support.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

std::size_t entriesIn(const fs::path& folder) {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) {
    ++count;
  }
  return count;
}

TEST(WriteWholeFile, ReplacesALongerFileWhole) {
  test::ScratchDir scratch;
  test::writeBytes("out.txt", "an old and much longer content\r\n");
  writeWholeFile("out.txt", "new\r\n", "failed");
  EXPECT_EQ(test::readBytes("out.txt"), "new\r\n");
  EXPECT_EQ(entriesIn("."), 1u);
}

TEST(WriteWholeFile, WritesThroughALink) {
  test::ScratchDir scratch;
  test::writeBytes("real.txt", "old");
  fs::create_symlink("real.txt", "link.txt");
  writeWholeFile("link.txt", "new", "failed");
  EXPECT_TRUE(fs::is_symlink("link.txt"));
  EXPECT_EQ(test::readBytes("real.txt"), "new");
}

TEST(WriteWholeFile, TargetsThatCannotBeWrittenThrowTheGivenMessage) {
  test::ScratchDir scratch;
  fs::create_directory("folder.txt");
  test::writeBytes("folder.txt/inside", "kept");
  test::writeBytes("plain", "kept");
  for (const char* path : {"folder.txt", "missing/out.txt", "plain/out.txt"}) {
    SCOPED_TRACE(path);
    try {
      writeWholeFile(path, "new", "the message");
      ADD_FAILURE() << "no error";
    } catch (const CoreError& e) {
      EXPECT_STREQ(e.what(), "the message");
    }
  }
  EXPECT_EQ(test::readBytes("folder.txt/inside"), "kept");
  EXPECT_EQ(test::readBytes("plain"), "kept");
  EXPECT_EQ(entriesIn("."), 2u);
}

// A disk that fills up half way: the write fails after the file was opened.
TEST(WriteWholeFile, AFailedWriteKeepsTheExistingFileAndLeavesNoTemporary) {
  test::ScratchDir scratch;
  const std::string old = "the layout that was there before\r\n";
  test::writeBytes("layout.dxf", old);
  const std::string big(64 * 1024, 'x');

  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    int code = 1;
    try {
      writeWholeFile("layout.dxf", big, "failed");
    } catch (const CoreError&) {
      code = 0;
    }
    _exit(code);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the write did not throw";
  EXPECT_EQ(test::readBytes("layout.dxf"), old);
  EXPECT_EQ(entriesIn("."), 1u);
}

}  // namespace
}  // namespace tarn
