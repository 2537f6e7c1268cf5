#include "geometry/text_label.h"

#include <gtest/gtest.h>

#include <string>

namespace tarn {
namespace {

std::string times(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) {
    out += s;
  }
  return out;
}

TEST(TruncateText, KeepsTheFieldBoundWithoutCuttingACharacter) {
  struct Row {
    const char* label;
    std::string text, expected;
  };
  const std::string ling = "\xe9\x9b\xb6";       // UTF-8 '零'
  const std::string lingGbk = "\xc1\xe3";        // GBK '零'
  const std::string lowTrail = "\x81\x40";       // a GBK pair with an ASCII trail byte
  const std::string smile = "\xf0\x9f\x98\x80";  // four UTF-8 bytes
  const Row rows[] = {
      {"short", "abc", "abc"},
      {"ascii", std::string(60, 'x'), std::string(49, 'x')},
      {"utf-8 at the bound", "a" + times(ling, 16), "a" + times(ling, 16)},
      {"utf-8 over the bound", times(ling, 17), times(ling, 16)},
      {"utf-8 four-byte", times(smile, 13), times(smile, 12)},
      {"gbk at the bound", "A" + times(lingGbk, 24), "A" + times(lingGbk, 24)},
      {"gbk after two ascii", "AB" + times(lingGbk, 24), "AB" + times(lingGbk, 23)},
      {"gbk low trail bytes", times(lowTrail, 25), times(lowTrail, 24)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(truncateText(row.text, kLabelTextBytes), row.expected);
    TextLabel label;
    setLabelText(label, row.text);
    EXPECT_EQ(label.text, row.expected);
  }
  EXPECT_EQ(TextLabel{}.text, "empty text!");
  EXPECT_EQ(TextLabel{}.height, 10);
}

TEST(PrintableText, KeepsUtf8AndEscapesOtherBytes) {
  struct Row {
    const char* label;
    std::string bytes, shown;
  };
  const Row rows[] = {
      {"ascii", "part-1 a", "part-1 a"},
      {"utf-8", "\xe9\x9b\xb6\xe4\xbb\xb6", "\xe9\x9b\xb6\xe4\xbb\xb6"},
      {"gbk", "P\xc1\xe3Q", "P\\xc1\\xe3Q"},
      {"utf-8 cut short", "a\xe9\x9b", "a\\xe9\\x9b"},
      {"overlong utf-8", "\xc0\xaf", "\\xc0\\xaf"},
      {"control bytes in utf-8", "\xe9\x9b\xb6\t\x7f", "\xe9\x9b\xb6\\x09\\x7f"},
      {"empty", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(printableText(row.bytes), row.shown);
  }
}

}  // namespace
}  // namespace tarn
