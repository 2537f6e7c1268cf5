#include "geometry/texts.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <string_view>

#include "geometry/text_label.h"
#include "tests/support/test_support.h"

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
      {"utf-8 at the bound", "a" + times(ling, 16), "a" + times(ling, 16)},
      {"utf-8 over the bound", times(ling, 17), times(ling, 16)},
      {"utf-8 four-byte", times(smile, 13), times(smile, 12)},
      {"gbk at the bound", "A" + times(lingGbk, 24), "A" + times(lingGbk, 24)},
      {"gbk after two ascii", "AB" + times(lingGbk, 24), "AB" + times(lingGbk, 23)},
      {"gbk low trail bytes", times(lowTrail, 25), times(lowTrail, 24)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    TextLabel label;
    setLabelText(label, row.text);
    EXPECT_EQ(label.text, row.expected);
  }
}

TEST(PrintableText, KeepsUtf8AndEscapesOtherBytes) {
  EXPECT_EQ(printableText("P\xc1\xe3Q"), "P\\xc1\\xe3Q");  // GBK
  EXPECT_EQ(printableText("\xc0\xaf"), "\\xc0\\xaf");      // overlong UTF-8
  EXPECT_EQ(printableText("\xe9\x9b\xb6\t\x7f"), "\xe9\x9b\xb6\\x09\\x7f");
}

// The GBK bytes are written by hand; iconv checks them against their UTF-8 forms.
#define TARN_GBK(name) \
  { #name, text::name }

TEST(Texts, GbkFileTextsEncodeTheirChineseForms) {
  // clang-format off
  const std::map<std::string, std::string_view> gbk = {
      TARN_GBK(kGbkYear), TARN_GBK(kGbkMonth), TARN_GBK(kGbkDay), TARN_GBK(kGbkHour),
      TARN_GBK(kGbkMinute), TARN_GBK(kGbkSecond), TARN_GBK(kGbkArcAlarmStart),
      TARN_GBK(kGbkArcAlarmEnd), TARN_GBK(kGbkDistanceDetail), TARN_GBK(kGbkTwiceRadius),
      TARN_GBK(kGbkArcNotBuilt), TARN_GBK(kGbkArcBuildFailed), TARN_GBK(kGbkRadiusDetail),
      TARN_GBK(kGbkBelowChordTol), TARN_GBK(kGbkRadiusTooSmall), TARN_GBK(kGbkBadVertexCount),
      TARN_GBK(kGbkErrorsInPart), TARN_GBK(kGbkRepairNeeded), TARN_GBK(kGbkRepairDone),
      TARN_GBK(kGbkRepairFailed), TARN_GBK(kGbkTimingMilliseconds), TARN_GBK(kGbkTimingSeconds),
      TARN_GBK(kGbkPackedCount), TARN_GBK(kGbkPackedNames), TARN_GBK(kGbkPartWithoutOutline),
      TARN_GBK(kGbkBadNumber), TARN_GBK(kGbkNetAreaNotPositive), TARN_GBK(kGbkUnplacedCount),
      TARN_GBK(kGbkUnplacedNames), TARN_GBK(kGbkLargerThanPlate), TARN_GBK(kGbkNoRoomOnPlate),
      TARN_GBK(kGbkNoRoomOnEmptyPlate), TARN_GBK(kGbkPlateLimitReached),
      TARN_GBK(kGbkLayoutStopped)};
  // clang-format on
  // One "name<TAB>UTF-8 form" a line.
  std::istringstream forms(test::readBytes(test::dataPath("geometry/gbk_texts.txt")));
  std::size_t checked = 0;
  for (std::string line; std::getline(forms, line); ++checked) {
    SCOPED_TRACE(line);
    const std::size_t tab = line.find('\t');
    EXPECT_EQ(std::string(gbk.at(line.substr(0, tab))), test::gbkOf(line.substr(tab + 1)));
  }
  EXPECT_EQ(checked, gbk.size());
}

}  // namespace
}  // namespace tarn
