#include "library/line_reader.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>
#include <vector>

namespace tarn {
namespace {

TEST(ReadLineBounded, StripsEachKindOfLineEndAndCutsOnlyTheLongLine) {
  const auto lines = [](const std::string& bytes, std::size_t limit) {
    std::istringstream in(bytes);
    std::vector<std::string> result;
    while (const auto line = readLineBounded(in, limit)) {
      result.push_back(*line);
    }
    return result;
  };
  using Lines = std::vector<std::string>;
  EXPECT_EQ(lines("a\r\nb\nc", 98), (Lines{"a", "b", "c"}));
  EXPECT_EQ(lines("a\nb\r", 98), (Lines{"a", "b"}));  // a CR that ends the input ends the line
  EXPECT_EQ(lines("a\rb\r\n\r\n", 98), (Lines{"a\rb", ""}));  // a lone CR is content
  EXPECT_EQ(lines("", 98), Lines{});
  EXPECT_EQ(lines(std::string(5000, 'x') + "\r\n" + std::string(3, 'y') + "\r\n", 3),
            (Lines{"xxx", "yyy"}));  // exactly the limit before CR LF is not cut
}

TEST(ParseNumbers, FollowStrtodAndAtoiInTheCLocale) {
  struct Row {
    const char* text;
    double value;
    std::size_t used;
  };
  const Row rows[] = {
      {"  12abc", 12.0, 4}, {"", 0.0, 0},    {"abc", 0.0, 0}, {"\t-3.5e2 7", -350.0, 7},
      {"+.5", 0.5, 3},      {"+-5", 0.0, 0}, {"1,5", 1.0, 1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    std::size_t used = 99;
    EXPECT_EQ(parseDouble(row.text, &used), row.value);
    EXPECT_EQ(used, row.used);
  }
  EXPECT_EQ(parseInt(" 42.9"), 42);
  EXPECT_EQ(parseInt("99999999999999999999"), INT_MAX);
  EXPECT_EQ(parseInt("-99999999999"), INT_MIN);
}

}  // namespace
}  // namespace tarn
