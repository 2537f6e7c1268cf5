#pragma once

// Every user-visible text of the program. Messages for the screen (message
// boxes, errors) are UTF-8; texts written into files are GBK bytes, as the
// files have always been read on Chinese Windows systems.

#include <string_view>

namespace tarn::text {

// Message box captions.
inline constexpr std::string_view kWarningCaption = "Warning!";
inline constexpr std::string_view kNoticeCaption = "注意!";

// Geometry kernel.
inline constexpr std::string_view kArcStepError = "圆弧划分角度错误!";
inline constexpr std::string_view kChordHeightError = "弓高误差错误!";
inline constexpr std::string_view kCircleStepTooLarge = "分解角度detangle>120度,圆无法转换为多边形!";
inline constexpr std::string_view kCircleStepError = "圆分解角度detangle错误!";
inline constexpr std::string_view kCirclesDoNotMeet = "两圆求交失败!";
inline constexpr std::string_view kChainTooShort = "点链表数目至少为4!";
inline constexpr std::string_view kChainNotClosed = "点链表首尾不等，无法构成多边形面域!";
// Assigning an outline that has no vertices (a programming error upstream).
inline constexpr std::string_view kEmptyOutline = "面域没有顶点! (outline without vertices)";

// Job, plate and library input.
inline constexpr std::string_view kErrorReportWriteFailed = "排样错误报告文件输出失败!";
inline constexpr std::string_view kPlateSizeZero = "包围盒大小为零!";
inline constexpr std::string_view kPlateDataError = "板数据错误!";
inline constexpr std::string_view kPartFileReadFailed = "零件数据文件读取失败!";
inline constexpr std::string_view kListFileReadFailed = "排样信息文件读取失败!";
// "零件" + '"' + path + '"' + "读取失败!"
inline constexpr std::string_view kDrawingReadFailedPrefix = "零件\"";
inline constexpr std::string_view kDrawingReadFailedSuffix = "\"读取失败!";
// A part library that cannot be read on: the message, then where (file, line, part).
inline constexpr std::string_view kLoopCountError =
    "零件轮廓行数错误! (a loop needs a line count of 2 or more)";
inline constexpr std::string_view kLoopCutShort =
    "零件轮廓行数不足! (a loop ends before the lines its count announces)";
inline constexpr std::string_view kNumberUnusable =
    "数值无效! (a number that is not finite or beyond 10,000,000)";
inline constexpr std::string_view kFolderPathTooLong = "路径过长! (the folder path is too long)";
inline constexpr std::string_view kWhereFile = ": 文件 (file) \"";
inline constexpr std::string_view kWhereLine = "\", 行 (line) ";
inline constexpr std::string_view kWherePart = ", 零件 (part) \"";
inline constexpr std::string_view kWhereEnd = "\"";
// Error report lines of the readers (GBK).
inline constexpr std::string_view kGbkArcAlarmClose = "), ";
inline constexpr std::string_view kGbkPartWithoutOutline = "\t\xc1\xe3\xbc\xfe\xc3\xbb\xd3\xd0\xc2\xd6\xc0\xaa, \xb4\xed\xce\xf3!";  // '\t零件没有轮廓, 错误!'
inline constexpr std::string_view kGbkBadNumber = "\t\xb6\xa5\xb5\xe3\xd7\xf8\xb1\xea\xbb\xf2\xd4\xb2\xbb\xa1\xb0\xeb\xbe\xb6\xca\xfd\xd6\xb5\xce\xde\xd0\xa7, \xb4\xed\xce\xf3!";  // '\t顶点坐标或圆弧半径数值无效, 错误!'
inline constexpr std::string_view kGbkNetAreaNotPositive = "\t\xc1\xe3\xbc\xfe\xbe\xbb\xc3\xe6\xbb\xfd<=0, \xb4\xed\xce\xf3!";  // '\t零件净面积<=0, 错误!'
inline constexpr std::string_view kNumberCut = "数值被截断! (a number runs past the line length limit)";
// Drawings read by the DXF import: the message, then where (file, line or place).
inline constexpr std::string_view kDxfUnreadable = "图纸无法读取! (the drawing cannot be read)";
inline constexpr std::string_view kDxfBinary =
    "不支持二进制DXF! (binary DXF is not read; save the drawing as ASCII DXF)";
inline constexpr std::string_view kDxfNotText = "图纸不是DXF文本! (not an ASCII DXF drawing)";
inline constexpr std::string_view kDxfBadGroupCode = "DXF组码错误! (a group code is not a number)";
inline constexpr std::string_view kDxfTruncated =
    "图纸不完整! (the drawing ends before its last section is closed)";
inline constexpr std::string_view kDxfTooLarge = "图纸过大! (the drawing is larger than 256 MB)";
inline constexpr std::string_view kDxfTooComplex =
    "图纸过于复杂! (more than 5,000,000 edges, block copies or outline tests)";
inline constexpr std::string_view kDxfOpenContour = "轮廓未闭合! (open contour)";
inline constexpr std::string_view kDxfGapFrom = ", 缺口 (gap) ";
inline constexpr std::string_view kDxfGapTo = " - ";
inline constexpr std::string_view kDxfMoreOpenContours = "其他未闭合轮廓 (further open contours): ";
inline constexpr std::string_view kDxfCrowdedEnds =
    "端点过于密集! (too many entity ends within the joining tolerance)";
inline constexpr std::string_view kDxfSkippedEntities =
    "图元被忽略! (entities of kinds that are not part outlines were left out)";
inline constexpr std::string_view kDxfUnusableNumber =
    "图元数值无效! (an entity with a number that is not finite or too large was left out)";
inline constexpr std::string_view kDxfNotPlanar =
    "图元不在XY平面! (an entity not drawn in the XY plane was left out)";
inline constexpr std::string_view kDxfBadSpline =
    "样条曲线无效! (a spline whose degree, knots and control points disagree was left out)";
inline constexpr std::string_view kDxfFitPointSpline =
    "样条曲线只有拟合点! (a spline without control points was drawn through its fit points)";
inline constexpr std::string_view kDxfBlockCycle = "图块插入自身! (a block that inserts itself)";
inline constexpr std::string_view kDxfBlockMissing = "图块未定义! (an INSERT of a block not defined)";
inline constexpr std::string_view kDxfBlockTooDeep =
    "图块嵌套过深! (blocks nested more than 32 deep were left out)";
inline constexpr std::string_view kDxfUnknownUnit =
    "图纸单位未知! (unknown $INSUNITS, lengths read as millimetres)";
inline constexpr std::string_view kDxfNoOutline = "图纸没有封闭轮廓! (no closed outline)";
inline constexpr std::string_view kDxfNoNetArea =
    "零件净面积<=0! (a part whose holes leave it no area, or too small for the 1 mm chord "
    "tolerance, was left out)";
inline constexpr std::string_view kDxfWhereBlock = ", 图块 (block) \"";
inline constexpr std::string_view kDxfWhereAt = ", 位置 (at) ";
// Jobs from drawings.
inline constexpr std::string_view kDrawingJobBadPlate =
    "板尺寸错误! (the plate length and width must be positive numbers up to 10,000,000 mm)";
inline constexpr std::string_view kDrawingJobBadGap =
    "零件间距错误! (the part gap must be a number from 0 to 10,000,000 mm)";
inline constexpr std::string_view kDrawingJobBadCount =
    "零件数量错误! (a drawing's count must be a whole number from 1 to 10,000)";
inline constexpr std::string_view kDrawingJobTooManyParts =
    "零件数量过多! (a job from drawings holds at most 10,000 parts, copies counted)";
// library: add new texts of the input readers here

// Nesting engine.
inline constexpr std::string_view kTimingFileWriteFailed = "记录排样计算时间的文件输出失败!";
inline constexpr std::string_view kTimingMilliseconds = "排样计算时间为:%.2lf 毫秒";
inline constexpr std::string_view kTimingSeconds = "排样计算时间为:%.2lf 秒";
// A packing point distance that is not positive or makes too large a grid.
inline constexpr std::string_view kBadPackingPointDistance =
    "排样点距离错误! (the packing point distance must be positive and give at most 50,000,000 "
    "packing points)";
// Follows kBadPackingPointDistance: the distance refused and the plate (printf format).
inline constexpr std::string_view kBadPackingPointDistanceDetail = ": %g mm on a %g x %g mm plate";
inline constexpr std::string_view kTimingFileName = "排样计算时间.txt";  // in a job's output folder
inline constexpr std::string_view kBadRotationNumber =
    "零件旋转角个数错误! (the rotation number may be at most 360)";
// nesting: add new texts of the engine here

// Output.
inline constexpr std::string_view kLayoutFileWriteFailed = "排样文件输出失败!";
inline constexpr std::string_view kReportFileOpenError = "report file open error!";
inline constexpr std::string_view kPartsConflictInPlate = "板内零件排样冲突!";
inline constexpr std::string_view kWaitingPartsCrossPlate = "待排样零件与板冲突!";
// Texts of the layout drawing (printf formats) and the report headings, written into files.
inline constexpr std::string_view kDxfPlateSize = "Length=%-5g, Width=%-5g";
inline constexpr std::string_view kDxfUtilisation = "PackingLength=%-5g, MaterialUtilization=%-5.2lf%%";
inline constexpr std::string_view kDxfUtilisationUnknown = "PackingLength=%-5g, MaterialUtilization Unknown";
inline constexpr std::string_view kDxfPackedParts = "Packed Parts Number=%d,Packed Parts Area=%-g";
inline constexpr std::string_view kReportPackedLength = "Packed length:";
inline constexpr std::string_view kReportDensity = "Packing density:";
inline constexpr std::string_view kReportDensityUnknown = "Unknown";
inline constexpr std::string_view kReportPackedArea = "Area of all parts:";
// output: add new texts of the writers here

// Plate sets: headings of the set's summary report, and why a part stayed off
// every plate (written into files).
inline constexpr std::string_view kSetReportPlates = "Plates:";
inline constexpr std::string_view kSetReportPlateSize = "Plate size:";
inline constexpr std::string_view kSetReportPlate = "Plate ";
inline constexpr std::string_view kSetReportRemnant = "Remnant:";
inline constexpr std::string_view kGbkUnplacedCount = "\xce\xb4\xc5\xc5\xd1\xf9\xc1\xe3\xbc\xfe\xca\xfd\xc1\xbf=";  // '未排样零件数量='
inline constexpr std::string_view kGbkUnplacedNames = "\xce\xb4\xc5\xc5\xd1\xf9\xc1\xe3\xbc\xfe:";  // '未排样零件:'
inline constexpr std::string_view kGbkLargerThanPlate = "\xb3\xdf\xb4\xe7\xb4\xf3\xd3\xda\xb0\xe5";  // '尺寸大于板'
inline constexpr std::string_view kGbkNoRoomOnPlate = "\xb0\xe5\xc9\xcf\xce\xde\xbf\xd5\xce\xbb";  // '板上无空位'
inline constexpr std::string_view kGbkNoRoomOnEmptyPlate = "\xbf\xd5\xb0\xe5\xc9\xcf\xd2\xb2\xb7\xc5\xb2\xbb\xcf\xc2";  // '空板上也放不下'
inline constexpr std::string_view kGbkPlateLimitReached = "\xd2\xd1\xb4\xef\xd7\xee\xb4\xf3\xb0\xe5\xca\xfd";  // '已达最大板数'
inline constexpr std::string_view kGbkLayoutStopped = "\xc5\xc5\xd1\xf9\xb1\xbb\xd6\xd0\xd6\xb9";  // '排样被中止'
// plates: add new texts of the plate sets here

// Every line written into a file ends so, on every platform.
inline constexpr std::string_view kLineEnd = "\r\n";

// GBK texts written into files.
inline constexpr std::string_view kGbkYear = "\xc4\xea";  // '年'
inline constexpr std::string_view kGbkMonth = "\xd4\xc2";  // '月'
inline constexpr std::string_view kGbkDay = "\xc8\xd5, ";  // '日, '
inline constexpr std::string_view kGbkHour = "\xca\xb1";  // '时'
inline constexpr std::string_view kGbkMinute = "\xb7\xd6";  // '分'
inline constexpr std::string_view kGbkSecond = "\xc3\xeb";  // '秒'
inline constexpr std::string_view kGbkArcAlarmStart = "\t\xb1\xa8\xbe\xaf\xd4\xb2\xbb\xa1:\xc6\xf0\xb5\xe3(";  // '\t报警圆弧:起点('
inline constexpr std::string_view kGbkArcAlarmEnd = "),\xd6\xd5\xb5\xe3(";  // '),终点('
inline constexpr std::string_view kGbkDistanceDetail = "\xb4\xed\xce\xf3\xcf\xb8\xbd\xda:\xc6\xf0\xc6\xfd\xb5\xe3\xbe\xe0\xc0\xeb" "d=";  // '错误细节:起讫点距离d='
inline constexpr std::string_view kGbkTwiceRadius = "\xb3\xac\xb9\xfd\xc1\xbd\xb1\xb6\xb0\xeb\xbe\xb6\xb5\xc4\xbe\xf8\xb6\xd4\xd6\xb5=2*|R|=2*";  // '超过两倍半径的绝对值=2*|R|=2*'
inline constexpr std::string_view kGbkArcNotBuilt = ", \xd4\xb2\xbb\xa1\xce\xde\xb7\xa8\xc9\xfa\xb3\xc9!";  // ', 圆弧无法生成!'
inline constexpr std::string_view kGbkArcBuildFailed = ", \xb0\xeb\xbe\xb6\xbe\xf8\xb6\xd4\xd6\xb5\xcc\xab\xd0\xa1, \xd4\xb2\xbb\xa1\xc9\xfa\xb3\xc9\xca\xa7\xb0\xdc!";  // ', 半径绝对值太小, 圆弧生成失败!'
inline constexpr std::string_view kGbkRadiusDetail = "\xb4\xed\xce\xf3\xcf\xb8\xbd\xda:\xd4\xb2\xbb\xa1\xb0\xeb\xbe\xb6\xb5\xc4\xbe\xf8\xb6\xd4\xd6\xb5=";  // '错误细节:圆弧半径的绝对值='
inline constexpr std::string_view kGbkBelowChordTol = "<\xb9\xad\xb8\xdf\xce\xf3\xb2\xee=";  // '<弓高误差='
inline constexpr std::string_view kGbkRadiusTooSmall = ", \xb0\xeb\xbe\xb6\xbe\xf8\xb6\xd4\xd6\xb5\xcc\xab\xd0\xa1!";  // ', 半径绝对值太小!'
inline constexpr std::string_view kGbkBadVertexCount = "\t\xc4\xb3\xb8\xf6\xc3\xe6\xd3\xf2\xb5\xe3\xb5\xc4\xca\xfd\xc4\xbf<=0, \xb4\xed\xce\xf3!";  // '\t某个面域点的数目<=0, 错误!'
inline constexpr std::string_view kGbkErrorsInPart = "\xd2\xd4\xc9\xcf\xb4\xed\xce\xf3\xb7\xa2\xc9\xfa\xd3\xda\xc1\xe3\xbc\xfe:";  // '以上错误发生于零件:'
inline constexpr std::string_view kGbkRepairNeeded = "\xd4\xb2\xbb\xa1\xb0\xeb\xbe\xb6\xbe\xf8\xb6\xd4\xd6\xb5|R|\xd0\xe8\xd2\xaa\xca\xca\xb5\xb1\xd4\xf6\xbc\xd3\xa3\xac\xd2\xd4\xc1\xac\xbd\xd3\xc1\xe3\xbc\xfe\xc2\xd6\xc0\xaa\xc4\xb3\xb6\xce\xc6\xf0\xc6\xfd\xb5\xe3\xa1\xa3";  // '圆弧半径绝对值|R|需要适当增加，以连接零件轮廓某段起讫点。'
inline constexpr std::string_view kGbkRepairDone = "\xd4\xb2\xbb\xa1\xb0\xeb\xbe\xb6\xbe\xf8\xb6\xd4\xd6\xb5|R|\xd4\xf6\xbc\xd3\xc1\xcb" "0.1mm\xa3\xac\xce\xca\xcc\xe2\xb5\xc3\xb5\xbd\xd0\xde\xd5\xfd\xa1\xa3";  // '圆弧半径绝对值|R|增加了0.1mm，问题得到修正。'
inline constexpr std::string_view kGbkRepairFailed = "\xd4\xb2\xbb\xa1\xb0\xeb\xbe\xb6\xbe\xf8\xb6\xd4\xd6\xb5|R|\xd4\xf6\xbc\xd3\xc1\xcb" "0.1mm\xa3\xac\xd2\xc0\xc8\xbb\xce\xde\xb7\xa8\xc1\xac\xbd\xd3\xc1\xe3\xbc\xfe\xc2\xd6\xc0\xaa\xc4\xb3\xb6\xce\xc6\xf0\xc6\xfd\xb5\xe3\xa3\xa1";  // '圆弧半径绝对值|R|增加了0.1mm，依然无法连接零件轮廓某段起讫点！'
inline constexpr std::string_view kGbkTimingMilliseconds = "\xc5\xc5\xd1\xf9\xbc\xc6\xcb\xe3\xca\xb1\xbc\xe4\xce\xaa:%.2lf \xba\xc1\xc3\xeb";  // '排样计算时间为:%.2lf 毫秒'
inline constexpr std::string_view kGbkTimingSeconds = "\xc5\xc5\xd1\xf9\xbc\xc6\xcb\xe3\xca\xb1\xbc\xe4\xce\xaa:%.2lf \xc3\xeb";  // '排样计算时间为:%.2lf 秒'
inline constexpr std::string_view kGbkPackedCount = "\xd2\xd1\xc5\xc5\xd1\xf9\xc1\xe3\xbc\xfe\xca\xfd\xc1\xbf=";  // '已排样零件数量='
inline constexpr std::string_view kGbkPackedNames = "\xd2\xd1\xc5\xc5\xd1\xf9\xc1\xe3\xbc\xfe:";  // '已排样零件:'

}  // namespace tarn::text
