#pragma once

// The command line's own texts: its help, its summary and the English glosses
// printed after the core's Chinese messages.

#include <string_view>

namespace tarn::cli::text {

inline constexpr std::string_view kProgramName = "tarnpack";
inline constexpr std::string_view kDescription =
    "tarnpack: lays out a part library on its plate and writes the layout drawing (DXF), "
    "a picture of it (SVG) and the packing report.";
inline constexpr std::string_view kFooter =
    "Exit status: 0 done, 1 a file could not be read or written, 2 a usage error.\n"
    "Without --format: a name ending in .preSrc is a preSrc file; a file with a line that "
    "starts with NAME or #end is a text library; anything else is a part list file.\n";

inline constexpr std::string_view kLayoutSvgName = "layout.svg";
inline constexpr std::string_view kLayoutDxfName = "layout.dxf";
inline constexpr std::string_view kReportName = "Report.txt";
// Written by the layout drivers into the working directory.
inline constexpr std::string_view kTimingFileName = "排样计算时间.txt";

// The CLI's own failures, worded as the core words its own.
inline constexpr std::string_view kOutputFolderFailed = "输出文件夹无法创建!";
inline constexpr std::string_view kUnexpectedFailureGloss = "unexpected failure";
inline constexpr std::string_view kSeeHelp = "Run with --help for more information.";

// English glosses of the core's messages, by the message's start.
struct Gloss {
  std::string_view messageStart;
  std::string_view english;
};

inline constexpr Gloss kGlosses[] = {
    {"排样错误报告文件输出失败!", "cannot write the error report"},
    {"包围盒大小为零!", "the plate has a zero length or width"},
    {"板数据错误!", "the plate size is negative"},
    {"零件数据文件读取失败!", "cannot read the part library"},
    {"排样信息文件读取失败!", "cannot read the part list file"},
    {"零件\"", "a part drawing could not be read and was skipped"},
    {"点链表数目至少为4!", "a contour of a drawing has too few points"},
    {"点链表首尾不等，无法构成多边形面域!", "a contour of a drawing is not closed"},
    {"两圆求交失败!", "an arc cannot be built from its end points and radius"},
    {"弓高误差错误!", "an arc or circle is smaller than the chord tolerance"},
    {"圆弧划分角度错误!", "an arc cannot be divided"},
    {"分解角度detangle>120度", "a circle is too small to be divided"},
    {"圆分解角度detangle错误!", "a circle cannot be divided"},
    {"记录排样计算时间的文件输出失败!", "cannot write the timing file"},
    {"排样文件输出失败!", "cannot write a layout or part file"},
    {"板内零件排样冲突!", "parts on the plate overlap"},
    {"待排样零件与板冲突!", "a waiting part lies across the plate edge"},
    {"输出文件夹无法创建!", "cannot create or enter the output folder"},
};

}  // namespace tarn::cli::text
