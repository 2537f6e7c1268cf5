#include "library/line_reader.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/core_error.h"
#include "geometry/texts.h"

namespace tarn {
namespace {

std::vector<std::string> allLines(const std::string& bytes, std::size_t limit) {
  std::istringstream in(bytes);
  std::vector<std::string> lines;
  while (const auto line = readLineBounded(in, limit)) {
    lines.push_back(*line);
  }
  return lines;
}

TEST(LineReader, StripsCrLfLfOrNothingButKeepsALoneCr) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(allLines("a\r\nb\nc", 98), (Lines{"a", "b", "c"}));
  EXPECT_EQ(allLines("a\r\n\r\n", 98), (Lines{"a", ""}));
  EXPECT_EQ(allLines("a\rb\r", 98), (Lines{"a\rb"}));
  EXPECT_EQ(allLines("", 98), Lines{});
  EXPECT_EQ(allLines("\n", 98), Lines{""});
}

TEST(LineReader, KeepsTheLimitAndDropsTheRestOfTheLineOnly) {
  std::istringstream in(std::string(5000, 'x') + "\r\nnext\r\n");
  bool truncated = false;
  const auto first = readLineBounded(in, 98, &truncated);
  ASSERT_TRUE(first);
  EXPECT_EQ(*first, std::string(98, 'x'));
  EXPECT_TRUE(truncated);
  EXPECT_EQ(readLineBounded(in, 98, &truncated), "next");
  EXPECT_FALSE(truncated);
  // Exactly the limit before CR LF is not cut.
  std::istringstream exact(std::string(98, 'y') + "\r\n");
  EXPECT_EQ(readLineBounded(exact, 98, &truncated), std::string(98, 'y'));
  EXPECT_FALSE(truncated);
}

TEST(LineReader, HandsTheLastLineBackOnceAndCountsLines) {
  std::istringstream in("one\ntwo\n");
  LineReader file(in, 98, "f.txt");
  EXPECT_EQ(file.next(), "one");
  EXPECT_EQ(file.next(), "two");
  EXPECT_EQ(file.lineNumber(), 2);
  file.putBack();
  file.putBack();
  EXPECT_EQ(file.lineNumber(), 1);
  EXPECT_FALSE(file.atEnd());
  EXPECT_EQ(file.next(), "two");
  EXPECT_TRUE(file.atEnd());
  EXPECT_EQ(file.next(), std::nullopt);
}

TEST(ParseNumbers, FollowStrtodAndAtoiInTheCLocale) {
  struct Row {
    std::string text;
    double value;
    std::size_t used;
  };
  const Row rows[] = {
      {"  12abc", 12.0, 4}, {"", 0.0, 0},    {"abc", 0.0, 0}, {"\t-3.5e2 7", -350.0, 7},
      {"+.5", 0.5, 3},      {"+-5", 0.0, 0}, {"1,5", 1.0, 1}, {"-0", -0.0, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    std::size_t used = 99;
    EXPECT_EQ(parseDouble(row.text, &used), row.value);
    EXPECT_EQ(used, row.used);
  }
  EXPECT_TRUE(std::isnan(parseDouble("nan")));
  EXPECT_TRUE(std::isinf(parseDouble("-inf")));
  // Out of the double range: not a usable number rather than a silent 0 or HUGE_VAL.
  EXPECT_TRUE(std::isnan(parseDouble("1e999")));

  EXPECT_EQ(parseInt(" 42.9"), 42);
  EXPECT_EQ(parseInt("-7x"), -7);
  EXPECT_EQ(parseInt("x7"), 0);
  EXPECT_EQ(parseInt("99999999999999999999"), INT_MAX);
  EXPECT_EQ(parseInt("-99999999999"), INT_MIN);
}

TEST(UsableNumber, RejectsNonFiniteAndAbsurdValues) {
  EXPECT_TRUE(usableNumber(-1e7));
  EXPECT_TRUE(usableNumber(0.0));
  EXPECT_FALSE(usableNumber(1.0000001e7));
  EXPECT_FALSE(usableNumber(std::nan("")));
  EXPECT_FALSE(usableNumber(-INFINITY));
}

TEST(ReadHeaderValue, ReadsFromTheOffsetAndNamesTheLineOfAnUnusableNumber) {
  std::istringstream in("Plate length:6000\nPlate width\ninf-label...:inf\n");
  LineReader file(in, 98, "lib.txt");
  EXPECT_EQ(readHeaderValue(file, 13), 6000.0);
  EXPECT_EQ(readHeaderValue(file, 12), 0.0);  // the line ends before the offset
  try {
    readHeaderValue(file, 13);
    FAIL() << "no error";
  } catch (const CoreError& e) {
    EXPECT_EQ(std::string(e.what()),
              std::string(text::kNumberUnusable) + ": 文件 (file) \"lib.txt\", 行 (line) 3");
  }
  EXPECT_EQ(readHeaderValue(file, 13), 0.0);  // no line left
}

}  // namespace
}  // namespace tarn
