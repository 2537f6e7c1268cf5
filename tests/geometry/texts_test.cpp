#include "geometry/texts.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <string_view>

namespace tarn {
namespace {

// The GBK bytes are written by hand; iconv checks them against their UTF-8 form.
std::string utf8ToGbk(std::string_view utf8) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::string in(utf8);
  std::string out(in.size() * 2 + 4, '\0');
  char* inPtr = in.data();
  char* outPtr = out.data();
  std::size_t inLeft = in.size();
  std::size_t outLeft = out.size();
  const std::size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  EXPECT_NE(done, static_cast<std::size_t>(-1)) << utf8;
  out.resize(out.size() - outLeft);
  return out;
}

TEST(Texts, GbkFileTextsEncodeTheirChineseForms) {
  struct Row {
    std::string_view gbk;
    std::string_view utf8;
  };
  const Row rows[] = {
      {text::kGbkYear, "年"},
      {text::kGbkMonth, "月"},
      {text::kGbkDay, "日, "},
      {text::kGbkHour, "时"},
      {text::kGbkMinute, "分"},
      {text::kGbkSecond, "秒"},
      {text::kGbkArcAlarmStart, "\t报警圆弧:起点("},
      {text::kGbkArcAlarmEnd, "),终点("},
      {text::kGbkDistanceDetail, "错误细节:起讫点距离d="},
      {text::kGbkTwiceRadius, "超过两倍半径的绝对值=2*|R|=2*"},
      {text::kGbkArcNotBuilt, ", 圆弧无法生成!"},
      {text::kGbkArcBuildFailed, ", 半径绝对值太小, 圆弧生成失败!"},
      {text::kGbkRadiusDetail, "错误细节:圆弧半径的绝对值="},
      {text::kGbkBelowChordTol, "<弓高误差="},
      {text::kGbkRadiusTooSmall, ", 半径绝对值太小!"},
      {text::kGbkBadVertexCount, "\t某个面域点的数目<=0, 错误!"},
      {text::kGbkErrorsInPart, "以上错误发生于零件:"},
      {text::kGbkRepairNeeded, "圆弧半径绝对值|R|需要适当增加，以连接零件轮廓某段起讫点。"},
      {text::kGbkRepairDone, "圆弧半径绝对值|R|增加了0.1mm，问题得到修正。"},
      {text::kGbkRepairFailed, "圆弧半径绝对值|R|增加了0.1mm，依然无法连接零件轮廓某段起讫点！"},
      {text::kGbkTimingMilliseconds, text::kTimingMilliseconds},
      {text::kGbkTimingSeconds, text::kTimingSeconds},
      {text::kGbkPackedCount, "已排样零件数量="},
      {text::kGbkPackedNames, "已排样零件:"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.utf8));
    EXPECT_EQ(std::string(row.gbk), utf8ToGbk(row.utf8));
  }
}

}  // namespace
}  // namespace tarn
